#include "formulas/server_for_lei_bie.h"

#include <cmath>

#include "engine/numeric.h"
#include "engine/routines.h"
#include "engine/text.h"

namespace dravmor {

namespace {

constexpr const char* kListColumns =
    "SELECT 类别.LB_id,类别.Mingcheng,类别.Zhonglei,类别.TypeLB,类别.TC,类别.TM,类别.PC,"
    "类别.PM,类别.GC";

// A check box's Value as the flag columns hold it. A Boolean counts as 1
// when set (the lists filter on "= 1", a Jet True of -1 would never match);
// anything else goes by its number, so only a number reaches the SQL text.
std::string FlagNumber(const Variant& value) {
  double number = 0;
  if (value.type() == VarType::Boolean)
    number = value.boolean() ? 1 : 0;
  else if (value.IsNumeric())
    number = *value.ToDouble();
  else
    number = LeadingNumber(value.ToText());
  return SqlNumber(std::round(number));
}

}  // namespace

ServerForLeiBie::ServerForLeiBie() : ServerObject("ServerForLeiBie") {}

void ServerForLeiBie::SetLB(uint8_t btXLLB, uint8_t btCJLB, int16_t /*intAddNum: not kept*/) {
  xllb_ = btXLLB;
  cjlb_ = btCJLB;
  kind_offset_ = 0;
}

void ServerForLeiBie::RaiseQuery(ErrorMode mode, const char* operation, const char* event,
                                 const std::string& sql) {
  Run(mode, operation, [&] {
    auto rs = std::make_shared<Recordset>();
    OpenInto(rs, sql);  // skipped in resume-next mode: the event gets the unopened set
    RaiseResult(event, rs);
  });
}

void ServerForLeiBie::GetZongLeiBie() {
  RaiseQuery(ErrorMode::Handler, "GetZongLeiBie", "ZongLeiBie",
             "SELECT * FROM 类别 WHERE  typeLB=1 ORDER BY Lb_ID");
}

void ServerForLeiBie::GetKuangLeiBie() {
  RaiseQuery(ErrorMode::Handler, "GetKuangLeiBie", "KuangLeiBie",
             "SELECT * FROM 类别 WHERE  typeLB=1 AND KuangType=1 ORDER BY Lb_ID");
}

void ServerForLeiBie::GetShanLeiBie() {
  RaiseQuery(ErrorMode::Handler, "GetShanLeiBie", "ShanLeiBie",
             "SELECT * FROM 类别 WHERE  typeLB=1 AND ShanType=1 ORDER BY Lb_ID");
}

void ServerForLeiBie::GetPJZongLeiBie() {
  RaiseQuery(ErrorMode::Handler, "GetPJZongLeiBie", "PJZongLeiBie",
             "SELECT * FROM 类别 WHERE  typeLB=2 ORDER BY Lb_ID");
}

void ServerForLeiBie::GetPJKuangLeiBie() {
  RaiseQuery(ErrorMode::Handler, "GetPJKuangLeiBie", "PJKuangLeiBie",
             "SELECT * FROM 类别 WHERE  typeLB=2 AND KuangType=1 ORDER BY Lb_ID");
}

void ServerForLeiBie::GetPJShanLeiBie() {
  RaiseQuery(ErrorMode::Handler, "GetPJShanLeiBie", "PJShanLeiBie",
             "SELECT * FROM 类别 WHERE  typeLB=2 AND ShanType=1 ORDER BY Lb_ID");
}

void ServerForLeiBie::ChangeKuangShan(bool KuangShan, Currency ID, int16_t ChangeValue) {
  // The two flags are exclusive: clearing one sets the other.
  const int other = ChangeValue == 1 ? 0 : 1;
  const std::string where = " WHERE LB_ID=" + SqlNumber(ID);
  RunAtomically(ErrorMode::ResumeNext, "ChangeKuangShan", [&] {
    if (KuangShan) {
      Exec("UPDATE 类别 SET KuangType=" + SqlNumber(ChangeValue) + where);
      Exec("UPDATE 类别 SET ShanType=" + SqlNumber(other) + where);
    } else {
      Exec("UPDATE 类别 SET ShanType=" + SqlNumber(ChangeValue) + where);
      Exec("UPDATE 类别 SET KuangType=" + SqlNumber(other) + where);
    }
  });
}

void ServerForLeiBie::GetShuZhi(Currency curID) {
  RaiseQuery(ErrorMode::Handler, "GetShuZhi", "rsShuZhi",
             "SELECT 类别.mingcheng,ShuZhi.ValZhi FROM 类别 INNER JOIN ShuZhi ON "
             "类别.lb_ID=shuzhi.para_ID WHERE  shuzhi.xl_id=" +
                 SqlNumber(curID));
}

float ServerForLeiBie::GetLeiBieValue(int32_t para_id, Currency xlid) {
  float value = 0;
  Run(ErrorMode::ResumeNext, "GetLeiBieValue", [&] {
    RecordsetPtr rs = Open("SELECT valzhi FROM shuzhi WHERE para_ID=" + SqlNumber(para_id) +
                           " AND xl_id=" + SqlNumber(xlid));
    if (!rs->IsOpen() || rs->IsEmpty()) return;
    // A Null value does not convert: the category counts as 0.
    auto single = Field(rs, size_t{0}).ConvertTo(VarType::Single);
    if (single.ok()) value = single->single();
  });
  return value;
}

void ServerForLeiBie::GetZheKou() {
  RaiseQuery(ErrorMode::ResumeNext, "GetZheKou", "rsZheKou",
             "SELECT ID,ZheKouName,Lv FROM ZheKouLv ORDER BY ID");
}

void ServerForLeiBie::GetLeiBie(bool blGetValue, Currency xlid) {
  std::string sql;
  const std::string type = SqlNumber(cjlb_), family = SqlNumber(lv_su_);
  if (cjlb_ != 0 && cjlb_ != 1 && cjlb_ != 3) {
    // Accessory categories are listed whatever window kinds they apply to.
    sql = std::string(kListColumns) + " FROM 类别 WHERE  typeLB=" + type + " AND LvSu=" + family;
  } else {
    static const char* const kFlagColumns[] = {"TC", "TM", "PC", "PM", "GC"};
    // A kind outside 0..4 names no column: the statement fails and is reported.
    const std::string column = xllb_ < 5 ? kFlagColumns[xllb_] : "";
    if (blGetValue)
      sql = std::string(kListColumns) +
            ",ShuZhi.ValZhi FROM 类别 LEFT JOIN ShuZhi ON 类别.lb_ID=shuzhi.para_ID WHERE 类别." +
            column + "= 1 AND typeLB=" + type + " AND shuzhi.xl_id=" + SqlNumber(xlid) +
            " AND LvSu=" + family;
    else
      sql = std::string(kListColumns) + ",RuKuLength FROM 类别 WHERE " + column +
            "= 1 AND typeLB=" + type + " AND LvSu=" + family;
  }
  RaiseQuery(ErrorMode::Handler, "GetLeiBie", "rsLeiBie", sql);
}

bool ServerForLeiBie::FindChongFu(const std::string& name, bool editing, Currency ID) {
  bool taken = false;
  Run(ErrorMode::Handler, "FindChongFu", [&] {
    std::string sql = "SELECT COUNT(*) FROM 类别 WHERE MingCheng='" + SqlQuote(name) +
                      "' AND ZhongLei =" + SqlNumber(Kind()) + " AND TypeLB=" +
                      SqlNumber(cjlb_) + " AND LvSu=" + SqlNumber(lv_su_);
    if (editing) sql += " AND LB_ID<>" + SqlNumber(ID);
    taken = CountsAny(sql);
  });
  return taken;
}

ServerForLeiBie::CategoryForm ServerForLeiBie::ReadForm(const std::shared_ptr<Object>& frm) {
  CategoryForm form;
  for (int i = 0; i < 5; ++i) form.flags[i] = FlagNumber(FormValue(frm, "ChkWindow", i, "Value"));
  // Written unquoted: only the number the text begins with goes in, so
  // an empty or unit-suffixed length stores a number and no typed text
  // can change the statement.
  form.stock_length = SqlNumber(LeadingNumber(FormText(frm, "txtRuKuLength")));
  return form;
}

void ServerForLeiBie::AddLeiBie(const std::shared_ptr<Object>& frm) {
  RunAtomically(ErrorMode::Handler, "AddLeiBie", [&] {
    const std::string name = FormText(frm, "txtLB");
    if (FindChongFu(name, false, Currency{})) {
      Raise("ChongFu");
      return;
    }
    auto id = NextId(connection(), "类别", "LB_id");
    if (!Check(id.status())) return;
    const CategoryForm form = ReadForm(frm);
    Exec("INSERT INTO 类别  VALUES(" + SqlNumber(*id) + ",'" + SqlQuote(name) + "'," +
         SqlNumber(Kind()) + "," + SqlNumber(cjlb_) + "," + form.flags[0] + "," +
         form.flags[1] + "," + form.flags[2] + "," + form.flags[3] + "," + form.flags[4] +
         ",0,0," + SqlNumber(lv_su_) + "," + form.stock_length + ")");
    GetLeiBie(false);
  });
}

void ServerForLeiBie::EditLeiBie(Currency ID, const std::shared_ptr<Object>& frm) {
  RunAtomically(ErrorMode::Handler, "EditLeiBie", [&] {
    const std::string name = FormText(frm, "txtLB");
    if (FindChongFu(name, true, ID)) {
      Raise("ChongFu");
      return;
    }
    const CategoryForm form = ReadForm(frm);
    // Kind, type, family and the frame and sash flags stay as they are.
    Exec("UPDATE 类别  SET mingcheng='" + SqlQuote(name) + "',TC=" + form.flags[0] +
         ",TM=" + form.flags[1] + ",PC=" + form.flags[2] + ",PM=" + form.flags[3] +
         ",GC=" + form.flags[4] + ",RuKuLength=" + form.stock_length +
         " WHERE lb_id=" + SqlNumber(ID));
    GetLeiBie(false);
  });
}

void ServerForLeiBie::DelLeiBie(Currency ID) {
  RunAtomically(ErrorMode::Handler, "DelLeiBie", [&] {
    Exec("DELETE FROM 类别 WHERE lb_id=" + SqlNumber(ID));
    GetLeiBie(false);
  });
}

}  // namespace dravmor
