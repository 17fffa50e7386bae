// SharedConnection: the one database connection of a thread. Every server
// object created on a thread uses that thread's connection; it is created
// unopened, opened by the first successful Connect, and from then on kept
// (a later Connect, with any string, changes nothing). It is never closed
// by the engine. Statements arrive in the Jet or the SQL Server dialect and
// are translated for the backend; translations are cached. The catalogue
// (tables, columns, indexes) is read once and kept until a statement of the
// engine's own changes the schema, or a rollback may have undone one.
//
// Transactions are write transactions: Begin takes the database's one write
// lock (every workstation's changes queue behind it) and nests: a Begin
// inside an open transaction sets a savepoint that the matching Commit or
// Rollback releases or rolls back to. A statement that the caller means to
// survive failing (failure_tolerated) runs under a savepoint of its own on a
// backend where a failure would otherwise spoil the whole transaction.
#pragma once

#include <list>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/backend.h"
#include "engine/catalogue.h"
#include "engine/dialect/rewriter.h"
#include "engine/recordset.h"
#include "engine/status.h"

namespace dravmor {

class SharedConnection {
 public:
  // This thread's connection, created unopened on first use.
  static std::shared_ptr<SharedConnection> ForThisThread();
  // Forgets this thread's connection (tests, and a driver that reconnects).
  static void ResetThisThread();

  // The open/keep rule: opens when not open yet, else does nothing.
  Status Bind(const std::string& connection_string);
  // Installs an already open backend (used to create a new database).
  void Adopt(std::unique_ptr<Backend> backend, std::string connection_string);
  bool IsOpen() const { return backend_ != nullptr; }
  // Open, and not known to be cut off (asks nothing of the database).
  bool StillConnected() const { return backend_ && backend_->StillConnected(); }
  const std::string& ConnectionString() const { return connection_string_; }

  Status Execute(const std::string& sql, dialect::Source source,
                 bool failure_tolerated = false);
  // A write inside a transaction that the caller does not wait for: either
  // its failure ends the current scope (the operation stops and rolls it
  // back), or, skipped_on_failure, its failure undoes it alone and goes
  // unreported (resume next). A failure of the first kind comes back from
  // the next call that waits, and from every call after it until the
  // failed scope is rolled back.
  Status ExecuteDeferred(const std::string& sql, dialect::Source source,
                         bool skipped_on_failure = false);
  // Waits for the deferred writes: their failure, or the scope's earlier one.
  Status Settle();
  // Waits for the deferred writes and gives the first failure of a skipped
  // one since the last call (or ForgetSkippedFailures).
  Status TakeSkippedFailure();
  void ForgetSkippedFailures();
  Result<RowData> Query(const std::string& sql, dialect::Source source,
                        bool failure_tolerated = false);
  Result<std::vector<std::string>> TableNames();
  // (table, first column) of every index, names in lower case.
  Result<std::vector<std::pair<std::string, std::string>>> IndexedColumns();
  // The kept catalogue, read when there is none. Valid until the next
  // statement run on this connection.
  Result<const Catalogue*> GetCatalogue();
  // What the dialect layer is told of the schema, made from the catalogue.
  Result<const dialect::SchemaHints*> GetSchemaHints();
  // Forgets translations, catalogue and schema hints: after the schema
  // changed, or after a rollback that may have undone a change.
  void SchemaChanged();

  // Begin at depth 0 opens the write transaction, deeper ones savepoints.
  Status Begin();
  Status Commit();
  Status Rollback();
  bool InTransaction() const { return depth_ > 0; }
  int TransactionDepth() const { return depth_; }
  // Statements run through Execute and Query so far (for measurements).
  uint64_t StatementCount() const { return statement_count_; }
  Backend* backend() { return backend_.get(); }
  // Whether the id allocator's table was seen on this connection.
  bool IdMarksKnown() const { return id_marks_known_; }
  void SetIdMarksKnown() { id_marks_known_ = true; }

 private:
  Status NotOpen() const;
  // A deferred write's failure ends the open scope: every call fails with it
  // until that scope is rolled back. Nothing when ok or outside one.
  void FailScope(const Status& failure);
  // A tolerated failure inside a transaction that the backend would
  // otherwise abort.
  bool NeedsStatementGuard(bool failure_tolerated) const;
  Result<const dialect::Translation*> Translate(const std::string& sql,
                                                dialect::Source source);

  std::unique_ptr<Backend> backend_;
  std::string connection_string_;
  int depth_ = 0;  // 0: no transaction; n > 1: n - 1 savepoints inside it
  bool schema_changed_in_transaction_ = false;
  // A deferred write failed in the scope at this depth (0: none): every
  // call fails with the failure until that scope is rolled back.
  int failed_depth_ = 0;
  Status failure_ = Status::Ok();
  Status skipped_failure_ = Status::Ok();  // of one run at once
  uint64_t statement_count_ = 0;
  bool id_marks_known_ = false;
  std::optional<Catalogue> catalogue_;         // read on first use
  std::optional<dialect::SchemaHints> hints_;  // made on first use

  // Translated texts, most recently used first.
  struct CacheKey {
    std::string sql;
    dialect::Source source;
    bool operator==(const CacheKey&) const = default;
  };
  struct KeyHash {
    size_t operator()(const CacheKey& k) const {
      return std::hash<std::string>()(k.sql) ^ static_cast<size_t>(k.source);
    }
  };
  static constexpr size_t kCacheSize = 256;
  std::list<CacheKey> lru_;
  struct Entry {
    dialect::Translation translation;
    std::list<CacheKey>::iterator position;
  };
  std::unordered_map<CacheKey, Entry, KeyHash> cache_;
};

// Runs a group of statements as one transaction: rolled back unless
// Commit() is reached (used where a half-done change would lose data).
class Transaction {
 public:
  explicit Transaction(SharedConnection& connection);
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  const Status& status() const { return begun_; }
  Status Commit();
  // Undoes what was done since it began (a savepoint's part only, when
  // nested); later calls do nothing.
  Status Rollback();

 private:
  SharedConnection& connection_;
  Status begun_;
  bool done_ = false;
};

}  // namespace dravmor
