// Formula units: the formulas of a unit drawing, filtered by the window-kind
// flags and material family the caller's condition fragments name.
#include <functional>
#include <vector>

#include "engine/routines.h"
#include "engine/text.h"
#include "formulas/server_for_formula_dan_yuan.h"

namespace dravmor {

namespace {

struct UnitKind {
  const char* name;
  const char* table;
  const char* id;
};
constexpr UnitKind kUnitKinds[] = {
    {"型材公式", "UnitXingCai", "xcUnitGs_ID"},
    {"配件公式", "UnitPeiJian", "pjUnitGs_ID"},
    {"玻璃公式", "UnitBoLi", "blUnitGs_ID"},
    {"扇加工图", "UnitShanJiaGong", "JgUnitGs_ID"},
};

// 0..3 in the order above; -1 for any other text.
int UnitKindOf(const std::string& text) {
  for (int i = 0; i < 4; ++i)
    if (text == kUnitKinds[i].name) return i;
  return -1;
}

}  // namespace

RecordsetPtr ServerForFormulaDanYuan::GetFormulaUnit(Currency unitTK_ID,
                                                     const std::string& strUnitSQL,
                                                     const std::string& unitType) {
  auto rs = std::make_shared<Recordset>();
  Run(ErrorMode::ResumeNext, "GetFormulaUnit", [&] {
    const std::string t = T();
    std::string sql;
    switch (UnitKindOf(unitType)) {
      case 0:
        sql = "SELECT  xcUnitGs_ID,类别.mingcheng,Gs,Shuliang,ShunXu,xlFS  FROM UnitXingCai INNER "
              "JOIN 类别 ON UnitXingCai.lb_id=类别.lb_id  WHERE unitTk_id= " +
              SqlNumber(unitTK_ID) + " AND " + strUnitSQL + " ORDER BY ShunXu";
        break;
      case 1:
        sql = "SELECT pjUnitGs_id,类别.mingcheng,Gs,ShunXu,Fa  FROM UnitPeiJian INNER JOIN 类别 ON "
              "UnitPeiJian.LB_id=类别.LB_id  WHERE unitTk_id=" +
              t + "  AND " + strUnitSQL + " ORDER BY ShunXu";
        break;
      case 2:
        sql = "SELECT blUnitGs_ID,unitTk_ID,Lb_ID,Gs_chang,Gs_Kuan,ShuLiang,ShunXu,bldh,TL FROM "
              "UnitBoLi WHERE unitTk_id=" +
              t + "  AND " + strUnitSQL + " ORDER BY ShunXu";
        break;
      case 3:
        sql = "SELECT JgUnitGs_ID,ShanName,ShanH,ShanW,IsShaShan FROM UnitShanJiaGong WHERE "
              "unitTk_id=" +
              t + "  AND " + strUnitSQL;
        break;
      default:
        return;  // no such kind: the unopened set, no event
    }
    OpenInto(rs, sql);
    rs = RaiseResult("rsFormula", rs);
  });
  return rs;
}

void ServerForFormulaDanYuan::AddFormulaUnit(const std::shared_ptr<Object>& frm,
                                             const std::string& BtType, Currency curCLID,
                                             const std::string& strUnitSQL,
                                             const std::string& strAddUnitSQL) {
  RunAtomically(ErrorMode::ResumeNext, "AddFormulaUnit", [&] {
    const int kind = UnitKindOf(BtType);
    if (kind < 0) return;
    const std::string t = T(), table = kUnitKinds[kind].table;
    auto key = NextId(connection(), table, kUnitKinds[kind].id);
    if (!Check(key.status())) return;
    std::string order;
    if (kind == 0)
      order = SqlNumber(NextOrder("SELECT MAX(shunxu) FROM   UnitXingCai WHERE unitTK_ID = " + t +
                                  " AND " + strUnitSQL));
    else if (kind == 1)
      order = SqlNumber(NextOrder("SELECT MAX(shunxu) FROM   UnitPeiJian WHERE unitTK_ID= " + t +
                                  " AND " + strUnitSQL));
    else if (kind == 2)
      order = SqlNumber(NextOrder("SELECT MAX(shunxu) FROM  UnitBoLi WHERE unitTk_id= " + t +
                                  " AND " + strUnitSQL));
    auto text = [&](int index) { return Quoted(FormText(frm, "txtformula", index)); };
    std::string values = SqlNumber(*key) + "," + t + ",";
    switch (kind) {
      case 0:
        values += SqlNumber(curCLID) + "," + text(0) + "," + text(1) + "," + order + "," + text(2);
        break;
      case 1:
        values += SqlNumber(curCLID) + "," + text(0) + "," + order + "," + text(1);
        break;
      case 2:
        values += "29," + text(0) + "," + text(1) + "," +
                  LeadingValue(FormText(frm, "txtformula", 2)) + "," + order + "," +
                  Quoted(FormText(frm, "txtbldh"));
        break;
      case 3:
        values += "29," + text(2) + "," + text(0) + "," + text(1) + "," +
                  LeadingValue(FormText(frm, "txtbldh"));
        break;
    }
    Exec("INSERT INTO " + table + "  VALUES(" + values + "," + strAddUnitSQL);
  });
}

void ServerForFormulaDanYuan::EditFormulaUnit(Currency ID, const std::shared_ptr<Object>& frm,
                                              const std::string& strType,
                                              const std::string& /*strUnitSQL: unused*/) {
  RunAtomically(ErrorMode::ResumeNext, "EditFormulaUnit", [&] {
    const std::string id = SqlNumber(ID);
    auto text = [&](int index) { return SqlQuote(FormText(frm, "txtformula", index)); };
    switch (UnitKindOf(strType)) {
      case 0:
        Exec("UPDATE UnitXingCai  SET gs='" + text(0) + "',Shuliang='" + text(1) + "',xlFS='" +
             text(2) + "'  WHERE xcUnitgs_ID=" + id);
        break;
      case 1:
        Exec("UPDATE UnitPeiJian  SET gs='" + text(0) + "', Fa='" + text(1) +
             "'  WHERE pjUnitgs_ID=" + id);
        break;
      case 2:
        Exec("UPDATE UnitBoLi  SET gs_chang='" + text(0) + "', gs_kuan='" + text(1) +
             "', ShuLiang=" + LeadingValue(FormText(frm, "txtformula", 2)) + ", BLDH='" +
             SqlQuote(FormText(frm, "txtbldh")) + "'  WHERE blUnitgs_ID=" + id);
        break;
      case 3:
        Exec("UPDATE unitShanJiaGong SET ShanName='" + text(2) + "',ShanW='" + text(1) +
             "',ShanH='" + text(0) + "', IsShaShan=" + LeadingValue(FormText(frm, "txtbldh")) +
             " WHERE JgUnitgs_ID=" + id);
        break;
    }
  });
}

void ServerForFormulaDanYuan::DelFormulaUnit(Currency ID, const std::string& strType,
                                             const std::string& /*strUnitSQL: unused*/) {
  static const char* const kDeletes[] = {
      "DELETE FROM UnitXingCai WHERE xcUnitgs_id=",
      "DELETE FROM UnitPeiJian WHERE pjUnitgs_id=",
      "DELETE FROM UnitBoLi WHERE blUnitgs_id=",
      "DELETE FROM UnitShanJiaGong WHERE JgUnitgs_id=",
  };
  RunAtomically(ErrorMode::ResumeNext, "DelFormulaUnit", [&] {
    const int kind = UnitKindOf(strType);
    if (kind >= 0) Exec(kDeletes[kind] + SqlNumber(ID));
  });
}

void ServerForFormulaDanYuan::CopyFormulaUnit(Currency curCopyID, Currency curPasteID,
                                              const std::string& strCopySQL,
                                              const std::string& strPasteSQL,
                                              const std::string& strPasteSQLAdd) {
  using Values = std::function<std::string(const RecordsetPtr&)>;
  auto f = [this](const RecordsetPtr& rs, const char* name) { return Field(rs, name); };
  struct Step {
    int kind;
    bool on;
    Values values;  // the source row's own values after key and template
  };
  const Step steps[] = {
      {0, copy_profiles_,
       [&](const RecordsetPtr& rs) {
         return Number(f(rs, "LB_ID")) + "," + Quoted(f(rs, "Gs")) + "," +
                Quoted(f(rs, "ShuLiang")) + "," + Number(f(rs, "ShunXu")) + "," +
                Quoted(f(rs, "xlFS"));
       }},
      {1, copy_accessories_,
       [&](const RecordsetPtr& rs) {
         return Number(f(rs, "LB_ID")) + "," + Quoted(f(rs, "Gs")) + "," +
                Number(f(rs, "ShunXu")) + "," + Quoted(f(rs, "Fa"));
       }},
      {2, copy_glass_,
       [&](const RecordsetPtr& rs) {
         return Number(f(rs, "LB_ID")) + "," + Quoted(f(rs, "Gs_Chang")) + "," +
                Quoted(f(rs, "Gs_Kuan")) + "," + Number(f(rs, "ShuLiang")) + "," +
                Number(f(rs, "ShunXu")) + "," + Quoted(f(rs, "BLDH"));
       }},
      {3, true,
       [&](const RecordsetPtr& rs) {
         return Number(f(rs, "LB_ID")) + "," + Quoted(f(rs, "ShanName")) + "," +
                Quoted(f(rs, "ShanH")) + "," + Quoted(f(rs, "ShanW")) + "," +
                Number(f(rs, "IsShaShan"));
       }},
  };
  RunAtomically(ErrorMode::ResumeNext, "CopyFormulaUnit", [&] {
    // The sources are read before any target row goes: a kind whose
    // source cannot be read keeps the target's rows.
    std::vector<std::pair<const Step*, RecordsetPtr>> sources;
    for (const Step& step : steps) {
      if (!step.on) continue;
      RecordsetPtr rs = Open("SELECT * FROM " + std::string(kUnitKinds[step.kind].table) +
                             " WHERE unitTK_ID=" + SqlNumber(curCopyID) + " AND " + strCopySQL);
      if (rs->IsOpen()) sources.emplace_back(&step, rs);
    }
    // The replacement is whole or not at all.
    RunAtomically(ErrorMode::SilentHandler, "CopyFormulaUnit", [&] {
      const std::string paste = SqlNumber(curPasteID);
      for (auto& [step, rs] : sources) {
        const std::string table = kUnitKinds[step->kind].table;
        Exec("DELETE FROM " + table + " WHERE unitTK_ID=" + paste + " AND " + strPasteSQL);
        for (; !rs->IsEmpty() && !*rs->Eof(); Check(rs->MoveNext())) {
          const Currency key = GetMaxID(table, kUnitKinds[step->kind].id);
          Exec(" INSERT INTO " + table + " VALUES(" + SqlNumber(key) + "," + paste + "," +
               step->values(rs) + "," + strPasteSQLAdd);
        }
      }
    });
  });
}

void ServerForFormulaDanYuan::ExecuteSQL() {
  RunAtomically(ErrorMode::None, "ExecuteSQL", [&] {
    RecordsetPtr rs = Open(
        "SELECT UnitXingCai.* FROM (UnitXingCai INNER JOIN 单元图库 ON "
        "UnitXingCai.unitTk_ID=单元图库.dytkLuJing) WHERE dytklb=0 AND TL=0 AND PK=1 AND GD=0 "
        "AND TLM=0 AND PKM=0 AND GsLvSu=0 ");
    auto next = NextId(connection(), "UnitXingCai", "xcUnitGs_ID");
    if (!Check(next.status())) return;
    int64_t key = next->scaled / Currency::kScale;
    for (; !rs->IsEmpty() && !*rs->Eof(); Check(rs->MoveNext())) {
      ++key;  // the first twin takes the largest key plus two
      Variant category = Field(rs, "LB_ID");
      const std::string lb = Number(category) == "1907" ? "29" : Number(category);
      Exec(" INSERT INTO UnitXingCai VALUES(" + std::to_string(key) + "," +
           Number(Field(rs, "unitTK_ID")) + "," + lb + "," + Quoted(Field(rs, "Gs")) + "," +
           Quoted(Field(rs, "ShuLiang")) + "," + Number(Field(rs, "ShunXu")) + "," +
           Quoted(Field(rs, "xlFS")) + ",0,0,1,0,0,0)");
    }
  });
}

}  // namespace dravmor
