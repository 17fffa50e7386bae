// Every server class of the library, by name: the one list above the class
// folders, in the order `dravmor classes` shows them. The engine's dispatch
// layer knows no class; callers that reach classes by name start here.
#pragma once

#include "engine/dispatch.h"

namespace dravmor {

const ClassRegistry& AllClasses();

}  // namespace dravmor
