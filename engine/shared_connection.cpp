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
  in_transaction_ = false;
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

Status SharedConnection::Execute(const std::string& sql, dialect::Source source) {
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
    for (const std::string& statement : t.statements) {
      result = backend_->Execute(statement);
      if (!result.ok()) break;
    }
  }
  if (t.changes_schema) SchemaChanged();
  return result;
}

Result<RowData> SharedConnection::Query(const std::string& sql,
                                        dialect::Source source) {
  if (!IsOpen()) return NotOpen();
  ++statement_count_;
  auto translation = Translate(sql, source);
  if (!translation.ok()) return translation.status();
  const dialect::Translation& t = **translation;
  if (t.alter_column || t.statements.size() != 1)
    return Status::Error(ErrorCode::kSyntax, "Not a query: " + sql);
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

// One level only: a second Begin is refused on every backend alike (the
// server would only warn, and the inner Commit would end the outer one).
Status SharedConnection::Begin() {
  if (!IsOpen()) return NotOpen();
  if (in_transaction_)
    return Status::Error(ErrorCode::kBadArgument, "A transaction is already open");
  Status s = backend_->Begin();
  in_transaction_ = s.ok();
  return s;
}
Status SharedConnection::Commit() {
  if (!IsOpen()) return NotOpen();
  Status s = backend_->Commit();
  if (s.ok()) in_transaction_ = false;
  return s;
}
Status SharedConnection::Rollback() {
  if (!IsOpen()) return NotOpen();
  in_transaction_ = false;
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
