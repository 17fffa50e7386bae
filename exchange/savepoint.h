// A savepoint within the open transaction, so that a refused batch of
// rows can be undone alone (on a server a failed statement spoils the
// whole transaction otherwise). The statements are spelt alike on every
// backend and go to it as they stand.
#pragma once

#include <string>

#include "engine/shared_connection.h"

namespace dravmor {

class Savepoint {
 public:
  Savepoint(SharedConnection& connection, std::string name)
      : connection_(connection), name_(std::move(name)) {}
  Status Begin() { return Run("SAVEPOINT " + name_); }
  Status Release() { return Run("RELEASE SAVEPOINT " + name_); }
  // Back to where Begin was, and the savepoint let go.
  Status Undo() {
    if (Status s = Run("ROLLBACK TO SAVEPOINT " + name_); !s.ok()) return s;
    return Release();
  }

 private:
  Status Run(const std::string& statement) {
    if (!connection_.backend())
      return Status::Error(ErrorCode::kNotOpen, "Operation is not allowed when the object is closed.");
    return connection_.backend()->Execute(statement);
  }
  SharedConnection& connection_;
  std::string name_;
};

}  // namespace dravmor
