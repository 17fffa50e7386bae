// The shared database routines: the next-id rule, the table-existence test,
// the add-a-column-if-missing step of the schema upgrade, emptying a
// directory and waiting for a started process. Each has the error mode its
// callers rely on: GetMaxID gives 0 on any failure; AddFieldIfMissing skips
// failing steps; the others return their failure to the caller.
#pragma once

#include <functional>
#include <string>

#include "engine/dialect/rewriter.h"
#include "engine/shared_connection.h"
#include "engine/status.h"
#include "engine/variant.h"

namespace dravmor {

// A new id for the column from the engine's allocator (engine/id_allocator.h):
// above the largest stored value and every id handed out before, 1 for an
// empty table never allocated from; 0 when the allocation fails (for
// example the table does not exist).
Currency GetMaxID(SharedConnection& connection, const std::string& table,
                  const std::string& column);
// The same with its failure kept, for the classes that report it.
Result<Currency> NextId(SharedConnection& connection, const std::string& table,
                        const std::string& column);

// Exact name, letter case included, among the database's tables and views
// (from the connection's catalogue: no rows are read).
Result<bool> TableExists(SharedConnection& connection, const std::string& table);

// Runs one statement of a multi-step routine; a caller may wrap each
// statement (in a savepoint, say) and keep the failures it sees.
using StatementRunner = std::function<Status(const std::string& sql)>;

// When the table has no such column (letter case ignored, as SQL names
// columns; told by the catalogue, no rows read): adds it, writes the default
// (as a quoted text literal) into every row when given, then runs the
// follow-up statement when given. Nothing happens when the column exists.
// Each statement runs through `run` (default: executed on the connection);
// a failing one is skipped, and a failed ADD ends the routine.
void AddFieldIfMissing(SharedConnection& connection, const std::string& table,
                       const std::string& column, const std::string& type,
                       const std::string& default_value, const std::string& follow_up,
                       dialect::Source source = dialect::Source::Jet,
                       const StatementRunner& run = {});

// Deletes the ordinary files of a directory; sub-directories stay.
Status EmptyDirectory(const std::string& path);

// Waits until the process ends or the time-out passes (-1: no limit). True
// unless the wait itself failed (no such process).
bool WaitForProcess(long process_id, long timeout_ms);

}  // namespace dravmor
