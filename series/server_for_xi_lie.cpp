#include "series/server_for_xi_lie.h"

#include <unordered_set>
#include <vector>

#include "engine/id_allocator.h"
#include "engine/routines.h"
#include "engine/text.h"

namespace dravmor {

namespace {

bool IsTrue(const Variant& v) {
  auto b = v.ToBool();
  return b.ok() && *b;
}

// Tree nodes are the rows AddTree made: formula rows that name a root
// series. A top-level series has no root (joining mode 0) even when it
// carries the formula flag, as copies of a node do; its window type in
// the parent column must never read as a parent id.
constexpr const char* kTreeNodesOnly = " AND YouGongShi<>0 AND PinJieFangShi<>0";

}  // namespace

ServerForXiLie::ServerForXiLie() : ServerObject("ServerForXiLie") {}

void ServerForXiLie::SetCaoZuoYuan(const std::string& strCZY, bool /*IsYanGe: not used*/) {
  operator_name_ = strCZY;
  scope_ = " ";
}

ServerForXiLie::SeriesForm ServerForXiLie::ReadSeriesForm(const std::shared_ptr<Object>& frm) {
  SeriesForm form;
  auto single = FormValue(frm, "optcha", 0, "Value").ToBool();
  if (!Check(single.ok() ? Status::Ok() : single.status())) return form;
  form.joining = *single ? 0 : 1;
  // No selection (-1) is no window type: the conversion fails the method.
  auto type = FormValue(frm, "cmbSeries", std::nullopt, "ListIndex").ConvertTo(VarType::Byte);
  if (!Check(type.ok() ? Status::Ok() : type.status())) return form;
  form.window_type = type->byte();
  form.name = FormText(frm, "txtxiliename");
  return form;
}

bool ServerForXiLie::FindChongFu(const std::string& name, uint8_t xllb, uint8_t pinjie,
                                 bool& editing, Currency ID) {
  bool taken = false;
  Run(ErrorMode::Handler, "FindChongFu", [&] {
    std::string sql = "SELECT COUNT(*) FROM 系列 WHERE MingCheng=" + std::string("'") +
                      SqlQuote(name) + "'" + " AND xllb =" + SqlNumber(xllb) +
                      " AND PinjieFangshi=" + SqlNumber(pinjie) + " AND cj_id=" + SqlNumber(factory_);
    if (editing) sql += " AND xl_id<>" + SqlNumber(ID);
    taken = CountsAny(sql);
  });
  return taken;
}

std::string ServerForXiLie::GetXiLieTypeName(const Variant& xllb) {
  static const char* const kNames[] = {"推拉窗", "推拉门", "平开窗", "平开门",
                                       "固定窗", "百叶窗", "铝网"};
  auto code = xllb.ToInt64();
  if (!code.ok() || *code < 0 || *code > 6) return "";
  return kNames[*code];
}

std::optional<Currency> ServerForXiLie::NextSeriesId() {
  auto id = NextId(connection(), "系列", "xl_id");
  if (!Check(id.status())) return std::nullopt;
  return *id;
}

void ServerForXiLie::AddXiLie(const std::shared_ptr<Object>& frm) {
  RunAtomically(ErrorMode::Handler, "AddXiLie", [&] {
    SeriesForm f = ReadSeriesForm(frm);
    bool editing = false;
    if (FindChongFu(f.name, f.window_type, f.joining, editing, Currency{})) {
      Raise("ChongFu");
      return;
    }
    auto id = NextSeriesId();
    if (!id) return;
    Exec("INSERT INTO 系列  VALUES(" + SqlNumber(*id) + "," + SqlNumber(factory_) + ",'" +
         SqlQuote(f.name) + "'," + SqlNumber(f.window_type) + "," + SqlNumber(f.joining) +
         ",0,0,'" + SqlQuote(operator_name_) + "','" + SqlQuote(operator_name_) + "')");
    GetXiLie(100);
  });
}

void ServerForXiLie::EditXiLie(Currency ID, const std::shared_ptr<Object>& frm) {
  RunAtomically(ErrorMode::Handler, "EditXiLie", [&] {
    SeriesForm f = ReadSeriesForm(frm);
    bool editing = true;
    if (FindChongFu(f.name, f.window_type, f.joining, editing, ID)) {
      Raise("ChongFu");
      return;
    }
    Exec("UPDATE 系列  SET mingcheng='" + SqlQuote(f.name) + "'," + "xllb=" +
         SqlNumber(f.window_type) + "," + "PinjieFangshi=" + SqlNumber(f.joining) +
         " WHERE xl_id=" + SqlNumber(ID));
    GetXiLie(100);
  });
}

void ServerForXiLie::DeleteSeriesRows(Currency ID) {
  Exec("DELETE FROM 系列 WHERE xl_id=" + SqlNumber(ID));
  Exec("DELETE FROM 系列 WHERE xllb=" + SqlNumber(ID) + kTreeNodesOnly);
  Exec("DELETE FROM 系列 WHERE pinJieFangShi=" + SqlNumber(ID) + kTreeNodesOnly);
}

void ServerForXiLie::DelXiLie(Currency ID) {
  // All or nothing: a series is never left half deleted.
  const bool deleted = RunAtomically(ErrorMode::Handler, "DelXiLie", [&] {
    DeleteSeriesRows(ID);
    Exec("DELETE FROM DetailBlock WHERE XL_ID=" + SqlNumber(ID));
    Exec("DELETE FROM WinFilter WHERE XL_ID=" + SqlNumber(ID));
    if (HasTable("WZSBGT")) Exec("DELETE FROM WZSBGT WHERE XL_ID=" + SqlNumber(ID));
    if (HasTable("ShanJiaGong")) Exec("DELETE FROM ShanJiaGong WHERE XL_ID=" + SqlNumber(ID));
  });
  if (deleted) GetXiLie(100);
}

void ServerForXiLie::DelTree(Currency Xl_ID) {
  // Tree methods never report; a failing step undoes the whole deletion.
  RunAtomically(ErrorMode::SilentHandler, "DelTree", [&] { DeleteSeriesRows(Xl_ID); });
}

void ServerForXiLie::EditTree(Currency Xl_ID, const std::string& strName) {
  RunAtomically(ErrorMode::ResumeNext, "EditTree", [&] {
    Exec("UPDATE 系列 SET MingCheng='" + SqlQuote(strName) + "' WHERE Xl_ID=" + SqlNumber(Xl_ID));
  });
}

void ServerForXiLie::AddTree(Currency Up_ID, Currency Root_ID, const std::string& strName) {
  RunAtomically(ErrorMode::ResumeNext, "AddTree", [&] {
    auto id = NextSeriesId();
    if (!id) return;
    Exec("INSERT INTO 系列  VALUES(" + SqlNumber(*id) + "," + SqlNumber(factory_) + ",'" +
         SqlQuote(strName) + "'," + SqlNumber(Up_ID) + "," + SqlNumber(Root_ID) + ",1,0,'" +
         SqlQuote(operator_name_) + "','" + SqlQuote(operator_name_) + "')");
    CopyNodeFormulas(Up_ID, *id);
  });
}

void ServerForXiLie::CopyNodeFormulas(Currency source, Currency target) {
  struct Copy {
    const char* table;
    const char* id_column;
    const char* order;
    RowInsert insert;
  };
  const std::string to = SqlNumber(target);
  auto r = [this](const RecordsetPtr& rs, size_t i) { return Field(rs, i); };
  const Copy copies[] = {
      {"型材组合公式", "xczhgs_id", " ORDER BY xczhgs_ID",
       [&](const RecordsetPtr& rs, const std::string& id) {
         return "INSERT INTO  型材组合公式 Values(" + id + "," + SqlNumberOrNull(r(rs, 1)) + "," +
                to + "," + SqlNumberOrNull(r(rs, 3)) + "," + SqlQuotedOrNull(r(rs, 4)) + "," +
                SqlQuotedOrNull(r(rs, 5)) + "," + SqlNumberOrNull(r(rs, 6)) + "," + SqlQuotedOrNull(r(rs, 7)) + ")";
       }},
      {"配件组合公式", "Pjzhgs_id", " ORDER BY pjzhgs_ID",
       [&](const RecordsetPtr& rs, const std::string& id) {
         return "INSERT INTO  配件组合公式 Values(" + id + "," + SqlNumberOrNull(r(rs, 1)) + "," +
                to + "," + SqlNumberOrNull(r(rs, 3)) + "," + SqlQuotedOrNull(r(rs, 4)) + "," +
                SqlQuotedOrNull(r(rs, 5)) + "," + SqlQuotedOrNull(Field(rs, "Fa")) + ")";
       }},
      {"玻璃组合公式", "blzhgs_id", " ORDER BY blzhgs_ID",
       [&](const RecordsetPtr& rs, const std::string& id) {
         return "INSERT INTO  玻璃组合公式 Values(" + id + "," + SqlNumberOrNull(r(rs, 1)) + "," +
                to + "," + SqlQuotedOrNull(r(rs, 3)) + "," + SqlQuotedOrNull(r(rs, 4)) + "," + SqlQuotedOrNull(r(rs, 5)) +
                "," + SqlNumberOrNull(r(rs, 6)) + "," + SqlQuotedOrNull(r(rs, 7)) + ")";
       }},
      {"ShuZhi", "ID", " ORDER BY ID",
       [&](const RecordsetPtr& rs, const std::string& id) {
         return "INSERT INTO ShuZhi (ID,Xl_ID,Para_ID,ValZhi) VALUES (" + id + "," + to + "," +
                SqlNumberOrNull(Field(rs, "Para_ID")) + "," + SqlNumberOrNull(Field(rs, "ValZhi")) + ")";
       }},
  };
  for (const Copy& copy : copies)
    CopySeriesRows(copy.table, copy.id_column, copy.order, source, copy.insert);
}

void ServerForXiLie::CopySeriesRows(const std::string& table, const std::string& id_column,
                                    const std::string& order, Currency source,
                                    const RowInsert& make_insert) {
  RecordsetPtr rows =
      Open("SELECT * FROM " + table + " WHERE xl_ID=" + SqlNumber(source) + order);
  if (!rows->IsOpen()) return;
  // The ids once before the loop; the k-th copy takes base + k.
  auto base = AllocateCopyBase(connection(), table, id_column,
                               static_cast<int64_t>(rows->RowCount()));
  if (!Check(base.status())) return;
  int64_t k = 0;
  for (; !*rows->Eof(); rows->MoveNext()) {
    std::string insert = make_insert(rows, std::to_string(*base + ++k));
    if (!insert.empty()) Exec(insert);
  }
}

RecordsetPtr ServerForXiLie::GetXiLie(uint8_t btXLB) {
  auto rs = std::make_shared<Recordset>();
  Run(ErrorMode::Handler, "GetXiLie", [&] {
    std::string sql = "SELECT * FROM 系列  " + std::string(" WHERE cj_id= ") + SqlNumber(factory_) +
                      scope_;
    if (btXLB != 100)
      sql += " AND xllb=" + SqlNumber(btXLB) + " AND PinJieFangShi=0 ORDER BY xllb,Xl_id";
    else
      sql += std::string(" AND PinJieFangShi=0 ") + " ORDER BY xllb,Xl_id";
    OpenInto(rs, sql);
    rs = RaiseResult("rsResult", rs);
  });
  return rs;
}

RecordsetPtr ServerForXiLie::GetFormulaXiLie(int32_t btXLB, Currency TK_ID) {
  auto rs = std::make_shared<Recordset>();
  Run(ErrorMode::Handler, "GetFormulaXiLie", [&] {
    OpenInto(rs, "SELECT * FROM 系列  " + std::string(" WHERE cj_id= ") + SqlNumber(factory_) +
                     " AND xllb=" + SqlNumber(btXLB) +
                     " AND PinJieFangShi=0 AND XL_ID NOT IN (SELECT XL_ID FROM WinFilter WHERE TK_ID=" +
                     SqlNumber(TK_ID) + ") ORDER BY xllb,Xl_id");
    rs = RaiseResult("rsResult", rs);
  });
  return rs;
}

RecordsetPtr ServerForXiLie::GetFilterXiLie(Currency TK_ID) {
  auto rs = std::make_shared<Recordset>();
  Run(ErrorMode::Handler, "GetFilterXiLie", [&] {
    OpenInto(rs,
             "SELECT Filter_id,WinFilter.XL_ID,JianCheng FROM ((WinFilter INNER JOIN 系列 ON  "
             "WinFilter.XL_ID=系列.XL_ID) INNER JOIN 厂家 ON 系列.Cj_ID=厂家.Cj_ID) " +
                 std::string(" WHERE Tk_id= ") + SqlNumber(TK_ID) + "  " + " ORDER BY Filter_id");
    rs = RaiseResult("rsResultFilter", rs);
  });
  return rs;
}

int32_t ServerForXiLie::GetTreeYuanLB(Currency Xl_ID) {
  int32_t type = 0;
  Run(ErrorMode::ResumeNext, "GetTreeYuanLB", [&] {
    RecordsetPtr rs = Open(
        "SELECT xllb FROM 系列 WHERE xl_ID IN (SELECT pinJieFangShi FROM 系列 WHERE xl_ID=" +
        SqlNumber(Xl_ID) + ")");
    if (!rs->IsOpen() || rs->IsEmpty()) return;
    auto value = Field(rs, "xllb").ToInt64();
    if (value.ok()) type = static_cast<int32_t>(*value);
  });
  return type;
}

std::string ServerForXiLie::GetOwner() {
  std::string owner;
  Run(ErrorMode::ResumeNext, "GetOwner", [&] {
    RecordsetPtr rs = Open("SELECT OwnerList FROM 厂家 WHERE CJ_ID=" + SqlNumber(factory_));
    if (rs->IsOpen() && !rs->IsEmpty()) owner = Field(rs, "OwnerList").ToText();
  });
  return owner;
}

void ServerForXiLie::AddFilter(Currency TK_ID, Currency Xl_ID) {
  RunAtomically(ErrorMode::ResumeNext, "AddFilter", [&] {
    RecordsetPtr rs = Open("SELECT * FROM WinFilter WHERE TK_ID=" + SqlNumber(TK_ID) +
                           " AND XL_ID=" + SqlNumber(Xl_ID));
    if (rs->IsOpen() && rs->IsEmpty()) {
      Currency id = GetMaxID(connection(), "WinFilter", "Filter_ID");
      Exec("INSERT INTO WinFilter Values(" + SqlNumber(id) + "," + SqlNumber(Xl_ID) + "," +
           SqlNumber(TK_ID) + ")");
    }
    GetFilterXiLie(TK_ID);
  });
}

void ServerForXiLie::DelFiler(Currency Filter_ID) {
  RunAtomically(ErrorMode::ResumeNext, "DelFiler",
      [&] { Exec("DELETE FROM WinFilter WHERE Filter_ID=" + SqlNumber(Filter_ID)); });
}

void ServerForXiLie::SetXLSuo(Currency gcID, int32_t lngSuo) {
  RunAtomically(ErrorMode::ResumeNext, "SetXLSuo", [&] {
    Exec("UPDATE 系列 SET XLSuoDing=" + SqlNumber(lngSuo) + " WHERE XL_ID=" + SqlNumber(gcID));
  });
}

// The tree.

std::shared_ptr<TreeNode> ServerForXiLie::AddChild(TreeControl& tree,
                                                   const std::shared_ptr<TreeNode>& node,
                                                   const std::string& text) {
  auto added = tree.AddNode(node, TreeRelation::kChild, "", text, 1);
  if (!Check(added.ok() ? Status::Ok() : added.status())) return nullptr;
  return *added;
}

void ServerForXiLie::GetXiLieByTree(const std::shared_ptr<Object>& objTree,
                                    const std::shared_ptr<Object>& node, uint8_t blXLLB) {
  Run(ErrorMode::ResumeNext, "GetXiLieByTree", [&] {
    auto tree = std::dynamic_pointer_cast<TreeControl>(objTree);
    if (!Check(tree ? Status::Ok()
                    : Status::Error(ErrorCode::kObjectRequired, "Object required: objTree")))
      return;
    auto parent = std::dynamic_pointer_cast<TreeNode>(node);
    std::string sql = "SELECT * FROM 系列  " + std::string(" WHERE cj_id= ") + SqlNumber(factory_);
    if (blXLLB == 100)
      sql += std::string(" AND PinJieFangShi=0 ") + " ORDER BY xllb,Xl_id";
    else if (template_ != Currency{})
      sql += " AND xllb=" + SqlNumber(blXLLB) +
             " AND PinJieFangShi=0 AND XL_ID NOT IN (SELECT XL_ID FROM WinFilter WHERE TK_ID=" +
             SqlNumber(template_) + ")  ORDER BY xllb,Xl_id";
    else
      sql += " AND xllb=" + SqlNumber(blXLLB) + " AND PinJieFangShi=0 ORDER BY xllb,Xl_id";
    RecordsetPtr rs = Open(sql);
    if (!rs->IsOpen()) return;
    std::unordered_set<int64_t> shown;
    for (; !*rs->Eof(); rs->MoveNext()) {
      Variant xllb = Field(rs, "xllb");
      auto added = AddChild(*tree, parent, Field(rs, "MingCheng").ToText() + GetXiLieTypeName(xllb));
      if (!added) continue;
      added->SetTag(Field(rs, "XL_ID").ToText() + ";" + xllb.ToText() + ";" +
                    Field(rs, "PinJieFangShi").ToText() + ";" +
                    (IsTrue(Field(rs, "YouGongShi")) ? "1" : "0"));
      auto id = Field(rs, "XL_ID").ToCurrency();
      if (!id.ok()) continue;
      FillLevel(*id, *tree, added, true, template_ != Currency{}, shown);
    }
    if (parent) parent->SetExpanded(true);
  });
}

void ServerForXiLie::FillTree(Currency xlid, const std::shared_ptr<Object>& objTree,
                              const std::shared_ptr<Object>& node, bool& IsFormula) {
  Run(ErrorMode::None, "FillTree", [&] {
    auto tree = std::dynamic_pointer_cast<TreeControl>(objTree);
    if (!Check(tree ? Status::Ok()
                    : Status::Error(ErrorCode::kObjectRequired, "Object required: objTree")))
      return;
    std::unordered_set<int64_t> shown;
    FillLevel(xlid, *tree, std::dynamic_pointer_cast<TreeNode>(node), IsFormula, false, shown);
  });
}

void ServerForXiLie::FillLevel(Currency xlid, TreeControl& tree,
                               const std::shared_ptr<TreeNode>& node, bool is_formula,
                               bool filtered, std::unordered_set<int64_t>& shown) {
  // Depth first, rows in the order the database returns them, as a
  // recursion would go, but on a stack of open levels: a chain thousands
  // deep costs memory, not the process. A row already shown (a parent
  // cycle, a node naming itself) is not shown again, so any data ends.
  struct Level {
    RecordsetPtr rows;
    std::shared_ptr<TreeNode> node;
  };
  std::vector<Level> levels;
  auto open_level = [&](Currency parent, const std::shared_ptr<TreeNode>& under, bool filter) {
    std::string sql =
        "SELECT XL_ID,xllb,PinJieFangShi,MingCheng,YouGongshi FROM 系列 WHERE xllb=" +
        SqlNumber(parent) + kTreeNodesOnly;
    if (filter)
      sql += " AND XL_ID NOT IN (SELECT XL_ID FROM WinFilter WHERE TK_ID=" +
             SqlNumber(template_) + ")  ";
    RecordsetPtr rs = Open(sql);
    if (rs->IsOpen()) levels.push_back({rs, under});
  };
  shown.insert(xlid.scaled);
  open_level(xlid, node, filtered);
  while (!levels.empty()) {
    Level& level = levels.back();
    if (*level.rows->Eof()) {
      if (level.node) level.node->SetExpanded(true);
      levels.pop_back();
      continue;
    }
    RecordsetPtr rs = level.rows;
    std::shared_ptr<TreeNode> under = level.node;
    auto id = Field(rs, "XL_ID").ToCurrency();
    if (id.ok() && !shown.insert(id->scaled).second) {
      rs->MoveNext();
      continue;
    }
    auto added = AddChild(tree, under, Field(rs, "MingCheng").ToText());
    std::string tag = Field(rs, "XL_ID").ToText() + ";" + Field(rs, "xllb").ToText() + ";" +
                      Field(rs, "PinJieFangShi").ToText();
    if (is_formula) tag += std::string(";") + (IsTrue(Field(rs, "YouGongshi")) ? "1" : "0");
    rs->MoveNext();
    if (!added) continue;
    added->SetTag(tag);
    // Below the filtered level the plain fill goes on.
    if (id.ok()) open_level(*id, added, false);
  }
}

}  // namespace dravmor
