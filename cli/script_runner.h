// Runs a JSON script of calls through the dispatch tables. A script is an
// array of steps:
//   {"new":"f","class":"ServerForFactory"}
//   {"call":"f.GetFactory","args":["",2,2]}
//   {"call":"f.AddFactory","args":["$form",0],"form":{"txtfactoryinfo[0].Text":"A1"}}
// "$form" stands for the step's form (and a missing or null Object argument
// takes it too), "$tree" for a new tree control, printed after the call.
// Connect always gets the connection given to the driver. Output is one
// JSON line per event, per return value and per call error.
#pragma once

#include <iosfwd>
#include <string>

#include <nlohmann/json.hpp>

#include "engine/status.h"

namespace dravmor::cli {

struct ScriptResult {
  Status status;       // the script itself could not run (bad step)
  int call_errors = 0; // calls whose failure reached the caller
};

ScriptResult RunScript(const nlohmann::ordered_json& script, const std::string& connection,
                       std::ostream& out);

}  // namespace dravmor::cli
