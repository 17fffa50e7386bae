#include "engine/dialect/target.h"

#include <algorithm>
#include <array>

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

}  // namespace

const TargetSyntax* SyntaxFor(Target target) {
  static const SqliteSyntax kSqlite;
  return target == Target::Sqlite ? &kSqlite : nullptr;
}

}  // namespace dravmor::dialect
