#include "engine/shared_connection.h"

#include "engine/schema/canonical_layout.h"
#include "engine/text.h"

namespace dravmor {

namespace {
thread_local std::shared_ptr<SharedConnection> this_thread_connection;
}

std::shared_ptr<SharedConnection> SharedConnection::ForThisThread() {
  if (!this_thread_connection)
    this_thread_connection = std::make_shared<SharedConnection>();
  return this_thread_connection;
}

void SharedConnection::ResetThisThread() { this_thread_connection.reset(); }

Status SharedConnection::Bind(const std::string& connection_string) {
  // Test the open state, not the string: a failed open leaves nothing
  // behind, so a later Connect on this thread tries again.
  if (IsOpen()) return Status::Ok();
  auto backend = OpenBackend(connection_string);
  if (!backend.ok()) return backend.status();
  Adopt(std::move(*backend), connection_string);
  return Status::Ok();
}

void SharedConnection::Adopt(std::unique_ptr<Backend> backend,
                             std::string connection_string) {
  backend_ = std::move(backend);
  connection_string_ = std::move(connection_string);
  depth_ = 0;
  id_marks_known_ = false;
  SchemaChanged();
}

void SharedConnection::SchemaChanged() {
  if (backend_) backend_->SchemaChanged();
  cache_.clear();
  lru_.clear();
  catalogue_.reset();
  hints_.reset();
}

Result<const Catalogue*> SharedConnection::GetCatalogue() {
  if (!IsOpen()) return NotOpen();
  if (!catalogue_) {
    if (Status s = Settle(); !s.ok()) return s;
    auto read = backend_->ReadCatalogue();
    if (!read.ok()) return read.status();
    catalogue_ = std::move(*read);
  }
  return &*catalogue_;
}

Result<const dialect::SchemaHints*> SharedConnection::GetSchemaHints() {
  if (hints_) return &*hints_;
  auto catalogue = GetCatalogue();
  if (!catalogue.ok()) return catalogue.status();
  const auto& canonical = CanonicalColumns();
  dialect::SchemaHints hints;
  for (const CatalogueTable& table : (*catalogue)->Tables()) {
    const std::string key = ToLowerAscii(table.name);
    dialect::TableLayout& layout = hints.tables[key];
    for (const CatalogueColumn& column : table.columns) {
      layout.stored.push_back(column.name);
      hints.AddColumn(table.name, column.name, column.type);
    }
    if (!table.primary_key.empty()) hints.primary_keys[key] = table.primary_key;
    if (auto it = canonical.find(key); it != canonical.end()) layout.canonical = it->second;
  }
  hints_ = std::move(hints);
  return &*hints_;
}

Status SharedConnection::NotOpen() const {
  return Status::Error(ErrorCode::kNotOpen,
                       "Operation is not allowed when the object is closed.");
}

Result<const dialect::Translation*> SharedConnection::Translate(
    const std::string& sql, dialect::Source source) {
  CacheKey key{sql, source};
  if (auto it = cache_.find(key); it != cache_.end()) {
    lru_.splice(lru_.begin(), lru_, it->second.position);
    return &it->second.translation;
  }
  auto hints = GetSchemaHints();
  if (!hints.ok()) return hints.status();
  auto translated = dialect::Translate(sql, source, backend_->target(), *hints);
  if (!translated.ok()) return translated.status();
  if (cache_.size() >= kCacheSize) {
    cache_.erase(lru_.back());
    lru_.pop_back();
  }
  lru_.push_front(key);
  auto [it, inserted] = cache_.emplace(key, Entry{std::move(*translated), lru_.begin()});
  return &it->second.translation;
}

bool SharedConnection::NeedsStatementGuard(bool failure_tolerated) const {
  return failure_tolerated && depth_ > 0 && backend_->FailureAbortsTransaction();
}

Status SharedConnection::Settle() {
  if (!IsOpen()) return NotOpen();
  if (failed_depth_ > 0) return failure_;
  Status s = backend_->Flush();
  FailScope(s);
  return s;
}

void SharedConnection::FailScope(const Status& failure) {
  if (failure.ok() || depth_ == 0) return;
  failed_depth_ = depth_;
  failure_ = failure;
}

Status SharedConnection::TakeSkippedFailure() {
  if (Status s = Settle(); !s.ok()) return s;
  Status sent_back = backend_->TakeSkippedFailure();
  Status first = skipped_failure_.ok() ? sent_back : skipped_failure_;
  skipped_failure_ = Status::Ok();
  return first;
}

void SharedConnection::ForgetSkippedFailures() {
  skipped_failure_ = Status::Ok();
  if (backend_) backend_->TakeSkippedFailure();
}

Status SharedConnection::ExecuteDeferred(const std::string& sql, dialect::Source source,
                                         bool skipped_on_failure) {
  if (!IsOpen()) return NotOpen();
  if (failed_depth_ > 0) return failure_;
  auto translation = Translate(sql, source);
  if (!translation.ok()) return translation.status();
  const dialect::Translation& t = **translation;
  Status s = Status::Ok();
  if (depth_ == 0 || t.alter_column || t.changes_schema || t.changes_indexes ||
      t.statements.size() != 1) {
    s = Execute(sql, source, skipped_on_failure);
  } else {
    ++statement_count_;
    s = backend_->ExecuteDeferred(t.statements.front(), skipped_on_failure);
    // It may carry an earlier deferred write's failure: the scope's.
    if (!skipped_on_failure) FailScope(s);
  }
  if (!s.ok() && skipped_on_failure && skipped_failure_.ok()) skipped_failure_ = s;
  return s;
}

Status SharedConnection::Execute(const std::string& sql, dialect::Source source,
                                 bool failure_tolerated) {
  if (Status s = Settle(); !s.ok()) return s;
  ++statement_count_;
  auto translation = Translate(sql, source);
  if (!translation.ok()) return translation.status();
  // Copied: a schema change below empties the cache it lives in.
  const dialect::Translation t = **translation;
  Status result = Status::Ok();
  if (t.alter_column) {
    // A column that has the type already (the log-in upgrade repeats its
    // type changes) is left alone, and the schema stays as it was.
    auto catalogue = GetCatalogue();
    const CatalogueColumn* column =
        catalogue.ok() ? (*catalogue)->FindColumn(t.alter_column->table, t.alter_column->column)
                       : nullptr;
    if (column && EqualsIgnoreCase(column->declared_type, t.alter_column->canonical_type))
      return Status::Ok();
    result = backend_->AlterColumnType(*t.alter_column);
  } else {
    const bool guarded = NeedsStatementGuard(failure_tolerated);
    for (const std::string& statement : t.statements) {
      result = guarded ? backend_->ExecuteGuarded(statement) : backend_->Execute(statement);
      if (!result.ok()) break;
    }
  }
  if (t.changes_schema) {
    SchemaChanged();
    if (depth_ > 0) schema_changed_in_transaction_ = true;
  } else if (t.changes_indexes) {
    // Tables and columns stay as they were; only the index list is read again.
    catalogue_.reset();
    if (depth_ > 0) schema_changed_in_transaction_ = true;
  }
  return result;
}

Result<RowData> SharedConnection::Query(const std::string& sql, dialect::Source source,
                                        bool failure_tolerated) {
  if (!IsOpen()) return NotOpen();
  if (failed_depth_ > 0) return failure_;
  ++statement_count_;
  // A catalogue to read for the translation settles the deferred writes first.
  auto translation = Translate(sql, source);
  if (!translation.ok()) return translation.status();
  const dialect::Translation& t = **translation;
  if (t.alter_column || t.statements.size() != 1)
    return Status::Error(ErrorCode::kSyntax, "Not a query: " + sql);
  // The query goes with the deferred writes: one wait for all.
  Status settled = Status::Ok();
  auto rows = backend_->SettleAndQuery(t.statements.front(), &t.result_names,
                                       NeedsStatementGuard(failure_tolerated), &settled);
  FailScope(settled);
  return rows;
}

Result<std::vector<std::string>> SharedConnection::TableNames() {
  auto catalogue = GetCatalogue();
  if (!catalogue.ok()) return catalogue.status();
  std::vector<std::string> names;
  for (const CatalogueTable& table : (*catalogue)->Tables()) names.push_back(table.name);
  return names;
}

Result<std::vector<std::pair<std::string, std::string>>> SharedConnection::IndexedColumns() {
  auto catalogue = GetCatalogue();
  if (!catalogue.ok()) return catalogue.status();
  std::vector<std::pair<std::string, std::string>> pairs;
  for (const CatalogueIndex& index : (*catalogue)->Indexes())
    if (!index.first_column.empty())
      pairs.emplace_back(ToLowerAscii(index.table), ToLowerAscii(index.first_column));
  return pairs;
}

namespace {
std::string SavepointName(int depth) { return "dravmor_scope_" + std::to_string(depth); }
}  // namespace

Status SharedConnection::Begin() {
  if (Status s = Settle(); !s.ok()) return s;
  // A savepoint goes with the scope's first statement.
  Status s = depth_ == 0 ? backend_->Begin()
                         : backend_->ExecuteDeferred("SAVEPOINT " + SavepointName(depth_), false);
  if (s.ok()) {
    if (depth_ == 0) schema_changed_in_transaction_ = false;
    ++depth_;
  }
  return s;
}

Status SharedConnection::Commit() {
  if (!IsOpen()) return NotOpen();
  if (failed_depth_ > 0) return failure_;
  if (depth_ == 0)
    return Status::Error(ErrorCode::kBadArgument, "No transaction is open");
  if (depth_ > 1) {
    // The scope's own writes are waited for; the release goes with the
    // next statement.
    if (Status s = Settle(); !s.ok()) return s;
    Status s = backend_->ExecuteDeferred("RELEASE SAVEPOINT " + SavepointName(depth_ - 1), false);
    if (s.ok()) --depth_;
    return s;
  }
  // The backend sends the commit with the writes not yet waited for: one
  // round trip for both. Their failure leaves the transaction to roll back.
  Status s = backend_->Commit();
  if (s.ok()) depth_ = 0;
  else FailScope(s);
  return s;
}

Status SharedConnection::Rollback() {
  if (!IsOpen()) return NotOpen();
  if (depth_ == 0) return Status::Ok();
  backend_->Flush();  // what failed there is undone with the scope
  if (failed_depth_ >= depth_) failed_depth_ = 0;
  Status s = Status::Ok();
  if (depth_ > 1) {
    const std::string name = SavepointName(--depth_);
    s = backend_->Execute("ROLLBACK TO SAVEPOINT " + name);
    Status released = backend_->Execute("RELEASE SAVEPOINT " + name);
    if (s.ok()) s = released;
  } else {
    depth_ = 0;
    s = backend_->Rollback();
  }
  // What the catalogue says may have been undone with the rest.
  if (schema_changed_in_transaction_) SchemaChanged();
  if (depth_ == 0) schema_changed_in_transaction_ = false;
  return s;
}

Transaction::Transaction(SharedConnection& connection)
    : connection_(connection), begun_(connection.Begin()) {}

Transaction::~Transaction() {
  if (begun_.ok() && !done_) connection_.Rollback();
}

Status Transaction::Rollback() {
  if (!begun_.ok() || done_) return Status::Ok();
  done_ = true;
  return connection_.Rollback();
}

Status Transaction::Commit() {
  if (!begun_.ok()) return begun_;
  done_ = true;
  Status s = connection_.Commit();
  if (!s.ok()) connection_.Rollback();
  return s;
}

}  // namespace dravmor
