#include "engine/kept_connection.h"

#include <sys/stat.h>

#include <map>
#include <optional>
#include <utility>

#include "engine/connection_string.h"

namespace dravmor {

namespace {

// Which file a database path names now; nullopt when none (or a server).
std::optional<std::pair<dev_t, ino_t>> FileIdentity(const std::string& connection_string) {
  auto target = ParseConnectionString(connection_string);
  if (!target.ok() || target->kind != BackendKind::Sqlite) return std::nullopt;
  struct stat st;
  if (::stat(target->file.c_str(), &st) != 0) return std::nullopt;
  return std::pair{st.st_dev, st.st_ino};
}

struct Kept {
  std::shared_ptr<SharedConnection> connection;
  std::optional<std::pair<dev_t, ino_t>> file;  // the file it opened
};

thread_local std::map<std::string, Kept> kept;

bool StillUsable(const std::string& connection_string, Kept& k) {
  // A file replaced under its name: the old connection would write into
  // the unlinked one.
  if (k.file && FileIdentity(connection_string) != k.file) return false;
  return k.connection->StillConnected();
}

}  // namespace

Result<std::shared_ptr<SharedConnection>> KeptConnections::ForThisThread(
    const std::string& connection_string) {
  if (auto it = kept.find(connection_string); it != kept.end()) {
    if (StillUsable(connection_string, it->second)) return it->second.connection;
    kept.erase(it);
  }
  auto connection = std::make_shared<SharedConnection>();
  if (Status s = connection->Bind(connection_string); !s.ok()) return s;
  kept[connection_string] = Kept{connection, FileIdentity(connection_string)};
  return connection;
}

}  // namespace dravmor
