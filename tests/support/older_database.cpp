#include "tests/support/older_database.h"

#include <fstream>
#include <sstream>

#include "engine/connection_string.h"
#include "engine/shared_connection.h"
#include "engine/sqlite/sqlite_backend.h"

namespace dravmor::testing {

Status CreateOlderDatabase(const std::string& connection_string) {
  auto connection = SharedConnection::ForThisThread();
  auto target = ParseConnectionString(connection_string);
  if (!target.ok()) return target.status();
  if (target->kind == BackendKind::Sqlite) {  // a file: made here
    auto backend = SqliteBackend::Open(target->file, /*create=*/true);
    if (!backend.ok()) return backend.status();
    connection->Adopt(std::move(*backend), connection_string);
  } else if (Status s = connection->Bind(connection_string); !s.ok()) {
    return s;
  }
  std::ifstream file(std::string(DRAVMOR_TEST_DATA) + "/older_schema.sql");
  std::string statement, line;
  auto run = [&]() -> Status {
    if (statement.find_first_not_of(" \n") == std::string::npos) return Status::Ok();
    Status s = connection->Execute(statement, dialect::Source::Jet);
    if (!s.ok()) return Status::Error(s.number(), s.text() + " in " + statement);
    statement.clear();
    return s;
  };
  while (std::getline(file, line)) {
    if (line.rfind("--", 0) == 0) continue;
    bool ends = !line.empty() && line.back() == ';';
    if (ends) line.pop_back();
    statement += line + "\n";
    if (ends)
      if (Status s = run(); !s.ok()) return s;
  }
  return run();
}

}  // namespace dravmor::testing
