#include "users/upgrade_steps.h"

namespace dravmor {

namespace {
// Native statements: the dialect layer has no savepoints to translate, and
// both backends spell them alike.
constexpr const char* kSavepoint = "SAVEPOINT dravmor_upgrade_step";
constexpr const char* kRollbackTo = "ROLLBACK TO SAVEPOINT dravmor_upgrade_step";
constexpr const char* kRelease = "RELEASE SAVEPOINT dravmor_upgrade_step";
}  // namespace

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
  const bool guarded = connection.InTransaction() &&
                       connection.backend()->Execute(kSavepoint).ok();
  Status s = body();
  if (guarded) {
    if (!s.ok()) {
      connection.backend()->Execute(kRollbackTo);
      connection.SchemaChanged();  // what the step changed is undone
    }
    connection.backend()->Execute(kRelease);
  }
  if (!s.ok()) Record(statement, s);
  return s;
}

void UpgradeSteps::Record(std::string statement, Status error) {
  failures_.push_back({std::move(statement), std::move(error)});
}

}  // namespace dravmor
