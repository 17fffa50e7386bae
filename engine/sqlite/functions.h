// The SQL functions and collations that give translated Jet and SQL Server
// texts their meaning on SQLite: VAL, LEN, LEFT, MID, IsNull/ISNULL, NZ,
// UCASE ..., the dialect layer's helpers (JET_CONCAT, JET_IDIV, ...), a LIKE
// that ignores letter case beyond ASCII, and the collations NOCASE (text
// without letter case, every script) and RTRIM (dates whatever their text
// form) in place of SQLite's own, also under the names older files used.
// Register them on every connection right after opening it; they hold no
// state and may run on any thread that uses that connection.
#pragma once

struct sqlite3;

namespace dravmor {

// SQLITE_OK, or the first error code SQLite gave while registering.
int RegisterJetFunctions(sqlite3* db);

}  // namespace dravmor
