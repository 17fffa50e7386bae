// Result column names: what a SELECT's columns are called is decided here,
// from the statement as written, so that both backends give the same names
// (PostgreSQL would fold them to lower case and name COUNT(*) "count";
// SQLite would name a translated expression after its translation).
#include <optional>
#include <string>
#include <vector>

#include "engine/dialect/passes.h"

namespace dravmor::dialect {

namespace {

bool IsNameNode(const Node& n) {
  return !n.group && (n.token.kind == TokenKind::kWord || n.token.kind == TokenKind::kName);
}

// Words that end a SELECT's list of items at its own level.
bool EndsSelectList(const Node& n) {
  return n.Is("FROM") || n.Is("INTO") || n.Is("WHERE") || n.Is("GROUP") || n.Is("HAVING") ||
         n.Is("ORDER") || n.Is("UNION") || n.Is("EXCEPT") || n.Is("INTERSECT") ||
         n.Is("LIMIT");
}

// Significant nodes of an item (blanks and comments dropped).
Nodes Significant(const Nodes& item) {
  Nodes out;
  for (const Node& n : item)
    if (!n.IsSpace()) out.push_back(n);
  return out;
}

std::optional<std::string> ItemName(const Nodes& item, Source source) {
  Nodes s = Significant(item);
  if (s.empty()) return std::string();
  const Node& last = s.back();
  if (s.size() == 1 && last.IsOp("*")) return std::nullopt;
  if (s.size() >= 3 && last.IsOp("*") && s[s.size() - 2].IsPunct('.')) return std::nullopt;
  if (s.size() >= 2 && IsNameNode(last)) {
    const Node& before = s[s.size() - 2];
    if (before.Is("AS")) return NameOf(last.token);
    // SQL Server's alias without AS: "SELECT COUNT(*) n", "SELECT a b".
    bool keyword = last.token.kind == TokenKind::kWord && IsSourceKeyword(last.token.text, source);
    bool operand_before = before.group || before.token.kind == TokenKind::kString ||
                          before.token.kind == TokenKind::kNumber ||
                          (IsNameNode(before) && !(before.token.kind == TokenKind::kWord &&
                                                   IsSourceKeyword(before.token.text, source)));
    if (!keyword && !last.Is("END") && operand_before) return NameOf(last.token);
  }
  // A column, bare or qualified: its own name.
  bool column = s.size() % 2 == 1;
  for (size_t i = 0; column && i < s.size(); ++i)
    column = i % 2 == 0 ? IsNameNode(s[i]) && !(s[i].token.kind == TokenKind::kWord &&
                                                IsSourceKeyword(s[i].token.text, source))
                        : s[i].IsPunct('.');
  if (column) return NameOf(last.token);
  // An expression: its text as written.
  size_t first = Next(item, 0), end = Prev(item, item.size());
  return Render(Slice(item, first, end + 1));
}

}  // namespace

std::vector<std::optional<std::string>> SelectListNames(const Nodes& nodes, Source source) {
  std::vector<std::optional<std::string>> names;
  size_t i = Next(nodes, 0);
  if (i >= nodes.size() || !nodes[i].Is("SELECT")) return names;
  i = Next(nodes, i + 1);
  while (i < nodes.size() && (nodes[i].Is("DISTINCT") || nodes[i].Is("ALL") ||
                              nodes[i].Is("DISTINCTROW")))
    i = Next(nodes, i + 1);
  if (i < nodes.size() && nodes[i].Is("TOP")) {
    i = Next(nodes, Next(nodes, i + 1) + 1);
    if (i < nodes.size() && nodes[i].Is("PERCENT")) i = Next(nodes, i + 1);
  }
  Nodes item;
  for (; i < nodes.size() && !EndsSelectList(nodes[i]); ++i) {
    if (nodes[i].IsPunct(',')) {
      names.push_back(ItemName(item, source));
      item.clear();
    } else {
      item.push_back(nodes[i]);
    }
  }
  names.push_back(ItemName(item, source));
  return names;
}

std::vector<std::optional<std::string>> ResultColumnNames(
    const std::vector<std::optional<std::string>>& items, size_t width) {
  std::vector<std::optional<std::string>> columns(width);
  size_t stars = 0, star_at = 0;
  for (size_t i = 0; i < items.size(); ++i)
    if (!items[i]) ++stars, star_at = i;
  if (stars > 1 || (stars == 0 && items.size() != width) ||
      (stars == 1 && items.size() - 1 > width))
    return columns;
  if (stars == 0) {
    for (size_t c = 0; c < width; ++c) columns[c] = items[c];
    return columns;
  }
  const size_t after = items.size() - 1 - star_at;  // items after the star
  for (size_t c = 0; c < star_at; ++c) columns[c] = items[c];
  for (size_t k = 0; k < after; ++k) columns[width - after + k] = items[star_at + 1 + k];
  return columns;
}

}  // namespace dravmor::dialect
