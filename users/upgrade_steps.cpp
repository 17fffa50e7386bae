#include "users/upgrade_steps.h"

namespace dravmor {

bool UpgradeSteps::BeginTransaction(SharedConnection& connection) {
  if (!connection.IsOpen() || connection.InTransaction()) return false;
  Status s = connection.Begin();
  if (!s.ok()) Record("BEGIN", s);
  return s.ok();
}

void UpgradeSteps::EndTransaction(SharedConnection& connection, bool opened) {
  if (!opened || !connection.InTransaction()) return;
  Status s = connection.Commit();
  if (s.ok()) return;
  Record("COMMIT", s);
  connection.Rollback();
}

Status UpgradeSteps::Run(SharedConnection& connection, const std::string& statement,
                         const std::function<Status()>& body) {
  // A Begin inside the transaction is a savepoint: the step is undone
  // alone, and the connection forgets what it knew of a schema it changed.
  const bool guarded = connection.InTransaction() && connection.Begin().ok();
  Status s = body();
  if (guarded) {
    if (s.ok()) s = connection.Commit();
    else connection.Rollback();
  }
  if (!s.ok()) Record(statement, s);
  return s;
}

void UpgradeSteps::Record(std::string statement, Status error) {
  failures_.push_back({std::move(statement), std::move(error)});
}

}  // namespace dravmor
