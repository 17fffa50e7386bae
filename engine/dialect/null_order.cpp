// Null order on PostgreSQL: Jet and SQL Server (and SQLite) take Null as
// the smallest value, so Nulls come first in an ascending ORDER BY and last
// in a descending one; PostgreSQL does the opposite unless told.
#include "engine/dialect/passes.h"

namespace dravmor::dialect {

namespace {

bool EndsOrderBy(const Node& n) {
  return n.Is("LIMIT") || n.Is("UNION") || n.Is("EXCEPT") || n.Is("INTERSECT") ||
         n.IsPunct(';');
}

Nodes Suffix(const char* which) {
  return {Node::Leaf(TokenKind::kSpace, " "), Node::Leaf(TokenKind::kWord, "NULLS"),
          Node::Leaf(TokenKind::kSpace, " "), Node::Leaf(TokenKind::kWord, which)};
}

// Adds the Null order after the item that ends just before `end`.
void MarkItem(Nodes& nodes, size_t begin, size_t end) {
  size_t last = Prev(nodes, end);
  if (last == std::string::npos || last < begin) return;
  for (size_t i = begin; i < end; ++i)
    if (nodes[i].Is("NULLS")) return;  // the text says it already
  InsertAt(nodes, last + 1, Suffix(nodes[last].Is("DESC") ? "LAST" : "FIRST"));
}

void RewriteLevel(Nodes& nodes) {
  for (Node& n : nodes)
    if (n.group) RewriteLevel(n.kids);
  for (size_t i = 0; i < nodes.size(); ++i) {
    if (!nodes[i].Is("ORDER")) continue;
    size_t by = Next(nodes, i + 1);
    if (by >= nodes.size() || !nodes[by].Is("BY")) continue;
    size_t begin = by + 1, k = begin;
    for (; k < nodes.size() && !EndsOrderBy(nodes[k]); ++k) {
      if (!nodes[k].IsPunct(',')) continue;
      size_t before = nodes.size();
      MarkItem(nodes, begin, k);
      k += nodes.size() - before;
      begin = k + 1;
    }
    MarkItem(nodes, begin, k);
    i = k;
  }
}

}  // namespace

Status RewriteNullOrder(Nodes& nodes, const Context& ctx) {
  if (ctx.target == Target::Postgres) RewriteLevel(nodes);
  return Status::Ok();
}

}  // namespace dravmor::dialect
