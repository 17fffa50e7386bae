// ServerForXingCai: the profile catalogue of a series.
#include "catalogue/server_for_xing_cai.h"

#include "catalogue/binding_owner.h"
#include "engine/numeric.h"
#include "engine/prompt.h"
#include "engine/routines.h"
#include "engine/text.h"

namespace dravmor {

ServerForXingCai::ServerForXingCai() : ServerObject("ServerForXingCai") {}

void ServerForXingCai::SetXLID(int32_t lngXl_ID, int32_t lngCJ_id) {
  series_ = lngXl_ID;
  factory_ = lngCJ_id;
}

void ServerForXingCai::SetSQLSERVER(bool Is2000) { SetDialect(Is2000); }

void ServerForXingCai::SetONLY_PinJie(int32_t lngPJ) {
  joining_filter_ = lngPJ != 0 ? " AND 类别.LB_ID IN (33,40,41) " : "";
}

void ServerForXingCai::SetOLD_CodeName(const std::string& strC, const std::string& strN) {
  old_code_ = strC;
  old_name_ = strN;
}

void ServerForXingCai::SetChangeMZ(bool IsCGMZ) { rescale_weight_ = IsCGMZ; }

bool ServerForXingCai::FindChongFu(const std::string& code, bool editing, Currency ID) {
  bool taken = false;
  Run(ErrorMode::Handler, "FindChongFu", [&] {
    std::string sql = "SELECT COUNT(*) FROM 型材 WHERE DaiMa='" + SqlQuote(code) + "'" +
                      " AND cj_id=" + CurrentFactory();
    if (editing) sql += " and xc_id<>" + SqlNumber(ID);
    taken = CountsAny(sql);
  });
  return taken;
}

void ServerForXingCai::DelTongYong(Currency ID) {
  RunAtomically(ErrorMode::ResumeNext, "DelTongYong",
      [&] { Exec("DELETE FROM TongYong WHERE xc_ID=" + SqlNumber(ID)); });
}

bool ServerForXingCai::AskDuplicate() {
  return AskYesNo("操作提示",
                  "这条型材信息已经输入过了，您可以找到通用到这里即可。在这里也输入点击是，否则点击否。");
}

// The question comes before the write lock: no other workstation waits
// while a person answers. Inside, the test is made again and asks only when
// another workstation stored the code in the meantime.
void ServerForXingCai::RunConfirmed(std::string_view operation, const std::string& code,
                                    bool editing, Currency ID, const std::function<void()>& body) {
  const bool asked = FindChongFu(code, editing, ID);
  if (asked && !AskDuplicate()) return;
  RunAtomically(ErrorMode::Handler, operation, [&] {
    if (!asked && FindChongFu(code, editing, ID) && !AskDuplicate()) return;
    body();
  });
}

ServerForXingCai::ProfileForm ServerForXingCai::ReadProfileForm(
    const std::shared_ptr<Object>& frm, bool with_sharing) {
  ProfileForm f;
  auto number = [&](int index) {
    return ShortestDecimal(LeadingNumber(FormText(frm, "txtXingCaiInfo", index)));
  };
  // A list's ItemData at its ListIndex: the id of the chosen entry.
  auto chosen = [&](std::string_view list) {
    Variant index = FormValue(frm, list, std::nullopt, "ListIndex");
    auto at = index.ToInt64();
    if (!Check(at.status())) return std::string();
    auto id = FormValue(frm, list, std::nullopt, "ItemData", static_cast<int>(*at)).ToInt64();
    if (!Check(id.status())) return std::string();
    return SqlNumber(*id);
  };
  auto flag = [&](std::string_view control) {
    auto value = FormValue(frm, control, 0, "Value").ToBool();
    return value.ok() && *value;
  };
  if (with_sharing) f.shared = flag("opttongyong") ? "0" : "1";
  f.kind = flag("optGangChen") ? "钢衬" : "型材";
  f.code = FormText(frm, "txtXingCaiInfo", 0);
  f.name = FormText(frm, "txtXingCaiInfo", 1);
  f.weight = number(2);
  f.length = number(3);
  f.price = number(4);
  f.colour = FormText(frm, "txtXingCaiInfo", 5);
  f.category = chosen("cmbLeiBie");
  f.major_class = chosen("lstDalei");
  return f;
}

std::string ServerForXingCai::TypedNumber(const std::string& text) {
  // Written unquoted, so only a number may stand here; anything else would
  // be SQL of the user's making. An empty box fails like the statement it
  // would have broken.
  auto value = ParseNumber(text);
  if (!value) {
    Check(Status::Error(ErrorCode::kTypeMismatch,
                        "Syntax error in INSERT INTO statement: '" + text + "' is no number"));
    return "";
  }
  return ShortestDecimal(*value);
}

void ServerForXingCai::WriteTongYong(const std::shared_ptr<Object>& frm, const std::string& id) {
  auto count = FormValue(frm, "lstxilie", std::nullopt, "ListCount").ToInt64();
  if (!Check(count.status())) return;
  for (int i = 0; i < *count; ++i) {
    auto selected = FormValue(frm, "lstxilie", std::nullopt, "Selected", i).ToBool();
    if (!Check(selected.status()) || !*selected) continue;
    auto series = FormValue(frm, "lstxilie", std::nullopt, "ItemData", i).ToInt64();
    if (!Check(series.status())) continue;
    auto ty_id = NextId(connection(), "TongYong", "TY_ID");
    if (!Check(ty_id.status())) continue;
    Exec("INSERT INTO TongYong (TY_ID,xc_ID,xl_ID) VALUES( " + SqlNumber(*ty_id) + "," + id +
         "," + SqlNumber(*series) + ")");
  }
}

void ServerForXingCai::RefreshList() {
  std::string all;
  GetXingCai(all);
}

void ServerForXingCai::AddXingCai(const std::shared_ptr<Object>& frm) {
  Run(ErrorMode::Handler, "AddXingCai", [&] {
    // -1 is the all-rows marker of the stock lists, not a series or a
    // factory: a profile stored under it would be in no series.
    if (series_ == -1 || factory_ == -1)
      Check(Status::Error(ErrorCode::kBadArgument,
                          "Choose one series and factory before adding a profile"));
    ProfileForm f = ReadProfileForm(frm, true);
    RunConfirmed("AddXingCai", f.code, false, Currency{}, [&] {
      std::string bihou = TypedNumber(FormText(frm, "txtXingCaiInfo", 6));
      std::string baojing = TypedNumber(FormText(frm, "txtXingCaiInfo", 7));
      std::string guizheng = TypedNumber(FormText(frm, "txtGuiZheng"));
      auto next = NextId(connection(), "型材", "xc_id");
      if (!Check(next.status())) return;
      const std::string id = SqlNumber(*next);
      Exec("INSERT INTO 型材  VALUES(" + id + "," + CurrentSeries() + ",'" + SqlQuote(f.name) +
           "','" + SqlQuote(f.code) + "'," + f.length + "," + f.weight + "," + f.shared + ",'" +
           " " + "'," + f.price + "," + f.category + "," + CurrentFactory() + ",1,0,'" + f.kind +
           "',0,'" + SqlQuote(f.colour) + "'," + bihou + "," + baojing + "," + guizheng + "," +
           f.major_class + ")");
      if (f.shared == "1") {
        DelTongYong(*next);
        WriteTongYong(frm, id);
      }
      RefreshList();
    });
  });
}

void ServerForXingCai::EditXingCai(Currency ID, const std::shared_ptr<Object>& frm) {
  Run(ErrorMode::Handler, "EditXingCai", [&] {
    ProfileForm f = ReadProfileForm(frm, true);
    RunConfirmed("EditXingCai", f.code, true, ID, [&] {
      auto number = [&](const std::string& text) { return ShortestDecimal(LeadingNumber(text)); };
      Exec("UPDATE 型材  SET " + std::string("MingChengXC='") + SqlQuote(f.name) + "'," +
           "DaiMa='" + SqlQuote(f.code) + "'," + "changdu=" + f.length + "," +
           "MiZhong=" + f.weight + "," + "BiHou=" + number(FormText(frm, "txtXingCaiInfo", 6)) +
           "," + "BaoJing=" + number(FormText(frm, "txtXingCaiInfo", 7)) + "," +
           "DaLei=" + f.major_class + "," + "GcGuiZheng=" + number(FormText(frm, "txtGuiZheng")) +
           "," + "shifoutongyong=" + f.shared + "," + "duanmiantu='" + " " + "'," +
           "jiage=" + f.price + "," + "lb_id=" + f.category + ", " + "YS='" + SqlQuote(f.colour) +
           "',  " + "Gangchen='" + f.kind + "'  " + "WHERE xc_id=" + SqlNumber(ID));
      Exec("DELETE FROM TongYong WHERE xc_ID=" + SqlNumber(ID));
      if (f.shared == "1") {
        DelTongYong(ID);
        WriteTongYong(frm, SqlNumber(ID));
      }
      RefreshList();
      // The same profile entered elsewhere under the previous code and name:
      // the caller may bring them in line with Edit_DYE_ChongFuXC.
      RecordsetPtr alike =
          Open("SELECT xc_id,Daima,MingchengXC,Mizhong,Changdu,JiaGe,YS,BiHou,系列.MingCheng,"
               "系列.xllb FROM (型材 INNER JOIN 系列 ON 型材.xl_ID=系列.xl_ID) " +
               std::string("  WHERE DaiMa='") + SqlQuote(old_code_) + "' AND MingChengXc='" +
               SqlQuote(old_name_) + "' AND xc_ID<>" + SqlNumber(ID) +
               " AND 系列.cj_ID=" + CurrentFactory());
      if (alike->RowCount() > 0) RaiseResult("rsChongFuDYE", alike);
    });
  });
}

void ServerForXingCai::Edit_DYE_ChongFuXC(Currency ID, const std::shared_ptr<Object>& frm) {
  // The whole form is read first: a value it cannot give stops the edit
  // before anything is written, so no look-alike gets an empty code or 0.
  RunAtomically(ErrorMode::ResumeNext, "Edit_DYE_ChongFuXC", [&] {
    ProfileForm f;
    std::string bihou, baojing, guizheng;
    bool read = false;
    // A read that fails ends this inner step, not the edit's resume-next.
    Run(ErrorMode::SilentHandler, "Edit_DYE_ChongFuXC", [&] {
      f = ReadProfileForm(frm, false);
      auto number = [&](const std::string& text) { return ShortestDecimal(LeadingNumber(text)); };
      bihou = number(FormText(frm, "txtXingCaiInfo", 6));
      baojing = number(FormText(frm, "txtXingCaiInfo", 7));
      guizheng = number(FormText(frm, "txtGuiZheng"));
      read = true;
    });
    if (!read) return;
    Exec("UPDATE 型材  SET " + std::string("MingChengXC='") + SqlQuote(f.name) + "'," +
         "DaiMa='" + SqlQuote(f.code) + "'," + "changdu=" + f.length + "," +
         "MiZhong=" + f.weight + "," + "BiHou=" + bihou + "," + "BaoJing=" + baojing + "," +
         "DaLei=" + f.major_class + "," + "GcGuiZheng=" + guizheng + "," + "jiage=" + f.price +
         "," + "lb_id=" + f.category + ", " + "YS='" + SqlQuote(f.colour) + "',  " +
         "Gangchen='" + f.kind + "'  " + "WHERE xc_id=" + SqlNumber(ID));
  });
}

void ServerForXingCai::DelXingCai(Currency ID) {
  RunAtomically(ErrorMode::Handler, "DelXingCai", [&] {
    const std::string id = SqlNumber(ID);
    Exec("DELETE FROM 型材 WHERE xc_id=" + id);
    Exec("DELETE FROM 绑定 WHERE Zhu_id =" + id);
    Exec("DELETE FROM 绑定 WHERE Fu_id =" + id);
    // The accessory bindings the profile owns go with it, and none of an
    // accessory that has the same id.
    Exec("DELETE FROM 绑定配件 WHERE Zhu_id =" + id + OwnedBy(kOwnerProfile));
    Exec("DELETE FROM ChuRuDetail WHERE WuJianType=0 AND WuJianID=" + id);
  });
}

RecordsetPtr ServerForXingCai::GetXingCai(std::string& strDaiMa) {
  auto rs = std::make_shared<Recordset>();
  Run(ErrorMode::Handler, "Getxingcai", [&] {
    const std::string s = CurrentSeries(), t = SqlNumber(true_value());
    // A profile whose material class has no row is still listed, with an
    // empty class name.
    std::string sql =
        "SELECT xc_id,Daima,MingchengXC,Mizhong,Changdu,JiaGe,mingcheng,ShifouTongyong,"
        "DuanMianTu,GangChen,YS,BiHou,BaoJing,GcGuiZheng, xcDalei.DaLei  " +
        std::string("FROM ( 型材 INNER JOIN 类别 ON 型材.LB_ID=类别.LB_ID) LEFT JOIN XcDalei ON "
                    "型材.Dalei=xcDalei.ID  ");
    if (!strDaiMa.empty())
      sql += " WHERE (xl_id= " + s + " OR ( xc_ID IN (SELECT xc_ID FROM TongYong WHERE xl_ID= " +
             s + ")" + " AND ShifouTongyong=" + t + " )) AND Daima LIKE " + "'%" +
             SqlQuote(strDaiMa) + "%'" + joining_filter_ + " ORDER BY 型材.lb_id, Xc_id";
    else
      sql += " WHERE ( xl_id= " + s + " OR ( xc_ID IN (SELECT xc_ID FROM TongYong WHERE xl_ID= " +
             s + ")" + " AND ShifouTongyong=" + t + " )) " + joining_filter_ +
             " ORDER BY 型材.lb_id, Xc_id";
    OpenInto(rs, sql);
    joining_filter_.clear();
    rs = RaiseResult("rsResult", rs);
  });
  return rs;
}

RecordsetPtr ServerForXingCai::GetXingCaiByName(std::string& strName) {
  auto rs = std::make_shared<Recordset>();
  Run(ErrorMode::Handler, "GetxingcaiByName", [&] {
    const std::string s = CurrentSeries(), t = SqlNumber(true_value());
    std::string sql =
        "SELECT xc_id,Daima,MingchengXC,Mizhong,Changdu,JiaGe,mingcheng,ShifouTongyong,"
        "DuanMianTu,GangChen,YS,BiHou,BaoJing,GcGuiZheng  " +
        std::string("FROM 型材 INNER JOIN 类别 ON 型材.LB_ID=类别.LB_ID  ");
    if (!strName.empty())
      sql += " WHERE (xl_id= " + s + " OR ( xc_ID IN (SELECT xc_ID FROM TongYong WHERE xl_ID= " +
             s + ")" + " AND ShifouTongyong=" + t + " )) AND MingchengXC LIKE " + "'%" +
             SqlQuote(strName) + "%'" + " ORDER BY 型材.lb_id, Xc_id";
    else
      sql += " WHERE xl_id= " + s + " OR ( xc_ID IN (SELECT xc_ID FROM TongYong WHERE xl_ID= " +
             s + ")" + " AND ShifouTongyong=" + t + " )" + " ORDER BY 型材.lb_id, Xc_id";
    OpenInto(rs, sql);
    rs = RaiseResult("rsResult", rs);
  });
  return rs;
}

void ServerForXingCai::GetXcXuanZe(Currency ID, Currency Xl_ID) {
  Run(ErrorMode::Handler, "GetXcXuanZe", [&] {
    auto rs = std::make_shared<Recordset>();
    OpenInto(rs, "SELECT MingChengXc,DaiMa,xc_ID FROM 型材 " +
                     std::string("WHERE lb_ID IN (SELECT LB_ID FROM 型材 WHERE xc_ID = ") +
                     SqlNumber(ID) + ") AND Xl_ID=" + SqlNumber(Xl_ID) + " ORDER BY xc_ID");
    RaiseResult("rsXcXuan", rs);
  });
}

RecordsetPtr ServerForXingCai::GetTY(Currency xcID) {
  auto rs = std::make_shared<Recordset>();
  Run(ErrorMode::Handler, "GetTY", [&] {
    OpenInto(rs, "SELECT xl_id FROM " + std::string("TongYong WHERE xc_ID = ") + SqlNumber(xcID));
    rs = RaiseResult("rsTYResult", rs);
  });
  return rs;
}

void ServerForXingCai::EditColorXc(const std::string& strYS) {
  RunAtomically(ErrorMode::ResumeNext, "EditColorXc", [&] {
    Exec("UPDATE 型材 SET YS='" + SqlQuote(strYS) + "' WHERE XL_ID=" + CurrentSeries());
    RefreshList();
  });
}

void ServerForXingCai::EditBiHouXc(float sglBH) {
  RunAtomically(ErrorMode::ResumeNext, "EditBiHouXc", [&] {
    const std::string bh = ShortestDecimal(sglBH);
    // Weights scale with the ratio of the new to the old wall thickness.
    // A profile without a thickness (0 or empty) has no ratio: its weight
    // is kept rather than divided into Null or a division-by-zero failure.
    if (rescale_weight_)
      Exec("UPDATE 型材 SET MiZhong = MiZhong*" + bh + "/BiHou WHERE XL_ID=" + CurrentSeries() +
           " AND BiHou<>0");
    Exec("UPDATE 型材 SET BiHou=" + bh + " WHERE XL_ID=" + CurrentSeries());
    RefreshList();
  });
}

void ServerForXingCai::EditJiaGeXc(float sglBH) {
  RunAtomically(ErrorMode::ResumeNext, "EditJiaGeXc", [&] {
    Exec("UPDATE 型材 SET JiaGe=" + ShortestDecimal(sglBH) + " WHERE XL_ID=" + CurrentSeries());
    RefreshList();
  });
}

void ServerForXingCai::EditJiaGeXcDaLei(float sglBH, int32_t DL) {
  RunAtomically(ErrorMode::ResumeNext, "EditJiaGeXcDaLei", [&] {
    Exec("UPDATE 型材 SET JiaGe=" + ShortestDecimal(sglBH) + " WHERE DaLei=" + SqlNumber(DL) +
         " AND  XL_ID=" + CurrentSeries());
    RefreshList();
  });
}

}  // namespace dravmor
