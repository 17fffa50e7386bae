// How the log-in upgrade runs its statements: all of them in one
// transaction (so the upgrade commits once), each under a savepoint of its
// own, so that a failing statement is undone alone and skipped while the
// transaction goes on (PostgreSQL refuses every later statement of a
// transaction once one failed). Every failure is kept, with its statement,
// for the caller to report. Used by one ServerForLogin on one thread.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/shared_connection.h"
#include "engine/status.h"

namespace dravmor {

// A step of the upgrade that failed and was skipped.
struct FailedStep {
  std::string statement;  // the SQL text, or what was attempted
  Status error;
};

class UpgradeSteps {
 public:
  // Opens the upgrade's transaction unless the connection has one open;
  // false when it cannot be opened (recorded; the steps then run alone).
  bool BeginTransaction(SharedConnection& connection);
  // Commits the transaction BeginTransaction opened (nothing when it joined
  // one); a failed commit is recorded and rolled back.
  void EndTransaction(SharedConnection& connection, bool opened);

  // Runs body as one step: under a savepoint when in a transaction; a
  // failure is recorded under `statement`, undone and returned.
  Status Run(SharedConnection& connection, const std::string& statement,
             const std::function<Status()>& body);
  void Record(std::string statement, Status error);

  const std::vector<FailedStep>& failures() const { return failures_; }

 private:
  std::vector<FailedStep> failures_;
};

}  // namespace dravmor
