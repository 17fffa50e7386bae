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
  return c;
}

}  // namespace dravmor
