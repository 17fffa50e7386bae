#include "engine/sqlite/database_file.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace dravmor {

namespace {

Status NotAShopDatabase(const std::string& file, const std::string& why) {
  return Status::Error(ErrorCode::kConnection,
                       "'" + file + "' is not a shop database (" + why +
                           "); dravmor init FILE makes one");
}

bool Writable(const std::string& path) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) return false;
  // The write bits count even for a user whom the system lets write
  // anyway: a file marked read-only is opened read-only.
  return (info.st_mode & 0222) != 0 && ::access(path.c_str(), W_OK) == 0;
}

}  // namespace

Result<DatabaseFile> CheckDatabaseFile(const std::string& file) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec))
    return Status::Error(ErrorCode::kConnection,
                         "Cannot open database '" + file + "': no such file (dravmor init FILE makes one)");
  std::ifstream in(file, std::ios::binary);
  char header[16] = {};
  in.read(header, sizeof header);
  if (in.gcount() == 0) return NotAShopDatabase(file, "the file is empty");
  if (in.gcount() < 16 || std::string(header, 16) != std::string("SQLite format 3\0", 16))
    return NotAShopDatabase(file, "the file is no SQLite database");
  std::filesystem::path folder = std::filesystem::absolute(file, ec).parent_path();
  DatabaseFile checked;
  checked.read_only = !Writable(file) || !Writable(folder.string());
  return checked;
}

Status CheckShopTables(sqlite3* db, const std::string& file) {
  // Tables every shop database has had since the first release.
  static const char* kSql =
      "SELECT COUNT(*) FROM sqlite_master WHERE type='table' AND name COLLATE NOCASE IN "
      "('厂家','系列','型材','配件','玻璃','类别','图库','单元图库','sys','用户管理',"
      "'客户管理','ProjectInfo')";
  sqlite3_stmt* stmt = nullptr;
  int rc = sqlite3_prepare_v2(db, kSql, -1, &stmt, nullptr);
  if (rc == SQLITE_OK) rc = sqlite3_step(stmt);
  const bool found = rc == SQLITE_ROW && sqlite3_column_int(stmt, 0) > 0;
  std::string text = sqlite3_errmsg(db);
  sqlite3_finalize(stmt);
  if (rc != SQLITE_ROW)
    return Status::Error(sqlite3_extended_errcode(db), "Cannot open database '" + file + "': " + text);
  if (!found) return NotAShopDatabase(file, "it holds none of the shop's tables");
  return Status::Ok();
}

std::string ReadOnlyUri(const std::string& file, bool immutable) {
  std::string uri = "file:";
  for (unsigned char c : std::filesystem::absolute(file).string()) {
    if (c == '%' || c == '?' || c == '#') {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", c);
      uri += escaped;
    } else {
      uri += static_cast<char>(c);
    }
  }
  return uri + (immutable ? "?mode=ro&immutable=1" : "?mode=ro");
}

}  // namespace dravmor
