#include "engine/routines.h"

#include <signal.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <thread>

#include "engine/id_allocator.h"
#include "engine/text.h"

namespace dravmor {

Result<Currency> NextId(SharedConnection& connection, const std::string& table,
                        const std::string& column) {
  return AllocateIds(connection, table, column);
}

Currency GetMaxID(SharedConnection& connection, const std::string& table,
                  const std::string& column) {
  auto next = NextId(connection, table, column);
  return next.ok() ? *next : Currency{};
}

Result<bool> TableExists(SharedConnection& connection, const std::string& table) {
  auto catalogue = connection.GetCatalogue();
  if (!catalogue.ok()) return catalogue.status();
  return (*catalogue)->HasTable(table);
}

void AddFieldIfMissing(SharedConnection& connection, const std::string& table,
                       const std::string& column, const std::string& type,
                       const std::string& default_value, const std::string& follow_up,
                       dialect::Source source, const StatementRunner& run) {
  auto execute = [&](const std::string& sql) {
    return run ? run(sql) : connection.Execute(sql, source);
  };
  // A catalogue that cannot be read leaves the ADD to find out.
  auto catalogue = connection.GetCatalogue();
  if (catalogue.ok() && (*catalogue)->HasColumn(table, column)) return;
  if (!execute("ALTER TABLE " + table + " Add " + column + " " + type).ok()) return;
  if (!default_value.empty())
    execute("UPDATE " + table + " SET " + column + "='" + SqlQuote(default_value) + "'");
  if (!follow_up.empty()) execute(follow_up);
}

Status EmptyDirectory(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::directory_iterator it(path, ec);
  if (ec)
    return Status::Error(ErrorCode::kPathNotFound,
                         "Path not found: " + path + " (" + ec.message() + ")");
  for (const auto& entry : it) {
    if (!entry.is_regular_file(ec)) continue;
    if (!fs::remove(entry.path(), ec) && ec)
      return Status::Error(ErrorCode::kFileIo, "Cannot delete " +
                                                   entry.path().string() + ": " +
                                                   ec.message());
  }
  return Status::Ok();
}

bool WaitForProcess(long process_id, long timeout_ms) {
  if (process_id <= 0) return false;
  pid_t pid = static_cast<pid_t>(process_id);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  int first_status = 0;
  pid_t first = waitpid(pid, &first_status, WNOHANG);
  if (first == pid) return true;
  if (first < 0 && errno == ECHILD && kill(pid, 0) != 0 && errno == ESRCH)
    return false;  // no such process: the wait itself fails
  for (;;) {
    // Our own child is reaped; any other process is polled until it is gone.
    int status = 0;
    pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) return true;
    if (done < 0 && errno == ECHILD) {
      if (kill(pid, 0) != 0 && errno == ESRCH) return true;
    } else if (done < 0) {
      return false;
    }
    if (timeout_ms >= 0 && std::chrono::steady_clock::now() >= deadline) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

}  // namespace dravmor
