// Backend: one open database of a concrete engine (SQLite file, PostgreSQL
// server). It runs statements already translated to its own SQL, delivers
// whole result sets, reads its catalogue, and offers transactions. Every
// failure is returned as a Status carrying the engine's own error code and
// text. A backend is used by one thread at a time.
#pragma once

#include <memory>
#include <string>
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
  // written_names: the names as the statement was written, which a backend
  // that folds names gives back to result columns (may be null).
  virtual Result<RowData> Query(const std::string& native_sql,
                                const std::vector<std::string>* written_names) = 0;
  // Changes the declared type of one column, keeping every row and
  // converting each value; fails without change when a value does not fit.
  virtual Status AlterColumnType(const dialect::AlterColumn& change) = 0;
  // Every table and view with its columns, names as they were created, and
  // the index names; read with a fixed number of queries, whatever the rows.
  virtual Result<Catalogue> ReadCatalogue() = 0;
  // Told after statements that changed the schema ran, so that what the
  // backend keeps of the catalogue is read again.
  virtual void SchemaChanged() {}

  virtual Status Begin() = 0;
  virtual Status Commit() = 0;
  virtual Status Rollback() = 0;
};

// Opens the database a connection string names: a file path,
// "Data Source=<file>" or "Provider=...;Data Source=<file>" for SQLite; a
// libpq URI or key/value string, or a SQL Server style
// "Provider=SQLOLEDB;Data Source=HOST;Initial Catalog=DB;..." for PostgreSQL.
Result<std::unique_ptr<Backend>> OpenBackend(const std::string& connection_string);

}  // namespace dravmor
