// The driver's commands, each returning the process exit code:
//   init FILE                       a new database with the shipped schema
//   sql CONNECTION "TEXT" [--sqlserver]   one statement through the engine
//   run CONNECTION SCRIPT.json      a script of calls (see script_runner.h)
//   classes                         every class, its methods and events
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace dravmor::cli {

int RunCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace dravmor::cli
