// Connection strings: "key=value;key=value" (keys without letter case,
// values optionally in double quotes) or a bare file path. Decides which
// backend a string names and pulls out what that backend needs.
#pragma once

#include <map>
#include <string>

#include "engine/status.h"

namespace dravmor {

enum class BackendKind { Sqlite, Postgres };

struct ConnectionTarget {
  BackendKind kind = BackendKind::Sqlite;
  std::string file;                              // SQLite: database file
  std::map<std::string, std::string> settings;   // lower-case key -> value
  std::string libpq;                             // PostgreSQL: libpq conninfo
};

Result<ConnectionTarget> ParseConnectionString(const std::string& text);

}  // namespace dravmor
