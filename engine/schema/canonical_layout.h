// The canonical column order of every table the engine writes: what the
// values of its positional INSERTs ("INSERT INTO t VALUES (...)") mean. It is
// the shipped schema after the log-in upgrade: the shipped tables as the
// script declares them, and the tables that the upgrade or a class's Connect
// creates when they are missing, as they stand once the upgrade ran (their
// layout is kept here; they are created by those steps, never from here).
// An older database holds the same columns in the order the upgrade added
// them; the dialect layer names the columns of a positional INSERT from
// this order, so the values land by meaning on either.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace dravmor {

// The CREATE TABLE statements (Jet dialect) of the tables created later.
extern const std::string_view kLaterTablesText;

// Table name in lower case -> column names in canonical order. Parsed once.
const std::unordered_map<std::string, std::vector<std::string>>& CanonicalColumns();

}  // namespace dravmor
