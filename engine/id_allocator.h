// The engine's one source of new record ids. Every id any operation writes
// as a new key comes from AllocateIds, and an id handed out for a table and
// column is never handed out again: not to another workstation at the same
// moment, and not after the row that held the largest id was deleted (its
// forgotten children would otherwise pass to the new row).
//
// How: the table IdHighWater keeps, per "table.column", the largest id ever
// handed out. An allocation, inside a write transaction (the caller's, or
// one of its own), reads that mark and the column's stored largest value,
// hands out the ids above both, and raises the mark. The write transaction
// holds the database's one write lock (BEGIN IMMEDIATE on SQLite, an
// advisory lock on PostgreSQL), so two allocations never interleave; the
// mark lives in the database, so it holds across workstations and restarts.
// Chosen over the backends' sequences because the stored format stays as it
// is: ids are plain whole numbers in the same columns, rows written by other
// programs are respected (the stored largest value counts too), and one
// mechanism serves both backends and every id column, including those of
// databases upgraded from older installations.
#pragma once

#include <string>

#include "engine/shared_connection.h"
#include "engine/status.h"
#include "engine/variant.h"

namespace dravmor {

// The table that keeps the marks.
inline constexpr const char* kIdHighWaterTable = "IdHighWater";

// Hands out count consecutive ids (count >= 1) for table.column and returns
// the first: 1 for an empty table never allocated from, else one above both
// the stored largest value and the largest id ever handed out. A failure
// (the table or column does not exist) hands out nothing. Runs in the
// caller's transaction when one is open, else in one of its own.
Result<Currency> AllocateIds(SharedConnection& connection, const std::string& table,
                             const std::string& column, int64_t count = 1);

// The ids of a copy loop: the k-th of count copied rows takes base + k
// (k from 1), so the first copy is the old largest plus 2. All count ids are
// handed out here, before the loop writes any of them.
Result<int64_t> AllocateCopyBase(SharedConnection& connection, const std::string& table,
                                 const std::string& column, int64_t count);

// For a caller that took a first id from AllocateIds and counted on from it
// (a batch whose size it learns as it goes): the ids up to last count as
// handed out. Raises the mark only.
Status MarkIdsHandedOut(SharedConnection& connection, const std::string& table,
                        const std::string& column, int64_t last);

// The statement that creates the marks table (Jet dialect).
std::string IdHighWaterTableSql();

}  // namespace dravmor
