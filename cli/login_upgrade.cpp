#include "cli/login_upgrade.h"

#include <ostream>

#include "api/json_values.h"
#include "engine/numeric.h"

namespace dravmor::cli {

using api::Line;
using api::ToJson;

namespace {

Result<bool> ParseFlag(const std::string& option, const std::string& value) {
  if (value == "1" || value == "true" || value == "yes") return true;
  if (value == "0" || value == "false" || value == "no") return false;
  return Status::Error(ErrorCode::kBadArgument, option + " takes 1 or 0, not '" + value + "'");
}

nlohmann::ordered_json ErrorJson(const Status& status) {
  return {{"number", status.number()}, {"text", status.text()}};
}

}  // namespace

Result<LoginOptions> ParseUpgradeOptions(const std::vector<std::string>& options) {
  LoginOptions parsed;
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

int RunLoginUpgrade(const std::string& connection, const LoginOptions& options,
                    std::ostream& err) {
  LoginResult result = RunLoginSequence(connection, options);
  if (!result.connection.ok()) {
    err << Line({{"connect", connection}, {"error", ErrorJson(result.connection)}}) << "\n";
    return -1;
  }
  for (const FailedStep& step : result.failed_steps)
    err << Line({{"failed_step", step.statement}, {"error", ErrorJson(step.error)}}) << "\n";
  return static_cast<int>(result.failed_steps.size());
}

}  // namespace dravmor::cli
