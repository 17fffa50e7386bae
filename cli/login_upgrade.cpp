#include "cli/login_upgrade.h"

#include <filesystem>
#include <ostream>

#include "api/json_values.h"
#include "engine/connection_string.h"
#include "engine/events.h"
#include "engine/numeric.h"
#include "users/server_for_login.h"

namespace dravmor::cli {

using api::Line;
using api::ToJson;

namespace {

// Prints each Accesserror of the upgrade and counts them.
class FailureSink : public EventSink {
 public:
  explicit FailureSink(std::ostream& err) : err_(err) {}
  void OnEvent(const ServerObject&, std::string_view event, std::vector<Variant>& args) override {
    if (event != "Accesserror") return;
    ++failures_;
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const Variant& a : args) list.push_back(ToJson(a));
    err_ << Line({{"event", event}, {"args", list}}) << "\n";
  }
  int failures() const { return failures_; }

 private:
  std::ostream& err_;
  int failures_ = 0;
};

Result<bool> ParseFlag(const std::string& option, const std::string& value) {
  if (value == "1" || value == "true" || value == "yes") return true;
  if (value == "0" || value == "false" || value == "no") return false;
  return Status::Error(ErrorCode::kBadArgument, option + " takes 1 or 0, not '" + value + "'");
}

// The folder of an embedded database file; empty for a server connection.
std::string DatabaseFolder(const std::string& connection) {
  auto parsed = ParseConnectionString(connection);
  if (!parsed.ok() || parsed->kind != BackendKind::Sqlite) return "";
  std::filesystem::path file = std::filesystem::absolute(parsed->file);
  return file.parent_path().string();
}

}  // namespace

Result<UpgradeOptions> ParseUpgradeOptions(const std::vector<std::string>& options) {
  UpgradeOptions parsed;
  for (size_t i = 0; i < options.size(); ++i) {
    const std::string& option = options[i];
    if (option == "--sqlserver") {
      parsed.sql_server = true;
      continue;
    }
    if (i + 1 >= options.size())
      return Status::Error(ErrorCode::kBadArgument, "unknown option or missing value: " + option);
    const std::string& value = options[++i];
    if (option == "--app-path") {
      parsed.app_path = value;
    } else if (option == "--lvsu") {
      auto number = ParseNumber(value);
          if (!number || *number != static_cast<int32_t>(*number))
        return Status::Error(ErrorCode::kBadArgument, "--lvsu takes a whole number, not '" + value + "'");
      parsed.material_family = static_cast<int32_t>(*number);
    } else if (option == "--wzsb" || option == "--fszhao") {
      auto flag = ParseFlag(option, value);
      if (!flag.ok()) return flag.status();
      (option == "--wzsb" ? parsed.create_wzsbgt : parsed.sales_orders) = *flag;
    } else {
      return Status::Error(ErrorCode::kBadArgument, "unknown option: " + option);
    }
  }
  return parsed;
}

int RunLoginUpgrade(const std::string& connection, const UpgradeOptions& options,
                    std::ostream& err) {
  FailureSink sink(err);
  ServerForLogin login;
  login.SetEventSink(&sink);
  std::string text = connection;
  login.Connect(text);
  if (!login.connection().IsOpen()) return sink.failures();  // nothing to upgrade
  login.SetSQLSERVER(options.sql_server);
  login.SetlvSu(options.material_family);
  login.SetAppPath(options.app_path.empty() ? DatabaseFolder(connection) : options.app_path);
  login.SetWZSB(options.create_wzsbgt);
  login.SetFSZhao(options.sales_orders);
  login.AddField();
  return sink.failures();
}

}  // namespace dravmor::cli
