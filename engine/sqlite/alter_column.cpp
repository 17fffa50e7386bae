#include "engine/sqlite/alter_column.h"

#include <sqlite3.h>

#include <string>
#include <vector>

#include "engine/numeric.h"
#include "engine/text.h"
#include "engine/variant.h"

namespace dravmor {

namespace {

struct ColumnInfo {
  std::string name, type, default_value;
  bool not_null = false;
  int pk = 0;
};

std::string QuoteName(const std::string& name) {
  std::string out = "\"";
  for (char c : name) {
    out += c;
    if (c == '"') out += '"';
  }
  return out + "\"";
}

Status Error(sqlite3* db) {
  return Status::Error(sqlite3_extended_errcode(db), sqlite3_errmsg(db));
}

Status Exec(sqlite3* db, const std::string& sql) {
  return sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK
             ? Status::Ok()
             : Error(db);
}

// Runs a query and hands each row's text cells (NULL as nullptr-free "")
// with their storage classes to the callback.
template <typename F>
Status ForEachRow(sqlite3* db, const std::string& sql, F&& f) {
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
    return Error(db);
  int rc;
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    Status s = f(stmt);
    if (!s.ok()) {
      sqlite3_finalize(stmt);
      return s;
    }
  }
  Status result = rc == SQLITE_DONE ? Status::Ok() : Error(db);
  sqlite3_finalize(stmt);
  return result;
}

std::string ColumnText(sqlite3_stmt* stmt, int col) {
  const unsigned char* t = sqlite3_column_text(stmt, col);
  return t ? reinterpret_cast<const char*>(t) : "";
}

// SQLite's affinity rule applied to a declared type.
bool IsNumericAffinity(const std::string& declared) {
  std::string t = ToLowerAscii(declared);
  auto has = [&](const char* s) { return t.find(s) != std::string::npos; };
  if (has("char") || has("clob") || has("text") || has("blob")) return false;
  return true;
}

Status CheckValuesFit(sqlite3* db, const std::string& table,
                      const ColumnInfo& column, const std::string& new_type) {
  if (!IsNumericAffinity(new_type)) return Status::Ok();
  std::string sql = "SELECT " + QuoteName(column.name) + " FROM " + QuoteName(table) +
                    " WHERE typeof(" + QuoteName(column.name) + ")='text'";
  return ForEachRow(db, sql, [&](sqlite3_stmt* stmt) {
    std::string value = ColumnText(stmt, 0);
    if (ParseNumber(value) || value.find_first_not_of(' ') == std::string::npos)
      return Status::Ok();
    if (Date::Parse(value).ok()) return Status::Ok();
    return Status::Error(ErrorCode::kTypeMismatch,
                         "Data type conversion error: " + table + "." + column.name +
                             " holds '" + value + "'");
  });
}

}  // namespace

