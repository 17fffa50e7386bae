#include "engine/references.h"

#include "engine/text.h"

namespace dravmor {

namespace {

// A tree node keeps its parent's XL_ID in xllb and its root's in
// PinJieFangShi; top-level and joined series keep a window type (0..6) and
// a joining mode (0/1) there. Only rows made as tree nodes are nodes, and
// a node's root is never 0.
const std::vector<RowTest> kTreeNode = {{"YouGongShi", false, 0}, {"PinJieFangShi", false, 0}};

std::vector<RowTest> LedgerItem(int type) { return {{"WuJianType", true, type}}; }

}  // namespace

const std::vector<KeyOwner>& ReferenceMap() {
  static const std::vector<KeyOwner> map = {
      {"厂家", "Cj_ID",
       {{"系列", "CJ_ID", {}}, {"型材", "CJ_ID", {}}, {"配件", "CJ_ID", {}}, {"玻璃", "CJ_ID", {}},
        {"颜色价格", "cj_id", {}}}},
      {"类别", "LB_ID",
       {{"型材", "LB_ID", {}}, {"配件", "LB_ID", {}}, {"型材单元公式", "lb_id", {}},
        {"配件单元公式", "LB_id", {}}, {"ShuZhi", "Para_ID", {}}, {"UnitXingCai", "LB_ID", {}},
        {"UnitPeiJian", "LB_ID", {}}, {"UnitBoLi", "LB_ID", {}}, {"UnitShanJiaGong", "LB_ID", {}}}},
      {"系列", "XL_ID",
       {{"系列", "xllb", kTreeNode}, {"系列", "PinJieFangShi", kTreeNode}, {"型材", "XL_ID", {}},
        {"TongYong", "xl_ID", {}}, {"型材组合公式", "XL_ID", {}}, {"配件组合公式", "XL_ID", {}},
        {"玻璃组合公式", "XL_ID", {}}, {"型材单元公式", "xl_id", {}}, {"配件单元公式", "xl_id", {}},
        {"玻璃单元公式", "xl_id", {}}, {"ShuZhi", "Xl_ID", {}}, {"DetailBlock", "XL_ID", {}},
        {"WinFilter", "XL_ID", {}}, {"WZSBGT", "XL_ID", {}}, {"ShanJiaGong", "XL_ID", {}},
        {"BiaoYeDetail", "XL_ID", {}}, {"FormulaV", "XLID", {}}}},
      {"型材", "Xc_ID",
       {{"型材", "YuanID", {}}, {"绑定", "Zhu_ID", {}}, {"绑定", "Fu_ID", {}},
        // An accessory binding's main part is the kind its ZhuType names; a
        // row whose kind could not be told (Null) follows neither.
        {"绑定配件", "Zhu_ID", {{"ZhuType", true, 0}}}, {"TongYong", "xc_ID", {}},
        {"型材组合公式", "xc_id", {}},
        {"FormulaV", "xcID", {}}, {"LingLiao", "xc_ID", {}}, {"SingleXcyh", "xc_ID", {}},
        {"xcyhNameID", "xc_ID", {}}, {"McColor", "xc_ID", {}}, {"BaoDanDetail", "Xc_ID", {}},
        {"ChuRuDetail", "WuJianID", LedgerItem(0)}}},
      {"配件", "PJ_ID",
       {{"配件组合公式", "pj_id", {}}, {"绑定配件", "Fu_ID", {}},
        {"绑定配件", "Zhu_ID", {{"ZhuType", true, 1}}},
        {"ChuRuDetail", "WuJianID", LedgerItem(1)}}},
      {"玻璃", "BL_ID", {{"ChuRuDetail", "WuJianID", LedgerItem(2)}}},
      {"绑定", "Bang_ID", {}},
      {"绑定配件", "Bang_ID", {}},
      {"型材组合公式", "xczhgs_id",
       {{"FormulaV", "xcGS_ID", {}}, {"XiaV", "XcGS_ID", {}}, {"XingCaiXiaLiao", "XcGs_ID", {}}}},
      {"配件组合公式", "pjzhgs_id", {}},
      {"玻璃组合公式", "blzhgs_id", {}},
      {"型材单元公式", "xcdygs_id", {{"FormulaDYV", "xcDYGS_ID", {}}}},
      {"配件单元公式", "pjdygs_id", {}},
      {"玻璃单元公式", "bldygs_id", {}},
      {"图库", "TK_ID",
       {{"型材组合公式", "tk_id", {}}, {"配件组合公式", "tk_id", {}}, {"玻璃组合公式", "tk_id", {}},
        {"FormulaV", "TKID", {}}, {"DetailBlock", "TK_ID", {}}, {"WinFilter", "TK_ID", {}},
        {"WZSBGT", "TK_ID", {}}, {"ShanJiaGong", "TK_ID", {}}, {"ProjectWindowDetail", "TK_ID", {}}}},
      {"单元图库", "dytk_ID", {}},
      {"客户管理", "kehu_id", {{"ProjectInfo", "Kehu_id", {}}, {"SaleDan", "KeHu_ID", {}}}},
      {"ProjectInfo", "Gcxx_ID",
       {{"ProjectInfo", "pici", {}}, {"ProjectWindow", "gcxx_ID", {}}, {"ProjectShan", "gcxx_ID", {}},
        {"工程实施", "gcxxID", {}}, {"ChuRuDetail", "GcxxID", {}}, {"GcMoney", "GcxxID", {}},
        {"MoneyGc", "GcxxID", {}}, {"GcInstall", "GcxxID", {}}, {"Problem", "GcxxID", {}}}},
      {"ProjectWindow", "gcmc_ID",
       {{"ProjectWindowDetail", "gcmc_ID", {}}, {"ProjectShan", "gcmc_ID", {}},
        {"ChengPinKu", "MCID", {}}, {"ChengPinKuCRMX", "MCID", {}}, {"McColor", "Mc_ID", {}}}},
      {"ProjectWindowDetail", "mcmx_ID", {{"XiaV", "Mcmx_ID", {}}}},
      {"工程实施", "pici_ID", {{"批次明细", "pici_ID", {}}}},
      {"BaoDan", "BD_ID", {{"BaoDanDetail", "BD_ID", {}}}},
      {"BaoDanDetail", "BDDetail_ID", {}},
      {"SaleDan", "SaleDan_ID", {{"BiaoYeDetail", "SD_ID", {}}}},
      {"BiaoYeDetail", "BYDT_ID", {}},
      {"XcDaLei", "ID", {{"型材", "DaLei", {}}}},
      {"ZheKouLv", "ID", {{"型材", "ZheKouID", {}}}},
      {"颜色价格", "yansejiage_id", {}},
      {"TongYong", "TY_ID", {}},
      {"ShuZhi", "ID", {}},
      {"LingLiao", "LingLiao_id", {}},
      {"ChuRuDetail", "ID", {}},
      {"FormulaV", "ID", {}},
      {"FormulaDYV", "ID", {}},
      {"XiaV", "ID", {}},
      {"McColor", "ColorID", {}},
      {"DetailBlock", "Block_ID", {}},
      {"GeneralBlock", "Block_ID", {}},
      {"WinFilter", "Filter_ID", {}},
      {"WZSBGT", "ID", {}},
      {"ShanJiaGong", "SJG_ID", {}},
      {"ShanJiaGongDY", "SJGDY_ID", {}},
      {"UnitXingCai", "xcUnitGs_ID", {}},
      {"UnitPeiJian", "pjUnitGs_ID", {}},
      {"UnitBoLi", "blUnitGs_ID", {}},
      {"UnitShanJiaGong", "JgUnitGs_ID", {}},
      {"ProjectShan", "ID", {}},
      {"ChengPinKu", "ID", {}},
      {"ChengPinKuCRMX", "ID", {}},
      {"ChengPinKuDanHao", "ID", {}},
      {"SingleXcyh", "ID", {}},
      {"xcyhNameID", "ID", {}},
      {"JieMianPara", "ID", {}},
      {"FoShanLB", "ID", {}},
      {"CAD", "ID", {}},
      {"用户管理", "YongHu_id", {}},
      {"sys", "ID", {}},
      {"GcMoney", "ID", {}},
      {"MoneyGc", "ID", {}},
      {"GcInstall", "ID", {}},
      {"Problem", "ID", {}},
      {"TouBiao", "ID", {}},
      {"HeTong", "ID", {}},
  };
  return map;
}

const std::vector<NotAReference>& NotReferences() {
  static const std::vector<NotAReference> list = {
      {"型材单元公式", "dytk_id", "the unit template's number (dytkLuJing), which nothing moves"},
      {"配件单元公式", "dytk_id", "the unit template's number (dytkLuJing), which nothing moves"},
      {"玻璃单元公式", "dytk_id", "the unit template's number (dytkLuJing), which nothing moves"},
      {"FormulaDYV", "DYTK_ID", "the unit template's number (dytkLuJing), which nothing moves"},
      {"ShanJiaGongDY", "DYTK_ID", "the unit template's number (dytkLuJing), which nothing moves"},
      {"GeneralBlock", "TK_ID", "the unit template's number (dytkLuJing), which nothing moves"},
      {"UnitXingCai", "unitTK_ID", "the unit template's number (dytkLuJing), which nothing moves"},
      {"UnitPeiJian", "unitTK_ID", "the unit template's number (dytkLuJing), which nothing moves"},
      {"UnitBoLi", "unitTK_ID", "the unit template's number (dytkLuJing), which nothing moves"},
      {"UnitShanJiaGong", "unitTK_ID", "the unit template's number (dytkLuJing), which nothing moves"},
      {"XcDaLei", "DaLei", "the class's name"},
      {"IdHighWater", "LastID", "the largest id the allocator handed out for a table and column"},
  };
  return list;
}

const KeyOwner* FindKeyOwner(std::string_view table) {
  for (const KeyOwner& owner : ReferenceMap())
    if (EqualsIgnoreCase(owner.table, table)) return &owner;
  return nullptr;
}

std::vector<std::pair<const KeyOwner*, const Reference*>> KeysHeldBy(std::string_view table,
                                                                     std::string_view column) {
  std::vector<std::pair<const KeyOwner*, const Reference*>> found;
  for (const KeyOwner& owner : ReferenceMap())
    for (const Reference& ref : owner.held_by)
      if (EqualsIgnoreCase(ref.table, table) && EqualsIgnoreCase(ref.column, column))
        found.emplace_back(&owner, &ref);
  return found;
}

std::string OnlyWhenSql(const Reference& reference) {
  std::string sql;
  for (const RowTest& test : reference.only_when)
    sql += " AND " + std::string(test.column) + (test.equals ? "=" : "<>") +
           std::to_string(test.value);
  return sql;
}

bool OnlyWhenHolds(const Reference& reference,
                   const std::function<std::optional<double>(std::string_view)>& value) {
  for (const RowTest& test : reference.only_when) {
    const std::optional<double> v = value(test.column);
    // Null is neither equal nor unequal, as in SQL.
    if (!v || (*v == test.value) != test.equals) return false;
  }
  return true;
}

const std::vector<std::string>& DatabaseColumns::Columns(std::string_view table) {
  static const std::vector<std::string> none;
  if (!tables_) {
    auto names = connection_.TableNames();
    tables_ = names.ok() ? *names : std::vector<std::string>{};
  }
  const std::string lower = ToLowerAscii(table);
  if (auto it = columns_.find(lower); it != columns_.end()) return it->second;
  std::vector<std::string> names;
  for (const std::string& t : *tables_) {
    if (!EqualsIgnoreCase(t, table)) continue;
    auto rows = connection_.Query("SELECT * FROM " + t + " WHERE 1=0", dialect::Source::Jet);
    if (rows.ok())
      for (const FieldInfo& f : rows->fields) names.push_back(f.name);
    break;
  }
  return columns_[lower] = std::move(names);
}

bool DatabaseColumns::Has(std::string_view table, std::string_view column) {
  for (const std::string& c : Columns(table))
    if (EqualsIgnoreCase(c, column)) return true;
  return false;
}

void DatabaseColumns::LoadAll() {
  for (const KeyOwner& owner : ReferenceMap()) {
    Columns(owner.table);
    for (const Reference& ref : owner.held_by) Columns(ref.table);
  }
}

namespace {

// One statement per chunk: a CASE over the chunk's pairs. CASE is written
// in the SQL Server dialect, the one of the two that has it.
constexpr size_t kChunk = 400;

Status MoveColumn(SharedConnection& connection, std::string_view table, std::string_view column,
                  const std::string& only_when,
                  const std::vector<std::pair<int64_t, int64_t>>& moves) {
  for (size_t start = 0; start < moves.size(); start += kChunk) {
    const size_t end = std::min(moves.size(), start + kChunk);
    std::string cases, olds;
    for (size_t i = start; i < end; ++i) {
      cases += " WHEN " + std::to_string(moves[i].first) + " THEN " + std::to_string(moves[i].second);
      olds += (i == start ? "" : ",") + std::to_string(moves[i].first);
    }
    const std::string c(column);
    Status s = connection.Execute("UPDATE " + std::string(table) + " SET " + c + "=CASE " + c +
                                      cases + " END WHERE " + c + " IN (" + olds + ")" + only_when,
                                  dialect::Source::SqlServer);
    if (!s.ok()) return s;
  }
  return Status::Ok();
}

}  // namespace

Status MoveKeys(SharedConnection& connection, DatabaseColumns& columns, std::string_view table,
                const std::vector<std::pair<int64_t, int64_t>>& moves) {
  if (moves.empty()) return Status::Ok();
  const KeyOwner* owner = FindKeyOwner(table);
  if (!owner)
    return Status::Error(ErrorCode::kBadArgument,
                         "No map of references for the keys of " + std::string(table));
  if (Status s = MoveColumn(connection, owner->table, owner->key, "", moves); !s.ok()) return s;
  for (const Reference& ref : owner->held_by) {
    if (!columns.Has(ref.table, ref.column)) continue;
    bool tests_there = true;
    for (const RowTest& test : ref.only_when) tests_there &= columns.Has(ref.table, test.column);
    if (!tests_there) continue;
    if (Status s = MoveColumn(connection, ref.table, ref.column, OnlyWhenSql(ref), moves); !s.ok())
      return s;
  }
  return Status::Ok();
}

}  // namespace dravmor
