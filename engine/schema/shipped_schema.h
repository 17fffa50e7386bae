// The database the application ships: every table the server classes read
// or change that the log-in upgrade does not create, kept as one Jet-dialect
// script and run statement by statement through the dialect layer.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/shared_connection.h"
#include "engine/status.h"

namespace dravmor {

extern const std::string_view kShippedSchemaText;

// The script's statements, comments and blank lines removed.
std::vector<std::string> ShippedSchemaStatements();

// Runs the script on an open, empty database in one transaction.
Status CreateShippedSchema(SharedConnection& connection);

// Creates a new database file (which must not exist yet) holding the
// shipped schema, and makes it this thread's connection. For a server
// connection string the database must exist and have no tables yet.
Status CreateShippedDatabase(const std::string& file);

}  // namespace dravmor
