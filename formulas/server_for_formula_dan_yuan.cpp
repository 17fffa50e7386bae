// Window and unit formulas: listing, adding, editing, deleting and ordering
// the six kinds of each level, and the free text of a window template.
#include "formulas/server_for_formula_dan_yuan.h"

#include "engine/numeric.h"
#include "engine/routines.h"
#include "engine/text.h"

namespace dravmor {

namespace {

// The tables of one kind at both levels (BtType 1..6).
struct FormulaTable {
  const char* window_table;
  const char* window_id;
  const char* unit_table;
  const char* unit_id;
};
constexpr FormulaTable kTables[] = {
    {"型材组合公式", "xczhgs_id", "型材单元公式", "xcdygs_id"},
    {"配件组合公式", "pjzhgs_id", "配件单元公式", "pjdygs_id"},
    {"玻璃组合公式", "blzhgs_id", "玻璃单元公式", "bldygs_id"},
    {"FormulaV", "ID", "FormulaDYV", "ID"},
    {"DetailBlock", "Block_ID", "GeneralBlock", "Block_ID"},
    {"ShanJiaGong", "SJG_ID", "ShanJiaGongDY", "SJGDY_ID"},
};

const FormulaTable* TableOf(uint8_t BtType) {
  return BtType >= 1 && BtType <= 6 ? &kTables[BtType - 1] : nullptr;
}

Status NoSuchKind(int BtType) {
  return Status::Error(ErrorCode::kBadArgument,
                       "BtType " + std::to_string(BtType) + " names no formula table");
}

}  // namespace

ServerForFormulaDanYuan::ServerForFormulaDanYuan() : ServerObject("ServerForFormulaDanYuan") {}

std::string ServerForFormulaDanYuan::Quoted(const std::string& text) {
  return "'" + SqlQuote(text) + "'";
}

std::string ServerForFormulaDanYuan::Quoted(const Variant& value) {
  // A copied cell that was never filled stays unfilled.
  if (value.IsNull() || value.IsEmpty()) return "NULL";
  return Quoted(value.ToText());
}

std::string ServerForFormulaDanYuan::Number(const Variant& value) {
  if (value.IsNull() || value.IsEmpty()) return "NULL";
  if (value.type() == VarType::Currency) return SqlNumber(value.currency());
  if (value.type() == VarType::Boolean) return value.boolean() ? "1" : "0";
  auto number = value.ToDouble();
  // Only a number reaches the statement, whatever the cell held.
  return number.ok() ? SqlNumber(*number) : "NULL";
}

std::string ServerForFormulaDanYuan::LeadingValue(const std::string& text) {
  return SqlNumber(LeadingNumber(text));
}

Currency ServerForFormulaDanYuan::GetMaxID(const std::string& table, const std::string& column,
                                           bool largest) {
  Currency next{};
  Run(ErrorMode::SilentHandler, "GetMaxID", [&] {
    if (largest) {
      // A new id: from the engine's allocator, never one handed out before.
      auto id = NextId(connection(), table, column);
      if (Check(id.status())) next = *id;
      return;
    }
    RecordsetPtr rs = Open("SELECT MIN(" + column + ") FROM " + table);
    if (rs->IsEmpty()) {
      next = Currency::FromWhole(1);
      return;
    }
    Variant value = Field(rs, size_t{0});
    if (value.IsNull()) {
      next = Currency::FromWhole(1);
      return;
    }
    auto current = value.ToCurrency();
    if (Check(current.status())) next = *current;
  });
  return next;
}

int64_t ServerForFormulaDanYuan::NextOrder(const std::string& max_sql) {
  RecordsetPtr rs = Open(max_sql);
  if (!rs->IsOpen() || rs->IsEmpty()) return 1;
  Variant value = Field(rs, size_t{0});
  if (value.IsNull() || value.IsEmpty()) return 1;
  auto number = value.ToInt64();
  return number.ok() ? *number + 1 : 1;
}

void ServerForFormulaDanYuan::CreateFormula(const std::shared_ptr<Object>& /*lvw: unused*/) {}

RecordsetPtr ServerForFormulaDanYuan::GetFormula(uint8_t BtType) {
  auto rs = std::make_shared<Recordset>();
  Run(ErrorMode::Handler, "GetFormula", [&] {
    const std::string t = T(), x = X(), l = L();
    std::string sql;
    if (window_level_) {
      switch (BtType) {
        case 1:
          sql = "SELECT XczhGs_id,型材.mingchengxc,daima,Gs,Shuliang,ShunXu,型材.xc_id,xlFS FROM "
                "型材组合公式 INNER JOIN 型材 ON 型材组合公式.xc_id=型材.xc_id  WHERE tk_id= " +
                t + " AND 型材组合公式.XL_ID =" + x + " ORDER BY ShunXu,XczhGs_id";
          break;
        case 2:
          sql = "SELECT pjzhGs_id,配件.DaiMa,配件.mingcheng,guige,Gs,ShunXu,配件.PJ_ID,Fa  FROM "
                "配件组合公式 INNER JOIN 配件 ON 配件组合公式.pj_id=配件.pj_id  WHERE tk_id= " +
                t + " AND XL_ID =" + x + " ORDER BY ShunXu,pjzhgs_ID";
          break;
        case 3:
          sql = "SELECT *  FROM 玻璃组合公式   WHERE tk_id= " + t + " AND XL_ID =" + x +
                " ORDER BY ShunXu";
          break;
        case 4:
          sql = "SELECT 型材.mingchengxc,daima,FormulaV.*  FROM FormulaV INNER JOIN 型材 ON "
                "型材.xc_ID=FormulaV.xcid  WHERE tkid= " +
                t + " AND XLID =" + x + " ORDER BY ShunXu";
          break;
        case 5:
          sql = "SELECT Block_ID,bk_CODE,bk_Mean,bk_STR FROM DetailBlock WHERE tk_id= " + t +
                " AND XL_ID =" + x;
          break;
        case 6:
          sql = "SELECT SJG_ID,ShanName,ShanH,ShanW,IsShaShan FROM ShanJiaGong WHERE tk_id= " + t +
                " AND XL_ID =" + x;
          break;
      }
    } else {
      switch (BtType) {
        case 1:
          sql = "SELECT XcdyGs_id,类别.mingcheng,Gs,Shuliang,ShunXu,xlFS  FROM 型材单元公式 "
                "INNER JOIN 类别 ON 型材单元公式.lb_id=类别.lb_id  WHERE dytk_id= " +
                t + " AND 型材单元公式.LvSu=" + l + " ORDER BY ShunXu";
          break;
        case 2:
          sql = "SELECT pjdyGs_id,类别.mingcheng,Gs,ShunXu,Fa  FROM 配件单元公式 INNER JOIN 类别 "
                "ON 配件单元公式.LB_id=类别.LB_id  WHERE dytk_id= " +
                t + "  AND 配件单元公式.LvSu=" + l + " ORDER BY ShunXu";
          break;
        case 3:
          sql = "SELECT *  FROM 玻璃单元公式   WHERE dytk_id= " + t + " AND LvSu=" + l +
                " ORDER BY ShunXu";
          break;
        case 4:
          sql = "SELECT 类别.mingcheng,FormulaDYV.*  FROM ((FormulaDYV INNER JOIN 型材单元公式 ON "
                "型材单元公式.xcDYGS_ID=FormulaDYV.xcDYGS_id) INNER JOIN 类别 ON  "
                "型材单元公式.lb_ID=类别.lb_ID) WHERE FormulaDYV.dytk_id= " +
                t + " AND 型材单元公式.LvSu=" + l + " ORDER BY FormulaDYV.ShunXu";
          break;
        case 5:
          sql = "SELECT Block_ID,bk_CODE,bk_Mean,bk_STR FROM GeneralBlock WHERE tk_id= " + t +
                " AND LvSu=" + l;
          break;
        case 6:
          sql = "SELECT SJGDY_ID,ShanName,ShanH,ShanW,IsShaShan FROM ShanJiaGongDY WHERE DYtk_id= " +
                t + " AND LvSu =" + l;
          break;
      }
    }
    if (!sql.empty()) OpenInto(rs, sql);
    last_type_ = BtType;
    rs = RaiseResult("rsFormula", rs);
  });
  return rs;
}

void ServerForFormulaDanYuan::AddFormula(const std::shared_ptr<Object>& frm, uint8_t BtType,
                                         Currency curCLID) {
  RunAtomically(ErrorMode::Handler, "AddFormula", [&] {
    const FormulaTable* kind = TableOf(BtType);
    if (!kind) {
      Check(NoSuchKind(BtType));
      return;
    }
    const bool w = window_level_;
    const std::string table = w ? kind->window_table : kind->unit_table;
    const std::string scope = w ? "tk_id" : "dytk_id";
    const std::string t = T(), x = X(), cl = SqlNumber(curCLID);
    auto id = NextId(connection(), table, w ? kind->window_id : kind->unit_id);
    if (!Check(id.status())) return;
    std::string order;
    switch (BtType) {
      case 1:
        order = SqlNumber(NextOrder("SELECT MAX(shunxu) FROM   " + table + " WHERE Xl_id=" + x +
                                    " AND " + scope + " = " + t));
        break;
      case 2:
        order = SqlNumber(NextOrder("SELECT MAX(shunxu) FROM   " + table + " WHERE Xl_id=" + x +
                                    " AND " + scope + "= " + t));
        break;
      case 3:
        order = SqlNumber(NextOrder("SELECT MAX(shunxu) FROM  " + table + " WHERE Xl_id=" + x +
                                    " AND " + scope + "= " + t));
        break;
      case 4:
        order = SqlNumber(NextOrder(w ? "SELECT MAX(shunxu) FROM  FormulaV WHERE Xlid=" + x +
                                            " AND tkid= " + t
                                      : "SELECT MAX(shunxu) FROM  FormulaDYV WHERE dyTK_id=" + cl));
        break;
    }
    auto text = [&](const char* control, std::optional<int> index = std::nullopt) {
      return Quoted(FormText(frm, control, index));
    };
    auto family = [&] { return Number(FormValue(frm, "cmbLvSu", std::nullopt, "ListIndex")); };
    std::string values = SqlNumber(*id);
    switch (BtType) {
      case 1:
        values += "," + t + "," + x + "," + cl + "," + text("txtformula", 0) + "," +
                  text("txtformula", 1) + "," + order + "," + text("txtformula", 2);
        if (!w) values += "," + family();
        break;
      case 2:
        values += "," + t + "," + x + "," + cl + "," + text("txtformula", 0) + "," + order;
        if (!w) values += "," + family();
        values += "," + text("txtformula", 1);
        break;
      case 3:
        values += "," + t + "," + x + "," + text("txtformula", 0) + "," + text("txtformula", 1) +
                  ",";
        // The unit quantity is a number; the window quantity stays a text.
        values += w ? text("txtformula", 2) : LeadingValue(FormText(frm, "txtformula", 2));
        values += "," + order + "," + text("txtbldh");
        if (!w) values += "," + family();
        break;
      case 4: {
        if (w) values += "," + t + "," + x + "," + cl;
        values += "," + text("combWeiZhi");
        for (int i = 0; i <= 10; ++i) values += "," + text("txtV", i);
        values += "," + order + ", " + SqlNumber(parent_formula_);
        if (!w) values += "," + cl;
        values += "," + text("txtCaiLiao");
        break;
      }
      case 5:
        values += w ? "," + x + "," + t : "," + t;
        values += "," + text("txtformula", 2) + "," + text("txtformula", 1) + "," +
                  text("txtformula", 0);
        if (!w) values += "," + family();
        break;
      case 6:
        values += "," + t + ",";
        values += w ? x : family();
        values += "," + text("txtformula", 2) + "," + text("txtformula", 0) + "," +
                  text("txtformula", 1) + "," + LeadingValue(FormText(frm, "txtbldh"));
        break;
    }
    Exec("INSERT INTO " + table + "  VALUES(" + values + ")");
    GetFormula(BtType);
  });
}

void ServerForFormulaDanYuan::EditFormula(Currency ID, const std::shared_ptr<Object>& frm,
                                          uint8_t BtType) {
  RunAtomically(ErrorMode::Handler, "EditFormula", [&] {
    const FormulaTable* kind = TableOf(BtType);
    if (!kind) {
      Check(NoSuchKind(BtType));
      return;
    }
    const bool w = window_level_;
    std::string table = w ? kind->window_table : kind->unit_table;
    if (!w && BtType >= 2 && BtType <= 4) table = " " + table;
    const std::string k = w ? kind->window_id : kind->unit_id;
    const std::string id = SqlNumber(ID);
    auto text = [&](const char* control, std::optional<int> index = std::nullopt) {
      return SqlQuote(FormText(frm, control, index));
    };
    std::string sql;
    switch (BtType) {
      case 1:
        sql = "UPDATE " + table + "  SET gs='" + text("txtformula", 0) + "',Shuliang='" +
              text("txtformula", 1) + "',xlFS='" + text("txtformula", 2) + "'  WHERE " + k + "=" +
              id;
        break;
      case 2:
        sql = "UPDATE " + table + "  SET gs='" + text("txtformula", 0) + "', Fa='" +
              text("txtformula", 1) + "'  WHERE " + k + "=" + id;
        break;
      case 3:
        sql = "UPDATE " + table + "  SET gs_chang='" + text("txtformula", 0) + "', gs_kuan='" +
              text("txtformula", 1) + "', ShuLiang=";
        if (w)
          sql += "'" + text("txtformula", 2) + "', zhBLDH='";
        else
          sql += LeadingValue(FormText(frm, "txtformula", 2)) + ", dyBLDH='";
        sql += text("txtbldh") + "'  WHERE " + k + "=" + id;
        break;
      case 4:
        sql = "UPDATE " + table + "  SET dir='" + text("combWeiZhi") + "', hv='" + text("txtV", 0) +
              "', Lv1='" + text("txtV", 1);
        for (int i = 2; i <= 10; ++i)
          sql += "',Lv" + std::to_string(i) + "='" + text("txtV", i);
        sql += "',CLMC='" + text("txtCaiLiao") + "' WHERE id=" + id;
        break;
      case 5:
        sql = "UPDATE " + table + " SET bk_CODE='" + text("txtformula", 2) + "',bk_Mean='" +
              text("txtformula", 1) + "',bk_STR='" + text("txtformula", 0) +
              "' WHERE Block_id=" + id;
        break;
      case 6:
        sql = "UPDATE " + table + " SET ShanName='" + text("txtformula", 2) + "',ShanW='" +
              text("txtformula", 1) + "',ShanH='" + text("txtformula", 0) +
              "', IsShaShan=" + LeadingValue(FormText(frm, "txtbldh")) + " WHERE " +
              (w ? "SJG_id" : "SJGDY_id") + "=" + id;
        break;
    }
    Exec(sql);
    GetFormula(last_type_);
  });
}

void ServerForFormulaDanYuan::DelFormula(Currency ID, uint8_t BtType) {
  static const std::vector<const char*> kStatements[] = {
      {"DELETE FROM 型材单元公式 WHERE xcdygs_id=", "DELETE FROM FormulaDYV WHERE xcdygs_id="},
      {"DELETE FROM 配件单元公式 WHERE pjdygs_id="},
      {"DELETE FROM 玻璃单元公式 WHERE bldygs_id="},
      {"DELETE FROM 型材组合公式 WHERE xczhgs_id=", "DELETE FROM FormulaV WHERE xcgs_id=",
       "DELETE FROM XiaV WHERE xcgs_id="},
      {"DELETE FROM 配件组合公式 WHERE pjzhgs_id="},
      {"DELETE FROM 玻璃组合公式 WHERE blzhgs_id="},
      {"DELETE FROM FormulaV WHERE id="},
      {"DELETE FROM FormulaDYV WHERE id="},
      {"DELETE FROM GeneralBlock WHERE Block_id="},
      {"DELETE FROM DetailBlock WHERE Block_id="},
      {"DELETE FROM ShanJiaGong WHERE SJG_id="},
      {"DELETE FROM ShanJiaGongDY WHERE SJGDY_id="},
  };
  bool deleted = false;
  // A formula goes with the rows that hang from it, or not at all.
  const bool committed = RunAtomically(ErrorMode::Handler, "DelFormula", [&] {
    if (BtType < 1 || BtType > 12) {
      Check(NoSuchKind(BtType));
      return;
    }
    for (const char* statement : kStatements[BtType - 1]) Exec(statement + SqlNumber(ID));
    deleted = true;
  });
  if (committed && deleted) GetFormula(last_type_);
}

const ServerForFormulaDanYuan::OrderTable* ServerForFormulaDanYuan::OrderTableOf(
    int32_t BtType) {
  static const OrderTable kOrderTables[] = {
      {"型材单元公式", "xcdygs_id", "dytk_ID", "xl_ID"},
      {"配件单元公式", "pjdygs_id", "dytk_ID", "xl_ID"},
      {"玻璃单元公式", "bldygs_id", "dytk_ID", "xl_ID"},
      {"型材组合公式", "xczhgs_id", "tk_ID", "xl_ID"},
      {"配件组合公式", "pjzhgs_id", "tk_ID", "xl_ID"},
      {"玻璃组合公式", "blzhgs_id", "tk_ID", "xl_ID"},
      {"FormulaV", "id", "tkID", "xlID"},
  };
  return BtType >= 1 && BtType <= 7 ? &kOrderTables[BtType - 1] : nullptr;
}

std::string ServerForFormulaDanYuan::OrderScope(const OrderTable& t) const {
  return "  WHERE " + std::string(t.series) + "=" + X() + " AND " + t.scope + "= " + T();
}

int32_t ServerForFormulaDanYuan::GetMaxWeiShu(int32_t CurShunxu, bool IsUp, int32_t BtType) {
  int32_t count = 0;
  Run(ErrorMode::ResumeNext, "GetMaxWeiShu", [&] {
    const OrderTable* t = OrderTableOf(BtType);
    if (!t) return;
    RecordsetPtr rs = Open("SELECT Shunxu FROM  " + std::string(t->table) + OrderScope(*t) +
                           (IsUp ? " AND Shunxu< " : " AND Shunxu> ") + SqlNumber(CurShunxu) +
                           extra_condition_);
    if (rs->IsOpen()) count = static_cast<int32_t>(rs->RowCount());
  });
  extra_condition_.clear();
  return count;
}

void ServerForFormulaDanYuan::UpDown(Currency CurShunxu, uint8_t BtType, Currency ID, bool blUp) {
  bool moved = false;
  // The shift and the moved row's new place are one change: a failure
  // between them would leave two rows on one place.
  const bool committed = RunAtomically(ErrorMode::Handler, "Up", [&] {
    const OrderTable* t = OrderTableOf(BtType);
    if (!t) {
      Check(NoSuchKind(BtType));
      return;
    }
    const std::string table = t->table, scope = OrderScope(*t), cur = SqlNumber(CurShunxu);
    // No distance set: the row stays where it is.
    if (move_distance_ < 1) {
      moved = true;
      return;
    }
    // The row must still be where the caller saw it: after another
    // workstation's move, shifting by a stale place would put two rows on
    // one order value.
    if (!CountsAny("SELECT COUNT(*) FROM " + table + " WHERE " + t->id + "=" + SqlNumber(ID) +
                   " AND Shunxu=" + cur)) {
      Check(Status::Error(ErrorCode::kBadArgument,
                          "Formula " + SqlNumber(ID) + " is not at order value " + cur +
                              " any more; list the formulas again"));
      return;
    }
    RecordsetPtr rs =
        Open(blUp ? "SELECT Shunxu FROM  " + table + scope + " AND Shunxu< " + cur +
                        extra_condition_ + " ORDER BY Shunxu DESC"
                  : "SELECT Shunxu FROM " + table + scope + " AND Shunxu> " + cur +
                        extra_condition_ + " ORDER BY Shunxu");
    if (Field(rs, "Shunxu").IsNull()) {
      moved = true;
      return;
    }
    Variant target;
    for (int32_t i = 1; i <= move_distance_; ++i) {
      target = Field(rs, "Shunxu");  // past the last row: reported, nothing changed
      if (i < move_distance_) Check(rs->MoveNext());
    }
    const std::string to = Number(target);
    if (blUp)
      Exec(" UPDATE " + table + "  SET Shunxu=Shunxu+1" + scope + " AND Shunxu>=" + to +
           " AND Shunxu< " + cur + extra_condition_);
    else
      Exec(" UPDATE " + table + "  SET Shunxu=Shunxu-1" + scope + " AND Shunxu>" + cur +
           " AND Shunxu<= " + to + extra_condition_);
    Exec(" UPDATE " + table + " SET Shunxu=" + to + " WHERE " + t->id + "=" + SqlNumber(ID));
    moved = true;
  });
  // A condition left behind would narrow the next, unrelated move.
  extra_condition_.clear();
  if (committed && moved) GetFormula(last_type_);
}

void ServerForFormulaDanYuan::SetGTFormula(Currency GTTKID, Currency GTXLID,
                                           const std::string& strGT) {
  RunAtomically(ErrorMode::ResumeNext, "SetGTFormula", [&] {
    RecordsetPtr rs = Open("SELECT * FROM WZSBGT WHERE TK_ID=" + SqlNumber(GTTKID) +
                           " AND XL_ID=" + SqlNumber(GTXLID));
    if (!rs->IsOpen()) return;
    if (!rs->IsEmpty()) {
      Exec("UPDATE WZSBGT SET GT=" + Quoted(strGT) + " WHERE ID=" + Number(Field(rs, "ID")));
      return;
    }
    auto id = NextId(connection(), "WZSBGT", "ID");
    if (!Check(id.status())) return;
    Exec("INSERT INTO WZSBGT VALUES(" + SqlNumber(*id) + "," + SqlNumber(GTTKID) + "," +
         SqlNumber(GTXLID) + "," + Quoted(strGT) + ")");
  });
}

std::string ServerForFormulaDanYuan::GetGTFormula(Currency GTTKID, Currency GTXLID) {
  std::string text;
  Run(ErrorMode::ResumeNext, "GetGTFormula", [&] {
    RecordsetPtr rs = Open("SELECT * FROM WZSBGT WHERE TK_ID=" + SqlNumber(GTTKID) +
                           " AND XL_ID=" + SqlNumber(GTXLID));
    if (!rs->IsOpen() || rs->IsEmpty()) return;
    Variant gt = Field(rs, "GT");
    if (!gt.IsNull()) text = gt.ToText();
  });
  return text;
}

}  // namespace dravmor
