// The driver's commands, each returning the process exit code:
//   [--settings FILE]               the settings store file to use
//   init FILE [options]             a new database: the shipped schema, then
//                                   the log-in upgrade (see login_upgrade.h)
//   upgrade CONNECTION [options]    the log-in upgrade on an existing database
//   sql CONNECTION "TEXT" [--sqlserver]   one statement through the engine
//   run CONNECTION SCRIPT.json      a script of calls (see script_runner.h)
//   classes                         every class, its methods and events
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace dravmor::cli {

int RunCommand(std::vector<std::string> args, std::ostream& out, std::ostream& err);

}  // namespace dravmor::cli
