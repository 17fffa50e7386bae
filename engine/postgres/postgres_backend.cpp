#include "engine/postgres/postgres_backend.h"

#include <libpq-fe.h>

#include <algorithm>
#include <cstdlib>

#include "engine/dialect/types.h"
#include "engine/postgres/jet_functions.h"
#include "engine/text.h"

namespace dravmor {

namespace {

// Type oids of PostgreSQL's built-in types (pg_type.dat).
constexpr Oid kBool = 16, kInt8 = 20, kInt2 = 21, kInt4 = 23, kFloat4 = 700, kFloat8 = 701,
              kTimestamp = 1114, kTimestampTz = 1184, kDateOid = 1082, kNumeric = 1700;

std::string Trimmed(const char* message) {
  std::string text = message ? message : "";
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

// The error number of a failed statement: its SQLSTATE when that is all
// digits (23505, a duplicate key), else the number of its class (42000).
long ErrorNumber(const char* sqlstate) {
  if (!sqlstate || std::string_view(sqlstate).size() != 5) return ErrorCode::kSyntax;
  bool digits = std::all_of(sqlstate, sqlstate + 5, [](char c) { return c >= '0' && c <= '9'; });
  if (digits) return std::strtol(sqlstate, nullptr, 10);
  if (sqlstate[0] >= '0' && sqlstate[0] <= '9' && sqlstate[1] >= '0' && sqlstate[1] <= '9')
    return ((sqlstate[0] - '0') * 10 + (sqlstate[1] - '0')) * 1000;
  return ErrorCode::kSyntax;
}

// An exact decimal text ("-12.3450") as Currency, rounded half to even
// beyond four places; nullopt when it does not fit.
std::optional<Currency> ParseCurrency(std::string_view text) {
  bool negative = !text.empty() && text[0] == '-';
  if (negative || (!text.empty() && text[0] == '+')) text.remove_prefix(1);
  __int128 scaled = 0;
  int decimals = -1;
  int next_digit = -1;
  bool rest_nonzero = false;
  for (char c : text) {
    if (c == '.') {
      if (decimals >= 0) return std::nullopt;
      decimals = 0;
      continue;
    }
    if (c < '0' || c > '9') return std::nullopt;
    if (decimals >= 4) {
      if (next_digit < 0) next_digit = c - '0';
      else rest_nonzero = rest_nonzero || c != '0';
      continue;
    }
    scaled = scaled * 10 + (c - '0');
    if (decimals >= 0) ++decimals;
    if (scaled > static_cast<__int128>(INT64_MAX)) return std::nullopt;
  }
  for (int d = std::max(decimals, 0); d < 4; ++d) scaled *= 10;
  if (next_digit > 5 || (next_digit == 5 && (rest_nonzero || scaled % 2 != 0))) ++scaled;
  if (scaled > static_cast<__int128>(INT64_MAX)) return std::nullopt;
  return Currency{static_cast<int64_t>(negative ? -scaled : scaled)};
}

// A number text as the Long or Double a SQLite expression would give.
// libpq's texts end in a NUL, so the C parsers read them in place.
Variant NumberCell(const char* text) {
  char* end = nullptr;
  long long v = std::strtoll(text, &end, 10);
  if (end && *end == '\0' && end != text && v >= INT32_MIN && v <= INT32_MAX)
    return Variant(static_cast<int32_t>(v));
  return Variant(std::strtod(text, nullptr));
}

Variant DateCell(std::string_view text) {
  auto date = Date::Parse(text.substr(0, 19));  // no fraction, no zone
  if (date.ok()) return Variant(*date);
  return Variant(std::string(text));
}

// A cell as the field's type promises it.
Variant ReadCell(const char* text, size_t length, int field_type, Oid oid) {
  switch (field_type) {
    case FieldType::kVarWChar:
    case FieldType::kLongVarWChar: return Variant(std::string(text, length));
    case FieldType::kSmallInt: return Variant(static_cast<int16_t>(std::atoi(text)));
    case FieldType::kUnsignedTinyInt: return Variant(static_cast<uint8_t>(std::atoi(text)));
    case FieldType::kInteger: return NumberCell(text);
    case FieldType::kSingle: return Variant(std::strtof(text, nullptr));
    case FieldType::kDouble: return Variant(std::strtod(text, nullptr));
    case FieldType::kCurrency:
      if (auto c = ParseCurrency(std::string_view(text, length))) return Variant(*c);
      return Variant(std::strtod(text, nullptr));
    case FieldType::kDate: return DateCell(std::string_view(text, length));
    case FieldType::kBoolean:
      if (oid == kBool) return Variant(text[0] == 't');
      return Variant(std::strtod(text, nullptr) != 0);
    default: break;
  }
  // An expression: as the value's own kind.
  switch (oid) {
    case kInt2: case kInt4: case kInt8: case kNumeric: return NumberCell(text);
    case kFloat4: case kFloat8: return Variant(std::strtod(text, nullptr));
    case kBool: return Variant(static_cast<int32_t>(text[0] == 't' ? 1 : 0));
    case kTimestamp: case kTimestampTz: case kDateOid: return DateCell(std::string_view(text, length));
    default: return Variant(std::string(text, length));
  }
}

// The field type of an expression column, from its PostgreSQL type.
int ExpressionType(Oid oid, int typmod) {
  switch (oid) {
    case kInt2: case kInt4: case kInt8: case kBool: return FieldType::kInteger;
    case kFloat4: case kFloat8: return FieldType::kDouble;
    // NUMERIC(p,4) is what a conversion to money gives.
    case kNumeric: return typmod >= 4 && ((typmod - 4) & 0xffff) == 4 ? FieldType::kCurrency : 0;
    case kTimestamp: case kTimestampTz: case kDateOid: return FieldType::kDate;
    default: return FieldType::kVarWChar;
  }
}

// Splits a column comment "Declared\tCANONICAL".
std::pair<std::string, std::string> SplitComment(const std::string& comment) {
  size_t tab = comment.find('\t');
  if (tab == std::string::npos) return {comment, ""};
  return {comment.substr(0, tab), comment.substr(tab + 1)};
}

std::string QuoteName(const std::string& name) {
  std::string out = "\"";
  for (char c : name) {
    out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    if (c == '"') out += '"';
  }
  return out + "\"";
}

}  // namespace

Result<std::unique_ptr<PostgresBackend>> PostgresBackend::Open(const std::string& conninfo) {
  pg_conn* conn = PQconnectdb(conninfo.c_str());
  if (!conn) return Status::Error(ErrorCode::kConnection, "Cannot reach the database server");
  if (PQstatus(conn) != CONNECTION_OK) {
    std::string text = Trimmed(PQerrorMessage(conn));
    PQfinish(conn);
    return Status::Error(ErrorCode::kConnection, "Cannot open the server database: " + text);
  }
  std::unique_ptr<PostgresBackend> backend(new PostgresBackend(conn));
  if (Status s = backend->Prepare(); !s.ok())
    return Status::Error(ErrorCode::kConnection, "Cannot prepare the server database: " + s.text());
  return backend;
}

PostgresBackend::~PostgresBackend() { PQfinish(conn_); }

Status PostgresBackend::Prepare() {
  PQsetClientEncoding(conn_, "UTF8");
  // Notices (an existing extension, say) are no business of the caller's.
  PQsetNoticeProcessor(conn_, [](void*, const char*) {}, nullptr);
  // Date texts are read month first, as SQL Server and Jet read them
  // ("2/28/2026"); year-first texts are unambiguous either way.
  for (const char* setting : {"SET DateStyle = ISO, MDY", "SET TimeZone = 'UTC'",
                              "SET extra_float_digits = 1"})
    if (Status s = Execute(setting); !s.ok()) return s;
  // Installed once per database; the marker function tells its version.
  auto version = Run("SELECT dravmor_functions_version()");
  if (!version.ok() || std::atoi(PQgetvalue(version->get(), 0, 0)) < kJetFunctionsVersion) {
    if (Status s = Execute(std::string(JetFunctionsSql())); !s.ok()) return s;
  }
  auto citext = Run("SELECT oid FROM pg_type WHERE typname = 'citext'");
  if (!citext.ok()) return citext.status();
  if (PQntuples(citext->get()) == 1)
    citext_oid_ = static_cast<unsigned>(std::strtoul(PQgetvalue(citext->get(), 0, 0), nullptr, 10));
  return Status::Ok();
}

Result<std::shared_ptr<pg_result>> PostgresBackend::Run(const std::string& sql) {
  std::shared_ptr<pg_result> result(PQexec(conn_, sql.c_str()), PQclear);
  ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
  if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) return result;
  if (!result || PQstatus(conn_) != CONNECTION_OK)
    return Status::Error(ErrorCode::kConnection,
                         "Connection to the database server lost: " + Trimmed(PQerrorMessage(conn_)));
  const char* sqlstate = PQresultErrorField(result.get(), PG_DIAG_SQLSTATE);
  return Status::Error(ErrorNumber(sqlstate), Trimmed(PQresultErrorMessage(result.get())));
}

Status PostgresBackend::Execute(const std::string& sql) {
  auto result = Run(sql);
  return result.ok() ? Status::Ok() : result.status();
}

Status PostgresBackend::LoadCatalogue() {
  auto rows = Run(
      "SELECT c.oid, coalesce(obj_description(c.oid, 'pg_class'), c.relname), a.attnum, "
      "coalesce(col_description(c.oid, a.attnum), a.attname) "
      "FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
      "LEFT JOIN pg_attribute a ON a.attrelid = c.oid AND a.attnum > 0 AND NOT a.attisdropped "
      "WHERE n.nspname = current_schema() AND c.relkind IN ('r', 'v')");
  if (!rows.ok()) return rows.status();
  columns_.clear();
  tables_.clear();
  pg_result* r = rows->get();
  for (int i = 0; i < PQntuples(r); ++i) {
    unsigned table = static_cast<unsigned>(std::strtoul(PQgetvalue(r, i, 0), nullptr, 10));
    tables_[table] = PQgetvalue(r, i, 1);
    if (PQgetisnull(r, i, 2)) continue;
    auto [name, canonical] = SplitComment(PQgetvalue(r, i, 3));
    columns_[{table, std::atoi(PQgetvalue(r, i, 2))}] = DeclaredColumn{
        name, canonical.empty() ? 0 : dialect::AdoTypeForDeclared(canonical), canonical};
  }
  catalogue_stale_ = false;
  return Status::Ok();
}

Result<RowData> PostgresBackend::Query(const std::string& sql,
                                       const std::vector<std::string>* written_names) {
  if (catalogue_stale_)
    if (Status s = LoadCatalogue(); !s.ok()) return s;
  auto result = Run(sql);
  if (!result.ok()) return result.status();
  pg_result* r = result->get();
  const int width = PQnfields(r), height = PQntuples(r);
  RowData data;
  std::vector<Oid> oids(static_cast<size_t>(width));
  for (int c = 0; c < width; ++c) {
    FieldInfo field;
    oids[static_cast<size_t>(c)] = PQftype(r, c);
    auto declared = columns_.find({PQftable(r, c), PQftablecol(r, c)});
    // A stored column keeps its declared name unless the statement renamed
    // it (DaoHuo AS SL): then the alias is its name, as on the other backends.
    if (declared != columns_.end() && EqualsIgnoreCase(declared->second.name, PQfname(r, c))) {
      field.name = declared->second.name;
      field.type = declared->second.ado_type;
    } else {
      // An expression or an alias: its name as the statement wrote it.
      field.name = PQfname(r, c);
      if (written_names)
        for (const std::string& written : *written_names)
          if (EqualsIgnoreCase(written, field.name)) {
            field.name = written;
            break;
          }
      field.type = declared != columns_.end() ? declared->second.ado_type
                                              : ExpressionType(PQftype(r, c), PQfmod(r, c));
    }
    if (field.type == 0 && oids[static_cast<size_t>(c)] == citext_oid_)
      field.type = FieldType::kVarWChar;
    data.fields.push_back(std::move(field));
  }
  data.cells.reserve(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (int row = 0; row < height; ++row)
    for (int c = 0; c < width; ++c) {
      if (PQgetisnull(r, row, c)) {
        data.cells.emplace_back(Null{});
        continue;
      }
      data.cells.push_back(ReadCell(PQgetvalue(r, row, c),
                                    static_cast<size_t>(PQgetlength(r, row, c)),
                                    data.fields[static_cast<size_t>(c)].type,
                                    oids[static_cast<size_t>(c)]));
    }
  // Untyped numbers take the type their values show, as on SQLite.
  for (int c = 0; c < width; ++c) {
    FieldInfo& field = data.fields[static_cast<size_t>(c)];
    if (field.type != 0) continue;
    field.type = FieldType::kInteger;
    for (size_t i = static_cast<size_t>(c); i < data.cells.size(); i += static_cast<size_t>(width))
      if (data.cells[i].type() == VarType::Double) field.type = FieldType::kDouble;
  }
  return data;
}

Status PostgresBackend::AlterColumnType(const dialect::AlterColumn& change) {
  const std::string table = QuoteName(change.table), column = QuoteName(change.column);
  auto current = Run("SELECT format_type(a.atttypid, a.atttypmod), "
                     "coalesce(col_description(a.attrelid, a.attnum), '') FROM pg_attribute a "
                     "WHERE a.attrelid = to_regclass('" + SqlQuote(table) + "') AND a.attname = '" +
                     SqlQuote(ToLowerAscii(change.column)) + "' AND NOT a.attisdropped");
  if (!current.ok()) return current.status();
  if (PQntuples(current->get()) != 1)
    return Status::Error(ErrorCode::kNoSuchField,
                         "No column " + change.column + " in table " + change.table);
  std::string from = PQgetvalue(current->get(), 0, 0);
  // Declared with that type already (the upgrade repeats its type changes
  // at every log-in): nothing to convert.
  if (SplitComment(PQgetvalue(current->get(), 0, 1)).second == change.canonical_type)
    return Status::Ok();
  const bool to_text = change.declared_type == "CITEXT";
  const bool from_text = from == "citext" || from == "text" || from.rfind("character", 0) == 0;
  std::string value;
  if (to_text && from.rfind("numeric", 0) == 0) {
    value = "CAST(trim_scale(" + column + ") AS CITEXT)";  // 12.5000 reads 12.5
  } else if (to_text && from.rfind("timestamp", 0) == 0) {
    value = "CAST(to_char(" + column + ", 'YYYY-MM-DD HH24:MI:SS') AS CITEXT)";
  } else if (!to_text && from_text) {
    // Blank text has no number; any other text that is none fails the change.
    value = "CAST(NULLIF(btrim(CAST(" + column + " AS TEXT)), '') AS " + change.declared_type + ")";
  } else {
    value = "CAST(" + column + " AS " + change.declared_type + ")";
  }
  // One transaction: the type and its comment change together or not at all.
  const bool own = PQtransactionStatus(conn_) == PQTRANS_IDLE;
  if (own)
    if (Status s = Begin(); !s.ok()) return s;
  Status s = Execute("ALTER TABLE " + table + " ALTER COLUMN " + column + " TYPE " +
                     change.declared_type + " USING " + value);
  if (s.ok())
    s = Execute("COMMENT ON COLUMN " + table + "." + column + " IS '" +
                SqlQuote(change.column + "\t" + change.canonical_type) + "'");
  if (own) {
    if (s.ok()) s = Commit();
    if (!s.ok()) Rollback();
  }
  catalogue_stale_ = true;
  return s;
}

Result<Catalogue> PostgresBackend::ReadCatalogue() {
  if (catalogue_stale_)
    if (Status s = LoadCatalogue(); !s.ok()) return s;
  // columns_ is ordered by table and column number: each table's columns
  // arrive in their stored order.
  std::map<unsigned, CatalogueTable> tables;
  for (const auto& [oid, name] : tables_) tables[oid].name = name;
  for (const auto& [key, column] : columns_)
    tables[key.first].columns.push_back({column.name, column.ado_type, column.canonical_type});
  auto indexes = Run(
      "SELECT c.relname FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
      "WHERE n.nspname = current_schema() AND c.relkind = 'i'");
  if (!indexes.ok()) return indexes.status();
  std::vector<std::string> index_names;
  for (int i = 0; i < PQntuples(indexes->get()); ++i)
    index_names.push_back(PQgetvalue(indexes->get(), i, 0));
  std::vector<CatalogueTable> list;
  for (auto& [oid, table] : tables) list.push_back(std::move(table));
  return Catalogue(std::move(list), index_names);
}

Status PostgresBackend::Begin() { return Execute("BEGIN"); }
Status PostgresBackend::Commit() { return Execute("COMMIT"); }
Status PostgresBackend::Rollback() { return Execute("ROLLBACK"); }

}  // namespace dravmor
