// Row order: Jet promises no order for rows that an ORDER BY leaves tied,
// or for a SELECT without one, and neither does either backend; their
// orders differ (PostgreSQL moves a changed row to the end of its table, a
// hash join or grouping gives its own order). So that a list reads the same
// on both, a top-level SELECT is ordered to the end: ties are broken by the
// primary key of the first table it reads, a grouped SELECT by its groups, a
// DISTINCT one by its columns. The order the statement asks for comes first
// and is never changed.
#include <string>
#include <vector>

#include "engine/dialect/passes.h"
#include "engine/text.h"

namespace dravmor::dialect {

namespace {

bool EndsFromList(const Node& n) {
  return n.Is("WHERE") || n.Is("GROUP") || n.Is("HAVING") || n.Is("ORDER") || n.Is("UNION") ||
         n.Is("LIMIT") || n.Is("INNER") || n.Is("LEFT") || n.Is("RIGHT") || n.Is("JOIN") ||
         n.Is("ON") || n.Is("FULL") || n.Is("CROSS") || n.IsPunct(',');
}

bool IsNameNode(const Node& n) {
  return !n.group && (n.token.kind == TokenKind::kWord || n.token.kind == TokenKind::kName);
}

// The first table a FROM list reads (inside Jet's parenthesised joins) and
// the name it goes by in the statement (its alias, else itself).
bool FirstTable(const Nodes& nodes, size_t at, std::string* table, Node* qualifier) {
  size_t i = Next(nodes, at);
  if (i >= nodes.size()) return false;
  if (nodes[i].group) {
    size_t inner = Next(nodes[i].kids, 0);
    if (inner < nodes[i].kids.size() && nodes[i].kids[inner].Is("SELECT")) return false;
    return FirstTable(nodes[i].kids, 0, table, qualifier);
  }
  if (!IsNameNode(nodes[i])) return false;
  size_t dot = Next(nodes, i + 1);
  if (dot < nodes.size() && nodes[dot].IsPunct('.')) return false;  // owner.table
  *table = NameOf(nodes[i].token);
  *qualifier = nodes[i];
  size_t next = dot;
  if (next < nodes.size() && nodes[next].Is("AS")) next = Next(nodes, next + 1);
  if (next < nodes.size() && IsNameNode(nodes[next]) && !EndsFromList(nodes[next]))
    *qualifier = nodes[next];
  return true;
}

Nodes Words(std::initializer_list<const char*> words) {
  Nodes out;
  for (const char* w : words) {
    out.push_back(Node::Leaf(TokenKind::kSpace, " "));
    out.push_back(Node::Leaf(TokenKind::kWord, w));
  }
  return out;
}

}  // namespace

Status RewriteRowOrder(Nodes& nodes, const Context& ctx) {
  if (!ctx.hints) return Status::Ok();
  size_t select = Next(nodes, 0);
  if (select >= nodes.size() || !nodes[select].Is("SELECT")) return Status::Ok();
  size_t from = nodes.size(), group = nodes.size(), order = nodes.size(), limit = nodes.size();
  bool distinct = false, aggregate = false;
  size_t first_item = Next(nodes, select + 1);
  if (first_item < nodes.size() && nodes[first_item].Is("DISTINCT")) distinct = true;
  for (size_t i = select + 1; i < nodes.size(); ++i) {
    const Node& n = nodes[i];
    if (n.Is("UNION") || n.Is("EXCEPT") || n.Is("INTERSECT") || n.Is("INTO")) return Status::Ok();
    if (n.Is("FROM") && from == nodes.size()) from = i;
    else if (n.Is("GROUP") && group == nodes.size()) group = i;
    else if (n.Is("ORDER")) order = i;
    else if (n.Is("LIMIT") && n.synthetic) limit = i;
    if (from == nodes.size() && !n.group && IsNameNode(n)) {
      size_t next = Next(nodes, i + 1);
      if (next < nodes.size() && nodes[next].group &&
          (n.Is("COUNT") || n.Is("SUM") || n.Is("MIN") || n.Is("MAX") || n.Is("AVG") ||
           n.Is("FIRST") || n.Is("LAST")))
        aggregate = true;
    }
  }
  if (from == nodes.size()) return Status::Ok();
  if (aggregate && group == nodes.size()) return Status::Ok();  // one row

  Nodes keys;  // what breaks the ties, each item after ", "
  auto add = [&keys](Nodes item) {
    keys.push_back(Node::Leaf(TokenKind::kPunct, ","));
    keys.push_back(Node::Leaf(TokenKind::kSpace, " "));
    keys.insert(keys.end(), item.begin(), item.end());
  };
  if (group != nodes.size() || distinct) {
    if (group != nodes.size()) {
      // GROUP BY a, b [HAVING ...]: the groups, as written.
      size_t by = Next(nodes, group + 1);
      size_t end = by + 1;
      while (end < nodes.size() && !nodes[end].Is("HAVING") && !nodes[end].Is("ORDER") &&
             !nodes[end].Is("LIMIT"))
        ++end;
      Nodes list = Slice(nodes, by + 1, end);
      size_t last = Prev(list, list.size());
      if (last == std::string::npos) return Status::Ok();
      list.resize(last + 1);
      Nodes item;
      for (const Node& n : list) {
        if (n.IsPunct(',')) {
          add(item);
          item.clear();
        } else if (!(item.empty() && n.IsSpace())) {
          item.push_back(n);
        }
      }
      add(item);
    } else {
      // DISTINCT: every column by its place.
      size_t count = 1;
      for (size_t i = first_item + 1; i < from; ++i) count += nodes[i].IsPunct(',');
      for (size_t c = 1; c <= count; ++c)
        add({Node::Leaf(TokenKind::kNumber, std::to_string(c))});
    }
  } else {
    std::string table;
    Node qualifier;
    if (!FirstTable(nodes, from + 1, &table, &qualifier)) return Status::Ok();
    auto key = ctx.hints->primary_keys.find(ToLowerAscii(table));
    if (key == ctx.hints->primary_keys.end()) return Status::Ok();
    for (const std::string& column : key->second)
      add({qualifier, Node::Leaf(TokenKind::kPunct, "."),
           Node::Leaf(TokenKind::kName, ctx.syntax.QuoteName(column))});
  }
  if (keys.empty()) return Status::Ok();
  size_t at = limit != nodes.size() ? Prev(nodes, limit) + 1 : Prev(nodes, nodes.size()) + 1;
  Nodes tail;
  if (order == nodes.size()) {
    tail = Words({"ORDER", "BY"});
    tail.push_back(Node::Leaf(TokenKind::kSpace, " "));
    tail.insert(tail.end(), keys.begin() + 2, keys.end());  // no leading ", "
  } else {
    tail = keys;
  }
  InsertAt(nodes, at, tail);
  return Status::Ok();
}

}  // namespace dravmor::dialect
