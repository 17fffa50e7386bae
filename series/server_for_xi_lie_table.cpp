// The dispatch table of ServerForXiLie: methods in interface-slot order.
#include "engine/bind_method.h"
#include "series/server_for_xi_lie.h"

namespace dravmor {

ClassInfo ServerForXiLie::Describe() {
  using C = ServerForXiLie;
  using V = VarType;
  ClassInfo c;
  c.name = "ServerForXiLie";
  c.create = [] { return std::make_unique<ServerForXiLie>(); };
  c.methods = {
      Bind("SetCJID", &C::SetCJID, {In("lngCJ_id", V::Long)}),
      Bind("Connect", &C::Connect, {Ref("strConnection", V::String)}),
      Bind("DelXiLie", &C::DelXiLie, {In("ID", V::Currency)}),
      Bind("EditXiLie", &C::EditXiLie, {In("ID", V::Currency), In("frm", V::Object)}),
      Bind("AddXiLie", &C::AddXiLie, {In("frm", V::Object)}),
      Bind("GetXiLie", &C::GetXiLie, {InOpt("btXLB", V::Byte, uint8_t{100})}),
      Bind("CopyNew", &C::CopyNew,
           {In("YuanID", V::Currency), In("DaoTxt", V::String), In("DaoType", V::Long)}),
      Bind("GetTreeYuanLB", &C::GetTreeYuanLB, {In("Xl_ID", V::Currency)}),
      Bind("GetXiLieByTree", &C::GetXiLieByTree,
           {In("objTree", V::Object), In("node", V::Object), InOpt("blXLLB", V::Byte, uint8_t{100})}),
      Bind("FillTree", &C::FillTree,
           {In("xlid", V::Currency), In("objTree", V::Object), In("node", V::Object),
            RefOpt("IsFormula", V::Boolean, false)}),
      Bind("DelTree", &C::DelTree, {In("Xl_ID", V::Currency)}),
      Bind("EditTree", &C::EditTree, {In("Xl_ID", V::Currency), In("strName", V::String)}),
      Bind("AddTree", &C::AddTree,
           {In("Up_ID", V::Currency), In("Root_ID", V::Currency), In("strName", V::String)}),
      Bind("SetTKID", &C::SetTKID, {In("TKID", V::Currency)}),
      Bind("GetFormulaXiLie", &C::GetFormulaXiLie, {In("btXLB", V::Long), In("TK_ID", V::Currency)}),
      Bind("GetFilterXiLie", &C::GetFilterXiLie, {In("TK_ID", V::Currency)}),
      Bind("DelFiler", &C::DelFiler, {In("Filter_ID", V::Currency)}),
      Bind("AddFilter", &C::AddFilter, {In("TK_ID", V::Currency), In("Xl_ID", V::Currency)}),
      Bind("SetXLSuo", &C::SetXLSuo, {In("gcID", V::Currency), In("lngSuo", V::Long)}),
      Bind("SetCaoZuoYuan", &C::SetCaoZuoYuan,
           {In("strCZY", V::String), InOpt("IsYanGe", V::Boolean, false)}),
      Bind("GetOwner", &C::GetOwner, {}),
  };
  c.events = {
      AccessErrorEvent(),
      {"ChongFu", 2, {}},
      {"rsResult", 3, {Ref("rs", V::Object)}},
      {"rsResultFilter", 4, {Ref("rs", V::Object)}},
  };
  // The series form.
  const std::vector<FormControlInfo> series = {
      Control("optcha", 0, "Value", "PinJieFangShi (0 when set, else 1)"),
      Control("cmbSeries", {}, "ListIndex", "xllb"),
      Control("txtxiliename", {}, "Text", "MingCheng")};
  c.SetForm("AddXiLie", series);
  c.SetForm("EditXiLie", series);
  // Error modes other than handler; setters, which cannot fail, are none.
  c.SetErrorMode(ErrorMode::None, {"SetCJID", "FillTree", "SetTKID", "SetCaoZuoYuan"});
  c.SetErrorMode(ErrorMode::ResumeNext, {"GetTreeYuanLB", "GetXiLieByTree", "EditTree", "AddTree",
      "DelFiler", "AddFilter", "SetXLSuo", "GetOwner", "CopyNew"});
  c.SetErrorMode(ErrorMode::SilentHandler, {"DelTree"});
  return c;
}

}  // namespace dravmor
