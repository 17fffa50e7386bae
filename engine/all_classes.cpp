// The library's classes, in the order `dravmor classes` lists them. A new
// class adds one line here.
#include "customers/server_for_ke_hu.h"
#include "engine/dispatch.h"
#include "formulas/server_for_formula_dan_yuan.h"
#include "formulas/server_for_lei_bie.h"
#include "series/server_for_xi_lie.h"
#include "suppliers/server_for_factory.h"
#include "users/server_for_cao_zuo_yuan.h"
#include "users/server_for_login.h"

namespace dravmor {

void RegisterAllClasses(ClassRegistry& registry) {
  registry.Add(ServerForKeHu::Describe());
  registry.Add(ServerForFactory::Describe());
  registry.Add(ServerForXiLie::Describe());
  registry.Add(ServerForLeiBie::Describe());
  registry.Add(ServerForFormulaDanYuan::Describe());
  registry.Add(ServerForCaoZuoYuan::Describe());
  registry.Add(ServerForLogin::Describe());
}

}  // namespace dravmor
