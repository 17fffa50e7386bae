// The embedded backend: one SQLite database file, in WAL mode with a busy
// timeout so that several processes can share it; a file that cannot be
// written is opened read-only (engine/sqlite/database_file.h). Each statement runs in its
// own implicit transaction unless Begin() opened one. Prepared statements of
// recently used texts are kept for reuse.
#pragma once

#include <list>
#include <memory>
#include <string>
#include <unordered_map>

#include "engine/backend.h"

struct sqlite3;
struct sqlite3_stmt;

namespace dravmor {

class SqliteBackend : public Backend {
 public:
  // create: make the file when it does not exist. Otherwise the file must
  // be a shop database already: a missing, empty or foreign file is an
  // error and stays as it was.
  static Result<std::unique_ptr<SqliteBackend>> Open(const std::string& file,
                                                     bool create);
  ~SqliteBackend() override;

  dialect::Target target() const override { return dialect::Target::Sqlite; }
  Status Execute(const std::string& native_sql) override;
  Result<RowData> Query(
      const std::string& native_sql,
      const std::vector<std::optional<std::string>>* result_names = nullptr) override;
  Status AlterColumnType(const dialect::AlterColumn& change) override;
  Status UseStandardCollations() override;
  Result<Catalogue> ReadCatalogue() override;
  Status Begin() override;
  Status Commit() override;
  Status Rollback() override;

  sqlite3* handle() const { return db_; }

 private:
  explicit SqliteBackend(sqlite3* db) : db_(db) {}
  Status LastError() const;
  struct Cached {
    sqlite3_stmt* stmt;
    std::list<std::string>::iterator position;
    size_t last_rows = 0;  // rows of its last run: what to reserve next time
  };
  // A ready statement for the text, from the cache or freshly prepared.
  Result<Cached*> Prepare(const std::string& sql);
  void ClearCache();

  sqlite3* db_;
  static constexpr size_t kCacheSize = 64;
  std::list<std::string> lru_;  // most recent first
  std::unordered_map<std::string, Cached> cache_;
};

}  // namespace dravmor
