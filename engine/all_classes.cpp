// The library's classes, in the order `dravmor classes` lists them. A new
// class adds one line here.
#include "engine/dispatch.h"
#include "suppliers/server_for_factory.h"

namespace dravmor {

void RegisterAllClasses(ClassRegistry& registry) {
  registry.Add(ServerForFactory::Describe());
}

}  // namespace dravmor
