// The dispatch table of ServerForBoLi: methods in interface-slot order.
#include "catalogue/server_for_bo_li.h"
#include "engine/bind_method.h"

namespace dravmor {

ClassInfo ServerForBoLi::Describe() {
  using C = ServerForBoLi;
  using V = VarType;
  ClassInfo c;
  c.name = "ServerForBoLi";
  c.create = [] { return std::make_unique<ServerForBoLi>(); };
  c.methods = {
      Bind("Connect", &C::Connect, {Ref("strConnection", V::String)}),
      Bind("SetXLID", &C::SetXLID, {In("lngCJ_id", V::Long)}),
      Bind("SetCangKu", &C::SetCangKu, {In("IsCang", V::Boolean)}),
      Bind("SetSQL", &C::SetSQL, {In("strYuJu", V::String)}),
      Bind("SetFoShan", &C::SetFoShan, {In("IsFS", V::Boolean)}),
      Bind("AddBoLi", &C::AddBoLi, {In("frm", V::Object)}),
      Bind("EditBoLi", &C::EditBoLi, {In("ID", V::Currency), In("frm", V::Object)}),
      Bind("DelBoLi", &C::DelBoLi, {In("ID", V::Currency)}),
      Bind("UpdateNum", &C::UpdateNum, {In("ID", V::Currency), In("NUm", V::Integer)}),
      Bind("QingKongBLCK", &C::QingKongBLCK, {In("lngID", V::Currency)}),
      Bind("GetBoLi", static_cast<RecordsetPtr (C::*)(std::string&, bool)>(&C::GetBoLi),
           {RefOpt("strDaiMa", V::String, ""), InOpt("IsForChoose", V::Boolean, false)}),
  };
  c.events = {
      AccessErrorEvent(),
      {"ChongFu", 2, {}},
      {"rsResult", 3, {Ref("rs", V::Object)}},
  };
  // The glass form.
  const std::vector<FormControlInfo> glass = {
      Control("txtXingCaiInfo", 0, "Text", "DaiMa"),
      Control("txtXingCaiInfo", 1, "Text", "ChangDu"),
      Control("txtXingCaiInfo", 2, "Text", "KuanDu"),
      Control("txtXingCaiInfo", 3, "Text", "HouDu"),
      Control("txtXingCaiInfo", 4, "Text", "YanSe"),
      Control("txtXingCaiInfo", 5, "Text", "DanJia"),
      Control("txtXingCaiInfo", 6, "Text", "YanSe suffix (after SetFoShan(True))"),
      Control("txtXingCaiInfo", 7, "Text", "YanSe suffix (after SetFoShan(True))")};
  c.SetForm("AddBoLi", glass);
  c.SetForm("EditBoLi", glass);
  // Error modes other than handler; setters, which cannot fail, are none.
  c.SetErrorMode(ErrorMode::None, {"SetXLID", "SetCangKu", "SetSQL", "SetFoShan", "UpdateNum"});
  c.SetErrorMode(ErrorMode::ResumeNext, {"QingKongBLCK"});
  return c;
}

}  // namespace dravmor
