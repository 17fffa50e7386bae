// The map of references, written once: for every table whose key a change
// may move, the columns of the schema that hold that key, each with the
// test that tells a real reference from a look-alike value in the same
// column (a tree node's parent in 系列.xllb versus a top-level series'
// window type; a ledger row's item id by its item type). A column that
// looks like an id but refers to no key that moves is listed apart, with
// the reason, so that a new column must be placed in one list or the other.
//
// MoveKeys() is the one way to give rows new keys: the rows and every
// reference to them move together, inside the caller's transaction.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/shared_connection.h"
#include "engine/status.h"

namespace dravmor {

// A test on the holding row: column = value, or column <> value.
struct RowTest {
  std::string_view column;
  bool equals;
  int value;
};

// One column that holds another table's key.
struct Reference {
  std::string_view table;
  std::string_view column;
  // All must hold for the value to be a reference (none: always).
  std::vector<RowTest> only_when;
};

// A table's key and everything that holds it.
struct KeyOwner {
  std::string_view table;
  std::string_view key;
  std::vector<Reference> held_by;
};

// A column that looks like an id but is no reference to a movable key.
struct NotAReference {
  std::string_view table;
  std::string_view column;
  std::string_view why;
};

const std::vector<KeyOwner>& ReferenceMap();
const std::vector<NotAReference>& NotReferences();

// The owner of a table's key (letter case ignored), or null.
const KeyOwner* FindKeyOwner(std::string_view table);

// The keys a column holds: the owner and the reference, one pair for each
// table the column may point to (ChuRuDetail.WuJianID points to three).
std::vector<std::pair<const KeyOwner*, const Reference*>> KeysHeldBy(std::string_view table,
                                                                     std::string_view column);

// The reference's tests as SQL text to append to a WHERE clause
// (" AND YouGongShi<>0 AND PinJieFangShi<>0"), empty when it has none.
std::string OnlyWhenSql(const Reference& reference);

// Whether the tests hold on a row; value gives a column's number (nullopt
// for Null or no number).
bool OnlyWhenHolds(const Reference& reference,
                   const std::function<std::optional<double>(std::string_view)>& value);

// The tables and columns of one database, read once (tables and columns
// vary between installations: some are created only on one path).
class DatabaseColumns {
 public:
  explicit DatabaseColumns(SharedConnection& connection) : connection_(connection) {}
  // False when the table or the column is not there (names compared
  // without letter case). Reads the table's columns on first use.
  bool Has(std::string_view table, std::string_view column);
  // The columns of a table as the database names them (empty: no table).
  const std::vector<std::string>& Columns(std::string_view table);
  // Reads what every reference of the map needs, so that nothing is read
  // later inside a transaction that a failing read would spoil.
  void LoadAll();

 private:
  SharedConnection& connection_;
  std::optional<std::vector<std::string>> tables_;
  std::map<std::string, std::vector<std::string>> columns_;  // by lower-case name
};

// Moves rows of table from old keys to new keys and carries every
// reference of the map along. The new keys must be free and the old ones
// distinct; a pair may not chain into another (new of one = old of
// another). References in tables or columns this database lacks are
// skipped. Runs in the caller's transaction: the first failing statement
// is returned, and the caller rolls back.
Status MoveKeys(SharedConnection& connection, DatabaseColumns& columns, std::string_view table,
                const std::vector<std::pair<int64_t, int64_t>>& moves);

}  // namespace dravmor
