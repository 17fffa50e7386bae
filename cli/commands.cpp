#include "cli/commands.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "api/json_values.h"
#include "cli/class_listing.h"
#include "cli/exchange_commands.h"
#include "cli/login_upgrade.h"
#include "cli/script_runner.h"
#include "cli/serve_command.h"
#include "engine/schema/shipped_schema.h"
#include "engine/settings_store.h"
#include "engine/shared_connection.h"
#include "engine/text.h"

namespace dravmor::cli {

using api::Line;
using api::RecordsetToJson;

namespace {

constexpr const char* kVersion = "dravmor 2.0.0\n";

constexpr const char* kUsage =
    "usage: dravmor [--settings FILE] COMMAND ...\n"
    "       dravmor init FILE [UPGRADE OPTIONS]\n"
    "       dravmor upgrade CONNECTION [UPGRADE OPTIONS]\n"
    "       dravmor sql CONNECTION \"SQL\"|- [--sqlserver]\n"
    "       dravmor run CONNECTION SCRIPT.json|-\n"
    "       dravmor serve CONNECTION\n"
    "       dravmor classes [--json]\n"
    "       dravmor export CONNECTION FACTORY_ID DIR [--series ID,ID...]\n"
    "       dravmor import CONNECTION PACKAGE\n"
    "       dravmor import-csv CONNECTION xc|pj FILE...\n"
    "       dravmor --help | --version\n"
    "upgrade options: --sqlserver  --lvsu N  --app-path DIR  --wzsb 1|0  --fszhao 1|0\n"
    "\"-\" reads the script or statement from standard input.\n"
    "exit codes: 0 done, 1 failed, 2 usage error, 3 (run) methods reported failures\n";

constexpr int kUsageError = 2;
constexpr int kReportedFailures = 3;

int Fail(std::ostream& err, const Status& status) {
  err << "error " << status.number() << ": " << status.text() << "\n";
  return 1;
}

int Usage(std::ostream& err, const std::string& why) {
  err << "dravmor: " << why << "\n" << kUsage;
  return kUsageError;
}

// A file's text, or standard input's for "-".
Result<std::string> ReadSource(const std::string& path, std::istream& in) {
  if (path == "-") return std::string(std::istreambuf_iterator<char>(in), {});
  std::ifstream file(path, std::ios::binary);
  if (!file) return Status::Error(ErrorCode::kFileNotFound, "File not found: " + path);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

// The log-in upgrade on an open database; prints the summary line.
int Upgrade(const std::string& connection, const std::vector<std::string>& option_args,
            std::ostream& out, std::ostream& err) {
  auto options = ParseUpgradeOptions(option_args);
  if (!options.ok()) return Usage(err, options.status().text());
  int failed = RunLoginUpgrade(connection, *options, err);
  if (failed < 0) return 1;  // the database did not open: said on err
  auto tables = SharedConnection::ForThisThread()->TableNames();
  out << Line({{"ok", failed == 0}, {"database", connection},
               {"tables", tables.ok() ? tables->size() : 0}, {"failed_steps", failed}})
      << "\n";
  return failed == 0 ? 0 : 1;
}

int Init(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() < 2) return Usage(err, "init: expected FILE");
  std::vector<std::string> options(args.begin() + 2, args.end());
  if (auto parsed = ParseUpgradeOptions(options); !parsed.ok())
    return Usage(err, parsed.status().text());
  if (Status s = CreateShippedDatabase(args[1]); !s.ok()) return Fail(err, s);
  return Upgrade(args[1], options, out, err);
}

int UpgradeCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() < 2) return Usage(err, "upgrade: expected CONNECTION");
  auto connection = SharedConnection::ForThisThread();
  if (Status s = connection->Bind(args[1]); !s.ok()) return Fail(err, s);
  return Upgrade(args[1], std::vector<std::string>(args.begin() + 2, args.end()), out, err);
}

// True when the statement's first word is SELECT (a leading parenthesis
// allowed), so that it has rows to print.
bool IsQuery(const std::string& sql) {
  size_t i = sql.find_first_not_of(" \t\r\n(");
  return i != std::string::npos && EqualsIgnoreCase(sql.substr(i, 6), "select");
}

