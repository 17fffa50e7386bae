#include "engine/postgres/postgres_backend.h"

#include <libpq-fe.h>
#include <poll.h>

#include <algorithm>
#include <charconv>
#include <string_view>
#include <utility>

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

// The savepoint a statement that may fail alone runs under.
constexpr const char* kStepSavepoint = "SAVEPOINT dravmor_step";
constexpr const char* kStepRelease = "RELEASE SAVEPOINT dravmor_step";
constexpr const char* kStepUndo = "ROLLBACK TO SAVEPOINT dravmor_step; RELEASE SAVEPOINT dravmor_step";

// Number texts of the server, read without regard to the process locale.
template <typename T>
T Parse(std::string_view text) {
  T value{};
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

// The error number of a failed statement: its SQLSTATE when that is all
// digits (23505, a duplicate key), else the number of its class (42000).
long ErrorNumber(const char* sqlstate) {
  if (!sqlstate || std::string_view(sqlstate).size() != 5) return ErrorCode::kSyntax;
  bool digits = std::all_of(sqlstate, sqlstate + 5, [](char c) { return c >= '0' && c <= '9'; });
  if (digits) return Parse<long>(std::string_view(sqlstate, 5));
  if (sqlstate[0] >= '0' && sqlstate[0] <= '9' && sqlstate[1] >= '0' && sqlstate[1] <= '9')
    return ((sqlstate[0] - '0') * 10 + (sqlstate[1] - '0')) * 1000;
  return ErrorCode::kSyntax;
}

// The failure of a statement: the engine's own failures raised by the
// helper functions with their automation number, others by SQLSTATE.
Status StatementError(const pg_result* result) {
  const char* primary = PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY);
  if (long jet = primary ? JetErrorNumber(primary) : 0) return Status::Error(jet, primary);
  const char* sqlstate = PQresultErrorField(result, PG_DIAG_SQLSTATE);
  return Status::Error(ErrorNumber(sqlstate), Trimmed(PQresultErrorMessage(result)));
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
Variant NumberCell(std::string_view text) {
  long long v = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec == std::errc() && end == text.data() + text.size() && v >= INT32_MIN && v <= INT32_MAX)
    return Variant(static_cast<int32_t>(v));
  return Variant(Parse<double>(text));
}

Variant DateCell(std::string_view text) {
  auto date = Date::Parse(text.substr(0, 19));  // no fraction, no zone
  if (date.ok()) return Variant(*date);
  return Variant(std::string(text));
}

