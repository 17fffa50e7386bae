// The log-in sequence as the driver runs it: the dialect flag with its
// column steps, the material family, then the full upgrade. `init` runs it on
// a new shipped database, `upgrade` on an existing one.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "engine/status.h"

namespace dravmor::cli {

struct UpgradeOptions {
  bool sql_server = false;
  int32_t material_family = 0;
  std::string app_path;  // empty: the database file's folder
  bool create_wzsbgt = true;
  bool sales_orders = true;
};

// Reads the options that follow the command's fixed arguments; an unknown
// option or a bad value is an error naming it.
Result<UpgradeOptions> ParseUpgradeOptions(const std::vector<std::string>& options);

// Runs the sequence; each failed step is one JSON line on err (the upgrade
// skips it and goes on). Returns the number of failed steps.
int RunLoginUpgrade(const std::string& connection, const UpgradeOptions& options,
                    std::ostream& err);

}  // namespace dravmor::cli
