#include "engine/dialect/types.h"

#include <utility>

namespace dravmor::dialect {

namespace {

// What a column holds, independent of any dialect's spelling.
enum class Kind {
  kVarText, kFixedText, kMemo, kByte, kShort, kLong, kBigInt, kSingle, kDouble,
  kDecimal, kCurrency, kDate, kBoolean, kBinary, kCounter,
};

struct SourceName {
  std::string_view name;
  Kind kind;
  long max_size;  // for text kinds: the largest size; 0 when no size is allowed
};

// Jet names, as Jet 4 DDL reads them (INTEGER is 32-bit there).
constexpr SourceName kJetNames[] = {
    {"TEXT", Kind::kVarText, 255},      {"VARCHAR", Kind::kVarText, 255},
    {"NVARCHAR", Kind::kVarText, 255},  {"ALPHANUMERIC", Kind::kVarText, 255},
    {"STRING", Kind::kVarText, 255},    {"CHAR", Kind::kFixedText, 255},
    {"CHARACTER", Kind::kFixedText, 255}, {"NCHAR", Kind::kFixedText, 255},
    {"MEMO", Kind::kMemo, 0},           {"LONGTEXT", Kind::kMemo, 0},
    {"LONGCHAR", Kind::kMemo, 0},       {"NOTE", Kind::kMemo, 0},
    {"NTEXT", Kind::kMemo, 0},          {"BYTE", Kind::kByte, 0},
    {"TINYINT", Kind::kByte, 0},        {"INTEGER1", Kind::kByte, 0},
    {"SHORT", Kind::kShort, 0},         {"SMALLINT", Kind::kShort, 0},
    {"INTEGER2", Kind::kShort, 0},      {"LONG", Kind::kLong, 0},
    {"INT", Kind::kLong, 0},            {"INTEGER", Kind::kLong, 0},
    {"INTEGER4", Kind::kLong, 0},       {"SINGLE", Kind::kSingle, 0},
    {"REAL", Kind::kSingle, 0},         {"FLOAT4", Kind::kSingle, 0},
    {"IEEESINGLE", Kind::kSingle, 0},   {"DOUBLE", Kind::kDouble, 0},
    {"FLOAT", Kind::kDouble, 0},        {"FLOAT8", Kind::kDouble, 0},
    {"IEEEDOUBLE", Kind::kDouble, 0},   {"NUMBER", Kind::kDouble, 0},
    {"NUMERIC", Kind::kDecimal, 0},     {"DECIMAL", Kind::kDecimal, 0},
    {"DEC", Kind::kDecimal, 0},         {"CURRENCY", Kind::kCurrency, 0},
    {"MONEY", Kind::kCurrency, 0},      {"DATE", Kind::kDate, 0},
    {"DATETIME", Kind::kDate, 0},       {"TIME", Kind::kDate, 0},
    {"TIMESTAMP", Kind::kDate, 0},      {"BIT", Kind::kBoolean, 0},
    {"YESNO", Kind::kBoolean, 0},       {"LOGICAL", Kind::kBoolean, 0},
    {"LOGICAL1", Kind::kBoolean, 0},    {"BOOLEAN", Kind::kBoolean, 0},
    {"BINARY", Kind::kBinary, 0},       {"VARBINARY", Kind::kBinary, 0},
    {"LONGBINARY", Kind::kBinary, 0},   {"OLEOBJECT", Kind::kBinary, 0},
    {"GENERAL", Kind::kBinary, 0},      {"IMAGE", Kind::kBinary, 0},
    {"COUNTER", Kind::kCounter, 0},     {"AUTOINCREMENT", Kind::kCounter, 0},
};

// SQL Server 2000 names.
constexpr SourceName kSqlServerNames[] = {
    {"VARCHAR", Kind::kVarText, 8000},  {"NVARCHAR", Kind::kVarText, 4000},
    {"SYSNAME", Kind::kVarText, 0},     {"CHAR", Kind::kFixedText, 8000},
    {"CHARACTER", Kind::kFixedText, 8000}, {"NCHAR", Kind::kFixedText, 4000},
    {"TEXT", Kind::kMemo, 0},           {"NTEXT", Kind::kMemo, 0},
    {"TINYINT", Kind::kByte, 0},        {"SMALLINT", Kind::kShort, 0},
    {"INT", Kind::kLong, 0},            {"INTEGER", Kind::kLong, 0},
    {"BIGINT", Kind::kBigInt, 0},       {"REAL", Kind::kSingle, 0},
    {"FLOAT", Kind::kDouble, 0},        {"DOUBLE PRECISION", Kind::kDouble, 0},
    {"DECIMAL", Kind::kDecimal, 0},     {"NUMERIC", Kind::kDecimal, 0},
    {"DEC", Kind::kDecimal, 0},         {"MONEY", Kind::kCurrency, 0},
    {"SMALLMONEY", Kind::kCurrency, 0}, {"DATETIME", Kind::kDate, 0},
    {"SMALLDATETIME", Kind::kDate, 0},  {"BIT", Kind::kBoolean, 0},
    {"BINARY", Kind::kBinary, 0},       {"VARBINARY", Kind::kBinary, 0},
    {"IMAGE", Kind::kBinary, 0},
};

std::string Upper(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return out;
}

template <size_t N>
const SourceName* Find(const SourceName (&names)[N], const std::string& upper) {
  for (const SourceName& n : names)
    if (n.name == upper) return &n;
  return nullptr;
}

Status Bad(std::string_view name, const std::vector<long>& args) {
  std::string text(name);
  if (!args.empty()) {
    text += "(";
    for (size_t i = 0; i < args.size(); ++i) text += (i ? "," : "") + std::to_string(args[i]);
    text += ")";
  }
  return Status::Error(ErrorCode::kSyntax, "Unsupported column type '" + text + "'");
}

ColumnType Make(int ado_type, std::string declared, std::string collation = "",
                bool auto_increment = false) {
  ColumnType t;
  t.ado_type = ado_type;
  t.declared = std::move(declared);
  t.collation = std::move(collation);
  t.auto_increment = auto_increment;
  return t;
}

ColumnType SqliteType(Kind kind, long size, long precision, long scale) {
  const std::string text(kTextCollation), date(kDateCollation);
  switch (kind) {
    // VARCHAR and CHAR give TEXT affinity and keep the size for the reverse
    // map; a memo is TEXT, never a numeric affinity that would turn '0123'
    // into 123.
    case Kind::kVarText: return Make(AdoType::kVarWChar, "VARCHAR(" + std::to_string(size) + ")", text);
    case Kind::kFixedText: return Make(AdoType::kWChar, "CHAR(" + std::to_string(size) + ")", text);
    case Kind::kMemo: return Make(AdoType::kLongVarWChar, "TEXT", text);
    case Kind::kByte: return Make(AdoType::kUnsignedTinyInt, "TINYINT", "");
    case Kind::kShort: return Make(AdoType::kSmallInt, "SMALLINT", "");
    case Kind::kLong: return Make(AdoType::kInteger, "INTEGER", "");
    case Kind::kBigInt: return Make(AdoType::kBigInt, "BIGINT", "");
    case Kind::kSingle: return Make(AdoType::kSingle, "REAL", "");
    case Kind::kDouble: return Make(AdoType::kDouble, "DOUBLE", "");
    case Kind::kDecimal:
      return Make(AdoType::kNumeric,
              "DECIMAL(" + std::to_string(precision) + "," + std::to_string(scale) + ")", "");
    // NUMERIC affinity: whole amounts stay integers, others reals.
    case Kind::kCurrency: return Make(AdoType::kCurrency, "CURRENCY", "");
    // NUMERIC affinity leaves the canonical date text as text.
    case Kind::kDate: return Make(AdoType::kDate, "DATETIME", date);
    case Kind::kBoolean: return Make(AdoType::kBoolean, "BIT", "");
    case Kind::kBinary: return Make(AdoType::kLongVarBinary, "BLOB", "");
    case Kind::kCounter: return Make(AdoType::kInteger, "INTEGER", "", true);
  }
  return {};
}

// PostgreSQL: text without letter case is the citext extension's type;
// Jet's sizes are not enforced, as on SQLite. Yes/No is a SMALLINT so that
// both -1 (Jet) and 1 (SQL Server) can be stored.
ColumnType PostgresType(Kind kind, long precision, long scale, ColumnType canonical) {
  ColumnType pg = canonical;
  pg.canonical = canonical.declared;
  pg.collation.clear();
  switch (kind) {
    case Kind::kVarText:
    case Kind::kFixedText:
    case Kind::kMemo: pg.declared = "CITEXT"; break;
    case Kind::kByte:
    case Kind::kShort:
    case Kind::kBoolean: pg.declared = "SMALLINT"; break;
    case Kind::kLong: pg.declared = "INTEGER"; break;
    case Kind::kBigInt: pg.declared = "BIGINT"; break;
    case Kind::kSingle: pg.declared = "REAL"; break;
    case Kind::kDouble: pg.declared = "DOUBLE PRECISION"; break;
    case Kind::kDecimal:
      pg.declared = "NUMERIC(" + std::to_string(precision) + "," + std::to_string(scale) + ")";
      break;
    case Kind::kCurrency: pg.declared = "NUMERIC(19,4)"; break;
    // Jet keeps whole seconds.
    case Kind::kDate: pg.declared = "TIMESTAMP(0)"; break;
    case Kind::kBinary: pg.declared = "BYTEA"; break;
    case Kind::kCounter: pg.declared = "INTEGER GENERATED BY DEFAULT AS IDENTITY"; break;
  }
  return pg;
}

}  // namespace

std::string ColumnType::Definition() const {
  return collation.empty() ? declared : declared + " COLLATE " + collation;
}

Result<ColumnType> MapColumnType(std::string_view name, const std::vector<long>& args,
                                 Source source, Target target) {
  std::string upper = Upper(name);
  const SourceName* found =
      source == Source::Jet ? Find(kJetNames, upper) : Find(kSqlServerNames, upper);
  // The engine writes Jet's names (Currency, Long, Text(10)) for both
  // dialects; a name SQL Server does not have, or its text with a size,
  // SQL Server would refuse, and is read as Jet reads it.
  if (source == Source::SqlServer &&
      (!found || (found->kind == Kind::kMemo && !args.empty()))) {
    found = Find(kJetNames, upper);
    source = Source::Jet;
  }
  if (!found) return Bad(name, args);
  Kind kind = found->kind;
  long size = 0, precision = 18, scale = 0;
  switch (kind) {
    case Kind::kVarText:
    case Kind::kFixedText:
      if (upper == "SYSNAME") {
        if (!args.empty()) return Bad(name, args);
        size = 128;
        break;
      }
      if (args.size() > 1) return Bad(name, args);
      // Without a size Jet means 255 characters; SQL Server means 1.
      size = args.empty() ? (source == Source::Jet ? 255 : 1) : args[0];
      if (size < 1 || size > found->max_size) return Bad(name, args);
      break;
    case Kind::kDecimal:
      if (args.size() > 2) return Bad(name, args);
      if (!args.empty()) precision = args[0];
      if (args.size() == 2) scale = args[1];
      if (precision < 1 || precision > (source == Source::Jet ? 28 : 38) || scale < 0 ||
          scale > precision)
        return Bad(name, args);
      break;
    case Kind::kDouble:
      // SQL Server's float(n) is a single for n up to 24.
      if (source == Source::SqlServer && upper == "FLOAT" && args.size() == 1) {
        if (args[0] < 1 || args[0] > 53) return Bad(name, args);
        if (args[0] <= 24) kind = Kind::kSingle;
        break;
      }
      if (!args.empty()) return Bad(name, args);
      break;
    case Kind::kBinary:
      if (args.size() > 1 || (!args.empty() && (args[0] < 1 || args[0] > 8000)))
        return Bad(name, args);
      break;
    case Kind::kCounter:
      // AutoIncrement(seed, step): only the plain 1, 1 counts like SQLite's.
      if (!args.empty() && (args.size() != 2 || args[0] != 1 || args[1] != 1))
        return Bad(name, args);
      break;
    default:
      if (!args.empty()) return Bad(name, args);
  }
  ColumnType sqlite = SqliteType(kind, size, precision, scale);
  sqlite.canonical = sqlite.declared;
  if (target == Target::Postgres) return PostgresType(kind, precision, scale, std::move(sqlite));
  return sqlite;
}

int AdoTypeForDeclared(std::string_view declared) {
  std::string upper = Upper(declared);
  size_t end = upper.find_first_of(" (");
  std::string base = upper.substr(0, end);
  if (base == "DOUBLE") return AdoType::kDouble;  // also DOUBLE PRECISION
  static const std::pair<std::string_view, int> kOurs[] = {
      {"VARCHAR", AdoType::kVarWChar},     {"NVARCHAR", AdoType::kVarWChar},
      {"TEXT", AdoType::kLongVarWChar},    {"CHAR", AdoType::kWChar},
      {"NCHAR", AdoType::kWChar},          {"INTEGER", AdoType::kInteger},
      {"INT", AdoType::kInteger},          {"SMALLINT", AdoType::kSmallInt},
      {"TINYINT", AdoType::kUnsignedTinyInt}, {"BIGINT", AdoType::kBigInt},
      {"REAL", AdoType::kSingle},          {"FLOAT", AdoType::kDouble},
      {"CURRENCY", AdoType::kCurrency},    {"DATETIME", AdoType::kDate},
      {"BIT", AdoType::kBoolean},          {"DECIMAL", AdoType::kNumeric},
      {"NUMERIC", AdoType::kNumeric},      {"BLOB", AdoType::kLongVarBinary},
  };
  for (const auto& [name, type] : kOurs)
    if (base == name) return type;
  if (Find(kJetNames, base)) {
    auto mapped = MapColumnType(base, {}, Source::Jet, Target::Sqlite);
    if (mapped.ok()) return mapped->ado_type;
  }
  return AdoType::kEmpty;
}

}  // namespace dravmor::dialect
