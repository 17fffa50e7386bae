// Formula copy: the formulas of one template replaced by copies of
// another's, at the unit level (within one material family) and at the
// window level (within a series or onto another series).
#include <functional>
#include <vector>

#include "engine/text.h"
#include "formulas/server_for_formula_dan_yuan.h"

namespace dravmor {

namespace {

// A column of the source row as the copy writes it.
struct Column {
  const char* name;
  bool text;
};

const std::vector<Column>& PositionValues() {
  static const std::vector<Column> kColumns = {
      {"Dir", true},  {"Hv", true},  {"Lv1", true}, {"Lv2", true},   {"Lv3", true},
      {"Lv4", true},  {"Lv5", true}, {"Lv6", true}, {"Lv7", true},   {"Lv8", true},
      {"Lv9", true},  {"Lv10", true}, {"ShunXu", false}};
  return kColumns;
}

Status SameTemplate() {
  return Status::Error(ErrorCode::kBadArgument,
                       "The source and the target of the copy are the same template");
}

}  // namespace

void ServerForFormulaDanYuan::SetCopyToXiLie(bool IsToXL, Currency YuanID, Currency DaoID) {
  copy_to_series_ = IsToXL;
  copy_from_series_ = YuanID;
  copy_to_series_id_ = IsToXL ? DaoID : YuanID;
}

// The target's rows go, the source's rows come back with new keys. head:
// the values between the key and the row's own columns; each copied row is
// handed to after (with its new key) for the rows hanging off it.
struct ServerForFormulaDanYuan::CopyStep {
  // clear_first: rows hanging off the target's rows, deleted with them.
  std::string table, key, clear_first, delete_sql, select_sql, head;
  std::vector<Column> columns;
  std::function<void(const RecordsetPtr&, const std::string& key)> after;
};

void ServerForFormulaDanYuan::CopyFormula(Currency curCopyID, Currency curPasteID,
                                          int16_t /*LB: no effect*/) {
  const std::string c = SqlNumber(curCopyID), p = SqlNumber(curPasteID), l = L();
  RunAtomically(ErrorMode::Handler, "CopyFormula", [&] {
    // Each step clears the target before it reads the source.
    if (curCopyID == curPasteID) {
      Check(SameTemplate());
      return;
    }
    std::vector<CopyStep> steps;
    if (copy_profiles_) {
      // The position values go with the formulas they belong to, also when
      // the source has none to copy; those of the other material families'
      // formulas, which stay, stay with them.
      steps.push_back(
          {"型材单元公式", "XcdyGs_id",
           "DELETE FROM FormulaDYV WHERE dytk_ID=" + p +
               " AND xcdyGS_ID NOT IN (SELECT XcdyGs_id FROM 型材单元公式 WHERE dytk_ID=" + p +
               " AND (LvSu<>" + l + " OR LvSu IS NULL))",
           "DELETE FROM 型材单元公式 WHERE dytk_ID=" + p + " AND LvSu=" + l,
           "SELECT * FROM 型材单元公式 WHERE dytk_ID=" + c + " AND LvSu=" + l, p,
           {{"xl_id", false}, {"lb_id", false}, {"Gs", true}, {"Shuliang", true},
            {"ShunXu", false}, {"xlFS", true}, {"LvSu", false}},
           [&](const RecordsetPtr& row, const std::string& key) {
             RecordsetPtr values = Open("SELECT * FROM FormulaDYV WHERE dytk_ID=" + c +
                                        " AND xcdyGS_ID=" + Number(Field(row, "xcdygs_ID")));
             for (; !values->IsEmpty() && !*values->Eof(); Check(values->MoveNext())) {
               std::string sql = " INSERT INTO FormulaDYV VALUES(" +
                                 SqlNumber(GetMaxID("FormulaDYV", "id"));
               for (const Column& column : PositionValues())
                 sql += "," + (column.text ? Quoted(Field(values, column.name))
                                           : Number(Field(values, column.name)));
               Exec(sql + "," + key + "," + p + "," + Quoted(Field(values, "CLMC")) + ")");
             }
           }});
    }
    if (copy_accessories_)
      steps.push_back({"配件单元公式", "pjdyGs_id", "",
                       "DELETE FROM 配件单元公式 WHERE dytk_ID=" + p + " AND LvSu=" + l,
                       "SELECT * FROM 配件单元公式 WHERE dytk_ID=" + c + " AND LvSu=" + l, p,
                       {{"xl_id", false}, {"LB_id", false}, {"Gs", true}, {"ShunXu", false},
                        {"LvSu", false}, {"Fa", true}},
                       nullptr});
    if (copy_glass_)
      steps.push_back({"玻璃单元公式", "bldyGs_id", "",
                       "DELETE FROM 玻璃单元公式 WHERE dytk_ID=" + p + " AND LvSu=" + l,
                       "SELECT * FROM 玻璃单元公式 WHERE dytk_ID=" + c + " AND LvSu=" + l, p,
                       {{"xl_id", false}, {"Gs_Chang", true}, {"Gs_Kuan", true},
                        {"ShuLiang", false}, {"ShunXu", false}, {"dyBLDH", true},
                        {"LvSu", false}},
                       nullptr});
    steps.push_back({"GeneralBlock", "Block_id", "",
                     "DELETE FROM GeneralBlock WHERE tk_ID=" + p + " AND LvSu=" + l,
                     "SELECT * FROM GeneralBlock WHERE tk_ID=" + c + " AND LvSu=" + l, p,
                     {{"bk_CODE", true}, {"bk_Mean", true}, {"bk_STR", true}, {"LvSu", false}},
                     nullptr});
    steps.push_back({"ShanJiaGongDY", "SJGDY_id", "",
                     "DELETE FROM ShanJiaGongDY WHERE dytk_ID=" + p + "  AND LvSu=" + l,
                     "SELECT * FROM ShanJiaGongDY WHERE dytk_ID=" + c + "  AND LvSu=" + l, p,
                     {{"LvSu", false}, {"ShanName", true}, {"ShanH", true}, {"ShanW", true},
                      {"IsShaShan", false}},
                     nullptr});
    for (const CopyStep& step : steps) RunCopyStep(step);
  });
}

void ServerForFormulaDanYuan::CopyWinFormula(Currency curCopyID, Currency curPasteID,
                                             int16_t /*LB: no effect*/) {
  const Currency target = copy_to_series_ ? curCopyID : curPasteID;
  const std::string c = SqlNumber(curCopyID), ys = SqlNumber(copy_from_series_),
                    tt = SqlNumber(target), yt = SqlNumber(copy_to_series_id_);
  RunAtomically(ErrorMode::Handler, "CopyWinFormula", [&] {
    if (target == curCopyID && copy_to_series_id_ == copy_from_series_) {
      Check(SameTemplate());
      return;
    }
    const std::string to = tt + "," + yt;
    auto where = [](const std::string& tk, const std::string& xl) {
      return " WHERE tk_ID=" + tk + " AND xl_ID=" + xl;
    };
    std::vector<CopyStep> steps;
    if (copy_profiles_) {
      // The position values go with the formulas, also when the source has
      // none to copy.
      steps.push_back(
          {"型材组合公式", "XczhGs_id", "DELETE FROM FormulaV WHERE tkID=" + tt + " AND xlID=" + yt,
           "DELETE FROM 型材组合公式" + where(tt, yt),
           "SELECT * FROM 型材组合公式" + where(c, ys), to,
           {{"xc_id", false}, {"Gs", true}, {"Shuliang", true}, {"ShunXu", false},
            {"xlFS", true}},
           [&](const RecordsetPtr& row, const std::string& key) {
             RecordsetPtr values =
                 Open("SELECT * FROM FormulaV WHERE tkID=" + c + " AND xlID=" + ys +
                      " AND xcGS_ID=" + Number(Field(row, "xczhgs_ID")));
             for (; !values->IsEmpty() && !*values->Eof(); Check(values->MoveNext())) {
               // The copy belongs to the copy of its parent formula.
               std::string sql = " INSERT INTO FormulaV VALUES(" +
                                 SqlNumber(GetMaxID("FormulaV", "id")) + "," + to + "," +
                                 Number(Field(values, "xcID"));
               for (const Column& column : PositionValues())
                 sql += "," + (column.text ? Quoted(Field(values, column.name))
                                           : Number(Field(values, column.name)));
               Exec(sql + "," + key + "," + Quoted(Field(values, "CLMC")) + ")");
             }
           }});
    }
    if (copy_accessories_)
      steps.push_back({"配件组合公式", "pjzhGs_id", "", "DELETE FROM 配件组合公式" + where(tt, yt),
                       "SELECT * FROM 配件组合公式" + where(c, ys), to,
                       {{"pj_id", false}, {"Gs", true}, {"ShunXu", false}, {"Fa", true}},
                       nullptr});
    if (copy_glass_)
      steps.push_back({"玻璃组合公式", "blzhGs_id", "", "DELETE FROM 玻璃组合公式" + where(tt, yt),
                       "SELECT * FROM 玻璃组合公式" + where(c, ys), to,
                       {{"Gs_Chang", true}, {"Gs_Kuan", true}, {"ShuLiang", true},
                        {"ShunXu", false}, {"zhBLDH", true}},
                       nullptr});
    // The block table keeps the series before the template.
    steps.push_back({"DetailBlock", "Block_id", "", "DELETE FROM DetailBlock" + where(tt, yt),
                     "SELECT * FROM DetailBlock" + where(c, ys), yt + "," + tt,
                     {{"bk_CODE", true}, {"bk_Mean", true}, {"bk_STR", true}},
                     nullptr});
    steps.push_back({"ShanJiaGong", "SJG_id", "", "DELETE FROM ShanJiaGong" + where(tt, yt),
                     "SELECT * FROM ShanJiaGong" + where(c, ys), to,
                     {{"ShanName", true}, {"ShanH", true}, {"ShanW", true},
                      {"IsShaShan", false}},
                     nullptr});
    for (const CopyStep& step : steps) RunCopyStep(step);
    if (HasTable("WZSBGT"))
      RunCopyStep({"WZSBGT", "ID", "", "DELETE FROM WZSBGT" + where(tt, yt),
                   "SELECT * FROM WZSBGT" + where(c, ys), to, {{"GT", true}}, nullptr});
  });
}

void ServerForFormulaDanYuan::RunCopyStep(const CopyStep& step) {
  if (!step.clear_first.empty()) Exec(step.clear_first);
  Exec(step.delete_sql);
  RecordsetPtr rows = Open(step.select_sql);
  for (; !rows->IsEmpty() && !*rows->Eof(); Check(rows->MoveNext())) {
    const std::string key = SqlNumber(GetMaxID(step.table, step.key));
    std::string sql = " INSERT INTO " + step.table + " VALUES(" + key + "," + step.head;
    for (const Column& column : step.columns)
      sql += "," + (column.text ? Quoted(Field(rows, column.name)) : Number(Field(rows, column.name)));
    Exec(sql + ")");
    if (step.after) step.after(rows, key);
  }
}

}  // namespace dravmor
