// What `dravmor classes` prints: every class with its methods (parameters,
// result, error mode, the form controls read) and events, as text for people
// or as one JSON document for programs.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace dravmor::cli {

std::string ClassesText();
// {"version","classes":[{"name","methods":[{"name","params":[{"name","type",
//  "byref","optional","default"}],"result","error_mode","form":[{"control",
//  "index","property","per_item","feeds"}]}],"events":[{"name","id","params"}]}]}
nlohmann::ordered_json ClassesJson();

}  // namespace dravmor::cli