// A cell as the field's type promises it.
Variant ReadCell(const char* data, size_t length, int field_type, Oid oid) {
  const std::string_view text(data, length);
  switch (field_type) {
    case FieldType::kVarWChar:
    case FieldType::kLongVarWChar: return Variant(std::string(text));
    case FieldType::kSmallInt: return Variant(Parse<int16_t>(text));
    case FieldType::kUnsignedTinyInt: return Variant(static_cast<uint8_t>(Parse<int>(text)));
    case FieldType::kInteger: return NumberCell(text);
    case FieldType::kSingle: return Variant(Parse<float>(text));
    case FieldType::kDouble: return Variant(Parse<double>(text));
    case FieldType::kCurrency:
      if (auto c = ParseCurrency(text)) return Variant(*c);
      return Variant(Parse<double>(text));
    case FieldType::kDate: return DateCell(text);
    case FieldType::kBoolean:
      if (oid == kBool) return Variant(text[0] == 't');
      return Variant(Parse<double>(text) != 0);
    default: break;
  }
  // An expression: as the value's own kind.
  switch (oid) {
    case kInt2: case kInt4: case kInt8: case kNumeric: return NumberCell(text);
    case kFloat4: case kFloat8: return Variant(Parse<double>(text));
    case kBool: return Variant(static_cast<int32_t>(text[0] == 't' ? 1 : 0));
    case kTimestamp: case kTimestampTz: case kDateOid: return DateCell(text);
    default: return Variant(std::string(text));
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
  // A workstation waits for another's write transaction as long as SQLite's
  // busy time-out lets it, then the operation fails and says so.
  for (const char* setting : {"SET DateStyle = ISO, MDY", "SET TimeZone = 'UTC'",
                              "SET extra_float_digits = 1", "SET lock_timeout = '10s'"})
    if (Status s = Execute(setting); !s.ok()) return s;
  // Installed once per database; the marker function tells its version.
  auto version = Run("SELECT dravmor_functions_version()");
  if (!version.ok() || Parse<int>(PQgetvalue(version->get(), 0, 0)) < kJetFunctionsVersion) {
    if (Status s = Execute(std::string(JetFunctionsSql())); !s.ok()) return s;
  }
  auto citext = Run("SELECT oid FROM pg_type WHERE typname = 'citext'");
  if (!citext.ok()) return citext.status();
  if (PQntuples(citext->get()) == 1)
    citext_oid_ = Parse<unsigned>(PQgetvalue(citext->get(), 0, 0));
  return Status::Ok();
}

Status PostgresBackend::ConnectionLost() const {
  return Status::Error(ErrorCode::kConnection,
                       "Connection to the database server lost: " + Trimmed(PQerrorMessage(conn_)));
}

Result<std::shared_ptr<pg_result>> PostgresBackend::Run(const std::string& sql) {
  if (Status s = Flush(); !s.ok()) return s;
  std::shared_ptr<pg_result> result(PQexec(conn_, sql.c_str()), PQclear);
  ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
  if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) return result;
  if (!result || PQstatus(conn_) != CONNECTION_OK)
    return ConnectionLost();
  return StatementError(result.get());
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
    unsigned table = Parse<unsigned>(PQgetvalue(r, i, 0));
    tables_[table] = PQgetvalue(r, i, 1);
    if (PQgetisnull(r, i, 2)) continue;
    auto [name, canonical] = SplitComment(PQgetvalue(r, i, 3));
    columns_[{table, Parse<int>(PQgetvalue(r, i, 2))}] = DeclaredColumn{
        name, canonical.empty() ? 0 : dialect::AdoTypeForDeclared(canonical), canonical};
  }
  catalogue_stale_ = false;
  return Status::Ok();
}

Result<RowData> PostgresBackend::Query(
    const std::string& sql, const std::vector<std::optional<std::string>>* result_names) {
  if (catalogue_stale_)
    if (Status s = LoadCatalogue(); !s.ok()) return s;
  auto result = Run(sql);
  if (!result.ok()) return result.status();
  return ReadRows(result->get(), result_names);
}

namespace {
// The statement between a savepoint and its release, sent as one text: one
// round trip when it succeeds. The newline ends a trailing comment.
std::string InSavepoint(const std::string& sql) {
  return std::string(kStepSavepoint) + "; " + sql + "\n; " + kStepRelease;
}
}  // namespace

Result<std::shared_ptr<pg_result>> PostgresBackend::RunGuarded(const std::string& sql) {
  if (Status s = Flush(); !s.ok()) return s;
  if (!PQsendQuery(conn_, InSavepoint(sql).c_str()))
    return ConnectionLost();
  // The results of the three statements: the statement's own is kept, and
  // the first failure (after which the server runs nothing more).
  std::shared_ptr<pg_result> rows, failed;
  while (pg_result* next = PQgetResult(conn_)) {
    std::shared_ptr<pg_result> result(next, PQclear);
    ExecStatusType status = PQresultStatus(next);
    if (status == PGRES_TUPLES_OK) rows = result;
    else if (status != PGRES_COMMAND_OK && !failed) failed = result;
  }
  if (!failed) {
    if (rows) return rows;
    return std::shared_ptr<pg_result>(PQmakeEmptyPGresult(conn_, PGRES_COMMAND_OK), PQclear);
  }
  if (PQstatus(conn_) != CONNECTION_OK)
    return ConnectionLost();
  Status error = StatementError(failed.get());
  // Back to where the statement began; the transaction goes on.
  if (Status undo = Execute(kStepUndo);
      !undo.ok())
    return undo;
  return error;
}

