#include "engine/backend.h"

#include "engine/connection_string.h"
#include "engine/postgres/postgres_backend.h"
#include "engine/sqlite/sqlite_backend.h"

namespace dravmor {

long JetErrorNumber(std::string_view message) {
  if (message == "Overflow") return ErrorCode::kOverflow;
  if (message == "Type mismatch") return ErrorCode::kTypeMismatch;
  if (message == "Division by zero") return ErrorCode::kDivisionByZero;
  if (message == "Invalid procedure call or argument") return ErrorCode::kBadArgument;
  return 0;
}

Result<std::unique_ptr<Backend>> OpenBackend(const std::string& connection_string) {
  auto target = ParseConnectionString(connection_string);
  if (!target.ok()) return target.status();
  if (target->kind == BackendKind::Postgres) {
    auto pg = PostgresBackend::Open(target->libpq);
    if (!pg.ok()) return pg.status();
    return std::unique_ptr<Backend>(std::move(*pg));
  }
  auto sqlite = SqliteBackend::Open(target->file, /*create=*/false);
  if (!sqlite.ok()) return sqlite.status();
  return std::unique_ptr<Backend>(std::move(*sqlite));
}

}  // namespace dravmor
