// The dispatch table of ServerForPeiJian: methods in interface-slot order.
#include "catalogue/server_for_pei_jian.h"
#include "engine/bind_method.h"

namespace dravmor {

ClassInfo ServerForPeiJian::Describe() {
  using C = ServerForPeiJian;
  using V = VarType;
  ClassInfo c;
  c.name = "ServerForPeiJian";
  c.create = [] { return std::make_unique<ServerForPeiJian>(); };
  c.methods = {
      Bind("Connect", &C::Connect, {Ref("strConnection", V::String)}),
      Bind("SetXLID", &C::SetXLID, {In("lngCJ_id", V::Long)}),
      Bind("SetlvSu", &C::SetlvSu, {In("LvSG", V::Long)}),
      Bind("GetDanFu", &C::GetDanFu, {In("IsDan", V::Boolean)}),
      Bind("AddPeiJian", &C::AddPeiJian, {In("frm", V::Object)}),
      Bind("EditPeiJian", &C::EditPeiJian, {In("ID", V::Currency), In("frm", V::Object)}),
      Bind("DelPeiJian", &C::DelPeiJian, {In("ID", V::Currency)}),
      Bind("UpdateNum", &C::UpdateNum, {In("ID", V::Currency), In("NUm", V::Integer)}),
      Bind("UpdateNumNewVer", &C::UpdateNumNewVer, {In("ID", V::Currency), In("NUm", V::Single)}),
      Bind("QingKongPJCK", &C::QingKongPJCK, {In("lngID", V::Currency)}),
      Bind("GetPeiJian",
           static_cast<RecordsetPtr (C::*)(std::string&, std::string&)>(&C::GetPeiJian),
           {RefOpt("strDaiMa", V::String, ""), RefOpt("strKey", V::String, "TC")}),
      Bind("GetPeiJianByName", &C::GetPeiJianByName,
           {RefOpt("strDaiMa", V::String, ""), RefOpt("strKey", V::String, "TC")}),
      Bind("GetXuanPJ", &C::GetXuanPJ, {In("PJID", V::Currency)}),
  };
  c.events = {
      AccessErrorEvent(),
      {"ChongFu", 2, {}},
      {"rsResult", 3, {Ref("rs", V::Object)}},
      {"rsXuanPJ", 4, {Ref("rs", V::Object)}},
  };
  // The accessory form.
  const std::vector<FormControlInfo> accessory = {
      Control("txtXingCaiInfo", 0, "Text", "DaiMa"),
      Control("txtXingCaiInfo", 1, "Text", "MingCheng"),
      Control("txtXingCaiInfo", 2, "Text", "GuiGe"),
      Control("txtXingCaiInfo", 3, "Text", "DanWei"),
      Control("txtXingCaiInfo", 4, "Text", "DanJia"),
      Control("cmbLeiBie", {}, "ListIndex", "the selected entry of cmbLeiBie"),
      Control("cmbLeiBie", {}, "ItemData", "LB_ID", true),
      Control("opttongyong", 0, "Value", "ShiFouQuZheng (0 when set)")};
  c.SetForm("AddPeiJian", accessory);
  c.SetForm("EditPeiJian", accessory);
  // Error modes other than handler; setters, which cannot fail, are none.
  c.SetErrorMode(ErrorMode::None, {"SetXLID", "SetlvSu", "GetDanFu", "UpdateNum",
      "UpdateNumNewVer"});
  c.SetErrorMode(ErrorMode::ResumeNext, {"QingKongPJCK"});
  return c;
}

}  // namespace dravmor
