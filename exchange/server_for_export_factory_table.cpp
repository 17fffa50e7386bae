// The dispatch table of ServerForExportFactory.
#include "engine/bind_method.h"
#include "exchange/server_for_export_factory.h"

namespace dravmor {

ClassInfo ServerForExportFactory::Describe() {
  using C = ServerForExportFactory;
  using V = VarType;
  ClassInfo c;
  c.name = "ServerForExportFactory";
  c.create = [] { return std::make_unique<ServerForExportFactory>(); };
  c.methods = {
      Bind("SetPath", &C::SetPath, {In("strPath", V::String)}),
      Bind("Connect", &C::Connect, {Ref("strConnection", V::String)}),
      Bind("ExportFactory", &C::ExportFactory, {In("frm", V::Object)}),
      Bind("SetAppPath", &C::SetAppPath, {In("strPT", V::String)}),
  };
  c.events = {
      AccessErrorEvent(),
      {"Ok", 2, {In("strStatus", V::String), In("intPrograss", V::Integer)}},
  };
  // The export form.
  const std::vector<FormControlInfo> exported = {
      Control("lstfac", {}, "ListIndex", "the selected entry of lstfac"),
      Control("lstfac", {}, "ItemData", "the factory exported", true),
      Control("lstxilie", {}, "ListCount", "the series exported"),
      Control("lstxilie", {}, "Selected", "the series exported", true),
      Control("lstxilie", {}, "ItemData", "the series exported", true)};
  c.SetForm("ExportFactory", exported);
  // Error modes other than handler; setters, which cannot fail, are none.
  c.SetErrorMode(ErrorMode::None, {"SetPath", "SetAppPath"});
  return c;
}

}  // namespace dravmor
