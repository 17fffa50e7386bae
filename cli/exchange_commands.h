// Driver commands of the data exchange: a factory's package written and
// read, and the suppliers' price lists, with a progress bar on stderr.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace dravmor::cli {

// dravmor export CONNECTION FACTORY_ID DIR [--series ID,ID...]
int ExportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// dravmor import CONNECTION PACKAGE
int ImportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// dravmor import-csv CONNECTION xc|pj FILE...
int ImportCsvCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace dravmor::cli