Status PostgresBackend::ExecuteGuarded(const std::string& sql) {
  auto result = RunGuarded(sql);
  return result.ok() ? Status::Ok() : result.status();
}

Result<RowData> PostgresBackend::QueryGuarded(
    const std::string& sql, const std::vector<std::optional<std::string>>* result_names) {
  if (catalogue_stale_)
    if (Status s = LoadCatalogue(); !s.ok()) return s;
  auto result = RunGuarded(sql);
  if (!result.ok()) return result.status();
  return ReadRows(result->get(), result_names);
}

RowData PostgresBackend::ReadRows(pg_result* r,
                                  const std::vector<std::optional<std::string>>* result_names) {
  const int width = PQnfields(r), height = PQntuples(r);
  RowData data;
  std::vector<Oid> oids(static_cast<size_t>(width));
  std::vector<std::optional<std::string>> names;
  if (result_names) names = dialect::ResultColumnNames(*result_names, static_cast<size_t>(width));
  for (int c = 0; c < width; ++c) {
    FieldInfo field;
    oids[static_cast<size_t>(c)] = PQftype(r, c);
    auto declared = columns_.find({PQftable(r, c), PQftablecol(r, c)});
    const auto* given = names.empty() ? nullptr : &names[static_cast<size_t>(c)];
    if (given && *given) {
      field.name = **given;
    } else if (declared != columns_.end() && EqualsIgnoreCase(declared->second.name, PQfname(r, c))) {
      field.name = declared->second.name;  // a column a * brought in
    } else {
      field.name = PQfname(r, c);
    }
    field.type = declared != columns_.end() ? declared->second.ado_type
                                            : ExpressionType(PQftype(r, c), PQfmod(r, c));
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
  auto [comment_name, comment_type] = SplitComment(PQgetvalue(current->get(), 0, 1));
  // Declared with that type already (the upgrade repeats its type changes
  // at every log-in): nothing to convert.
  if (comment_type == change.canonical_type) return Status::Ok();
  // The column keeps the name it was declared with, whatever letter case
  // the statement that changes it uses.
  std::string declared_name = change.column;
  if (EqualsIgnoreCase(comment_name, change.column)) declared_name = comment_name;
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
                SqlQuote(declared_name + "\t" + change.canonical_type) + "'");
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
  // Every index with its table and its first column (indkey[0] is 0 for an
  // expression, which joins no column); the primary key's in key order.
  auto indexes = Run(
      "SELECT ic.relname, i.indrelid, i.indkey[0], i.indisprimary, "
      "array_to_string(i.indkey, ' ') FROM pg_index i "
      "JOIN pg_class ic ON ic.oid = i.indexrelid "
      "JOIN pg_namespace n ON n.oid = ic.relnamespace WHERE n.nspname = current_schema()");
  if (!indexes.ok()) return indexes.status();
  auto column_name = [&](unsigned table, int number) -> std::string {
    auto column = columns_.find({table, number});
    return column == columns_.end() ? std::string() : column->second.name;
  };
  std::vector<CatalogueIndex> index_list;
  pg_result* r = indexes->get();
  for (int i = 0; i < PQntuples(r); ++i) {
    const unsigned table = Parse<unsigned>(PQgetvalue(r, i, 1));
    auto owner = tables.find(table);
    if (owner == tables.end()) continue;
    index_list.push_back({PQgetvalue(r, i, 0), owner->second.name,
                          column_name(table, Parse<int>(PQgetvalue(r, i, 2)))});
    if (std::string_view(PQgetvalue(r, i, 3)) != "t") continue;
    std::string_view numbers = PQgetvalue(r, i, 4);
    while (!numbers.empty()) {
      const size_t blank = numbers.find(' ');
      owner->second.primary_key.push_back(
          column_name(table, Parse<int>(numbers.substr(0, blank))));
      numbers = blank == std::string_view::npos ? "" : numbers.substr(blank + 1);
    }
  }
  std::vector<CatalogueTable> list;
  for (auto& [oid, table] : tables) list.push_back(std::move(table));
  return Catalogue(std::move(list), std::move(index_list));
}

