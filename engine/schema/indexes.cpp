#include "engine/schema/indexes.h"

#include <map>
#include <set>
#include <utility>

#include "engine/text.h"

namespace dravmor {

const std::vector<SecondaryIndex>& SecondaryIndexes() {
  static const std::vector<SecondaryIndex> indexes = {
      // Projects: the project deletion cascade, the project and customer
      // lists, the project-code test.
      {"ProjectInfo", "pici", ""},
      {"ProjectInfo", "Kehu_id", ""},
      {"ProjectInfo", "DaiMa", ""},
      {"ProjectWindow", "gcxx_ID", ""},
      {"ProjectWindowDetail", "gcmc_ID", ""},
      {"ProjectWindowDetail", "TK_ID", ""},
      {"ChengPinKu", "MCID", ""},
      {"ChengPinKu", "GCDM", ""},
      {"XiaV", "Mcmx_ID", ""},
      {"XiaV", "XcGS_ID", ""},
      {"工程实施", "gcxxID", ""},
      {"批次明细", "pici_ID", ""},
      {"ProjectShan", "gcxx_ID", ""},
      {"GcMoney", "GcxxID", ""},
      {"MoneyGc", "GcxxID", ""},
      {"GcInstall", "GcxxID", ""},
      {"Problem", "GcxxID", ""},
      {"ChuRuDetail", "WuJianID", ""},
      {"ChuRuDetail", "GcxxID", ""},
      // Series and their trees: children by parent, nodes by root, series
      // by factory; the deletion and copy of a series and what hangs from it.
      {"系列", "CJ_ID", ""},
      {"系列", "xllb", "XiLie_xllb"},
      {"系列", "PinJieFangShi", ""},
      {"TongYong", "xl_ID", ""},
      {"TongYong", "xc_ID", ""},
      {"ShuZhi", "Xl_ID", ""},
      {"WinFilter", "XL_ID", ""},
      {"WinFilter", "TK_ID", ""},
      {"DetailBlock", "XL_ID", ""},
      {"DetailBlock", "TK_ID", ""},
      {"GeneralBlock", "TK_ID", ""},
      {"WZSBGT", "XL_ID", ""},
      {"WZSBGT", "TK_ID", ""},
      {"ShanJiaGong", "XL_ID", ""},
      {"ShanJiaGong", "TK_ID", ""},
      {"ShanJiaGongDY", "DYTK_ID", ""},
      {"BiaoYeDetail", "XL_ID", ""},
      // The catalogue: parts by series, factory and category; a copied
      // profile by its source; price-list look-ups by code.
      {"型材", "XL_ID", ""},
      {"型材", "CJ_ID", ""},
      {"型材", "LB_ID", ""},
      {"型材", "YuanID", ""},
      {"型材", "DaiMa", ""},
      {"配件", "CJ_ID", ""},
      {"配件", "LB_ID", ""},
      {"配件", "DaiMa", ""},
      {"玻璃", "CJ_ID", ""},
      {"绑定", "Zhu_ID", ""},
      {"绑定", "Fu_ID", ""},
      {"绑定配件", "Zhu_ID", ""},
      {"绑定配件", "Fu_ID", ""},
      {"LingLiao", "xc_ID", ""},
      {"SingleXcyh", "xc_ID", ""},
      {"xcyhNameID", "xc_ID", ""},
      {"McColor", "xc_ID", ""},
      {"BaoDanDetail", "BD_ID", ""},
      {"BaoDanDetail", "Xc_ID", ""},
      // Formulas: by series node and template (lists, copies, deletions),
      // position values by their formula, unit formulas by unit template.
      {"型材组合公式", "XL_ID", ""},
      {"型材组合公式", "tk_id", ""},
      {"型材组合公式", "xc_id", ""},
      {"配件组合公式", "XL_ID", ""},
      {"配件组合公式", "tk_id", ""},
      {"玻璃组合公式", "XL_ID", ""},
      {"玻璃组合公式", "tk_id", ""},
      {"型材单元公式", "dytk_id", ""},
      {"型材单元公式", "xl_id", ""},
      {"型材单元公式", "lb_id", ""},
      {"配件单元公式", "dytk_id", ""},
      {"配件单元公式", "xl_id", ""},
      {"配件单元公式", "LB_id", ""},
      {"玻璃单元公式", "dytk_id", ""},
      {"玻璃单元公式", "xl_id", ""},
      {"FormulaV", "TKID", ""},
      {"FormulaV", "xcGS_ID", ""},
      {"FormulaV", "xcID", ""},
      {"FormulaDYV", "DYTK_ID", ""},
      {"FormulaDYV", "xcDYGS_ID", ""},
      {"UnitXingCai", "unitTK_ID", ""},
      {"UnitXingCai", "LB_ID", ""},
      {"UnitPeiJian", "unitTK_ID", ""},
      {"UnitPeiJian", "LB_ID", ""},
      {"UnitBoLi", "unitTK_ID", ""},
      {"UnitBoLi", "LB_ID", ""},
      {"UnitShanJiaGong", "unitTK_ID", ""},
      {"UnitShanJiaGong", "LB_ID", ""},
      // Template libraries: pages by kind, the order a new template takes
      // (largest plus one), unit drawings by code.
      {"图库", "Tklb", ""},
      {"图库", "Ord", ""},
      {"单元图库", "dytklujing", ""},
      {"单元图库", "DyTklb", ""},
  };
  return indexes;
}

std::string IndexName(const SecondaryIndex& index) {
  if (!index.name.empty()) return std::string(index.name);
  return "ix_" + std::string(index.table) + "_" + std::string(index.column);
}

Result<std::vector<std::string>> MissingIndexStatements(SharedConnection& connection,
                                                        std::string_view table) {
  auto indexed = connection.IndexedColumns();
  if (!indexed.ok()) return indexed.status();
  const std::set<std::pair<std::string, std::string>> has_index(indexed->begin(), indexed->end());
  auto read = connection.GetCatalogue();
  if (!read.ok()) return read.status();
  const Catalogue& catalogue = **read;
  std::vector<std::string> statements;
  for (const SecondaryIndex& index : SecondaryIndexes()) {
    if (!table.empty() && !EqualsIgnoreCase(index.table, table)) continue;
    if (has_index.count({ToLowerAscii(index.table), ToLowerAscii(index.column)})) continue;
    if (!catalogue.HasColumn(index.table, index.column)) continue;
    statements.push_back("CREATE INDEX " + IndexName(index) + " ON " + std::string(index.table) +
                         " (" + std::string(index.column) + ")");
  }
  return statements;
}

Status AddMissingIndexes(SharedConnection& connection, std::string_view table) {
  auto statements = MissingIndexStatements(connection, table);
  if (!statements.ok()) return statements.status();
  Status first = Status::Ok();
  for (const std::string& sql : *statements)
    if (Status s = connection.Execute(sql, dialect::Source::Jet, /*failure_tolerated=*/true);
        !s.ok() && first.ok())
      first = Status::Error(s.number(), s.text() + " in: " + sql);
  return first;
}

}  // namespace dravmor