Status RebuildWithColumnType(sqlite3* db, const dialect::AlterColumn& change) {
  std::vector<ColumnInfo> columns;
  std::string table;
  Status s = ForEachRow(
      db,
      "SELECT name FROM sqlite_master WHERE type='table' AND name=" +
          std::string("'") + SqlQuote(change.table) + "' COLLATE NOCASE",
      [&](sqlite3_stmt* stmt) {
        table = ColumnText(stmt, 0);
        return Status::Ok();
      });
  if (!s.ok()) return s;
  if (table.empty())
    return Status::Error(SQLITE_ERROR, "no such table: " + change.table);
  s = ForEachRow(db, "PRAGMA table_info(" + QuoteName(table) + ")",
                 [&](sqlite3_stmt* stmt) {
                   ColumnInfo c;
                   c.name = ColumnText(stmt, 1);
                   c.type = ColumnText(stmt, 2);
                   c.not_null = sqlite3_column_int(stmt, 3) != 0;
                   if (sqlite3_column_type(stmt, 4) != SQLITE_NULL)
                     c.default_value = ColumnText(stmt, 4);
                   c.pk = sqlite3_column_int(stmt, 5);
                   // table_info leaves the collation out of the type; the
                   // rebuilt column must keep its letter-case rule.
                   const char* type = nullptr;
                   const char* collation = nullptr;
                   if (sqlite3_table_column_metadata(db, "main", table.c_str(), c.name.c_str(),
                                                     &type, &collation, nullptr, nullptr,
                                                     nullptr) == SQLITE_OK &&
                       collation && !EqualsIgnoreCase(collation, "BINARY"))
                     c.type += std::string(" COLLATE ") + collation;
                   columns.push_back(c);
                   return Status::Ok();
                 });
  if (!s.ok()) return s;
  ColumnInfo* target = nullptr;
  for (auto& c : columns)
    if (EqualsIgnoreCase(c.name, change.column)) target = &c;
  if (!target)
    return Status::Error(SQLITE_ERROR, "no such column: " + change.table + "." +
                                           change.column);
  // Already of that type (the upgrade repeats its type changes at every
  // log-in): nothing to rebuild.
  if (EqualsIgnoreCase(target->type, change.declared_type)) return Status::Ok();
  s = CheckValuesFit(db, table, *target, change.declared_type);
  if (!s.ok()) return s;

  std::vector<std::string> indexes;
  s = ForEachRow(db,
                 "SELECT sql FROM sqlite_master WHERE type='index' AND sql IS NOT NULL "
                 "AND tbl_name='" + SqlQuote(table) + "'",
                 [&](sqlite3_stmt* stmt) {
                   indexes.push_back(ColumnText(stmt, 0));
                   return Status::Ok();
                 });
  if (!s.ok()) return s;

  target->type = change.declared_type;
  std::string temp = table + "__rebuild";
  std::string create = "CREATE TABLE " + QuoteName(temp) + " (";
  std::string names, keys;
  int key_count = 0;
  for (size_t i = 0; i < columns.size(); ++i) {
    const ColumnInfo& c = columns[i];
    if (i) { create += ", "; names += ", "; }
    create += QuoteName(c.name) + " " + c.type;
    if (c.not_null) create += " NOT NULL";
    if (!c.default_value.empty()) create += " DEFAULT " + c.default_value;
    names += QuoteName(c.name);
    if (c.pk) {
      keys += (key_count++ ? ", " : "") + QuoteName(c.name);
    }
  }
  if (key_count) create += ", PRIMARY KEY (" + keys + ")";
  create += ")";

  if (s = Exec(db, "SAVEPOINT dravmor_alter_column"); !s.ok()) return s;
  auto undo = [&](Status failure) {
    Exec(db, "ROLLBACK TO dravmor_alter_column");
    Exec(db, "RELEASE dravmor_alter_column");
    return failure;
  };
  if (s = Exec(db, create); !s.ok()) return undo(s);
  // Blank texts become Null in a numeric column, as they cannot be numbers.
  std::string select;
  for (size_t i = 0; i < columns.size(); ++i) {
    const ColumnInfo& c = columns[i];
    if (i) select += ", ";
    if (&c == target && IsNumericAffinity(c.type))
      select += "CASE WHEN typeof(" + QuoteName(c.name) + ")='text' AND trim(" +
                QuoteName(c.name) + ")='' THEN NULL ELSE " + QuoteName(c.name) + " END";
    else
      select += QuoteName(c.name);
  }
  if (s = Exec(db, "INSERT INTO " + QuoteName(temp) + " (" + names + ") SELECT " +
                       select + " FROM " + QuoteName(table));
      !s.ok())
    return undo(s);
  if (s = Exec(db, "DROP TABLE " + QuoteName(table)); !s.ok()) return undo(s);
  if (s = Exec(db, "ALTER TABLE " + QuoteName(temp) + " RENAME TO " + QuoteName(table));
      !s.ok())
    return undo(s);
  for (const std::string& index : indexes)
    if (s = Exec(db, index); !s.ok()) return undo(s);
  return Exec(db, "RELEASE dravmor_alter_column");
}

}  // namespace dravmor
