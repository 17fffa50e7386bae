#include "tests/exchange/row_checker.h"

#include <algorithm>
#include <functional>
#include <optional>

#include "engine/references.h"
#include "engine/text.h"

namespace dravmor::testing {

namespace {

// The catalogue an exchange package carries, and what refers to it.
const std::vector<std::string> kTables = {
    "厂家", "类别", "系列", "型材", "绑定", "型材组合公式", "玻璃组合公式", "颜色价格", "TongYong",
    "ShuZhi", "ChuRuDetail", "BaoDanDetail", "McColor", "FormulaV", "配件"};

struct Table {
  RowData data;
  int key = -1;
  std::map<std::string, size_t> row_of;  // key text -> row
};

}  // namespace

std::vector<std::string> DescribeRows(SharedConnection& connection) {
  std::map<std::string, Table> tables;
  for (const std::string& name : kTables) {
    auto rows = connection.Query("SELECT * FROM " + name, dialect::Source::Jet);
    if (!rows.ok()) continue;  // not made on this path
    Table& t = tables[name];
    t.data = std::move(*rows);
    const KeyOwner* owner = FindKeyOwner(name);
    for (size_t c = 0; c < t.data.fields.size(); ++c)
      if (owner && EqualsIgnoreCase(t.data.fields[c].name, owner->key)) t.key = static_cast<int>(c);
    const size_t n = t.data.fields.size();
    for (size_t r = 0; t.key >= 0 && r < t.data.RowCount(); ++r)
      t.row_of[t.data.cells[r * n + t.key].ToText()] = r;
  }
  std::function<std::string(const std::string&, size_t)> describe =
      [&](const std::string& name, size_t r) {
        const Table& t = tables.at(name);
        const size_t n = t.data.fields.size();
        auto cell = [&](size_t c) -> const Variant& { return t.data.cells[r * n + c]; };
        auto number = [&](std::string_view column) -> std::optional<double> {
          for (size_t c = 0; c < n; ++c)
            if (EqualsIgnoreCase(t.data.fields[c].name, column) && !cell(c).IsNull()) {
              auto d = cell(c).ToDouble();
              if (d.ok()) return *d;
            }
          return std::nullopt;
        };
        std::string text = name + "{";
        for (size_t c = 0; c < n; ++c) {
          if (static_cast<int>(c) == t.key) continue;
          const std::string& column = t.data.fields[c].name;
          std::string value = cell(c).ToText();
          for (const auto& [owner, ref] : KeysHeldBy(name, column)) {
            auto held = tables.find(std::string(owner->table));
            if (held == tables.end() || !OnlyWhenHolds(*ref, number)) continue;
            if (value.empty() || value == "0") continue;
            auto target = held->second.row_of.find(value);
            value = target == held->second.row_of.end()
                        ? "<dangling>"
                        : describe(held->first, target->second);
          }
          text += ToLowerAscii(column) + "=" + value + ";";  // spelt alike on every backend
        }
        return text + "}";
      };
  std::vector<std::string> all;
  for (const auto& [name, t] : tables)
    for (size_t r = 0; r < t.data.RowCount(); ++r) all.push_back(describe(name, r));
  std::sort(all.begin(), all.end());
  return all;
}

size_t MissingFrom(const std::vector<std::string>& part, const std::vector<std::string>& whole,
                   std::string* examples) {
  std::vector<std::string> missing;
  std::set_difference(part.begin(), part.end(), whole.begin(), whole.end(),
                      std::back_inserter(missing));
  if (examples)
    for (size_t i = 0; i < missing.size() && i < 3; ++i) *examples += missing[i] + "\n";
  return missing.size();
}

}  // namespace dravmor::testing
