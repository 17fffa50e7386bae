// LIKE on PostgreSQL: its LIKE sees letter case and takes a backslash as
// escape character; Jet's and SQL Server's LIKE ignore letter case and have
// no escape character unless the text names one. ILIKE with ESCAPE '' keeps
// their meaning.
#include "engine/dialect/passes.h"

namespace dravmor::dialect {

namespace {

// Words that end the pattern operand of a LIKE at its own level.
bool EndsOperand(const Node& n) {
  static constexpr std::string_view kEnds[] = {
      "AND", "OR", "NOT", "THEN", "ELSE", "END", "WHEN", "ORDER", "GROUP", "HAVING",
      "UNION", "LIMIT", "FROM", "WHERE", "ESCAPE", "AS", "IS", "IN", "BETWEEN", "LIKE"};
  if (n.IsPunct(',') || n.IsPunct(';')) return true;
  if (!n.group && n.token.kind == TokenKind::kOperator &&
      (n.token.text == "=" || n.token.text == "<>" || n.token.text == "<" ||
       n.token.text == ">" || n.token.text == "<=" || n.token.text == ">=" ||
       n.token.text == "!="))
    return true;
  for (std::string_view w : kEnds)
    if (n.Is(w)) return true;
  return false;
}

void RewriteLevel(Nodes& nodes) {
  for (size_t i = 0; i < nodes.size(); ++i) {
    Node& n = nodes[i];
    if (n.group) {
      RewriteLevel(n.kids);
      continue;
    }
    if (!n.Is("LIKE")) continue;
    n = Node::Leaf(TokenKind::kWord, "ILIKE");
    // The pattern runs to the first word that ends it (|| binds tighter
    // than LIKE, so a concatenated pattern is one operand).
    size_t end = Next(nodes, i + 1);
    while (end < nodes.size() && !EndsOperand(nodes[end])) end = Next(nodes, end + 1);
    if (end < nodes.size() && nodes[end].Is("ESCAPE")) continue;
    size_t last = Prev(nodes, end);
    InsertAt(nodes, last + 1,
             Nodes{Node::Leaf(TokenKind::kSpace, " "), Node::Leaf(TokenKind::kWord, "ESCAPE"),
                   Node::Leaf(TokenKind::kSpace, " "), Node::Leaf(TokenKind::kString, "''")});
  }
}

}  // namespace

Status RewriteLikeForPostgres(Nodes& nodes, const Context& ctx) {
  if (ctx.target == Target::Postgres) RewriteLevel(nodes);
  return Status::Ok();
}

}  // namespace dravmor::dialect
