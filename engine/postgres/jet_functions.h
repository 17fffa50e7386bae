// The SQL script that gives translated Jet and SQL Server texts their
// meaning on PostgreSQL: VAL, LEN, MID, IsNull, NZ, IIf, UCASE, CStr, CInt, CDate,
// JET_CONCAT, JET_IDIV, ... with the results the SQLite backend's functions
// give. Run it once per database (it is idempotent); when
// dravmor_functions_version() returns kJetFunctionsVersion the database
// already has this version and the script can be skipped. The script starts
// with CREATE EXTENSION IF NOT EXISTS citext.
#pragma once

#include <string_view>

namespace dravmor {

// What dravmor_functions_version() returns once the script has run.
constexpr int kJetFunctionsVersion = 4;

// The whole script, several statements, as one text for PQexec.
std::string_view JetFunctionsSql();

}  // namespace dravmor
