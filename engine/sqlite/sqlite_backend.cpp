#include "engine/sqlite/sqlite_backend.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>

#include "engine/dialect/types.h"
#include "engine/sqlite/database_file.h"
#include "engine/sqlite/alter_column.h"
#include "engine/sqlite/functions.h"
#include "engine/text.h"
#include "engine/sqlite/standard_collations.h"

namespace dravmor {

namespace {

// A cell as the field's type promises it, from SQLite's dynamic value.
Variant ReadCell(sqlite3_stmt* stmt, int col, int field_type) {
  int storage = sqlite3_column_type(stmt, col);
  if (storage == SQLITE_NULL) return Variant(Null{});
  auto as_text = [&] {
    const unsigned char* t = sqlite3_column_text(stmt, col);
    return std::string(reinterpret_cast<const char*>(t),
                       static_cast<size_t>(sqlite3_column_bytes(stmt, col)));
  };
  auto as_double = [&] { return sqlite3_column_double(stmt, col); };
  bool numeric = storage == SQLITE_INTEGER || storage == SQLITE_FLOAT;
  switch (field_type) {
    case FieldType::kSmallInt:
      if (numeric) return Variant(static_cast<int16_t>(sqlite3_column_int(stmt, col)));
      break;
    case FieldType::kInteger:
      if (storage == SQLITE_INTEGER) {
        sqlite3_int64 v = sqlite3_column_int64(stmt, col);
        if (v >= INT32_MIN && v <= INT32_MAX) return Variant(static_cast<int32_t>(v));
        return Variant(static_cast<double>(v));
      }
      if (storage == SQLITE_FLOAT) return Variant(as_double());
      break;
    case FieldType::kUnsignedTinyInt:
      if (numeric) return Variant(static_cast<uint8_t>(sqlite3_column_int(stmt, col)));
      break;
    case FieldType::kSingle:
      if (numeric) return Variant(static_cast<float>(as_double()));
      break;
    case FieldType::kDouble:
      if (numeric) return Variant(as_double());
      break;
    case FieldType::kCurrency:
      if (storage == SQLITE_INTEGER) {
        // A value written past Currency's range by another program reads
        // as the number it is, not as a wrapped amount.
        sqlite3_int64 v = sqlite3_column_int64(stmt, col);
        if (v > INT64_MAX / Currency::kScale || v < INT64_MIN / Currency::kScale)
          return Variant(static_cast<double>(v));
        return Variant(Currency::FromWhole(v));
      }
      if (storage == SQLITE_FLOAT) {
        auto c = Currency::FromDouble(as_double());
        if (c.ok()) return Variant(*c);
        return Variant(as_double());
      }
      break;
    case FieldType::kDate:
      if (storage == SQLITE_TEXT) {
        auto d = Date::Parse(as_text());
        if (d.ok()) return Variant(*d);
      } else if (numeric) {
        return Variant(Date{as_double()});
      }
      break;
    case FieldType::kBoolean:
      if (numeric) return Variant(as_double() != 0);
      break;
    case FieldType::kVarWChar:
    case FieldType::kLongVarWChar:
      return Variant(as_text());
    default:
      break;
  }
  // The stored value does not have the column's kind (SQLite is dynamically
  // typed): hand it out as it is stored.
  if (storage == SQLITE_INTEGER) {
    sqlite3_int64 v = sqlite3_column_int64(stmt, col);
    if (v >= INT32_MIN && v <= INT32_MAX) return Variant(static_cast<int32_t>(v));
    return Variant(static_cast<double>(v));
  }
  if (storage == SQLITE_FLOAT) return Variant(as_double());
  return Variant(as_text());
}

// Type of a result column that has no declared type (an expression): taken
// from the values it holds.
int TypeFromValues(const std::vector<Variant>& cells, size_t col, size_t width) {
  int type = 0;
  for (size_t i = col; i < cells.size(); i += width) {
    switch (cells[i].type()) {
      case VarType::Long: if (type == 0) type = FieldType::kInteger; break;
      case VarType::Double: if (type != FieldType::kVarWChar) type = FieldType::kDouble; break;
      case VarType::String: type = FieldType::kVarWChar; break;
      default: break;
    }
  }
  return type == 0 ? FieldType::kInteger : type;
}

}  // namespace

Result<std::unique_ptr<SqliteBackend>> SqliteBackend::Open(const std::string& file,
                                                           bool create) {
  DatabaseFile checked;
  if (!create) {
    auto on_disk = CheckDatabaseFile(file);
    if (!on_disk.ok()) return on_disk.status();
    checked = *on_disk;
  }
  sqlite3* db = nullptr;
  auto open = [&](const std::string& name, int flags) {
    sqlite3_close(db);
    db = nullptr;
    int rc = sqlite3_open_v2(name.c_str(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc == SQLITE_OK) return Status::Ok();
    std::string text = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    return Status::Error(ErrorCode::kConnection, "Cannot open database '" + file + "': " + text);
  };
  Status opened = checked.read_only
                      ? open(ReadOnlyUri(file, false), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI)
                      : open(file, SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0));
  // Nothing is written before the file shows the shop's tables. A journal
  // that cannot be made beside a read-only file: read it as it stands.
  if (opened.ok() && !create) opened = CheckShopTables(db, file);
  if (!opened.ok() && checked.read_only && opened.number() != ErrorCode::kConnection) {
    opened = open(ReadOnlyUri(file, true), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI);
    if (opened.ok()) opened = CheckShopTables(db, file);
  }
  if (!opened.ok()) {
    sqlite3_close(db);
    return opened;
  }
  std::unique_ptr<SqliteBackend> backend(new SqliteBackend(db));
  sqlite3_busy_timeout(db, 10000);
  sqlite3_extended_result_codes(db, 1);
  // A double-quoted word is a name, never a string that SQLite guesses.
  sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
  if (int frc = RegisterJetFunctions(db); frc != SQLITE_OK)
    return Status::Error(frc, "Cannot register SQL functions: " +
                                  std::string(sqlite3_errstr(frc)));
  if (checked.read_only) return backend;  // reads only; every write fails
  Status mode = backend->Execute("PRAGMA journal_mode=WAL");
  if (!mode.ok())
    return Status::Error(ErrorCode::kConnection,
                         "Cannot open database '" + file + "': " + mode.text());
  // With WAL, NORMAL keeps the file consistent on a crash and only risks
  // the last commits on a power loss; FULL would sync every statement.
  if (Status sync = backend->Execute("PRAGMA synchronous=NORMAL"); !sync.ok()) return sync;
  return backend;
}

SqliteBackend::~SqliteBackend() {
  ClearCache();
  sqlite3_close_v2(db_);
}

void SqliteBackend::ClearCache() {
  for (auto& [text, cached] : cache_) sqlite3_finalize(cached.stmt);
  cache_.clear();
  lru_.clear();
}

Status SqliteBackend::LastError() const {
  const char* message = sqlite3_errmsg(db_);
  if (long jet = JetErrorNumber(message)) return Status::Error(jet, message);
  return Status::Error(sqlite3_extended_errcode(db_), message);
}

Result<SqliteBackend::Cached*> SqliteBackend::Prepare(const std::string& sql) {
  if (auto it = cache_.find(sql); it != cache_.end()) {
    lru_.splice(lru_.begin(), lru_, it->second.position);
    return &it->second;
  }
  sqlite3_stmt* stmt = nullptr;
  const char* tail = nullptr;
  if (sqlite3_prepare_v3(db_, sql.c_str(), static_cast<int>(sql.size()),
                         SQLITE_PREPARE_PERSISTENT, &stmt, &tail) != SQLITE_OK)
    return LastError();
  if (stmt == nullptr)
    return Status::Error(ErrorCode::kSyntax, "Empty SQL statement");
  if (tail && *tail) {
    std::string rest(tail);
    if (rest.find_first_not_of(" \t\r\n;") != std::string::npos) {
      sqlite3_finalize(stmt);
      return Status::Error(ErrorCode::kSyntax,
                           "Characters found after end of SQL statement.");
    }
  }
  if (cache_.size() >= kCacheSize) {
    auto& oldest = lru_.back();
    sqlite3_finalize(cache_[oldest].stmt);
    cache_.erase(oldest);
    lru_.pop_back();
  }
  lru_.push_front(sql);
  Cached& entry = cache_[sql];
  entry = Cached{stmt, lru_.begin(), 0};
  return &entry;
}

Status SqliteBackend::Execute(const std::string& sql) {
  auto prepared = Prepare(sql);
  if (!prepared.ok()) return prepared.status();
  sqlite3_stmt* stmt = (*prepared)->stmt;
  int rc;
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
  }
  Status result = rc == SQLITE_DONE ? Status::Ok() : LastError();
  sqlite3_reset(stmt);
  // Schema changes make cached statements of other texts stale; SQLite
  // re-prepares them itself, so nothing to do here.
  return result;
}

