// The server backend: one PostgreSQL database reached through libpq, shared
// by many workstations. Statements arrive translated (names in lower case,
// text columns CITEXT, dates TIMESTAMP); every table and column carries its
// declared name and type as a comment, from which result columns and the
// table list get their declared spelling and field types back. Each
// statement is its own transaction unless Begin() opened one. On opening,
// the helper functions of the translated texts are installed when missing.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>

#include "engine/backend.h"

struct pg_conn;
struct pg_result;

namespace dravmor {

class PostgresBackend : public Backend {
 public:
  // conninfo: a libpq URI or key/value string.
  static Result<std::unique_ptr<PostgresBackend>> Open(const std::string& conninfo);
  ~PostgresBackend() override;

  dialect::Target target() const override { return dialect::Target::Postgres; }
  Status Execute(const std::string& native_sql) override;
  Result<RowData> Query(
      const std::string& native_sql,
      const std::vector<std::optional<std::string>>* result_names = nullptr) override;
  Status AlterColumnType(const dialect::AlterColumn& change) override;
  Result<Catalogue> ReadCatalogue() override;
  void SchemaChanged() override { catalogue_stale_ = true; }
  Status Begin() override;
  bool FailureAbortsTransaction() const override { return true; }
  Status ExecuteGuarded(const std::string& native_sql) override;
  Result<RowData> QueryGuarded(
      const std::string& native_sql,
      const std::vector<std::optional<std::string>>* result_names) override;
  Status Commit() override;
  Status Rollback() override;
  Status ExecuteDeferred(const std::string& native_sql, bool skipped_on_failure) override;
  Status Flush() override;
  Result<RowData> SettleAndQuery(const std::string& native_sql,
                                 const std::vector<std::optional<std::string>>* result_names,
                                 bool guarded, Status* settled) override;
  bool StillConnected() override;
  Status TakeSkippedFailure() override {
    Status first = skipped_failure_;
    skipped_failure_ = Status::Ok();
    return first;
  }

 private:
  explicit PostgresBackend(pg_conn* conn) : conn_(conn) {}
  Status Prepare();
  Status ConnectionLost() const;
  // Sends the statement after the deferred ones and waits for all: its
  // result, or its failure; `settled` is theirs.
  Result<std::shared_ptr<pg_result>> RunAfterDeferred(const std::string& sql, bool guarded,
                                                      Status* settled);
  // Runs one text; the result when it succeeded.
  Result<std::shared_ptr<pg_result>> Run(const std::string& sql);
  // The same under a savepoint, rolled back to when the statement fails.
  Result<std::shared_ptr<pg_result>> RunGuarded(const std::string& sql);
  RowData ReadRows(pg_result* result, const std::vector<std::optional<std::string>>* result_names);
  Status LoadCatalogue();

  // The key of the advisory lock every write transaction takes.
  static constexpr long long kWriteLockKey = 0x4472766D6F72;  // "Dravmor" in ASCII

  struct DeclaredColumn {
    std::string name;
    int ado_type = 0;
    std::string canonical_type;
  };
  pg_conn* conn_;
  // Deferred statements go out in libpq's pipeline mode; their results are
  // read by Flush. A few hundred at most are in flight, so that the
  // server's replies never fill the socket while it waits for us.
  static constexpr size_t kMaxInFlight = 200;
  struct Deferred {
    std::string sql;
    bool skipped_on_failure;  // undone alone when it fails
    bool wanted = false;      // a query whose result the caller waits for
  };
  // What the wanted statement of the pipeline gave: its rows, or its failure.
  std::shared_ptr<pg_result> wanted_result_;
  Status wanted_failure_ = Status::Ok();
  bool in_pipeline_ = false;
  std::vector<Deferred> in_flight_;
  // The statement (index in in_flight_) of each command sent; npos for the
  // shared savepoint's own commands.
  std::vector<size_t> commands_;
  // The first statement after the shared savepoint (npos: none set yet).
  size_t batch_start_ = std::string::npos;
  Status skipped_failure_ = Status::Ok();
  Status Send(const Deferred& statement);
  // Reads every result of the pipeline and leaves pipeline mode. The index
  // of the first statement that failed (npos: none) and its error.
  Status Drain(size_t* failed_at, Status* failure);
  unsigned citext_oid_ = 0;
  bool catalogue_stale_ = true;
  // (table oid, column number) -> declared column; table oid -> name.
  std::map<std::pair<unsigned, int>, DeclaredColumn> columns_;
  std::map<unsigned, std::string> tables_;
};

}  // namespace dravmor