// Every workstation's changes queue behind one transaction-level advisory
// lock, as SQLite's writers queue behind its one write lock: a duplicate
// test, a next id or a renumbering read inside the transaction stays true
// until it commits. Readers are never blocked.
//
// Both go out with the transaction's first statement: the wait for the
// lock, or its time-out, comes back with that statement's result.
Status PostgresBackend::Begin() {
  for (std::string sql : {std::string("BEGIN"), "SELECT pg_advisory_xact_lock(" +
                                                    std::to_string(kWriteLockKey) + ")"}) {
    in_flight_.push_back({std::move(sql), false});
    if (Status s = Send(in_flight_.back()); !s.ok()) return s;
  }
  return Status::Ok();
}
Status PostgresBackend::Commit() {
  if (!in_pipeline_) return Execute("COMMIT");
  // After the writes in the same pipeline: a failure among them aborts the
  // commit, and the transaction is left for the caller to roll back.
  in_flight_.push_back({"COMMIT", false});
  if (Status s = Send(in_flight_.back()); !s.ok()) return s;
  return Flush();
}

Status PostgresBackend::ExecuteDeferred(const std::string& sql, bool skipped_on_failure) {
  // The extended protocol of a pipeline takes one statement per text.
  if (sql.find(';') != std::string::npos)
    return skipped_on_failure ? ExecuteGuarded(sql) : Execute(sql);
  in_flight_.push_back({sql, skipped_on_failure});
  if (Status s = Send(in_flight_.back()); !s.ok()) return s;
  return in_flight_.size() >= kMaxInFlight ? Flush() : Status::Ok();
}

// The skipped statements of a pipeline share one savepoint, set before the
// first of them: the common case, where none fails, costs no savepoint per
// statement. When one fails, everything since the savepoint is undone and
// sent again without the failed statement.
Status PostgresBackend::Send(const Deferred& statement) {
  if (!in_pipeline_) {
    if (!PQenterPipelineMode(conn_)) return ConnectionLost();
    in_pipeline_ = true;
    batch_start_ = std::string::npos;
  }
  auto send = [&](const char* text, size_t statement_index) {
    commands_.push_back(statement_index);
    return PQsendQueryParams(conn_, text, 0, nullptr, nullptr, nullptr, nullptr, 0) == 1;
  };
  const size_t index = in_flight_.size() - 1;  // the caller has just added it
  if (statement.skipped_on_failure && batch_start_ == std::string::npos) {
    batch_start_ = index;
    if (!send(kStepSavepoint, std::string::npos)) return ConnectionLost();
  }
  return send(statement.sql.c_str(), index) ? Status::Ok() : ConnectionLost();
}

Status PostgresBackend::Drain(size_t* failed_at, Status* failure) {
  *failed_at = std::string::npos;
  Status connection = Status::Ok();
  auto lost = [&] {
    if (connection.ok()) connection = ConnectionLost();
  };
  // The shared savepoint goes when the pipeline ends, unless a commit (the
  // last statement when there is one) did away with it.
  const bool committing = !in_flight_.empty() && in_flight_.back().sql == "COMMIT";
  if (batch_start_ != std::string::npos && !committing) {
    commands_.push_back(std::string::npos);
    if (PQsendQueryParams(conn_, kStepRelease, 0, nullptr, nullptr, nullptr, nullptr, 0) != 1)
      lost();
  }
  if (PQpipelineSync(conn_) != 1) lost();
  // Each command's results up to its null; the first failure is kept (the
  // savepoint's own count as the statement's after it), and the result of
  // the wanted statement.
  for (size_t c = 0; c < commands_.size() && connection.ok(); ++c) {
    const size_t index = commands_[c];
    while (pg_result* r = PQgetResult(conn_)) {
      const ExecStatusType status = PQresultStatus(r);
      if (status == PGRES_FATAL_ERROR && *failed_at == std::string::npos) {
        *failed_at = index == std::string::npos ? in_flight_.size() : index;
        *failure = StatementError(r);
      }
      const bool keep = index != std::string::npos && in_flight_[index].wanted;
      if (keep && (status == PGRES_TUPLES_OK || status == PGRES_COMMAND_OK))
        wanted_result_.reset(r, PQclear);
      else
        PQclear(r);
    }
    if (PQstatus(conn_) != CONNECTION_OK) lost();
  }
  if (connection.ok()) {
    pg_result* r = PQgetResult(conn_);
    if (!r || PQresultStatus(r) != PGRES_PIPELINE_SYNC) lost();
    if (r) PQclear(r);
  }
  commands_.clear();
  PQexitPipelineMode(conn_);
  in_pipeline_ = false;
  return connection;
}