Result<RowData> SqliteBackend::Query(const std::string& sql,
                                     const std::vector<std::optional<std::string>>* result_names) {
  auto prepared = Prepare(sql);
  if (!prepared.ok()) return prepared.status();
  Cached& cached = **prepared;
  sqlite3_stmt* stmt = cached.stmt;
  // Step first: a cached statement whose table changed is prepared anew by
  // its first step, and only then shows the table's current columns.
  int rc = sqlite3_step(stmt);
  RowData data;
  int width = sqlite3_column_count(stmt);
  std::vector<bool> declared(static_cast<size_t>(width), false);
  std::vector<std::optional<std::string>> names;
  if (result_names) names = dialect::ResultColumnNames(*result_names, static_cast<size_t>(width));
  for (int c = 0; c < width; ++c) {
    FieldInfo field;
    const auto* given = names.empty() ? nullptr : &names[static_cast<size_t>(c)];
    field.name = given && *given ? **given : sqlite3_column_name(stmt, c);
    const char* decl = sqlite3_column_decltype(stmt, c);
    if (decl) {
      field.type = dialect::AdoTypeForDeclared(decl);
      declared[static_cast<size_t>(c)] = field.type != 0;
    } else {
      field.type = 0;  // decided from the values below
    }
    data.fields.push_back(std::move(field));
  }
  // The lists the classes refresh after each change are the same query
  // again: room for as many rows as last time, and a few more, saves the
  // copying of a growing buffer.
  if (rc == SQLITE_ROW)
    data.cells.reserve((cached.last_rows + cached.last_rows / 8 + 4) * static_cast<size_t>(width));
  for (; rc == SQLITE_ROW; rc = sqlite3_step(stmt))
    for (int c = 0; c < width; ++c)
      data.cells.push_back(ReadCell(stmt, c, data.fields[static_cast<size_t>(c)].type));
  Status status = rc == SQLITE_DONE ? Status::Ok() : LastError();
  sqlite3_reset(stmt);
  if (!status.ok()) return status;
  cached.last_rows = data.RowCount();
  for (size_t c = 0; c < declared.size(); ++c)
    if (!declared[c])
      data.fields[c].type = TypeFromValues(data.cells, c, declared.size());
  return data;
}

