#include "engine/schema/shipped_schema.h"

#include <filesystem>

#include "engine/connection_string.h"
#include "engine/schema/indexes.h"
#include "engine/sqlite/sqlite_backend.h"

namespace dravmor {

std::vector<std::string> ShippedSchemaStatements() {
  std::vector<std::string> statements;
  std::string current;
  size_t pos = 0;
  const std::string_view text = kShippedSchemaText;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string line(text.substr(pos, end - pos));
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // Comments run to the end of their line; the script keeps no "--"
    // inside its literals.
    if (size_t dash = line.find("--"); dash != std::string::npos) line.erase(dash);
    size_t last = line.find_last_not_of(" \t");
    if (last == std::string::npos) continue;
    line.erase(last + 1);
    bool ends = line.back() == ';';
    if (ends) line.pop_back();
    if (!current.empty()) current += '\n';
    current += line;
    if (ends) {
      if (current.find_first_not_of(" \t\n") != std::string::npos)
        statements.push_back(current);
      current.clear();
    }
  }
  if (current.find_first_not_of(" \t\n") != std::string::npos)
    statements.push_back(current);
  return statements;
}

Status CreateShippedSchema(SharedConnection& connection) {
  Transaction transaction(connection);
  if (!transaction.status().ok()) return transaction.status();
  for (const std::string& statement : ShippedSchemaStatements()) {
    Status s = connection.Execute(statement, dialect::Source::Jet);
    if (!s.ok())
      return Status::Error(s.number(), s.text() + " in: " + statement.substr(0, 120));
  }
  if (Status s = AddMissingIndexes(connection); !s.ok()) return s;
  return transaction.Commit();
}

namespace {

// A server database is made by its administrator; the shipped schema goes
// only into one that has no tables yet.
Status CreateOnServer(const std::string& connection_string) {
  auto connection = SharedConnection::ForThisThread();
  if (connection->IsOpen())
    return Status::Error(ErrorCode::kConnection, "This thread already has an open connection");
  if (Status s = connection->Bind(connection_string); !s.ok()) return s;
  auto tables = connection->TableNames();
  Status s = tables.ok() ? Status::Ok() : tables.status();
  if (s.ok() && !tables->empty())
    s = Status::Error(ErrorCode::kFileIo, "The database already has tables (" +
                                              std::to_string(tables->size()) + ")");
  if (s.ok()) s = CreateShippedSchema(*connection);
  if (!s.ok()) SharedConnection::ResetThisThread();
  return s;
}

}  // namespace

Status CreateShippedDatabase(const std::string& file) {
  auto target = ParseConnectionString(file);
  if (!target.ok()) return target.status();
  if (target->kind != BackendKind::Sqlite) return CreateOnServer(file);
  std::error_code ec;
  if (std::filesystem::exists(target->file, ec))
    return Status::Error(ErrorCode::kFileIo,
                         "File already exists: " + target->file);
  auto backend = SqliteBackend::Open(target->file, /*create=*/true);
  if (!backend.ok()) return backend.status();
  auto connection = SharedConnection::ForThisThread();
  if (connection->IsOpen())
    return Status::Error(ErrorCode::kConnection,
                         "This thread already has an open connection");
  connection->Adopt(std::move(*backend), file);
  Status s = CreateShippedSchema(*connection);
  if (!s.ok()) {
    SharedConnection::ResetThisThread();
    std::filesystem::remove(target->file, ec);
    std::filesystem::remove(target->file + "-wal", ec);
    std::filesystem::remove(target->file + "-shm", ec);
  }
  return s;
}

}  // namespace dravmor
