// Literals and names: everything that can be decided token by token.
#include <algorithm>
#include <array>

#include "engine/dialect/dates.h"
#include "engine/dialect/passes.h"

namespace dravmor::dialect {

namespace {

std::string Upper(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return out;
}

std::string SingleQuoted(std::string_view value) {
  std::string out = "'";
  for (char c : value) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out + "'";
}

// Jet words that no target can express the way Jet means them.
bool IsUnsupportedJetWord(const std::string& upper) {
  static constexpr std::array<std::string_view, 7> kWords = {
      "PIVOT", "TRANSFORM", "DISTINCTROW", "XOR", "EQV", "IMP", "PARAMETERS"};
  return std::find(kWords.begin(), kWords.end(), upper) != kWords.end();
}

bool IsUnsupportedSqlServerWord(const std::string& upper) {
  // WITH: table hints and TOP ... WITH TIES; the rest are T-SQL only.
  static constexpr std::array<std::string_view, 8> kWords = {
      "WITH", "COMPUTE", "OPTION", "FOR", "OUTPUT", "PIVOT", "EXEC", "EXECUTE"};
  return std::find(kWords.begin(), kWords.end(), upper) != kWords.end();
}

bool FollowedByGroup(const Nodes& nodes, size_t i) {
  size_t j = Next(nodes, i + 1);
  return j < nodes.size() && nodes[j].group;
}

bool AfterDot(const Nodes& nodes, size_t i) {
  size_t p = Prev(nodes, i);
  return p != std::string::npos && nodes[p].IsPunct('.');
}

bool BeforeDot(const Nodes& nodes, size_t i) {
  size_t j = Next(nodes, i + 1);
  return j < nodes.size() && nodes[j].IsPunct('.');
}

Status RewriteDate(Node& n) {
  std::string inner = n.token.text.substr(1, n.token.text.size() - 2);
  auto parsed = ParseDateText(inner);
  if (!parsed)
    return Status::Error(ErrorCode::kSyntax, "Invalid date literal '" + n.token.text + "'");
  n = Node::Leaf(TokenKind::kString, "'" + CanonicalDate(*parsed) + "'");
  n.hints.date = true;
  return Status::Ok();
}

Status RewriteWord(Nodes& nodes, size_t i, const Context& ctx) {
  Node& n = nodes[i];
  const std::string upper = Upper(n.token.text);
  const bool jet = ctx.source == Source::Jet;
  if (n.token.text[0] == '@' || n.token.text[0] == '#') return Unsupported(n);
  if (jet ? IsUnsupportedJetWord(upper) : IsUnsupportedSqlServerWord(upper))
    return Unsupported(n);
  const bool qualified = AfterDot(nodes, i) || BeforeDot(nodes, i);
  if (!qualified && !FollowedByGroup(nodes, i) && (upper == "TRUE" || upper == "FALSE")) {
    // Jet's True is -1; SQL Server has no Boolean literal, 1 is its true bit.
    std::string value = upper == "FALSE" ? "0" : (jet ? "-1" : "1");
    n = Node::Leaf(TokenKind::kNumber, value);
    return Status::Ok();
  }
  // N'text' is SQL Server's Unicode literal; all text is Unicode here.
  if (!jet && upper == "N" && i + 1 < nodes.size() && !nodes[i + 1].group &&
      nodes[i + 1].token.kind == TokenKind::kString) {
    nodes.erase(nodes.begin() + static_cast<long>(i));
    return Status::Ok();
  }
  bool needs_quotes;
  if (qualified) {
    needs_quotes = ctx.syntax.IsReserved(upper, false);
  } else if (FollowedByGroup(nodes, i)) {
    // A call: LEFT( and IsNull( are calls in the source, not join words.
    needs_quotes = ctx.syntax.IsReserved(upper, true) &&
                   (upper == "LEFT" || upper == "RIGHT" || !IsSourceKeyword(upper, ctx.source));
  } else {
    needs_quotes = ctx.syntax.IsReserved(upper, false) && !IsSourceKeyword(upper, ctx.source);
  }
  if (needs_quotes) n = Node::Leaf(TokenKind::kName, ctx.syntax.QuoteName(n.token.text));
  return Status::Ok();
}

}  // namespace

bool IsSourceKeyword(std::string_view word, Source source) {
  static constexpr std::array<std::string_view, 44> kCommon = {
      "SELECT", "FROM", "WHERE", "AND", "OR", "NOT", "AS", "ON", "JOIN",
      "INNER", "LEFT", "RIGHT", "OUTER", "FULL", "CROSS", "GROUP", "ORDER",
      "BY", "HAVING", "UNION", "ALL", "DISTINCT", "TOP", "PERCENT", "INTO",
      "VALUES", "SET", "UPDATE", "DELETE", "INSERT", "IN", "IS", "NULL", "LIKE",
      "BETWEEN", "ASC", "DESC", "EXISTS", "ANY", "SOME", "CREATE", "ALTER",
      "DROP", "TABLE"};
  static constexpr std::array<std::string_view, 3> kJet = {"MOD", "TRUE", "FALSE"};
  // SQL Server reserves these, so its texts never use them bare as names.
  static constexpr std::array<std::string_view, 26> kSqlServer = {
      "CASE", "WHEN", "THEN", "ELSE", "END", "ESCAPE", "CAST", "CONVERT",
      "COLLATE", "INDEX", "CHECK", "FOREIGN", "ADD", "CONSTRAINT", "REFERENCES",
      "UNIQUE", "DEFAULT", "TO", "PRIMARY", "TRANSACTION", "COMMIT", "EXCEPT",
      "INTERSECT", "KEY", "COLUMN", "VIEW"};
  std::string upper = Upper(word);
  auto in = [&](const auto& list) {
    return std::find(list.begin(), list.end(), upper) != list.end();
  };
  return in(kCommon) || (source == Source::Jet ? in(kJet) : in(kSqlServer));
}

Node TargetName(const Node& name, const Context& ctx) {
  if (name.group) return name;
  if (name.token.kind == TokenKind::kName) {
    const std::string& t = name.token.text;
    // [x] stays as written unless it holds an escaped ]; "x" and `x` are
    // re-quoted, as SQLite would read an unknown "x" as a string.
    if (ctx.target == Target::Sqlite && t.front() == '[' && t.find("]]") == std::string::npos)
      return name;
    return Node::Leaf(TokenKind::kName, ctx.syntax.QuoteName(NameOf(name.token)));
  }
  if (name.token.kind == TokenKind::kWord && ctx.syntax.IsReserved(name.token.text, false))
    return Node::Leaf(TokenKind::kName, ctx.syntax.QuoteName(name.token.text));
  return name;
}

Status RewriteLiterals(Nodes& nodes, const Context& ctx) {
  const bool jet = ctx.source == Source::Jet;
  for (size_t i = 0; i < nodes.size(); ++i) {
    Node& n = nodes[i];
    if (n.group) {
      if (Status s = RewriteLiterals(n.kids, ctx); !s.ok()) return s;
      continue;
    }
    if (n.synthetic) continue;
    switch (n.token.kind) {
      case TokenKind::kDate:
        if (Status s = RewriteDate(n); !s.ok()) return s;
        break;
      case TokenKind::kString:
        if (n.token.text.front() == '"')
          n = Node::Leaf(TokenKind::kString, SingleQuoted(StringValueOf(n.token)));
        n.hints.text = true;
        break;
      case TokenKind::kName:
        n = TargetName(n, ctx);
        break;
      case TokenKind::kWord:
        if (Status s = RewriteWord(nodes, i, ctx); !s.ok()) return s;
        break;
      case TokenKind::kOperator:
        if (n.token.text == "!<") n = Node::Leaf(TokenKind::kOperator, ">=");
        else if (n.token.text == "!>") n = Node::Leaf(TokenKind::kOperator, "<=");
        else if (n.token.text == "==" || n.token.text == "||" || n.token.text == "!" ||
                 (!jet && n.token.text == "^"))
          return Unsupported(n);  // not operators of the source, or XOR
        break;
      case TokenKind::kOther:
        return Unsupported(n);
      case TokenKind::kPunct:
        if (n.token.text == ";") return Unsupported(n);
        break;
      default:
        break;
    }
  }
  return Status::Ok();
}

}  // namespace dravmor::dialect
