#include "engine/backend.h"

#include "engine/connection_string.h"
#include "engine/sqlite/sqlite_backend.h"

namespace dravmor {

Result<std::unique_ptr<Backend>> OpenBackend(const std::string& connection_string) {
  auto target = ParseConnectionString(connection_string);
  if (!target.ok()) return target.status();
  if (target->kind == BackendKind::Postgres)
    return Status::Error(ErrorCode::kConnection,
                         "The server backend is not available in this build");
  auto sqlite = SqliteBackend::Open(target->file, /*create=*/false);
  if (!sqlite.ok()) return sqlite.status();
  return std::unique_ptr<Backend>(std::move(*sqlite));
}

}  // namespace dravmor