int Sql(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
        std::ostream& err) {
  if (args.size() < 3 || args.size() > 4) return Usage(err, "sql: expected CONNECTION \"SQL\"");
  if (args.size() == 4 && args[3] != "--sqlserver")
    return Usage(err, "sql: unknown option '" + args[3] + "'");
  auto source = args.size() == 4 ? dialect::Source::SqlServer : dialect::Source::Jet;
  std::string sql = args[2];
  if (sql == "-") {
    sql.assign(std::istreambuf_iterator<char>(in), {});
    while (!sql.empty() && (sql.back() == '\n' || sql.back() == '\r' || sql.back() == ';'))
      sql.pop_back();
  }
  auto connection = SharedConnection::ForThisThread();
  if (Status s = connection->Bind(args[1]); !s.ok()) return Fail(err, s);
  if (IsQuery(sql)) {
    auto rows = connection->Query(sql, source);
    if (!rows.ok()) return Fail(err, rows.status());
    out << Line(RecordsetToJson(Recordset(std::move(*rows)))) << "\n";
  } else {
    if (Status s = connection->Execute(sql, source); !s.ok()) return Fail(err, s);
    out << Line({{"ok", true}}) << "\n";
  }
  return 0;
}

int Run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
        std::ostream& err) {
  if (args.size() != 3) return Usage(err, "run: expected CONNECTION SCRIPT.json");
  auto text = ReadSource(args[2], in);
  if (!text.ok()) return Fail(err, text.status());
  auto script = api::ParseJson(*text);
  if (!script.ok())
    return Fail(err, Status::Error(script.status().number(),
                                   (args[2] == "-" ? "standard input" : args[2]) + ": " +
                                       script.status().text()));
  ScriptResult result = RunScript(*script, args[1], out);
  if (!result.status.ok()) return Fail(err, result.status);
  if (result.call_errors) return 1;
  if (result.access_errors) {
    err << "dravmor: " << result.access_errors << " failure(s) reported through Accesserror\n";
    return kReportedFailures;
  }
  return 0;
}

int Classes(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() > 2) return Usage(err, "classes: expected at most --json");
  if (args.size() == 2 && args[1] != "--json")
    return Usage(err, "classes: unknown option '" + args[1] + "'");
  if (args.size() == 2)
    out << ClassesJson().dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
        << "\n";
  else
    out << ClassesText();
  return 0;
}

bool IsHelp(const std::string& arg) { return arg == "--help" || arg == "-h" || arg == "help"; }

}  // namespace

int RunCommand(std::vector<std::string> args, std::istream& in, std::ostream& out,
               std::ostream& err) {
  // --settings FILE before the command points the settings store elsewhere.
  if (!args.empty() && args[0] == "--settings") {
    if (args.size() < 2) return Usage(err, "--settings expects a FILE");
    UseSettings(std::make_shared<FileSettingsStore>(args[1]));
    args.erase(args.begin(), args.begin() + 2);
  }
  if (args.empty()) return Usage(err, "no command given");
  const std::string& command = args[0];
  if (IsHelp(command) || (args.size() == 2 && IsHelp(args[1]))) return out << kUsage, 0;
  if (command == "--version") return out << kVersion, 0;
  if (command == "init") return Init(args, out, err);
  if (command == "upgrade") return UpgradeCommand(args, out, err);
  if (command == "sql") return Sql(args, in, out, err);
  if (command == "run") return Run(args, in, out, err);
  if (command == "serve") {
    if (args.size() != 2) return Usage(err, "serve: expected CONNECTION");
    return Serve(args[1], in, out, err);
  }
  if (command == "classes") return Classes(args, out, err);
  if (command == "export") return ExportCommand(args, out, err);
  if (command == "import") return ImportCommand(args, out, err);
  if (command == "import-csv") return ImportCsvCommand(args, out, err);
  if (command.starts_with("-")) return Usage(err, "unknown option '" + command + "'");
  return Usage(err, "unknown command '" + command + "'");
}

}  // namespace dravmor::cli
