// Variants in and out of JSON, for the driver and the live session. Two
// styles: Plain (what `dravmor run` prints: a Recordset as
// {"fields":[names],"rows":[[values]]}) and Typed (what a live session
// sends: each field as {"name","type"} with the Recordset's type number).
// In both a Date is "YYYY-MM-DD HH:MM:SS", a tree its nested nodes, and a
// Currency keeps its exact decimal digits (a number; a text only where a
// JSON reader's double could not hold them).
#pragma once

#include <nlohmann/json.hpp>

#include "engine/recordset.h"
#include "engine/status.h"
#include "engine/variant.h"

namespace dravmor::api {

enum class JsonStyle { Plain, Typed };

nlohmann::ordered_json ToJson(const Variant& value, JsonStyle style = JsonStyle::Plain);
nlohmann::ordered_json RecordsetToJson(const Recordset& rs, JsonStyle style = JsonStyle::Plain);
// A JSON scalar as the Variant a caller would pass: whole numbers that fit
// a Long become Long, other numbers Double, null becomes Null. An array or
// an object is no argument value (13, type mismatch).
Result<Variant> FromJson(const nlohmann::ordered_json& value);
// Parses a JSON text; the failure names the line and column where it is not
// JSON (13).
Result<nlohmann::ordered_json> ParseJson(std::string_view text);
// One output line, non-ASCII text kept as it is.
std::string Line(const nlohmann::ordered_json& value);

}  // namespace dravmor::api
