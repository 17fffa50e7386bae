// Changing a column's type on SQLite, which has no ALTER COLUMN: the table is
// rebuilt with the new declared type inside one savepoint, every row copied
// and converted, indexes recreated. When a stored value cannot take the new
// type (a text that is no number for a numeric type) nothing changes and the
// failure names the table, column and value.
#pragma once

#include "engine/dialect/rewriter.h"
#include "engine/status.h"

struct sqlite3;

namespace dravmor {

Status RebuildWithColumnType(sqlite3* db, const dialect::AlterColumn& change);

}  // namespace dravmor
