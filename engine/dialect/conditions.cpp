// Jet Booleans as conditions on PostgreSQL. Jet's True is -1 and its
// Boolean functions (IsNull) return numbers; Jet, SQL Server's bit tests
// and SQLite take any nonzero number as true where a condition stands.
// PostgreSQL wants a boolean there, so an operand of AND, OR and NOT that
// is no comparison becomes "(operand <> 0)".
#include <vector>

#include "engine/dialect/passes.h"

namespace dravmor::dialect {

namespace {

// Where a condition that starts after WHERE, HAVING, ON or WHEN ends.
bool EndsCondition(const Node& n) {
  return n.Is("GROUP") || n.Is("ORDER") || n.Is("HAVING") || n.Is("UNION") ||
         n.Is("EXCEPT") || n.Is("INTERSECT") || n.Is("LIMIT") || n.Is("THEN") ||
         n.Is("WHERE") || n.Is("JOIN") || n.Is("INNER") || n.Is("LEFT") || n.Is("RIGHT") ||
         n.Is("FULL") || n.Is("CROSS") || n.Is("ON") || n.Is("WHEN") || n.Is("ELSE") ||
         n.Is("END") || n.IsPunct(';');
}

// True when the operand already yields a boolean on PostgreSQL.
bool IsPredicate(const Nodes& nodes, size_t from, size_t to) {
  for (size_t i = from; i < to; ++i) {
    const Node& n = nodes[i];
    if (n.group) continue;
    if (n.token.kind == TokenKind::kOperator) {
      const std::string& t = n.token.text;
      if (t == "=" || t == "<>" || t == "!=" || t == "<" || t == ">" || t == "<=" ||
          t == ">=" || t == "~*" || t == "!~*")
        return true;
    }
    if (n.Is("LIKE") || n.Is("ILIKE") || n.Is("IN") || n.Is("BETWEEN") || n.Is("IS") ||
        n.Is("EXISTS") || n.Is("TRUE") || n.Is("FALSE"))
      return true;
  }
  return false;
}

void RewriteCondition(Nodes& nodes, size_t from, size_t& to);

// One operand [from, to) of AND / OR: NOT is skipped, a lone group is a
// condition of its own, anything else that is no comparison is tested.
void RewriteOperand(Nodes& nodes, size_t from, size_t& to) {
  size_t first = Next(nodes, from);
  while (first < to && nodes[first].Is("NOT")) first = Next(nodes, first + 1);
  size_t last = Prev(nodes, to);
  if (first >= to || last == std::string::npos || last < first) return;
  if (first == last && nodes[first].group) {
    // "(a OR b)", or "(SELECT ...)" which is left alone.
    size_t inner = Next(nodes[first].kids, 0);
    if (inner < nodes[first].kids.size() && nodes[first].kids[inner].Is("SELECT")) return;
    size_t end = nodes[first].kids.size();
    RewriteCondition(nodes[first].kids, 0, end);
    return;
  }
  if (IsPredicate(nodes, first, last + 1)) return;
  Nodes test = Slice(nodes, first, last + 1);
  test.push_back(Node::Leaf(TokenKind::kSpace, " "));
  test.push_back(Node::Leaf(TokenKind::kOperator, "<>"));
  test.push_back(Node::Leaf(TokenKind::kSpace, " "));
  test.push_back(Node::Leaf(TokenKind::kNumber, "0"));
  Erase(nodes, first, last + 1);
  InsertAt(nodes, first, Nodes{Node::Group(std::move(test))});
  to -= last - first;
}

// The condition [from, to), split at AND and OR (the AND of a BETWEEN
// excepted); `to` follows the changes.
void RewriteCondition(Nodes& nodes, size_t from, size_t& to) {
  size_t begin = from;
  bool in_between = false;
  for (size_t i = from; i <= to; ++i) {
    if (i < to) {
      const Node& n = nodes[i];
      if (n.Is("BETWEEN")) in_between = true;
      bool splits = n.Is("OR") || (n.Is("AND") && !in_between);
      if (n.Is("AND")) in_between = false;
      if (!splits) continue;
    }
    size_t end = i;
    RewriteOperand(nodes, begin, end);
    to -= i - end;  // the operand may have become one group
    i = end;
    begin = end + 1;
  }
}

// LEFT( and RIGHT( are calls, not joins.
bool EndsConditionAt(const Nodes& nodes, size_t i) {
  if (!EndsCondition(nodes[i])) return false;
  if (!nodes[i].Is("LEFT") && !nodes[i].Is("RIGHT")) return true;
  size_t next = Next(nodes, i + 1);
  return !(next < nodes.size() && nodes[next].group);
}

void RewriteLevel(Nodes& nodes) {
  for (Node& n : nodes)
    if (n.group) RewriteLevel(n.kids);
  // Per open CASE: whether its WHENs hold conditions (CASE WHEN a > 1) or
  // values to compare with (CASE a WHEN 1).
  std::vector<bool> searched;
  for (size_t i = 0; i < nodes.size(); ++i) {
    const Node& n = nodes[i];
    if (n.Is("CASE")) {
      size_t next = Next(nodes, i + 1);
      searched.push_back(next < nodes.size() && nodes[next].Is("WHEN"));
      continue;
    }
    if (n.Is("END") && !searched.empty()) searched.pop_back();
    bool starts = n.Is("WHERE") || n.Is("HAVING") || n.Is("ON") ||
                  (n.Is("WHEN") && !searched.empty() && searched.back());
    if (!starts) continue;
    size_t to = i + 1;
    while (to < nodes.size() && !EndsConditionAt(nodes, to)) ++to;
    RewriteCondition(nodes, i + 1, to);
    i = to - 1;
  }
}

}  // namespace

Status RewriteConditions(Nodes& nodes, const Context& ctx) {
  if (ctx.target == Target::Postgres) RewriteLevel(nodes);
  return Status::Ok();
}

}  // namespace dravmor::dialect
