// Variants in and out of JSON for the driver: a Recordset prints as
// {"fields":[names],"rows":[[values]]}, a tree as its nested nodes, a Date
// as "YYYY-MM-DD HH:MM:SS", Currency as a number with up to four decimals.
#pragma once

#include <nlohmann/json.hpp>

#include "engine/recordset.h"
#include "engine/variant.h"

namespace dravmor::cli {

nlohmann::ordered_json ToJson(const Variant& value);
nlohmann::ordered_json RecordsetToJson(const Recordset& rs);
// JSON scalars as the Variants a caller would pass: whole numbers that fit
// a Long become Long, other numbers Double, null becomes Null.
Variant FromJson(const nlohmann::ordered_json& value);
// One output line, non-ASCII text kept as it is.
std::string Line(const nlohmann::ordered_json& value);

}  // namespace dravmor::cli
