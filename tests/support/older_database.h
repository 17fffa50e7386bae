// Test support: a database as an early installation left it
// (tests/data/older_schema.sql: base tables without the upgrade's columns, a
// few upgrade tables at an early level, the rest missing), made at a
// connection string from NewDatabase and bound as this thread's connection.
#pragma once

#include <string>

#include "engine/status.h"

namespace dravmor::testing {

Status CreateOlderDatabase(const std::string& connection_string);

}  // namespace dravmor::testing
