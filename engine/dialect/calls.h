// Function calls whose meaning differs between the source and the target:
// SQL Server's CONVERT, CAST, LEN and CHARINDEX, argument counts of IsNull
// and ISNULL, Jet's Left$-style names. Internal to the dialect layer.
#pragma once

#include "engine/dialect/passes.h"

namespace dravmor::dialect {

struct CallRewrite {
  bool changed = false;
  Nodes replacement;  // name and argument group, when changed
  Hints hints;        // what the call returns
};

// `name` is the called word or quoted name, `args` the group after it
// (already rewritten inside).
Result<CallRewrite> RewriteCall(const Node& name, const Node& args, const Context& ctx);

// The arguments of a call group, split at its commas, blanks at both ends
// of each argument removed.
std::vector<Nodes> SplitArguments(const Node& args);

}  // namespace dravmor::dialect
