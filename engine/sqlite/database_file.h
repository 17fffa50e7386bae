// What a database file must be before the engine opens it: an existing,
// non-empty SQLite file (an empty or foreign file is refused untouched, so
// that it is never turned into a database), opened read-only when the file
// or its folder cannot be written (a write-protected file, a read-only
// mount), so that reads still work. A shop database holds at least one of
// the shop's tables; `dravmor init` makes one.
#pragma once

#include <string>

#include "engine/status.h"

struct sqlite3;

namespace dravmor {

struct DatabaseFile {
  bool read_only = false;
};

// Checks the file on disk, before SQLite touches it.
Result<DatabaseFile> CheckDatabaseFile(const std::string& file);

// Checks the open database holds the shop's tables.
Status CheckShopTables(sqlite3* db, const std::string& file);

// The URI that opens file read-only; immutable also for a file whose
// journal cannot be made beside it.
std::string ReadOnlyUri(const std::string& file, bool immutable);

}  // namespace dravmor
