// Values written into a column take the column's type as Jet gives it to
// them, on both backends alike: a fraction written into a Long, Integer or
// Byte is rounded (half to even) and a value beyond the type's range is an
// Overflow; a Single keeps single precision; Currency four decimals within
// its range; a number written into a Text column is stored as Jet's text
// of it ("9", not "9.0"); a date as a date. Number literals are converted
// here; any other value goes through the conversion function of the type
// (CLng, CInt, CByte, CSng, CDbl, CCur, CDate, CStr), which both backends
// provide. Columns of an unknown table or type are left as written.
#include <cfloat>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>

#include "engine/dialect/passes.h"
#include "engine/dialect/types.h"
#include "engine/numeric.h"
#include "engine/variant.h"

namespace dravmor::dialect {

namespace {

struct Conversion {
  std::string_view function;  // "" for none
  double low = 0, high = 0;   // whole-number types
};

Conversion ConversionFor(int ado_type) {
  switch (ado_type) {
    case AdoType::kUnsignedTinyInt: return {"CBYTE", 0, 255};
    case AdoType::kSmallInt: return {"CINT", -32768, 32767};
    case AdoType::kInteger: return {"CLNG", -2147483648.0, 2147483647.0};
    case AdoType::kSingle: return {"CSNG"};
    case AdoType::kDouble: return {"CDBL"};
    case AdoType::kCurrency: return {"CCUR"};
    case AdoType::kDate: return {"CDATE"};
    case AdoType::kWChar:
    case AdoType::kVarWChar:
    case AdoType::kLongVarWChar: return {"CSTR"};
    default: return {};
  }
}

bool IsText(int ado_type) { return ConversionFor(ado_type).function == "CSTR"; }

Status Overflow() { return Status::Error(ErrorCode::kOverflow, "Overflow"); }

// The value of a number literal with an optional sign (decimal only).
std::optional<double> LiteralNumber(const Nodes& value) {
  size_t i = Next(value, 0);
  double sign = 1;
  if (i < value.size() && (value[i].IsOp("-") || value[i].IsOp("+"))) {
    sign = value[i].IsOp("-") ? -1 : 1;
    i = Next(value, i + 1);
  }
  if (i >= value.size() || value[i].group || value[i].token.kind != TokenKind::kNumber ||
      Next(value, i + 1) != value.size())
    return std::nullopt;
  const std::string& t = value[i].token.text;
  if (t.find_first_not_of("0123456789.eE+-") != std::string::npos) return std::nullopt;  // 0x1F
  auto parsed = ParseNumber(t);
  if (!parsed) return std::nullopt;
  return sign * *parsed;
}

Node NumberLeaf(std::string text) { return Node::Leaf(TokenKind::kNumber, std::move(text)); }

Node StringLeaf(std::string_view text) {
  std::string quoted = "'";
  for (char c : text) {
    quoted += c;
    if (c == '\'') quoted += '\'';
  }
  return Node::Leaf(TokenKind::kString, quoted + "'");
}

// The value, converted for a column of the given type.
Result<Nodes> Convert(Nodes value, int ado_type) {
  const Conversion conversion = ConversionFor(ado_type);
  size_t first = Next(value, 0);
  if (conversion.function.empty() || first >= value.size()) return value;
  if (first + 1 == value.size() || Next(value, first + 1) == value.size()) {
    const Node& only = value[first];
    if (only.Is("NULL")) return value;
    if (!only.group && only.token.kind == TokenKind::kString && IsText(ado_type)) return value;
  }
  if (auto number = LiteralNumber(value)) {
    const double v = *number;
    switch (ado_type) {
      case AdoType::kWChar:
      case AdoType::kVarWChar:
      case AdoType::kLongVarWChar:
        return Nodes{StringLeaf(JetNumberText(v))};
      case AdoType::kUnsignedTinyInt:
      case AdoType::kSmallInt:
      case AdoType::kInteger: {
        double whole = std::nearbyint(v);
        if (!(whole >= conversion.low && whole <= conversion.high)) return Overflow();
        if (whole == v) return value;
        return Nodes{NumberLeaf(ShortestDecimal(whole))};
      }
      case AdoType::kSingle: {
        if (!(std::fabs(v) <= FLT_MAX)) return Overflow();
        return Nodes{NumberLeaf(ShortestDecimal(static_cast<double>(static_cast<float>(v))))};
      }
      case AdoType::kDouble: return value;
      case AdoType::kCurrency: {
        auto c = Currency::FromDouble(v);
        if (!c.ok()) return Overflow();
        return Nodes{NumberLeaf(c->ToText())};
      }
      default: break;
    }
  }
  Nodes args = Slice(value, first, Prev(value, value.size()) + 1);
  return Nodes{Node::Leaf(TokenKind::kWord, std::string(conversion.function)),
               Node::Group(std::move(args))};
}

bool IsNameNode(const Node& n) {
  return !n.group && (n.token.kind == TokenKind::kWord || n.token.kind == TokenKind::kName);
}

// Splits at the commas of one level, keeping each part's blanks.
std::vector<Nodes> SplitAtCommas(const Nodes& nodes) {
  std::vector<Nodes> parts(1);
  for (const Node& n : nodes) {
    if (n.IsPunct(',')) parts.emplace_back();
    else parts.back().push_back(n);
  }
  return parts;
}

Nodes JoinWithCommas(const std::vector<Nodes>& parts) {
  Nodes out;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i) out.push_back(Node::Leaf(TokenKind::kPunct, ","));
    out.insert(out.end(), parts[i].begin(), parts[i].end());
  }
  return out;
}

