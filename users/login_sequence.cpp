#include "users/login_sequence.h"

#include <filesystem>

#include "engine/connection_string.h"
#include "engine/events.h"
#include "users/server_for_login.h"

namespace dravmor {

namespace {

// Keeps the Accesserror a failed Connect raises.
class ConnectFailure : public EventSink {
 public:
  void OnEvent(const ServerObject&, std::string_view event, std::vector<Variant>& args) override {
    if (event != "Accesserror" || args.size() < 3) return;
    auto number = args[1].ToDouble();
    status = Status::Error(number.ok() ? static_cast<long>(*number) : 0, args[2].ToText());
  }
  Status status;
};

// The folder of an embedded database file; empty for a server connection.
std::string DatabaseFolder(const std::string& connection) {
  auto parsed = ParseConnectionString(connection);
  if (!parsed.ok() || parsed->kind != BackendKind::Sqlite) return "";
  return std::filesystem::absolute(parsed->file).parent_path().string();
}

}  // namespace

LoginResult RunLoginSequence(const std::string& connection, const LoginOptions& options) {
  LoginResult result;
  ConnectFailure failure;
  ServerForLogin login;
  login.SetEventSink(&failure);
  std::string text = connection;
  login.Connect(text);
  SharedConnection& shared = login.connection();
  if (!shared.IsOpen()) {
    result.connection = failure.status.ok()
                            ? Status::Error(ErrorCode::kConnection, "Cannot open " + connection)
                            : failure.status;
    return result;
  }
  // One transaction for both halves; the login object joins it.
  UpgradeSteps own;
  const bool opened = own.BeginTransaction(shared);
  login.SetSQLSERVER(options.sql_server);
  login.SetlvSu(options.material_family);
  login.SetAppPath(options.app_path.empty() ? DatabaseFolder(connection) : options.app_path);
  login.SetWZSB(options.create_wzsbgt);
  login.SetFSZhao(options.sales_orders);
  login.AddField();
  own.EndTransaction(shared, opened);
  result.failed_steps = login.FailedSteps();
  for (const FailedStep& step : own.failures()) result.failed_steps.push_back(step);
  return result;
}

}  // namespace dravmor