Status SqliteBackend::AlterColumnType(const dialect::AlterColumn& change) {
  ClearCache();  // the table is rebuilt under the cached statements
  return RebuildWithColumnType(db_, change);
}

Status SqliteBackend::UseStandardCollations() {
  ClearCache();  // statements prepared on the old definitions
  return dravmor::UseStandardCollations(db_);
}

Result<Catalogue> SqliteBackend::ReadCatalogue() {
  // pragma_table_info as a table: every column of every table in one query.
  auto rows = Query(
      "SELECT t.name, c.name, c.type, c.pk FROM sqlite_master AS t, pragma_table_info(t.name) AS c "
      "WHERE t.type IN ('table','view') ORDER BY t.name, c.cid");
  if (!rows.ok()) return rows.status();
  std::vector<CatalogueTable> tables;
  std::vector<std::pair<int, std::string>> key;  // (position in the key, column)
  auto end_table = [&] {
    std::sort(key.begin(), key.end());
    for (auto& [position, column] : key) tables.back().primary_key.push_back(std::move(column));
    key.clear();
  };
  for (size_t r = 0; r < rows->RowCount(); ++r) {
    const Variant* row = &rows->cells[r * 4];
    std::string table = row[0].ToText();
    if (tables.empty() || tables.back().name != table) {
      if (!tables.empty()) end_table();
      tables.push_back({table, {}, {}});
    }
    const std::string declared = row[2].ToText();
    tables.back().columns.push_back({row[1].ToText(), dialect::AdoTypeForDeclared(declared),
                                     declared});
    auto position = row[3].ToInt64();
    if (position.ok() && *position > 0) key.emplace_back(static_cast<int>(*position), row[1].ToText());
  }
  if (!tables.empty()) end_table();
  // The first column of each index; an expression's is Null.
  auto indexes = Query(
      "SELECT i.name, t.name, (SELECT c.name FROM pragma_index_info(i.name) AS c "
      "WHERE c.seqno = 0) FROM sqlite_master AS i JOIN sqlite_master AS t "
      "ON t.name = i.tbl_name AND t.type = 'table' WHERE i.type = 'index'");
  if (!indexes.ok()) return indexes.status();
  std::vector<CatalogueIndex> index_list;
  for (size_t r = 0; r < indexes->RowCount(); ++r) {
    const Variant* row = &indexes->cells[r * 3];
    index_list.push_back({row[0].ToText(), row[1].ToText(), row[2].ToText()});
  }
  return Catalogue(std::move(tables), std::move(index_list));
}

Status SqliteBackend::Begin() { return Execute("BEGIN IMMEDIATE"); }
Status SqliteBackend::Commit() { return Execute("COMMIT"); }
Status SqliteBackend::Rollback() { return Execute("ROLLBACK"); }

}  // namespace dravmor
