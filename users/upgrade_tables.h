// The CREATE TABLE statements of the tables the log-in upgrade creates when
// they are missing, exactly as the upgrade runs them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace dravmor {

struct UpgradeTable {
  const char* name;
  const char* statement;
};

const std::vector<UpgradeTable>& UpgradeTables();
// The statement that creates the named table; empty when it is not one.
std::string UpgradeTableStatement(std::string_view name);

}  // namespace dravmor
