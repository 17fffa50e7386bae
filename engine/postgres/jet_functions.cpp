#include "engine/postgres/jet_functions.h"

namespace dravmor {

// Compiled in from jet_functions.sql by the build.
extern const std::string_view kJetFunctionsText;

std::string_view JetFunctionsSql() { return kJetFunctionsText; }

}  // namespace dravmor
