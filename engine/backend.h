// Backend: one open database of a concrete engine (SQLite file, PostgreSQL
// server). It runs statements already translated to its own SQL, delivers
// whole result sets, reads its catalogue, and offers transactions. Every
// failure is returned as a Status carrying the engine's own error code and
// text. A backend is used by one thread at a time.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/catalogue.h"
#include "engine/dialect/rewriter.h"
#include "engine/recordset.h"
#include "engine/status.h"

namespace dravmor {

class Backend {
 public:
  virtual ~Backend() = default;

  virtual dialect::Target target() const = 0;
  virtual Status Execute(const std::string& native_sql) = 0;
  // result_names: the names the statement gives its result columns
  // (Translation::result_names; may be null): each column takes its name
  // from there, and the columns of a * keep their declared names.
  virtual Result<RowData> Query(
      const std::string& native_sql,
      const std::vector<std::optional<std::string>>* result_names) = 0;
  // Changes the declared type of one column, keeping every row and
  // converting each value; fails without change when a value does not fit.
  virtual Status AlterColumnType(const dialect::AlterColumn& change) = 0;
  // Every table and view with its columns, names as they were created, and
  // the index names; read with a fixed number of queries, whatever the rows.
  virtual Result<Catalogue> ReadCatalogue() = 0;
  // Told after statements that changed the schema ran, so that what the
  // backend keeps of the catalogue is read again.
  virtual void SchemaChanged() {}
  // Declares the columns of a file an older version made with collations
  // the standard tools have (see engine/sqlite/standard_collations.h);
  // nothing to do elsewhere, or when done before. For the log-in upgrade.
  virtual Status UseStandardCollations() { return Status::Ok(); }

  // Begin opens a write transaction and takes the database's one write lock
  // (waiting, up to the backend's time-out, for another connection's
  // transaction to end), so that read-then-write steps of one operation see
  // no other workstation's change in between.
  virtual Status Begin() = 0;
  // Waits for the deferred writes too; their failure is the commit's.
  virtual Status Commit() = 0;
  virtual Status Rollback() = 0;

  // Whether a failing statement spoils the open transaction (PostgreSQL),
  // instead of undoing only itself (SQLite).
  virtual bool FailureAbortsTransaction() const { return false; }
  // The same as Execute and Query, inside a transaction, where a failure
  // must leave the transaction usable.
  virtual Status ExecuteGuarded(const std::string& native_sql) { return Execute(native_sql); }
  virtual Result<RowData> QueryGuarded(
      const std::string& native_sql,
      const std::vector<std::optional<std::string>>* result_names) {
    return Query(native_sql, result_names);
  }

  // A write inside a transaction that the caller does not wait for: either
  // its failure ends the transaction's current scope anyway, or (skipped)
  // its failure is to undo the statement alone and go on, unreported. The
  // backend may send it without waiting for its result (a server saves a
  // round trip per statement); a failure that ends the scope then comes
  // back from Flush, which every other call here makes first.
  virtual Status ExecuteDeferred(const std::string& native_sql, bool skipped_on_failure) {
    return skipped_on_failure ? ExecuteGuarded(native_sql) : Execute(native_sql);
  }
  // Waits for every deferred statement: the first failure among them.
  virtual Status Flush() { return Status::Ok(); }
  // Flush, then Query (QueryGuarded when guarded); a server sends the query
  // with the deferred statements, one round trip for all. `settled` is the
  // deferred statements' outcome: when it is a failure, the query did not
  // run and that failure is returned.
  virtual Result<RowData> SettleAndQuery(
      const std::string& native_sql,
      const std::vector<std::optional<std::string>>* result_names, bool guarded,
      Status* settled) {
    *settled = Flush();
    if (!settled->ok()) return *settled;
    return guarded ? QueryGuarded(native_sql, result_names) : Query(native_sql, result_names);
  }
  // Whether the connection can still be used, as far as can be told without
  // a round trip to the database (a server that ended the session).
  virtual bool StillConnected() { return true; }
  // The first failure of a skipped deferred statement since the last call
  // (after a Flush).
  virtual Status TakeSkippedFailure() { return Status::Ok(); }
};

// The engine's own failures raised inside the database by the helper
// functions ("Overflow", "Type mismatch", "Division by zero", "Invalid
// procedure call or argument") carry the automation number of that failure
// (ErrorCode) on every backend: the number for such a message, else 0.
long JetErrorNumber(std::string_view message);

// Opens the database a connection string names: a file path,
// "Data Source=<file>" or "Provider=...;Data Source=<file>" for SQLite; a
// libpq URI or key/value string, or a SQL Server style
// "Provider=SQLOLEDB;Data Source=HOST;Initial Catalog=DB;..." for PostgreSQL.
Result<std::unique_ptr<Backend>> OpenBackend(const std::string& connection_string);

}  // namespace dravmor
