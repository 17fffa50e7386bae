// The driver's commands, each returning the process exit code: 0 done,
// 1 failed, 2 a usage error (named in the message), 3 a script that ran
// but whose methods reported failures through Accesserror.
//   [--settings FILE]               the settings store file to use
//   init FILE [options]             a new database: the shipped schema, then
//                                   the log-in upgrade (see login_upgrade.h)
//   upgrade CONNECTION [options]    the log-in upgrade on an existing database
//   sql CONNECTION "TEXT"|- [--sqlserver]   one statement through the engine
//   run CONNECTION SCRIPT.json|-    a script of calls (see script_runner.h)
//   serve CONNECTION                a live session, JSON-RPC 2.0 on stdin/stdout
//   classes [--json]                every class, method, event, form control
//   export, import, import-csv      the data exchange (exchange_commands.h)
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace dravmor::cli {

int RunCommand(std::vector<std::string> args, std::istream& in, std::ostream& out,
               std::ostream& err);

}  // namespace dravmor::cli
