#include "engine/shared_connection.h"

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
  hints_.reset();
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
  if (!hints_) {
    auto loaded = backend_->LoadSchemaHints();
    if (!loaded.ok()) return loaded.status();
    hints_ = std::move(*loaded);
  }
  auto translated = dialect::Translate(sql, source, backend_->target(), &*hints_);
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

Status SharedConnection::Execute(const std::string& sql, dialect::Source source,
                                 bool failure_tolerated) {
  if (!IsOpen()) return NotOpen();
  ++statement_count_;
  auto translation = Translate(sql, source);
  if (!translation.ok()) return translation.status();
  // Copied: a schema change below empties the cache it lives in.
  const dialect::Translation t = **translation;
  Status result = Status::Ok();
  if (t.alter_column) {
    result = backend_->AlterColumnType(*t.alter_column);
  } else {
    const bool guarded = NeedsStatementGuard(failure_tolerated);
    for (const std::string& statement : t.statements) {
      result = guarded ? backend_->ExecuteGuarded(statement) : backend_->Execute(statement);
      if (!result.ok()) break;
    }
  }
  if (t.changes_schema) SchemaChanged();
  return result;
}

Result<RowData> SharedConnection::Query(const std::string& sql, dialect::Source source,
                                        bool failure_tolerated) {
  if (!IsOpen()) return NotOpen();
  ++statement_count_;
  auto translation = Translate(sql, source);
  if (!translation.ok()) return translation.status();
  const dialect::Translation& t = **translation;
  if (t.alter_column || t.statements.size() != 1)
    return Status::Error(ErrorCode::kSyntax, "Not a query: " + sql);
  if (NeedsStatementGuard(failure_tolerated))
    return backend_->QueryGuarded(t.statements.front(), &t.written_names);
  return backend_->Query(t.statements.front(), &t.written_names);
}

Result<std::vector<std::string>> SharedConnection::TableNames() {
  if (!IsOpen()) return NotOpen();
  return backend_->TableNames();
}

Result<std::vector<std::pair<std::string, std::string>>> SharedConnection::IndexedColumns() {
  if (!IsOpen()) return NotOpen();
  return backend_->IndexedColumns();
}

namespace {
std::string SavepointName(int depth) { return "dravmor_scope_" + std::to_string(depth); }
}  // namespace

Status SharedConnection::Begin() {
  if (!IsOpen()) return NotOpen();
  Status s = depth_ == 0 ? backend_->Begin() : backend_->Execute("SAVEPOINT " + SavepointName(depth_));
  if (s.ok()) ++depth_;
  return s;
}

Status SharedConnection::Commit() {
  if (!IsOpen()) return NotOpen();
  if (depth_ == 0)
    return Status::Error(ErrorCode::kBadArgument, "No transaction is open");
  if (depth_ > 1) {
    Status s = backend_->Execute("RELEASE SAVEPOINT " + SavepointName(depth_ - 1));
    if (s.ok()) --depth_;
    return s;
  }
  Status s = backend_->Commit();
  if (s.ok()) depth_ = 0;
  return s;
}

Status SharedConnection::Rollback() {
  if (!IsOpen()) return NotOpen();
  if (depth_ == 0) return Status::Ok();
  if (depth_ > 1) {
    const std::string name = SavepointName(--depth_);
    Status s = backend_->Execute("ROLLBACK TO SAVEPOINT " + name);
    Status released = backend_->Execute("RELEASE SAVEPOINT " + name);
    return s.ok() ? released : s;
  }
  depth_ = 0;
  return backend_->Rollback();
}

Transaction::Transaction(SharedConnection& connection)
    : connection_(connection), begun_(connection.Begin()) {}

Transaction::~Transaction() {
  if (begun_.ok() && !done_) connection_.Rollback();
}

Status Transaction::Commit() {
  if (!begun_.ok()) return begun_;
  done_ = true;
  Status s = connection_.Commit();
  if (!s.ok()) connection_.Rollback();
  return s;
}

}  // namespace dravmor
