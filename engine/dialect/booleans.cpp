// Yes/No columns: Jet stores True as -1, SQL Server as 1, and a caller may
// have written any nonzero value; the texts compare with the true literal
// of their own dialect. On the target both mean "not 0".
#include <charconv>
#include <cmath>

#include "engine/dialect/passes.h"
#include "engine/text.h"

namespace dravmor::dialect {

namespace {

bool IsBooleanColumn(const Node& n, const Context& ctx) {
  if (n.group || (n.token.kind != TokenKind::kWord && n.token.kind != TokenKind::kName))
    return false;
  return ctx.hints->boolean_columns.count(ToLowerAscii(NameOf(n.token))) > 0;
}

// A number literal, with an optional minus before it: [from, to) and its
// value; nullopt when the nodes at `at` are no such literal.
struct Literal {
  size_t from, to;
  double value;
};
std::optional<Literal> NumberAt(const Nodes& nodes, size_t at) {
  if (at >= nodes.size()) return std::nullopt;
  double sign = 1;
  size_t i = at;
  if (nodes[i].IsOp("-") || nodes[i].IsOp("+")) {
    sign = nodes[i].IsOp("-") ? -1 : 1;
    i = Next(nodes, i + 1);
    if (i >= nodes.size()) return std::nullopt;
  }
  if (nodes[i].group || nodes[i].token.kind != TokenKind::kNumber) return std::nullopt;
  const std::string& text = nodes[i].token.text;
  double value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return Literal{at, i + 1, sign * value};
}

// The last part of a qualified name starting at i (t.col gives col's index).
size_t QualifiedEnd(const Nodes& nodes, size_t i) {
  while (true) {
    size_t dot = Next(nodes, i + 1);
    if (dot >= nodes.size() || !nodes[dot].IsPunct('.')) return i;
    size_t part = Next(nodes, dot + 1);
    if (part >= nodes.size()) return i;
    i = part;
  }
}

// The comparison operator at i, when it is = or <>.
bool IsEqualityOp(const Node& n) { return n.IsOp("=") || n.IsOp("<>") || n.IsOp("!="); }

void Rewrite(Nodes& nodes, size_t op, size_t literal_from, size_t literal_to) {
  bool equal = nodes[op].IsOp("=");
  nodes[op] = Node::Leaf(TokenKind::kOperator, equal ? "<>" : "=");
  Erase(nodes, literal_from, literal_to);
  InsertAt(nodes, literal_from, Nodes{Node::Leaf(TokenKind::kNumber, "0")});
}

void RewriteLevel(Nodes& nodes, const Context& ctx) {
  bool in_set = false;  // UPDATE ... SET a=1, b=2 WHERE: assignments
  for (size_t i = 0; i < nodes.size(); ++i) {
    Node& n = nodes[i];
    if (n.group) {
      RewriteLevel(n.kids, ctx);
      continue;
    }
    if (n.Is("SET")) in_set = true;
    if (n.Is("WHERE") || n.Is("FROM")) in_set = false;
    if (in_set || !IsEqualityOp(n)) continue;
    size_t left = Prev(nodes, i), right = Next(nodes, i + 1);
    if (left == std::string::npos || right >= nodes.size()) continue;
    if (IsBooleanColumn(nodes[left], ctx)) {
      auto literal = NumberAt(nodes, right);
      if (literal && literal->value != 0) Rewrite(nodes, i, literal->from, literal->to);
    } else if (IsBooleanColumn(nodes[QualifiedEnd(nodes, right)], ctx)) {
      // The literal on the left: 1 = col. Find where it starts.
      size_t start = left;
      size_t before = Prev(nodes, left);
      if (before != std::string::npos && (nodes[before].IsOp("-") || nodes[before].IsOp("+"))) {
        size_t prior = Prev(nodes, before);
        // A sign only when nothing it could subtract from stands before it.
        if (prior == std::string::npos || nodes[prior].token.kind == TokenKind::kWord ||
            nodes[prior].token.kind == TokenKind::kOperator || nodes[prior].IsPunct(','))
          start = before;
      }
      auto literal = NumberAt(nodes, start);
      if (literal && literal->to == left + 1 && literal->value != 0)
        Rewrite(nodes, i, literal->from, literal->to);
    }
  }
}

}  // namespace

Status RewriteBooleanTests(Nodes& nodes, const Context& ctx) {
  if (!ctx.hints || ctx.hints->boolean_columns.empty()) return Status::Ok();
  RewriteLevel(nodes, ctx);
  return Status::Ok();
}

}  // namespace dravmor::dialect
