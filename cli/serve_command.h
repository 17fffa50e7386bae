// dravmor serve CONNECTION: a live session (api/rpc_session.h) on standard
// input and output, one JSON object per line, each line flushed as it is
// written. Runs until standard input ends; 1 when the database cannot be
// opened.
#pragma once

#include <iosfwd>
#include <string>

namespace dravmor::cli {

int Serve(const std::string& connection, std::istream& in, std::ostream& out,
          std::ostream& err);

}  // namespace dravmor::cli
