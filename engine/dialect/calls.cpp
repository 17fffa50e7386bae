#include "engine/dialect/calls.h"

#include "engine/dialect/date_functions.h"

#include <array>
#include <optional>
#include <string>

namespace dravmor::dialect {

namespace {

std::string Upper(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return out;
}

bool ReturnsText(const std::string& upper) {
  static constexpr std::array<std::string_view, 18> kText = {
      "LEFT", "RIGHT", "MID", "SUBSTRING", "SUBSTR", "UCASE", "LCASE", "UPPER",
      "LOWER", "TRIM", "LTRIM", "RTRIM", "CSTR", "STR", "REPLACE", "SPACE",
      "CHAR", "NCHAR"};
  for (std::string_view t : kText)
    if (upper == t) return true;
  return false;
}

Node Word(std::string text) { return Node::Leaf(TokenKind::kWord, std::move(text)); }
Node Space() { return Node::Leaf(TokenKind::kSpace, " "); }
Node Comma() { return Node::Leaf(TokenKind::kPunct, ","); }
Node Number(long n) { return Node::Leaf(TokenKind::kNumber, std::to_string(n)); }

// name(a, b, ...)
Nodes Call(std::string name, std::vector<Nodes> args) {
  Nodes inner;
  for (size_t i = 0; i < args.size(); ++i) {
    if (i) {
      inner.push_back(Comma());
      inner.push_back(Space());
    }
    inner.insert(inner.end(), args[i].begin(), args[i].end());
  }
  return Nodes{Word(std::move(name)), Node::Group(std::move(inner))};
}

Nodes Cast(Nodes expr, std::string type) {
  expr.push_back(Space());
  expr.push_back(Word("AS"));
  expr.push_back(Space());
  expr.push_back(Word(std::move(type)));
  return Nodes{Word("CAST"), Node::Group(std::move(expr))};
}

struct CastType {
  std::string upper;       // VARCHAR
  std::vector<long> args;  // (10) or (10, 2)
  std::string text;        // as written, for errors
};

std::optional<CastType> ParseCastType(const Nodes& arg) {
  size_t i = Next(arg, 0);
  // A word, or a name: a target that reserves the type word as a call name
  // has quoted it already.
  if (i >= arg.size() || arg[i].group ||
      (arg[i].token.kind != TokenKind::kWord && arg[i].token.kind != TokenKind::kName))
    return std::nullopt;
  CastType cast{Upper(NameOf(arg[i].token)), {}, Render(arg)};
  size_t j = Next(arg, i + 1);
  if (j < arg.size() && arg[j].group) {
    for (const Nodes& a : SplitArguments(arg[j])) {
      std::optional<long> n = a.size() == 1 ? WholeNumber(a[0]) : std::nullopt;
      if (!n) return std::nullopt;
      cast.args.push_back(*n);
    }
    j = Next(arg, j + 1);
  }
  if (j != arg.size()) return std::nullopt;
  return cast;
}

// strftime patterns of CONVERT's date styles that are plain numbers.
std::optional<std::string> StylePattern(long style) {
  switch (style) {
    case 20: case 120: return "'%Y-%m-%d %H:%M:%S'";
    case 21: case 121: return "'%Y-%m-%d %H:%M:%f'";
    case 23: return "'%Y-%m-%d'";
    case 102: return "'%Y.%m.%d'";
    case 108: return "'%H:%M:%S'";
    case 111: return "'%Y/%m/%d'";
    case 112: return "'%Y%m%d'";
    case 126: return "'%Y-%m-%dT%H:%M:%f'";
    default: return std::nullopt;
  }
}

// The same patterns in PostgreSQL's to_char spelling.
std::string ToCharPattern(std::string_view strftime) {
  std::string out;
  for (size_t i = 0; i < strftime.size(); ++i) {
    if (strftime[i] != '%' || i + 1 == strftime.size()) {
      out += strftime[i];
      continue;
    }
    switch (strftime[++i]) {
      case 'Y': out += "YYYY"; break;
      case 'm': out += "MM"; break;
      case 'd': out += "DD"; break;
      case 'H': out += "HH24"; break;
      case 'M': out += "MI"; break;
      case 'S': out += "SS"; break;
      case 'f': out += "SS.MS"; break;
      default: out += strftime[i];
    }
  }
  return out;
}

// CONVERT(type, expr[, style]) and CAST(expr AS type) of SQL Server.
Result<CallRewrite> Convert(const CastType& type, Nodes expr, std::optional<long> style,
                            const Context& ctx) {
  auto bad = [&]() {
    std::string text = "CONVERT(" + type.text;
    if (style) text += ", style " + std::to_string(*style);
    return Unsupported(text + ")");
  };
  const std::string& t = type.upper;
  CallRewrite out;
  out.changed = true;
  if (t == "CHAR" || t == "VARCHAR" || t == "NCHAR" || t == "NVARCHAR") {
    if (type.args.size() > 1) return bad();
    Nodes inner;
    if (style) {
      auto pattern = StylePattern(*style);
      if (!pattern) return bad();
      inner = ctx.target == Target::Postgres
                  ? Call("to_char", {expr, Nodes{Node::Leaf(TokenKind::kString, ToCharPattern(*pattern))}})
                  : Call("strftime", {Nodes{Node::Leaf(TokenKind::kString, *pattern)}, expr});
    } else {
      inner = Cast(std::move(expr), "TEXT");
    }
    // varchar(n) keeps the first n characters.
    out.replacement = type.args.empty()
                          ? inner
                          : Call("SUBSTR", {inner, {Number(1)}, {Number(type.args[0])}});
    out.hints.text = true;
    return out;
  }
  if (t == "DATETIME" || t == "SMALLDATETIME") {
    // Only the ISO styles read the same whatever the language setting.
    if (!type.args.empty() || (style && *style != 20 && *style != 21 && *style != 120 &&
                               *style != 121 && *style != 23 && *style != 126))
      return bad();
    out.replacement = Call(std::string(ctx.syntax.HelperName(Helper::kToDate)), {expr});
    out.hints.date = true;
    return out;
  }
  if (style && *style != 0) return bad();
  if (t == "INT" || t == "INTEGER" || t == "SMALLINT" || t == "TINYINT" || t == "BIGINT") {
    if (!type.args.empty()) return bad();
    // SQL Server truncates toward zero; PostgreSQL's cast would round.
    if (ctx.target == Target::Postgres)
      expr = Call("TRUNC", {Cast(std::move(expr), "NUMERIC")});
    out.replacement = Cast(std::move(expr), "INTEGER");
  } else if (t == "FLOAT" || t == "REAL") {
    out.replacement = Cast(std::move(expr), "REAL");
    out.hints.real = true;
  } else if (t == "DECIMAL" || t == "NUMERIC" || t == "MONEY" || t == "SMALLMONEY") {
    long scale = (t == "MONEY" || t == "SMALLMONEY") ? 4 : (type.args.size() == 2 ? type.args[1] : 0);
    if (type.args.size() > 2 || ((t == "MONEY" || t == "SMALLMONEY") && !type.args.empty()))
      return bad();
    if (ctx.target == Target::Postgres) {
      // Exact decimals there, rounded half away from zero as SQL Server does.
      long precision = (t == "MONEY" || t == "SMALLMONEY") ? 19 : (type.args.empty() ? 18 : type.args[0]);
      out.replacement = Cast(std::move(expr), "NUMERIC(" + std::to_string(precision) + "," +
                                                  std::to_string(scale) + ")");
    } else {
      out.replacement = Call("ROUND", {Cast(std::move(expr), "REAL"), {Number(scale)}});
    }
    out.hints.real = scale > 0;
  } else if (t == "BIT" && ctx.target == Target::Postgres) {
    // A comparison is a boolean there; SQL Server's bit is a number.
    Nodes test = Cast(std::move(expr), "DOUBLE PRECISION");
    Nodes when = {Word("CASE WHEN ")};
    when.insert(when.end(), test.begin(), test.end());
    when.push_back(Word(" <> 0 THEN 1 ELSE 0 END"));
    out.replacement = Nodes{Node::Group(std::move(when))};
  } else if (t == "BIT") {
    Nodes test = Cast(std::move(expr), "REAL");
    test.push_back(Space());
    test.push_back(Node::Leaf(TokenKind::kOperator, "<>"));
    test.push_back(Space());
    test.push_back(Number(0));
    out.replacement = Nodes{Node::Group(std::move(test))};
  } else {
    return bad();
  }
  return out;
}

Status WrongArgumentCount(const Node& name, const Node& args) {
  return Status::Error(ErrorCode::kSyntax,
                       "Wrong number of arguments near '" + TextOf(name) + TextOf(args) + "'");
}

bool IsStringNode(const Nodes& arg) {
  return arg.size() == 1 && !arg[0].group && arg[0].token.kind == TokenKind::kString;
}

Nodes StringNode(std::string_view value) {
  std::string quoted = "'";
  for (char c : value) {
    quoted += c;
    if (c == '\'') quoted += '\'';
  }
  return {Node::Leaf(TokenKind::kString, quoted + "'")};
}

// The field type of a column the statement names bare or qualified: the
// one every table with a column of that name agrees on, else 0.
int ColumnTypeOf(const Nodes& arg, const Context& ctx) {
  if (!ctx.hints || arg.empty()) return 0;
  const Node& last = arg.back();
  if (last.group || (last.token.kind != TokenKind::kWord && last.token.kind != TokenKind::kName))
    return 0;
  for (size_t i = 0; i + 1 < arg.size(); ++i)
    if (!arg[i].IsSpace() && !arg[i].IsPunct('.') && arg[i].token.kind != TokenKind::kWord &&
        arg[i].token.kind != TokenKind::kName)
      return 0;
  std::string column = NameOf(last.token);
  for (char& c : column)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  int type = 0;
  for (const auto& [table, columns] : ctx.hints->column_types) {
    auto found = columns.find(column);
    if (found == columns.end()) continue;
    if (type != 0 && type != found->second) return 0;
    type = found->second;
  }
  return type;
}

// Aggregates of a column whose type the backends keep differently:
// - Sum of a Currency column is exact, as Jet's is (SQLite would add the
//   stored doubles: 0.1 + 0.2 = 0.30000000000000004);
// - Sum of a Single column is a Double, as Jet's is (PostgreSQL would sum
//   in single precision);
// - Min and Max of a Single column are a Single, shown by its own shortest
//   digits (SQLite would show the double that holds it).
std::optional<CallRewrite> ColumnAggregate(const std::string& upper, const Node& args,
                                           const Context& ctx) {
  constexpr int kSingle = 4, kCurrency = 6;  // AdoType
  if (upper != "SUM" && upper != "MIN" && upper != "MAX") return std::nullopt;
  std::vector<Nodes> a = SplitArguments(args);
  if (a.size() != 1) return std::nullopt;
  const int type = ColumnTypeOf(a[0], ctx);
  const bool sqlite = ctx.target == Target::Sqlite;
  CallRewrite out;
  out.changed = true;
  if (upper == "SUM" && type == kCurrency) {
    out.replacement = sqlite ? Call("JET_CURSUM", {a[0]})
                             : Cast(Call("SUM", {a[0]}), "NUMERIC(19,4)");
  } else if (upper == "SUM" && type == kSingle && !sqlite) {
    out.replacement = Call("SUM", {Cast(a[0], "DOUBLE PRECISION")});
    out.hints.real = true;
  } else if (upper != "SUM" && type == kSingle && sqlite) {
    out.replacement = Call("JET_SINGLE", {Call(upper, {a[0]})});
    out.hints.real = true;
  } else {
    return std::nullopt;
  }
  return out;
}

// Jet's date functions and SQL Server's: one helper per kind of work on
// SQLite (JET_DATEPART, JET_DATEDIFF, JET_DATEADD, JET_FORMAT); on
// PostgreSQL the same names, the dates made timestamps by cdate() first,
// and Format as to_char. The interval is checked here when it is written
// out; an interval or pattern no backend can take is refused, never left
// to a function of the same name that means something else (SQLite's and
// PostgreSQL's own format()).
std::optional<Result<CallRewrite>> DateCall(const Node& name, const Node& args,
                                            const std::string& upper, const Context& ctx) {
  static constexpr std::pair<std::string_view, Interval> kParts[] = {
      {"YEAR", Interval::kYear},     {"MONTH", Interval::kMonth},   {"DAY", Interval::kDay},
      {"HOUR", Interval::kHour},     {"MINUTE", Interval::kMinute}, {"SECOND", Interval::kSecond},
      {"WEEKDAY", Interval::kWeekday}};
  const bool jet = ctx.source == Source::Jet;
  const bool pg = ctx.target == Target::Postgres;
  std::optional<Interval> fixed;
  for (const auto& [word, interval] : kParts)
    if (upper == word && (jet || interval == Interval::kYear || interval == Interval::kMonth ||
                          interval == Interval::kDay))
      fixed = interval;
  const bool part = upper == "DATEPART", diff = upper == "DATEDIFF", add = upper == "DATEADD";
  const bool format = jet && upper == "FORMAT";
  if (!fixed && !part && !diff && !add && !format) return std::nullopt;
  std::vector<Nodes> a = SplitArguments(args);
  const size_t wanted = fixed ? 1 : (part || format) ? 2 : 3;
  if (a.size() != wanted) return Result<CallRewrite>(WrongArgumentCount(name, args));
  for (const Nodes& arg : a)
    if (arg.empty()) return Result<CallRewrite>(WrongArgumentCount(name, args));
  const std::string whole = TextOf(name) + TextOf(args);
  auto as_date = [&](Nodes value) {
    if (!pg) return value;
    return Call(std::string(ctx.syntax.HelperName(Helper::kToDate)), {std::move(value)});
  };
  CallRewrite out;
  out.changed = true;
  if (format) {
    if (!IsStringNode(a[1])) return Result<CallRewrite>(Unsupported(whole, "Format needs a written pattern"));
    std::string bad;
    auto parts = ParseDateFormat(StringValueOf(a[1][0].token), &bad);
    if (!parts)
      return Result<CallRewrite>(Unsupported(whole, "Format of a date only; no pattern part '" + bad + "'"));
    out.replacement = pg ? Call("to_char", {as_date(a[0]), StringNode(ToCharFormat(*parts))})
                         : Call("JET_FORMAT", {a[0], a[1]});
    out.hints.text = true;
    return Result<CallRewrite>(out);
  }
  Nodes interval;
  if (fixed) {
    interval = StringNode(IntervalText(*fixed));
  } else if (jet) {
    if (IsStringNode(a[0]) && !ParseInterval(StringValueOf(a[0][0].token)))
      return Result<CallRewrite>(Unsupported(whole, "no such interval"));
    interval = a[0];
  } else {
    std::optional<Interval> word;
    if (a[0].size() == 1 && !a[0][0].group &&
        (a[0][0].token.kind == TokenKind::kWord || a[0][0].token.kind == TokenKind::kName))
      word = SqlServerDatePart(NameOf(a[0][0].token));
    if (!word) return Result<CallRewrite>(Unsupported(whole, "no such date part"));
    interval = StringNode(IntervalText(*word));
  }
  const std::string prefix = pg ? "jet_" : "JET_";
  if (fixed || part) {
    out.replacement = Call(prefix + (pg ? "datepart" : "DATEPART"), {interval, as_date(a.back())});
  } else if (diff) {
    out.replacement = Call(prefix + (pg ? "datediff" : "DATEDIFF"), {interval, as_date(a[1]), as_date(a[2])});
  } else {
    out.replacement = Call(prefix + (pg ? "dateadd" : "DATEADD"), {interval, a[1], as_date(a[2])});
    out.hints.date = true;
  }
  return Result<CallRewrite>(out);
}

}  // namespace

std::vector<Nodes> SplitArguments(const Node& args) {
  std::vector<Nodes> out;
  Nodes current;
  auto flush = [&]() {
    size_t first = Next(current, 0);
    size_t last = Prev(current, current.size());
    out.push_back(first <= last && last != std::string::npos ? Slice(current, first, last + 1)
                                                             : Nodes{});
    current.clear();
  };
  if (Next(args.kids, 0) == args.kids.size()) return out;  // f()
  for (const Node& k : args.kids) {
    if (k.IsPunct(',')) flush();
    else current.push_back(k);
  }
  flush();
  return out;
}

Result<CallRewrite> RewriteCall(const Node& name, const Node& args, const Context& ctx) {
  CallRewrite out;
  std::string upper = Upper(NameOf(name.token));
  if (ctx.source == Source::Jet && upper.size() > 1 && upper.back() == '$') {
    // Left$, Mid$, ...: the text-only forms of the same functions.
    upper.pop_back();
    std::string base = NameOf(name.token).substr(0, upper.size());
    out.changed = true;
    out.replacement = {ctx.syntax.IsReserved(base, true)
                           ? Node::Leaf(TokenKind::kName, ctx.syntax.QuoteName(base))
                           : Word(base),
                       args};
  }
  out.hints.text = ReturnsText(upper);
  out.hints.date = upper == "NOW" || upper == "DATE" || upper == "TIME" || upper == "CDATE" ||
                   upper == "GETDATE";
  if (auto date = DateCall(name, args, upper, ctx)) return *date;
  if (auto aggregate = ColumnAggregate(upper, args, ctx)) return *aggregate;
  const size_t count = SplitArguments(args).size();
  if (upper == "ISNULL") {
    // Jet's IsNull(x) tests; SQL Server's ISNULL(x, y) replaces.
    if (count != (ctx.source == Source::Jet ? 1u : 2u)) return WrongArgumentCount(name, args);
    if (count == 2 && ctx.target == Target::Postgres) {
      out.changed = true;
      out.replacement = {Word("COALESCE"), args};
    }
    return out;
  }
  if (ctx.source != Source::SqlServer) return out;
  if (upper == "LEN") {
    if (count != 1) return WrongArgumentCount(name, args);
    out.changed = true;
    out.replacement = {Word(std::string(ctx.syntax.HelperName(Helper::kLenTrimmed))), args};
    return out;
  }
  if (upper == "CHARINDEX") {
    // CHARINDEX(find, in) is instr(in, find); the start position has no
    // counterpart.
    std::vector<Nodes> a = SplitArguments(args);
    if (a.size() != 2) return Unsupported(TextOf(name) + TextOf(args));
    out.changed = true;
    out.replacement = ctx.target == Target::Postgres ? Call("strpos", {a[1], a[0]})
                                                     : Call("instr", {a[1], a[0]});
    return out;
  }
  if (upper == "CONVERT") {
    std::vector<Nodes> a = SplitArguments(args);
    if (a.size() < 2 || a.size() > 3) return WrongArgumentCount(name, args);
    auto type = ParseCastType(a[0]);
    if (!type) return Unsupported("CONVERT(" + Render(a[0]));
    std::optional<long> style;
    if (a.size() == 3) {
      style = a[2].size() == 1 ? WholeNumber(a[2][0]) : std::nullopt;
      if (!style) return Unsupported(Render(a[2]));
    }
    return Convert(*type, a[1], style, ctx);
  }
  if (upper == "CAST") {
    // CAST(expr AS type): the last AS of the group.
    size_t as = std::string::npos;
    for (size_t i = 0; i < args.kids.size(); ++i)
      if (args.kids[i].Is("AS")) as = i;
    if (as == std::string::npos) return Unsupported(TextOf(name) + TextOf(args));
    Node before = Node::Group(Slice(args.kids, 0, as));
    Nodes expr = SplitArguments(before).empty() ? Nodes{} : SplitArguments(before)[0];
    Nodes type_nodes = Slice(args.kids, as + 1, args.kids.size());
    size_t last = Prev(type_nodes, type_nodes.size());
    if (expr.empty() || last == std::string::npos) return Unsupported(TextOf(name) + TextOf(args));
    type_nodes.resize(last + 1);
    auto type = ParseCastType(type_nodes);
    if (!type) return Unsupported("CAST(... AS " + Render(type_nodes));
    return Convert(*type, expr, std::nullopt, ctx);
  }
  return out;
}

}  // namespace dravmor::dialect
