// The dispatch table of ServerForKeHu. The event list is the class's whole
// event interface, whichever group of methods raises each one.
#include "customers/server_for_ke_hu.h"
#include "engine/bind_method.h"

namespace dravmor {

ClassInfo ServerForKeHu::Describe() {
  using C = ServerForKeHu;
  using V = VarType;
  ClassInfo c;
  c.name = "ServerForKeHu";
  c.create = [] { return std::make_unique<ServerForKeHu>(); };
  c.methods = {
      Bind("Connect", &C::Connect, {Ref("strConnection", V::String)}),
      Bind("SetSQLSERVER", &C::SetSQLSERVER, {In("Is2000", V::Boolean)}),
      Bind("SetCaoZuoYuan", &C::SetCaoZuoYuan,
           {In("strCZY", V::String), InOpt("IsYanGe", V::Boolean, false)}),
      // Customers, project categories, major profile classes.
      Bind("GetKeHu", static_cast<RecordsetPtr (C::*)(std::string&)>(&C::GetKeHu),
           {RefOpt("BianMa", V::String, "")}),
      Bind("GetKeHuInfo", &C::GetKeHuInfo, {In("ID", V::Currency)}),
      Bind("AddKeHu", &C::AddKeHu, {In("frm", V::Object)}),
      Bind("EditKeHu", &C::EditKeHu, {In("ID", V::Currency), In("frm", V::Object)}),
      Bind("DelKeHu", &C::DelKeHu, {In("ID", V::Currency)}),
      Bind("DEL_ALL_KeHu", &C::DEL_ALL_KeHu, {}),
      Bind("GetFoShanLB", &C::GetFoShanLB, {In("lbTYpe", V::Long)}),
      Bind("AddLB", &C::AddLB, {In("strLB", V::String), In("lbTYpe", V::Long)}),
      Bind("EditLB", &C::EditLB,
           {In("strLB", V::String), In("lbTYpe", V::Long), In("ID", V::Currency)}),
      Bind("DelLB", &C::DelLB, {In("ID", V::Currency), In("lbTYpe", V::Long)}),
      Bind("Get_DaLei", &C::Get_DaLei, {}),
      Bind("AddDaLei", &C::AddDaLei, {In("strDL", V::String)}),
      Bind("EditDaLei", &C::EditDaLei, {In("ID", V::Currency), In("strDL", V::String)}),
      Bind("DelDaLei", &C::DelDaLei, {In("ID", V::Currency)}),
      // Projects.
      Bind("GetProjectInfo", &C::GetProjectInfo,
           {In("ID", V::Currency), InOpt("IsShi", V::Boolean, false)}),
      Bind("SetFindGcCode", &C::SetFindGcCode, {In("strTemp", V::String)}),
      Bind("SetPaiXu", &C::SetPaiXu, {In("lngPX", V::Long)}),
      Bind("SetViewOpen", &C::SetViewOpen, {In("OpenOrView", V::Boolean)}),
      Bind("EditName", &C::EditName,
           {In("ID", V::Currency), In("strName", V::String), In("strCode", V::String)}),
      Bind("SetProjectSuo", &C::SetProjectSuo, {In("gcID", V::Currency), In("lngSuo", V::Long)}),
      Bind("IsExistProjectCode", &C::IsExistProjectCode, {In("strCode", V::String)}),
      Bind("DelProject", &C::DelProject, {In("ID", V::Currency)}),
      Bind("DEL_ALL_Pro", &C::DEL_ALL_Pro, {}),
      // System settings.
      Bind("GetSys", &C::GetSys, {}),
      Bind("ApplySetting", &C::ApplySetting, {In("frm", V::Object)}),
  };
  c.events = {
      AccessErrorEvent(),
      {"BianMaChongFu", 2, {}},
      {"rsResult", 3, {Ref("rs", V::Object)}},
      {"rsResultInfo", 4, {Ref("rs", V::Object)}},
      {"rsProjectInfo", 5, {Ref("rs", V::Object)}},
      {"rsSysInfo", 6, {Ref("rs", V::Object)}},
      {"rsResultFS", 7, {Ref("rs", V::Object)}},
      {"rsXcDaLei", 8, {Ref("rs", V::Object)}},
  };
  return c;
}

}  // namespace dravmor
