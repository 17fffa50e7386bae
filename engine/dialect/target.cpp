#include "engine/dialect/target.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace dravmor::dialect {

namespace {

class SqliteSyntax : public TargetSyntax {
 public:
  // [x] is always a name on SQLite, where "x" may fall back to a string.
  std::string QuoteName(std::string_view name) const override {
    if (name.find(']') == std::string_view::npos) return "[" + std::string(name) + "]";
    std::string out = "\"";
    for (char c : name) {
      out += c;
      if (c == '"') out += '"';
    }
    return out + "\"";
  }

  bool IsReserved(std::string_view word, bool as_call) const override {
    // SQLite 3.40 keywords that its parser does not take back as names (the
    // others, such as KEY or ACTION, work bare).
    static constexpr std::array<std::string_view, 60> kNames = {
        "ADD", "ALL", "ALTER", "AND", "AS", "AUTOINCREMENT", "BETWEEN", "CASE",
        "CAST", "CHECK", "COLLATE", "COMMIT", "CONSTRAINT", "CREATE", "DEFAULT",
        "DEFERRABLE", "DELETE", "DISTINCT", "DROP", "ELSE", "ESCAPE", "EXCEPT",
        "EXISTS", "FOREIGN", "FROM", "GROUP", "HAVING", "IN", "INDEX", "INSERT",
        "INTERSECT", "INTO", "IS", "ISNULL", "JOIN", "LIMIT", "NOT", "NOTHING",
        "NOTNULL", "NULL", "ON", "OR", "ORDER", "PRIMARY", "RAISE", "REFERENCES",
        "RETURNING", "SELECT", "SET", "TABLE", "THEN", "TO", "TRANSACTION",
        "UNION", "UNIQUE", "UPDATE", "USING", "VALUES", "WHEN", "WHERE"};
    // Join words and the CURRENT_ constants are names but no call names:
    // LEFT(x, 2) does not parse.
    static constexpr std::array<std::string_view, 10> kCalls = {
        "LEFT", "RIGHT", "INNER", "OUTER", "CROSS", "FULL", "NATURAL",
        "CURRENT_DATE", "CURRENT_TIME", "CURRENT_TIMESTAMP"};
    std::string upper(word);
    for (char& c : upper)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    if (std::find(kNames.begin(), kNames.end(), upper) != kNames.end()) return true;
    return as_call && std::find(kCalls.begin(), kCalls.end(), upper) != kCalls.end();
  }

  std::string_view HelperName(Helper helper) const override {
    switch (helper) {
      case Helper::kConcat: return "JET_CONCAT";
      case Helper::kIntDiv: return "JET_IDIV";
      case Helper::kMod: return "JET_MOD";
      case Helper::kPower: return "POWER";
      case Helper::kLenTrimmed: return "MSSQL_LEN";
      case Helper::kToDate: return "CDATE";
    }
    return "";
  }
};

bool InList(const std::string& upper, const std::string_view* begin, const std::string_view* end) {
  return std::find(begin, end, upper) != end;
}

std::string UpperAscii(std::string_view word) {
  std::string upper(word);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return upper;
}

// PostgreSQL folds a bare name to lower case, so a quoted name is written in
// lower case too: [Cj_ID], "Cj_ID" and Cj_ID all reach the same column, as
// names do on Jet and SQL Server whatever their letter case.
class PostgresSyntax : public TargetSyntax {
 public:
  std::string QuoteName(std::string_view name) const override {
    std::string out = "\"";
    for (char c : name) {
      out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
      if (c == '"') out += '"';
    }
    return out + "\"";
  }

  bool IsReserved(std::string_view word, bool as_call) const override {
    // PostgreSQL 15's reserved words, and the type and function words that
    // cannot name a column.
    static constexpr std::string_view kNames[] = {
        "ALL", "ANALYSE", "ANALYZE", "AND", "ANY", "ARRAY", "AS", "ASC", "ASYMMETRIC",
        "BOTH", "CASE", "CAST", "CHECK", "COLLATE", "COLUMN", "CONSTRAINT", "CREATE",
        "CURRENT_CATALOG", "CURRENT_DATE", "CURRENT_ROLE", "CURRENT_TIME",
        "CURRENT_TIMESTAMP", "CURRENT_USER", "DEFAULT", "DEFERRABLE", "DESC", "DISTINCT",
        "DO", "ELSE", "END", "EXCEPT", "FALSE", "FETCH", "FOR", "FOREIGN", "FROM", "GRANT",
        "GROUP", "HAVING", "IN", "INITIALLY", "INTERSECT", "INTO", "LATERAL", "LEADING",
        "LIMIT", "LOCALTIME", "LOCALTIMESTAMP", "NOT", "NULL", "OFFSET", "ON", "ONLY", "OR",
        "ORDER", "PLACING", "PRIMARY", "REFERENCES", "RETURNING", "SELECT", "SESSION_USER",
        "SOME", "SYMMETRIC", "TABLE", "THEN", "TO", "TRAILING", "TRUE", "UNION", "UNIQUE",
        "USER", "USING", "VARIADIC", "WHEN", "WHERE", "WINDOW", "WITH",
        "AUTHORIZATION", "BINARY", "COLLATION", "CONCURRENTLY", "CROSS", "CURRENT_SCHEMA",
        "FREEZE", "FULL", "ILIKE", "INNER", "IS", "ISNULL", "JOIN", "LEFT", "LIKE",
        "NATURAL", "NOTNULL", "OUTER", "OVERLAPS", "RIGHT", "SIMILAR", "TABLESAMPLE",
        "VERBOSE"};
    // Words that name a column but not a called function (TIME(), VALUES()).
    static constexpr std::string_view kNoCalls[] = {
        "BETWEEN", "BIGINT", "BIT", "BOOLEAN", "CHAR", "CHARACTER", "DEC", "DECIMAL",
        "EXISTS", "FLOAT", "GROUPING", "INOUT", "INT", "INTEGER", "INTERVAL", "NATIONAL",
        "NCHAR", "NONE", "NORMALIZE", "NUMERIC", "OUT", "PRECISION", "REAL", "ROW",
        "SETOF", "SMALLINT", "TIME", "TIMESTAMP", "TREAT", "VALUES", "VARCHAR"};
    // Function words PostgreSQL calls as written.
    static constexpr std::string_view kCallable[] = {"LEFT", "RIGHT", "ISNULL"};
    std::string upper = UpperAscii(word);
    if (as_call) {
      if (InList(upper, std::begin(kCallable), std::end(kCallable))) return false;
      if (InList(upper, std::begin(kNoCalls), std::end(kNoCalls))) return true;
    }
    return InList(upper, std::begin(kNames), std::end(kNames));
  }

  std::string_view HelperName(Helper helper) const override {
    switch (helper) {
      case Helper::kConcat: return "jet_concat";
      case Helper::kIntDiv: return "jet_idiv";
      case Helper::kMod: return "jet_mod";
      case Helper::kPower: return "power";
      case Helper::kLenTrimmed: return "mssql_len";
      case Helper::kToDate: return "cdate";
    }
    return "";
  }
};

}  // namespace

const TargetSyntax* SyntaxFor(Target target) {
  static const SqliteSyntax kSqlite;
  static const PostgresSyntax kPostgres;
  if (target == Target::Sqlite) return &kSqlite;
  return &kPostgres;
}

}  // namespace dravmor::dialect
