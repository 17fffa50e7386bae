// The dispatch table of ServerForImport.
#include "engine/bind_method.h"
#include "exchange/server_for_import.h"

namespace dravmor {

ClassInfo ServerForImport::Describe() {
  using C = ServerForImport;
  using V = VarType;
  ClassInfo c;
  c.name = "ServerForImport";
  c.create = [] { return std::make_unique<ServerForImport>(); };
  c.methods = {
      Bind("SetPath", &C::SetPath, {In("strPathA", V::String)}),
      Bind("Connect", &C::Connect, {Ref("strConnection", V::String)}),
      Bind("ImportXc", &C::ImportXc, {In("strFileName", V::String)}),
      Bind("ImportPJ", &C::ImportPJ, {In("strFileName", V::String)}),
  };
  c.events = {
      AccessErrorEvent(),
      {"Ok", 2, {In("strStatus", V::String), In("intPrograss", V::Integer)}},
      {"Msg", 3, {In("strMsg", V::String)}},
  };
  // Error modes other than handler; setters, which cannot fail, are none.
  c.SetErrorMode(ErrorMode::ResumeNext, {"ImportXc", "ImportPJ"});
  return c;
}

}  // namespace dravmor
