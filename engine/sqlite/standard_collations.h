// Files made by an older version declare their text columns COLLATE
// JETTEXT and their date columns COLLATE JETDATE, collations only the
// engine has: the standard SQLite tools cannot filter or sort such a file
// ("no such collation sequence"). The engine still reads and writes those
// files as they are; this step, for the log-in upgrade, declares the
// columns with the standard NOCASE and RTRIM instead (which the engine
// gives the same meaning, so nothing stored changes). Only the table
// definitions are edited, in one transaction; running it again does
// nothing.
#pragma once

#include "engine/status.h"

struct sqlite3;

namespace dravmor {

// The number of tables changed through `changed` (may be null).
Status UseStandardCollations(sqlite3* db, int* changed = nullptr);

}  // namespace dravmor
