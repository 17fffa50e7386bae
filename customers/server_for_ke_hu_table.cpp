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
  // The customer form.
  const std::vector<FormControlInfo> customer = {
      Control("txtkehuinfo", 0, "Text", "bianma"),
      Control("txtkehuinfo", 1, "Text", "KeHuMingcheng"),
      Control("txtkehuinfo", 2, "Text", "LianXiRen"),
      Control("txtkehuinfo", 3, "Text", "DianHua"),
      Control("txtkehuinfo", 4, "Text", "shouji"),
      Control("txtkehuinfo", 5, "Text", "YouZhengBianMa"),
      Control("txtkehuinfo", 6, "Text", "DiZhi")};
  c.SetForm("AddKeHu", customer);
  c.SetForm("EditKeHu", customer);
  // The settings form.
  const std::vector<FormControlInfo> settings = {
      Control("txtname", 0, "Text", "sys column 2 (text)"),
      Control("txtname", 1, "Text", "sys column 3 (numeric)"),
      Control("txtname", 2, "Text", "sys column 4 (numeric)"),
      Control("txtname", 3, "Text", "sys column 5 (numeric)"),
      Control("txtname", 4, "Text", "sys column 6 (numeric)"),
      Control("txtname", 5, "Text", "sys column 7 (numeric)"),
      Control("txtname", 6, "Text", "sys column 8 (numeric)"),
      Control("txtname", 7, "Text", "sys column 9 (numeric)"),
      Control("txtname", 8, "Text", "sys column 10 (numeric)"),
      Control("txtname", 9, "Text", "sys column 11 (numeric)"),
      Control("txtname", 10, "Text", "sys column 12 (numeric)"),
      Control("txtname", 11, "Text", "sys column 13 (numeric)"),
      Control("txtname", 12, "Text", "sys column 14 (numeric)"),
      Control("txtname", 13, "Text", "sys column 17 (numeric)"),
      Control("txtname", 14, "Text", "sys column 16 (numeric)"),
      Control("txtname", 15, "Text", "sys column 15 (numeric)"),
      Control("txtname", 16, "Text", "sys column 20 (numeric)"),
      Control("txtname", 17, "Text", "sys column 19 (numeric)"),
      Control("txtname", 18, "Text", "sys column 18 (numeric)"),
      Control("txtdir", 0, "Text", "KuangH"),
      Control("txtdir", 1, "Text", "KuangW"),
      Control("txtdir", 2, "Text", "ShanH"),
      Control("txtdir", 3, "Text", "ShanW"),
      Control("txtdir", 4, "Text", "ShaH"),
      Control("txtdir", 5, "Text", "ShaW"),
      Control("txtdir", 6, "Text", "YaH"),
      Control("txtdir", 7, "Text", "YaW"),
      Control("txtdir", 8, "Text", "QiTaH"),
      Control("txtdir", 9, "Text", "QiTaW"),
      Control("txtreportname", 0, "Text", "DYXL"),
      Control("txtreportname", 1, "Text", "DYCB"),
      Control("txtreportname", 2, "Text", "BLHZ"),
      Control("txtreportname", 3, "Text", "XCHZ"),
      Control("txtreportname", 4, "Text", "XCYH"),
      Control("txtreportname", 5, "Text", "BLYH"),
      Control("txtreportname", 6, "Text", "LLRK"),
      Control("txtreportname", 7, "Text", "CLHZ"),
      Control("txtreportname", 8, "Text", "CLYS"),
      Control("txtreportname", 9, "Text", "GCBJ"),
      Control("txtreportname", 10, "Text", "XCTJ"),
      Control("txtreportname", 11, "Text", "PJTJ"),
      Control("txtreportname", 12, "Text", "FJTLZL"),
      Control("txtreportname", 13, "Text", "DJZHFX"),
      Control("txtreportname", 14, "Text", "GCJS"),
      Control("txtreportname", 15, "Text", "ACXBJ"),
      Control("txtreportname", 16, "Text", "MCFXL"),
      Control("txtreportname", 17, "Text", "MCGY"),
      Control("optwin", 0, "Value", "CXSZ (0 when set, else 3)")};
  c.SetForm("ApplySetting", settings);
  // Error modes other than handler; setters, which cannot fail, are none.
  c.SetErrorMode(ErrorMode::None, {"SetSQLSERVER", "SetCaoZuoYuan", "SetFindGcCode", "SetPaiXu",
      "SetViewOpen", "EditName", "ApplySetting"});
  c.SetErrorMode(ErrorMode::ResumeNext, {"DEL_ALL_KeHu", "AddLB", "EditLB", "DelLB", "Get_DaLei",
      "AddDaLei", "EditDaLei", "SetProjectSuo", "IsExistProjectCode", "DelProject", "DEL_ALL_Pro"});
  return c;
}

}  // namespace dravmor