// Converts a part in place, keeping the blanks around it.
Status ConvertPart(Nodes& part, int ado_type) {
  size_t first = Next(part, 0), last = Prev(part, part.size());
  if (first >= part.size() || last == std::string::npos) return Status::Ok();
  auto converted = Convert(Slice(part, first, last + 1), ado_type);
  if (!converted.ok()) return converted.status();
  Nodes out = Slice(part, 0, first);
  out.insert(out.end(), converted->begin(), converted->end());
  Append(out, part, last + 1, part.size());
  part = std::move(out);
  return Status::Ok();
}

// The last name of a qualified name in [from, to): t.col gives col.
std::optional<std::string> SingleColumn(const Nodes& part) {
  size_t first = Next(part, 0), last = Prev(part, part.size());
  if (first >= part.size() || last == std::string::npos || !IsNameNode(part[last])) return std::nullopt;
  for (size_t i = first; i < last; ++i)
    if (!part[i].IsSpace() && !IsNameNode(part[i]) && !part[i].IsPunct('.')) return std::nullopt;
  return NameOf(part[last].token);
}

// INSERT INTO t (a, b) VALUES (x, y) and INSERT INTO t (a, b) SELECT x, y.
Status ConvertInsert(Nodes& nodes, const Context& ctx) {
  size_t into = Next(nodes, Next(nodes, 0) + 1);
  size_t table = Next(nodes, into + 1);
  if (table >= nodes.size() || !IsNameNode(nodes[table])) return Status::Ok();
  size_t list = Next(nodes, table + 1);
  if (list >= nodes.size() || !nodes[list].group) return Status::Ok();  // no column list
  std::vector<int> types;
  for (const Nodes& part : SplitAtCommas(nodes[list].kids)) {
    auto column = SingleColumn(part);
    types.push_back(column ? ctx.hints->ColumnType(NameOf(nodes[table].token), *column) : 0);
  }
  size_t source = Next(nodes, list + 1);
  if (source >= nodes.size()) return Status::Ok();
  if (nodes[source].Is("VALUES")) {
    // Every row of a VALUES (...), (...) list.
    for (size_t values = Next(nodes, source + 1); values < nodes.size() && nodes[values].group;) {
      std::vector<Nodes> parts = SplitAtCommas(nodes[values].kids);
      if (parts.size() != types.size()) return Status::Ok();  // the database says what is wrong
      for (size_t i = 0; i < parts.size(); ++i)
        if (Status s = ConvertPart(parts[i], types[i]); !s.ok()) return s;
      nodes[values].kids = JoinWithCommas(parts);
      const size_t comma = Next(nodes, values + 1);
      if (comma >= nodes.size() || !nodes[comma].IsPunct(',')) break;
      values = Next(nodes, comma + 1);
    }
    return Status::Ok();
  }
  if (!nodes[source].Is("SELECT")) return Status::Ok();
  // The items of the SELECT up to its FROM; a star or a DISTINCT leaves
  // them as they are.
  size_t begin = Next(nodes, source + 1);
  if (begin >= nodes.size() || nodes[begin].Is("DISTINCT") || nodes[begin].Is("ALL"))
    return Status::Ok();
  size_t end = begin;
  while (end < nodes.size() && !nodes[end].Is("FROM") && !nodes[end].Is("WHERE") &&
         !nodes[end].Is("UNION") && !nodes[end].Is("ORDER") && !nodes[end].Is("GROUP") &&
         !nodes[end].Is("LIMIT"))
    ++end;
  std::vector<Nodes> parts = SplitAtCommas(Slice(nodes, begin, end));
  if (parts.size() != types.size()) return Status::Ok();
  for (Nodes& part : parts) {
    for (const Node& n : part)
      if (n.IsOp("*") || n.Is("AS")) return Status::Ok();
  }
  for (size_t i = 0; i < parts.size(); ++i)
    if (Status s = ConvertPart(parts[i], types[i]); !s.ok()) return s;
  Erase(nodes, begin, end);
  InsertAt(nodes, begin, JoinWithCommas(parts));
  return Status::Ok();
}

// UPDATE t SET a = x, b = y WHERE ...
Status ConvertUpdate(Nodes& nodes, const Context& ctx) {
  size_t table = Next(nodes, Next(nodes, 0) + 1);
  size_t set = Next(nodes, table + 1);
  if (set >= nodes.size() || !IsNameNode(nodes[table]) || !nodes[set].Is("SET")) return Status::Ok();
  size_t begin = set + 1, end = begin;
  while (end < nodes.size() && !nodes[end].Is("WHERE")) ++end;
  std::vector<Nodes> parts = SplitAtCommas(Slice(nodes, begin, end));
  for (Nodes& part : parts) {
    size_t eq = 0;
    while (eq < part.size() && !part[eq].IsOp("=")) ++eq;
    if (eq >= part.size()) return Status::Ok();
    auto column = SingleColumn(Slice(part, 0, eq));
    if (!column) continue;
    Nodes value = Slice(part, eq + 1, part.size());
    if (Status s = ConvertPart(value, ctx.hints->ColumnType(NameOf(nodes[table].token), *column));
        !s.ok())
      return s;
    part.resize(eq + 1);
    part.insert(part.end(), value.begin(), value.end());
  }
  Erase(nodes, begin, end);
  InsertAt(nodes, begin, JoinWithCommas(parts));
  return Status::Ok();
}

}  // namespace

Status RewriteAssignments(Nodes& nodes, const Context& ctx) {
  if (!ctx.hints || ctx.hints->column_types.empty()) return Status::Ok();
  size_t verb = Next(nodes, 0);
  if (verb >= nodes.size()) return Status::Ok();
  if (nodes[verb].Is("INSERT")) return ConvertInsert(nodes, ctx);
  if (nodes[verb].Is("UPDATE")) return ConvertUpdate(nodes, ctx);
  return Status::Ok();
}

}  // namespace dravmor::dialect
