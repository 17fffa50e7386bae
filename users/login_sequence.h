// The log-in sequence as the application's log-in screen runs it, callable
// by any front end (the driver's `init` and `upgrade` use it): open the
// database, set the dialect flag (which runs its column steps), the material
// family, the application folder and the optional-table flags, then the full
// upgrade, all in one transaction that commits once. Failing steps are
// skipped, as the upgrade always skips them, and each is returned with its
// statement and error so that the caller can show it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/status.h"
#include "users/upgrade_steps.h"

namespace dravmor {

struct LoginOptions {
  bool sql_server = false;    // the SQL Server dialect path
  int32_t material_family = 0;
  std::string app_path;       // empty: the folder of an embedded database file
  bool create_wzsbgt = true;
  bool sales_orders = true;
};

struct LoginResult {
  Status connection;  // why the database did not open (then nothing ran)
  std::vector<FailedStep> failed_steps;
  bool ok() const { return connection.ok() && failed_steps.empty(); }
};

// Binds this thread's connection to `connection` (open/keep rule) and runs
// the sequence on it.
LoginResult RunLoginSequence(const std::string& connection, const LoginOptions& options);

}  // namespace dravmor
