// Connections a thread keeps beside its SharedConnection, one per
// connection string, for the operations that must write through a
// connection of their own to a database their caller names. The first use
// of a string on a thread opens one; later uses on that thread get the
// same one back, after a check that it still works (a server connection
// that was cut, a database file that was replaced) and a fresh one
// otherwise. They are closed when the thread ends. None of them is ever
// the thread's SharedConnection, even for the same string.
#pragma once

#include <memory>
#include <string>

#include "engine/shared_connection.h"
#include "engine/status.h"

namespace dravmor {

class KeptConnections {
 public:
  // The thread's open connection for the string.
  static Result<std::shared_ptr<SharedConnection>> ForThisThread(
      const std::string& connection_string);
};

}  // namespace dravmor
