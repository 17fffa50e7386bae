// The secondary indexes of the database: one on each column that a
// cascade, a tree, a copy, a filter or a look-up selects rows by, so that
// those cost what the rows they touch cost, not what the whole table does.
// The shipped schema makes them with its tables; the log-in upgrade adds
// the ones an older database lacks, and a class that creates a table of
// the list later makes that table's. An index is missing when no index of
// the table starts with its column, whatever its name; a table or column
// the database does not have is passed over.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/shared_connection.h"
#include "engine/status.h"

namespace dravmor {

struct SecondaryIndex {
  std::string_view table;
  std::string_view column;
  std::string_view name;  // empty: "ix_" + table + "_" + column
};

const std::vector<SecondaryIndex>& SecondaryIndexes();
std::string IndexName(const SecondaryIndex& index);

// The CREATE INDEX statements of the missing indexes of the list (of one
// table when `table` is given).
Result<std::vector<std::string>> MissingIndexStatements(SharedConnection& connection,
                                                        std::string_view table = {});
// Creates the missing indexes. Every index is tried; the first failure is
// returned.
Status AddMissingIndexes(SharedConnection& connection, std::string_view table = {});

}  // namespace dravmor