Status PostgresBackend::Flush() {
  while (in_pipeline_) {
    size_t failed_at;
    Status failure = Status::Ok();
    const size_t batch_start = batch_start_;
    if (Status s = Drain(&failed_at, &failure); !s.ok()) {
      in_flight_.clear();
      return s;
    }
    const bool statement_failed = failed_at < in_flight_.size();
    if (statement_failed && in_flight_[failed_at].wanted) wanted_failure_ = failure;
    if (!statement_failed || !in_flight_[failed_at].skipped_on_failure) {
      in_flight_.clear();
      return failure;
    }
    // A skipped statement failed: back to the savepoint, and what it undid
    // or kept from running is sent again, without the failed statement. A
    // wanted one's failure is its caller's, not one to go unreported.
    if (skipped_failure_.ok() && !in_flight_[failed_at].wanted) skipped_failure_ = failure;
    std::vector<Deferred> again(in_flight_.begin() + static_cast<long>(batch_start),
                                in_flight_.begin() + static_cast<long>(failed_at));
    again.insert(again.end(), in_flight_.begin() + static_cast<long>(failed_at) + 1,
                 in_flight_.end());
    in_flight_.clear();
    if (Status s = Execute(kStepUndo);
        !s.ok())
      return s;
    for (Deferred& statement : again) {
      in_flight_.push_back(std::move(statement));
      if (Status s = Send(in_flight_.back()); !s.ok()) return s;
    }
  }
  return Status::Ok();
}
Status PostgresBackend::Rollback() { return Execute("ROLLBACK"); }

Result<std::shared_ptr<pg_result>> PostgresBackend::RunAfterDeferred(const std::string& sql,
                                                                    bool guarded,
                                                                    Status* settled) {
  *settled = Status::Ok();
  if (!in_pipeline_) return guarded ? RunGuarded(sql) : Run(sql);
  wanted_result_.reset();
  wanted_failure_ = Status::Ok();
  in_flight_.push_back({sql, guarded, true});
  Status flushed = Send(in_flight_.back());
  if (flushed.ok()) flushed = Flush();
  else Flush();  // the connection is gone: empties what was in flight
  if (!wanted_failure_.ok()) return std::exchange(wanted_failure_, Status::Ok());
  if (!flushed.ok() || !wanted_result_) {
    *settled = flushed.ok() ? ConnectionLost() : flushed;
    return *settled;
  }
  return std::exchange(wanted_result_, nullptr);
}

Result<RowData> PostgresBackend::SettleAndQuery(
    const std::string& native_sql, const std::vector<std::optional<std::string>>* result_names,
    bool guarded, Status* settled) {
  // A catalogue to read first takes a round trip of its own anyway.
  if (catalogue_stale_)
    return Backend::SettleAndQuery(native_sql, result_names, guarded, settled);
  auto result = RunAfterDeferred(native_sql, guarded, settled);
  if (!result.ok()) return result.status();
  return ReadRows(result->get(), result_names);
}

// Idle, a server says nothing unasked but that it ends the session (and
// closes it); anything waiting to be read means the session is over.
bool PostgresBackend::StillConnected() {
  if (PQstatus(conn_) != CONNECTION_OK) return false;
  if (in_pipeline_) return true;
  pollfd socket{PQsocket(conn_), POLLIN, 0};
  return ::poll(&socket, 1, 0) == 0;
}

}  // namespace dravmor
