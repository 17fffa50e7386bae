// Test support: every row of the catalogue tables and of the tables that
// refer to them, described with each reference followed to the row it
// names (the map of references), so that two databases that hold the same
// rows under other keys describe alike. A reference to no row reads
// "<dangling>".
#pragma once

#include <map>
#include <string>
#include <vector>

#include "engine/shared_connection.h"

namespace dravmor::testing {

// Descriptions, sorted (a multiset).
std::vector<std::string> DescribeRows(SharedConnection& connection);

// How many descriptions of `part` are missing from `whole` (as multisets),
// and a few of them.
size_t MissingFrom(const std::vector<std::string>& part, const std::vector<std::string>& whole,
                   std::string* examples);

}  // namespace dravmor::testing
