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

ColumnType SqliteType(Kind kind, long size, long precision, long scale) {
  const std::string text(kTextCollation), date(kDateCollation);
  switch (kind) {
    // VARCHAR and CHAR give TEXT affinity and keep the size for the reverse
    // map; a memo is TEXT, never a numeric affinity that would turn '0123'
    // into 123.
    case Kind::kVarText: return {AdoType::kVarWChar, "VARCHAR(" + std::to_string(size) + ")", text};
    case Kind::kFixedText: return {AdoType::kWChar, "CHAR(" + std::to_string(size) + ")", text};
    case Kind::kMemo: return {AdoType::kLongVarWChar, "TEXT", text};
    case Kind::kByte: return {AdoType::kUnsignedTinyInt, "TINYINT", ""};
    case Kind::kShort: return {AdoType::kSmallInt, "SMALLINT", ""};
    case Kind::kLong: return {AdoType::kInteger, "INTEGER", ""};
    case Kind::kBigInt: return {AdoType::kBigInt, "BIGINT", ""};
    case Kind::kSingle: return {AdoType::kSingle, "REAL", ""};
    case Kind::kDouble: return {AdoType::kDouble, "DOUBLE", ""};
    case Kind::kDecimal:
      return {AdoType::kNumeric,
              "DECIMAL(" + std::to_string(precision) + "," + std::to_string(scale) + ")", ""};
    // NUMERIC affinity: whole amounts stay integers, others reals.
    case Kind::kCurrency: return {AdoType::kCurrency, "CURRENCY", ""};
    // NUMERIC affinity leaves the canonical date text as text.
    case Kind::kDate: return {AdoType::kDate, "DATETIME", date};
    case Kind::kBoolean: return {AdoType::kBoolean, "BIT", ""};
    case Kind::kBinary: return {AdoType::kLongVarBinary, "BLOB", ""};
    case Kind::kCounter: return {AdoType::kInteger, "INTEGER", "", true};
  }
  return {};
}

}  // namespace

std::string ColumnType::Definition() const {
  return collation.empty() ? declared : declared + " COLLATE " + collation;
}

Result<ColumnType> MapColumnType(std::string_view name, const std::vector<long>& args,
                                 Source source, Target target) {
  if (target != Target::Sqlite)
    return Status::Error(ErrorCode::kSyntax, "PostgreSQL column types are not supported yet");
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
  return SqliteType(kind, size, precision, scale);
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
