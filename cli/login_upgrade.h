// The driver's side of the log-in sequence (users/login_sequence.h): its
// options as `init` and `upgrade` take them, and the report of what failed.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "engine/status.h"
#include "users/login_sequence.h"

namespace dravmor::cli {

// Reads the options that follow the command's fixed arguments; an unknown
// option or a bad value is an error naming it.
Result<LoginOptions> ParseUpgradeOptions(const std::vector<std::string>& options);

// Runs the sequence; a database that does not open, and each failed step
// (its statement and error), is one JSON line on err. Returns the number of
// failed steps, or -1 when the database did not open.
int RunLoginUpgrade(const std::string& connection, const LoginOptions& options,
                    std::ostream& err);

}  // namespace dravmor::cli
