// LIKE on PostgreSQL: its LIKE sees letter case, takes a backslash as
// escape character and knows no sets; Jet's and SQL Server's LIKE ignore
// letter case, have no escape character unless the text names one, and
// read [a-c], [!a] and [^a] as one character of (or not of) a set.
//  - a pattern without sets: ILIKE ... ESCAPE '' (or the text's ESCAPE);
//  - a literal pattern with a set: ~* and the same pattern as an anchored
//    regular expression, made here;
//  - any other pattern: ~* dravmor_like_regex(pattern[, escape]), which
//    makes that expression when the statement runs.
#include <optional>
#include <string>

#include "engine/dialect/passes.h"
#include "engine/text.h"

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

bool IsStringLiteral(const Nodes& nodes, size_t from, size_t to) {
  size_t first = Next(nodes, from);
  return first < to && Next(nodes, first + 1) >= to && !nodes[first].group &&
         nodes[first].token.kind == TokenKind::kString;
}

// The value of the one-character ESCAPE text, when there is one.
std::optional<uint32_t> EscapeOf(const std::string& value) {
  std::vector<uint32_t> cps = DecodeUtf8(value);
  if (cps.size() != 1) return std::nullopt;
  return cps[0];
}

std::string Quoted(const std::string& value) {
  std::string out = "'";
  for (char c : value) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out + "'";
}

}  // namespace

std::string LikePatternToRegex(std::string_view pattern, std::optional<uint32_t> escape) {
  std::vector<uint32_t> p = DecodeUtf8(pattern);
  auto literal = [](std::string& out, uint32_t c) {
    if (c < 0x80 && std::string_view(".^$|?*+()[]{}\\-").find(static_cast<char>(c)) !=
                        std::string_view::npos)
      out += '\\';
    AppendUtf8(out, c);
  };
  std::string out = "^";
  for (size_t i = 0; i < p.size(); ++i) {
    uint32_t c = p[i];
    if (escape && c == *escape && i + 1 < p.size()) {
      literal(out, p[++i]);
    } else if (c == '%') {
      out += ".*";
    } else if (c == '_') {
      out += '.';
    } else if (c == '[') {
      // A set closes at the first ']' after its first member; an unclosed
      // '[' stands for itself, as on the other backends.
      size_t j = i + 1;
      bool negate = j < p.size() && (p[j] == '!' || p[j] == '^');
      if (negate) ++j;
      size_t close = j + 1;
      while (close < p.size() && p[close] != ']') ++close;
      if (j >= p.size() || close >= p.size()) {
        literal(out, c);
        continue;
      }
      out += negate ? "[^" : "[";
      for (size_t k = j; k < close; ++k) {
        if (k + 2 < close && p[k + 1] == '-') {
          literal(out, p[k]);
          out += '-';
          literal(out, p[k + 2]);
          k += 2;
        } else {
          literal(out, p[k]);
        }
      }
      out += ']';
      i = close;
    } else {
      literal(out, c);
    }
  }
  return out + "$";
}

namespace {

void RewriteLevel(Nodes& nodes, const Context& ctx) {
  for (size_t i = 0; i < nodes.size(); ++i) {
    Node& n = nodes[i];
    if (n.group) {
      RewriteLevel(n.kids, ctx);
      continue;
    }
    if (!n.Is("LIKE")) continue;
    size_t before = Prev(nodes, i);
    const bool negated = before != std::string::npos && nodes[before].Is("NOT");
    // The pattern runs to the first word that ends it (|| binds tighter
    // than LIKE, so a concatenated pattern is one operand).
    size_t from = i + 1, end = Next(nodes, i + 1);
    while (end < nodes.size() && !EndsOperand(nodes[end])) end = Next(nodes, end + 1);
    size_t pattern_end = Prev(nodes, end) + 1;
    // ESCAPE 'c' after the pattern.
    std::optional<std::string> escape_text;
    size_t clause_end = pattern_end;
    if (end < nodes.size() && nodes[end].Is("ESCAPE")) {
      size_t e = Next(nodes, end + 1);
      if (e >= nodes.size() || nodes[e].group || nodes[e].token.kind != TokenKind::kString) {
        i = end;
        n = Node::Leaf(TokenKind::kWord, "ILIKE");
        continue;  // an escape that is no literal: left to the server
      }
      escape_text = StringValueOf(nodes[e].token);
      clause_end = e + 1;
    }
    std::optional<uint32_t> escape = escape_text ? EscapeOf(*escape_text) : std::nullopt;
    const bool literal = IsStringLiteral(nodes, from, pattern_end);
    std::string pattern =
        literal ? StringValueOf(nodes[Next(nodes, from)].token) : std::string();
    if (literal && pattern.find('[') == std::string::npos) {
      n = Node::Leaf(TokenKind::kWord, "ILIKE");
      if (!escape_text)
        InsertAt(nodes, pattern_end,
                 Nodes{Node::Leaf(TokenKind::kSpace, " "), Node::Leaf(TokenKind::kWord, "ESCAPE"),
                       Node::Leaf(TokenKind::kSpace, " "), Node::Leaf(TokenKind::kString, "''")});
      continue;
    }
    Nodes right;
    if (literal) {
      right.push_back(Node::Leaf(TokenKind::kString, Quoted(LikePatternToRegex(pattern, escape))));
    } else {
      Nodes args = Slice(nodes, Next(nodes, from), pattern_end);
      if (escape_text) {
        args.push_back(Node::Leaf(TokenKind::kPunct, ","));
        args.push_back(Node::Leaf(TokenKind::kString, Quoted(*escape_text)));
      }
      right.push_back(Node::Leaf(TokenKind::kWord, "dravmor_like_regex"));
      right.push_back(Node::Group(std::move(args)));
    }
    // NOT LIKE -> !~*, LIKE -> ~*; the pattern in parentheses, as ~*
    // binds tighter than ||.
    nodes[i] = Node::Leaf(TokenKind::kOperator, negated ? "!~*" : "~*");
    Erase(nodes, from, clause_end);
    InsertAt(nodes, from, Nodes{Node::Leaf(TokenKind::kSpace, " "), Node::Group(std::move(right))});
    if (negated) {
      Erase(nodes, before, i);
      i = before;
    }
    from = i + 1;
    i = from;
  }
}

}  // namespace

Status RewriteLikeForPostgres(Nodes& nodes, const Context& ctx) {
  if (ctx.target == Target::Postgres) RewriteLevel(nodes, ctx);
  return Status::Ok();
}

}  // namespace dravmor::dialect
