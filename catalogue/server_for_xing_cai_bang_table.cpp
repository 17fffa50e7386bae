// The dispatch table of ServerForXingCaiBang: methods in interface-slot order.
#include "catalogue/server_for_xing_cai_bang.h"
#include "engine/bind_method.h"

namespace dravmor {

ClassInfo ServerForXingCaiBang::Describe() {
  using C = ServerForXingCaiBang;
  using V = VarType;
  ClassInfo c;
  c.name = "ServerForXingCaiBang";
  c.create = [] { return std::make_unique<ServerForXingCaiBang>(); };
  c.methods = {
      Bind("Connect", &C::Connect, {Ref("strConnection", V::String)}),
      Bind("GetXCID", &C::GetXCID, {In("lngXC_ID", V::Currency)}),
      Bind("GetXingCaiBang", &C::GetXingCaiBang, {}),
      Bind("AddBang", &C::AddBang, {In("frm", V::Object)}),
      Bind("EditBang", &C::EditBang, {In("ID", V::Currency), In("frm", V::Object)}),
      Bind("DelBang", &C::DelBang, {In("ID", V::Currency)}),
  };
  c.events = {
      AccessErrorEvent(),
      {"ChongFu", 2, {}},
      {"rsZHu", 3, {Ref("rs", V::Object)}},
  };
  // The binding form; an add also reads the bound profile.
  const std::vector<FormControlInfo> figures = {
      Control("txtZhuChangDu", 0, "Text", "ZhuCD"),
      Control("txtZhuChangDu", 1, "Text", "ShuL"),
      Control("txtZhuChangDu", 2, "Text", "LiangDuanJu")};
  c.SetForm("EditBang", figures);
  std::vector<FormControlInfo> binding = figures;
  binding.insert(binding.begin(), {Control("lstXingCai", {}, "ListIndex", "the selected entry of lstXingCai"),
      Control("lstXingCai", {}, "ItemData", "Fu_ID", true)});
  c.SetForm("AddBang", binding);
  // Error modes other than handler; setters, which cannot fail, are none.
  c.SetErrorMode(ErrorMode::None, {"GetXCID"});
  return c;
}

}  // namespace dravmor
