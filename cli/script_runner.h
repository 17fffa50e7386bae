// `dravmor run`: a JSON script, an array of steps (see api/object_session.h),
// run in order on one session. Output is one JSON line per event, prompt,
// return value, filled tree and call error, written as it happens. A failed
// Connect ends the script: nothing after it could reach the database.
#pragma once

#include <iosfwd>
#include <string>

#include <nlohmann/json.hpp>

#include "engine/status.h"

namespace dravmor::cli {

struct ScriptResult {
  Status status;          // the script could not run on (bad step, failed Connect)
  int call_errors = 0;    // calls whose failure reached the caller
  int access_errors = 0;  // failures the methods reported through Accesserror
};

ScriptResult RunScript(const nlohmann::ordered_json& script, const std::string& connection,
                       std::ostream& out);

}  // namespace dravmor::cli
