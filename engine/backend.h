// Backend: one open database of a concrete engine (SQLite file, PostgreSQL
// server). It runs statements already translated to its own SQL, delivers
// whole result sets, lists the tables, and offers transactions. Every
// failure is returned as a Status carrying the engine's own error code and
// text. A backend is used by one thread at a time.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/dialect/rewriter.h"
#include "engine/recordset.h"
#include "engine/status.h"

namespace dravmor {

class Backend {
 public:
  virtual ~Backend() = default;

  virtual dialect::Target target() const = 0;
  virtual Status Execute(const std::string& native_sql) = 0;
  // written_names: the names as the statement was written, which a backend
  // that folds names gives back to result columns (may be null).
  virtual Result<RowData> Query(const std::string& native_sql,
                                const std::vector<std::string>* written_names) = 0;
  // Changes the declared type of one column, keeping every row and
  // converting each value; fails without change when a value does not fit.
  virtual Status AlterColumnType(const dialect::AlterColumn& change) = 0;
  // What the dialect layer should know of the schema (the Yes/No columns).
  virtual Result<dialect::SchemaHints> LoadSchemaHints() = 0;
  // Told after statements that changed the schema ran, so that what the
  // backend keeps of the catalogue is read again.
  virtual void SchemaChanged() {}
  // Every table and view, with the names as they were created.
  virtual Result<std::vector<std::string>> TableNames() = 0;
  // (table, column) for every index, the column being its first; names in
  // lower case (ASCII letters), the table as it was created.
  virtual Result<std::vector<std::pair<std::string, std::string>>> IndexedColumns() = 0;

  // Begin opens a write transaction and takes the database's one write lock
  // (waiting, up to the backend's time-out, for another connection's
  // transaction to end), so that read-then-write steps of one operation see
  // no other workstation's change in between.
  virtual Status Begin() = 0;
  virtual Status Commit() = 0;
  virtual Status Rollback() = 0;

  // Whether a failing statement spoils the open transaction (PostgreSQL),
  // instead of undoing only itself (SQLite).
  virtual bool FailureAbortsTransaction() const { return false; }
  // The same as Execute and Query, inside a transaction, where a failure
  // must leave the transaction usable.
  virtual Status ExecuteGuarded(const std::string& native_sql) { return Execute(native_sql); }
  virtual Result<RowData> QueryGuarded(const std::string& native_sql,
                                       const std::vector<std::string>* written_names) {
    return Query(native_sql, written_names);
  }
};

// Opens the database a connection string names: a file path,
// "Data Source=<file>" or "Provider=...;Data Source=<file>" for SQLite; a
// libpq URI or key/value string, or a SQL Server style
// "Provider=SQLOLEDB;Data Source=HOST;Initial Catalog=DB;..." for PostgreSQL.
Result<std::unique_ptr<Backend>> OpenBackend(const std::string& connection_string);

}  // namespace dravmor
