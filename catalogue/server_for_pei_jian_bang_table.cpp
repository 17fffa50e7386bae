// The dispatch table of ServerForPeiJianBang: methods in interface-slot order.
#include "catalogue/server_for_pei_jian_bang.h"
#include "engine/bind_method.h"

namespace dravmor {

ClassInfo ServerForPeiJianBang::Describe() {
  using C = ServerForPeiJianBang;
  using V = VarType;
  ClassInfo c;
  c.name = "ServerForPeiJianBang";
  c.create = [] { return std::make_unique<ServerForPeiJianBang>(); };
  c.methods = {
      Bind("Connect", &C::Connect, {Ref("strConnection", V::String)}),
      Bind("GetPJID", &C::GetPJID,
           {In("lngXC_ID", V::Currency), InOpt("ZhuType", V::Long, int32_t{kOwnerUnknown})}),
      Bind("GetPeiJianBang", &C::GetPeiJianBang, {}),
      Bind("AddBang", &C::AddBang, {In("frm", V::Object)}),
      Bind("EditBang", &C::EditBang, {In("ID", V::Currency), In("frm", V::Object)}),
      Bind("DelBang", &C::DelBang, {In("ID", V::Currency)}),
  };
  c.events = {
      AccessErrorEvent(),
      {"ChongFu", 2, {}},
      {"rsZHu", 3, {Ref("rs", V::Object)}},
  };
  // The binding form; an add also reads the bound accessory.
  const std::vector<FormControlInfo> figures = {
      Control("txtZhuChangDu", 1, "Text", "ShuL")};
  c.SetForm("EditBang", figures);
  std::vector<FormControlInfo> binding = figures;
  binding.insert(binding.begin(), {Control("lstXingCai", {}, "ListIndex", "the selected entry of lstXingCai"),
      Control("lstXingCai", {}, "ItemData", "Fu_ID", true)});
  c.SetForm("AddBang", binding);
  // Error modes other than handler; setters, which cannot fail, are none.
  c.SetErrorMode(ErrorMode::None, {"GetPJID"});
  return c;
}

}  // namespace dravmor
