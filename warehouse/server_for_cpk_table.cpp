// The dispatch table of ServerForCPK.
#include "engine/bind_method.h"
#include "warehouse/server_for_cpk.h"

namespace dravmor {

ClassInfo ServerForCPK::Describe() {
  using C = ServerForCPK;
  using V = VarType;
  ClassInfo c;
  c.name = "ServerForCPK";
  c.create = [] { return std::make_unique<ServerForCPK>(); };
  c.methods = {
      Bind("Connect", &C::Connect, {Ref("strConnection", V::String)}),
      Bind("SetCPType", &C::SetCPType, {In("lngTemp", V::Long)}),
      Bind("SetFaYun", &C::SetFaYun, {In("IsFa", V::Boolean)}),
      Bind("SetWaiGouBL", &C::SetWaiGouBL, {In("IsWaiGouBL", V::Boolean)}),
      Bind("IsQueryBH", &C::IsQueryBH, {In("IsBH", V::Boolean)}),
      Bind("SetCpMianJi", &C::SetCpMianJi, {In("sglTemp", V::Single)}),
      Bind("UpdateNum", &C::UpdateNum,
           {In("ID", V::Currency), In("frm", V::Object), In("IsRu", V::Boolean)}),
      Bind("UpdateNumByID", &C::UpdateNumByID, {In("ID", V::Currency), In("lngAddNum", V::Long)}),
      Bind("DelShanWeiNumByID", &C::DelShanWeiNumByID,
           {In("ID", V::Currency), In("lngZuo1", V::Long), In("lngZuo2", V::Long),
            In("lngYou1", V::Long), In("lngYou2", V::Long), RefOpt("IsDEL", V::Boolean, false)}),
      Bind("UpdateShanWeiNumByID", &C::UpdateShanWeiNumByID,
           {In("ID", V::Currency), In("lngZuo1", V::Long), In("lngZuo2", V::Long),
            In("lngYou1", V::Long), In("lngYou2", V::Long)}),
      Bind("UpdateFaYunNumByID", &C::UpdateFaYunNumByID,
           {In("ID", V::Currency), In("lngJiHuaNum", V::Long), In("lngFaYun", V::Long)}),
      Bind("DelChengPin", &C::DelChengPin, {In("ID", V::Currency)}),
      Bind("QingKongCPK", &C::QingKongCPK, {}),
      Bind("Edit", &C::Edit, {In("ID", V::Currency), In("frm", V::Object)}),
      Bind("GetDetail", &C::GetDetail, {}),
      Bind("GetDetailByCode", &C::GetDetailByCode, {In("strCode", V::String)}),
      Bind("GetGC", &C::GetGC, {}),
      Bind("GetMC", &C::GetMC, {In("ID", V::Currency)}),
  };
  c.events = {
      AccessErrorEvent(),
      {"rsResult", 2, {Ref("rs", V::Object)}},
      {"rsGC", 3, {Ref("rs", V::Object)}},
      {"rsMC", 4, {Ref("rs", V::Object)}},
      {"rsCpID", 5, {In("ID", V::Currency)}},
      {"TellCpDanHao", 6, {In("strDH", V::String)}},
  };
  // The stock form, by product type (SetCPType).
  const std::vector<FormControlInfo> stock = {
      Control("cmbgc", {}, "Text", "GCDM"),
      Control("cmbmc", {}, "Text", "MCDM"),
      Control("txtcpk", 0, "Text", "LouHao"),
      Control("txtcpk", 1, "Text", "LouCeng"),
      Control("txtcpk", 2, "Text", "XL"),
      Control("txtcpk", 3, "Text", "ChuangXing"),
      Control("txtcpk", 4, "Text", "ChangDu (type 3: GuiGe)"),
      Control("txtcpk", 5, "Text", "KuanDu (type 3: XingHao)"),
      Control("txtcpk", 6, "Text", "DanWei (type 1: Zuo1)"),
      Control("txtcpk", 7, "Text", "SL (type 1: Zuo2 and SL; type 3: MianJi)"),
      Control("txtcpk", 8, "Text", "BeiZhu"),
      Control("txtcpk", 9, "Text", "type 1: You2; type 2: MianJi; type 3: You2"),
      Control("txtcpk", 10, "Text", "type 1: You1; type 2: You2; type 3: You1")};
  c.SetForm("UpdateNum", stock);
  // Error modes other than handler; setters, which cannot fail, are none.
  c.SetErrorMode(ErrorMode::None, {"SetCPType", "SetFaYun", "SetWaiGouBL", "IsQueryBH",
      "SetCpMianJi"});
  c.SetErrorMode(ErrorMode::ResumeNext, {"UpdateNum", "UpdateNumByID", "DelShanWeiNumByID",
      "UpdateShanWeiNumByID", "UpdateFaYunNumByID", "DelChengPin", "QingKongCPK"});
  return c;
}

}  // namespace dravmor
