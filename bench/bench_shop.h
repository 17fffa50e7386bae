// What the benchmarks share: a new SQLite file in the temporary folder, made
// the way a user's database is (the shipped schema brought up to date by the
// log-in upgrade, with a settings store beside it), and its removal.
#pragma once

#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "engine/schema/shipped_schema.h"
#include "engine/settings_store.h"
#include "engine/shared_connection.h"
#include "users/server_for_login.h"

namespace dravmor::bench {

// A path in the temporary folder not used before, named after tag.
inline std::string NewShopPath(const std::string& tag) {
  std::random_device rd;
  return (std::filesystem::temp_directory_path() /
          ("dravmor-" + tag + "-" + std::to_string(rd()) + ".db"))
      .string();
}

// Removes the file with its journal and settings store.
inline void RemoveShop(const std::string& path) {
  for (const char* suffix : {"", "-wal", "-shm", ".settings"})
    std::filesystem::remove(path + suffix);
}

// Creates the database at path, bound as the thread's connection, and runs
// the log-in upgrade (Jet path) on it.
inline Status CreateUpgradedShop(const std::string& path) {
  SharedConnection::ResetThisThread();
  if (Status s = CreateShippedDatabase(path); !s.ok()) return s;
  UseSettings(std::make_shared<FileSettingsStore>(path + ".settings"));
  ServerForLogin login;
  std::string cs = path;
  login.Connect(cs);
  login.SetSQLSERVER(false);
  login.AddField();
  return Status::Ok();
}

// A shop file removed when it goes out of scope.
struct ShopFile {
  std::string path;
  ~ShopFile() { RemoveShop(path); }
};

}  // namespace dravmor::bench
