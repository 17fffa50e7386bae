// The dispatch table of ServerForCaoZuoYuan.
#include "engine/bind_method.h"
#include "users/server_for_cao_zuo_yuan.h"

namespace dravmor {

ClassInfo ServerForCaoZuoYuan::Describe() {
  using C = ServerForCaoZuoYuan;
  using V = VarType;
  ClassInfo c;
  c.name = "ServerForCaoZuoYuan";
  c.create = [] { return std::make_unique<ServerForCaoZuoYuan>(); };
  c.methods = {
      Bind("Connect", &C::Connect, {Ref("strConnection", V::String)}),
      Bind("GetCaoZuoYuan", static_cast<RecordsetPtr (C::*)(std::string&)>(&C::GetCaoZuoYuan),
           {RefOpt("BianMa", V::String, "")}),
      Bind("AddYongHu", &C::AddYongHu, {In("strName", V::String)}),
      Bind("EditYongHu", &C::EditYongHu, {In("ID", V::Currency), In("strName", V::String)}),
      Bind("DelYongHu", &C::DelYongHu, {In("ID", V::Currency)}),
      Bind("GetQuanXian", &C::GetQuanXian, {In("ID", V::Currency)}),
      Bind("GetUserQuanXian", &C::GetUserQuanXian, {In("UserName", V::String)}),
      Bind("SaveQuanXian", &C::SaveQuanXian,
           {In("ID", V::Currency), In("One", V::Byte), In("TWo", V::Byte), In("Three", V::Byte),
            In("Four", V::Byte)}),
      Bind("GetMiMaAndTiShi", &C::GetMiMaAndTiShi, {In("ID", V::Currency)}),
      Bind("EditYongHuTiShi", &C::EditYongHuTiShi,
           {In("ID", V::Currency), In("StrWenTi", V::String), In("StrDaAn", V::String)}),
      Bind("EditYongHuMiMa", &C::EditYongHuMiMa, {In("ID", V::Currency), In("StrDaAn", V::String)}),
      Bind("GetName", &C::GetName, {In("strNameUser", V::String)}),
      Bind("SetAdminisName", &C::SetAdminisName, {In("strADM", V::String)}),
      Bind("setZaoZhangQuanXian", &C::setZaoZhangQuanXian,
           {In("CB", V::Long), In("ZH", V::Long), In("ByWin", V::Long)}),
      Bind("SetXuZhouQuanXian", &C::SetXuZhouQuanXian, {In("NewPro", V::Long), In("OpenPro", V::Long)}),
      Bind("SetCangKuQuanXian", &C::SetCangKuQuanXian, {In("CK", V::Long)}),
      Bind("SetFenPiHeBingGS", &C::SetFenPiHeBingGS,
           {In("lngFP", V::Long), In("lngHB", V::Long), In("lngBJ", V::Long)}),
      Bind("SetCangKuChaXun", &C::SetCangKuChaXun, {In("lngCKCX", V::Long)}),
      Bind("SetDELProFor", &C::SetDELProFor, {In("lngDELP", V::Long), In("lngDELF", V::Long)}),
  };
  c.events = {
      AccessErrorEvent(),
      {"BianMaChongFu", 2, {}},
      {"rsResult", 3, {Ref("rs", V::Object)}},
      {"rsMiMa", 4, {In("rs", V::Object)}},
      {"rsQuanXian", 5, {In("rs", V::Object)}},
      {"rsUserQuanXian", 6, {In("rs", V::Object)}},
      {"Ok", 7, {}},
  };
  // Error modes other than handler; setters, which cannot fail, are none.
  c.SetErrorMode(ErrorMode::None, {"SaveQuanXian", "GetName", "SetAdminisName",
      "setZaoZhangQuanXian", "SetXuZhouQuanXian", "SetCangKuQuanXian", "SetFenPiHeBingGS",
      "SetCangKuChaXun", "SetDELProFor"});
  return c;
}

}  // namespace dravmor
