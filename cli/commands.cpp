#include "cli/commands.h"

#include <fstream>
#include <ostream>
#include <sstream>

#include "cli/exchange_commands.h"
#include "cli/json_values.h"
#include "cli/login_upgrade.h"
#include "cli/script_runner.h"
#include "engine/dispatch.h"
#include "engine/schema/shipped_schema.h"
#include "engine/settings_store.h"
#include "engine/shared_connection.h"
#include "engine/text.h"

namespace dravmor::cli {

namespace {

constexpr const char* kUsage =
    "usage: dravmor [--settings FILE] COMMAND ...\n"
    "       dravmor init FILE [UPGRADE OPTIONS]\n"
    "       dravmor upgrade CONNECTION [UPGRADE OPTIONS]\n"
    "       dravmor sql CONNECTION \"SQL\" [--sqlserver]\n"
    "       dravmor run CONNECTION SCRIPT.json\n"
    "       dravmor classes\n"
    "       dravmor export CONNECTION FACTORY_ID DIR [--series ID,ID...]\n"
    "       dravmor import CONNECTION PACKAGE\n"
    "       dravmor import-csv CONNECTION xc|pj FILE...\n"
    "upgrade options: --sqlserver  --lvsu N  --app-path DIR  --wzsb 1|0  --fszhao 1|0\n";

int Fail(std::ostream& err, const Status& status) {
  err << "error " << status.number() << ": " << status.text() << "\n";
  return 1;
}

// The log-in upgrade on an open database; prints the summary line.
int Upgrade(const std::string& connection, const std::vector<std::string>& option_args,
            std::ostream& out, std::ostream& err) {
  auto options = ParseUpgradeOptions(option_args);
  if (!options.ok()) return Fail(err, options.status());
  int failed = RunLoginUpgrade(connection, *options, err);
  if (failed < 0) return 1;  // the database did not open: said on err
  auto tables = SharedConnection::ForThisThread()->TableNames();
  out << Line({{"ok", failed == 0}, {"database", connection},
               {"tables", tables.ok() ? tables->size() : 0}, {"failed_steps", failed}})
      << "\n";
  return failed == 0 ? 0 : 1;
}

int Init(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() < 2) return err << kUsage, 2;
  std::vector<std::string> options(args.begin() + 2, args.end());
  if (auto parsed = ParseUpgradeOptions(options); !parsed.ok()) return Fail(err, parsed.status());
  if (Status s = CreateShippedDatabase(args[1]); !s.ok()) return Fail(err, s);
  return Upgrade(args[1], options, out, err);
}

int UpgradeCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() < 2) return err << kUsage, 2;
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

int Sql(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() < 3 || args.size() > 4 || (args.size() == 4 && args[3] != "--sqlserver"))
    return err << kUsage, 2;
  auto source = args.size() == 4 ? dialect::Source::SqlServer : dialect::Source::Jet;
  auto connection = SharedConnection::ForThisThread();
  if (Status s = connection->Bind(args[1]); !s.ok()) return Fail(err, s);
  if (IsQuery(args[2])) {
    auto rows = connection->Query(args[2], source);
    if (!rows.ok()) return Fail(err, rows.status());
    out << Line(RecordsetToJson(Recordset(std::move(*rows)))) << "\n";
  } else {
    if (Status s = connection->Execute(args[2], source); !s.ok()) return Fail(err, s);
    out << Line({{"ok", true}}) << "\n";
  }
  return 0;
}

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 3) return err << kUsage, 2;
  std::ifstream file(args[2]);
  if (!file) return Fail(err, Status::Error(ErrorCode::kFileNotFound, "File not found: " + args[2]));
  nlohmann::ordered_json script = nlohmann::ordered_json::parse(file, nullptr, /*allow_exceptions=*/false);
  if (script.is_discarded())
    return Fail(err, Status::Error(ErrorCode::kBadArgument, "Not valid JSON: " + args[2]));
  ScriptResult result = RunScript(script, args[1], out);
  if (!result.status.ok()) return Fail(err, result.status);
  return result.call_errors == 0 ? 0 : 1;
}

std::string Signature(const std::vector<ParamInfo>& params) {
  std::string text = "(";
  for (size_t i = 0; i < params.size(); ++i) {
    const ParamInfo& p = params[i];
    if (i) text += ", ";
    if (p.default_value) text += "Optional ";
    text += p.by_ref ? "ByRef " : "";
    text += p.name + " As " +
            std::string(p.type == kVariant ? "Variant" : VarTypeName(p.type));
    if (p.default_value && !p.default_value->IsEmpty())
      text += " = " + (p.default_value->type() == VarType::String
                           ? "\"" + p.default_value->ToText() + "\""
                           : p.default_value->ToText());
  }
  return text + ")";
}

int Classes(std::ostream& out) {
  for (const ClassInfo& c : ClassRegistry::Instance().All()) {
    out << c.name << "\n";
    for (const MethodInfo& m : c.methods) out << "  " << m.name << Signature(m.params) << "\n";
    for (const EventInfo& e : c.events)
      out << "  event " << e.name << Signature(e.params) << " [" << e.dispatch_id << "]\n";
  }
  return 0;
}

}  // namespace

int RunCommand(std::vector<std::string> args, std::ostream& out, std::ostream& err) {
  // --settings FILE before the command points the settings store elsewhere.
  if (args.size() >= 2 && args[0] == "--settings") {
    UseSettings(std::make_shared<FileSettingsStore>(args[1]));
    args.erase(args.begin(), args.begin() + 2);
  }
  if (args.empty()) return err << kUsage, 2;
  const std::string& command = args[0];
  if (command == "init") return Init(args, out, err);
  if (command == "upgrade") return UpgradeCommand(args, out, err);
  if (command == "sql") return Sql(args, out, err);
  if (command == "run") return Run(args, out, err);
  if (command == "classes") return Classes(out);
  if (command == "export") return ExportCommand(args, out, err);
  if (command == "import") return ImportCommand(args, out, err);
  if (command == "import-csv") return ImportCsvCommand(args, out, err);
  err << kUsage;
  return 2;
}

}  // namespace dravmor::cli
