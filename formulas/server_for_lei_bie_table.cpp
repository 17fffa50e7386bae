// The dispatch table of ServerForLeiBie: methods in interface-slot order.
#include "engine/bind_method.h"
#include "formulas/server_for_lei_bie.h"

namespace dravmor {

ClassInfo ServerForLeiBie::Describe() {
  using C = ServerForLeiBie;
  using V = VarType;
  ClassInfo c;
  c.name = "ServerForLeiBie";
  c.create = [] { return std::make_unique<ServerForLeiBie>(); };
  c.methods = {
      Bind("Connect", &C::Connect, {Ref("strConnection", V::String)}),
      Bind("SetLB", &C::SetLB,
           {In("btXLLB", V::Byte), In("btCJLB", V::Byte), In("intAddNum", V::Integer)}),
      Bind("SetlvSu", &C::SetlvSu, {In("LvSG", V::Long)}),
      Bind("GetZongLeiBie", &C::GetZongLeiBie, {}),
      Bind("GetKuangLeiBie", &C::GetKuangLeiBie, {}),
      Bind("GetShanLeiBie", &C::GetShanLeiBie, {}),
      Bind("GetPJZongLeiBie", &C::GetPJZongLeiBie, {}),
      Bind("GetPJKuangLeiBie", &C::GetPJKuangLeiBie, {}),
      Bind("GetPJShanLeiBie", &C::GetPJShanLeiBie, {}),
      Bind("ChangeKuangShan", &C::ChangeKuangShan,
           {In("KuangShan", V::Boolean), In("ID", V::Currency), In("ChangeValue", V::Integer)}),
      Bind("GetShuZhi", &C::GetShuZhi, {In("curID", V::Currency)}),
      Bind("GetLeiBieValue", &C::GetLeiBieValue, {In("para_id", V::Long), In("xlid", V::Currency)}),
      Bind("GetZheKou", &C::GetZheKou, {}),
      Bind("GetLeiBie", &C::GetLeiBie,
           {InOpt("blGetValue", V::Boolean, false), InOpt("xlid", V::Currency, Currency{})}),
      Bind("DelLeiBie", &C::DelLeiBie, {In("ID", V::Currency)}),
      Bind("EditLeiBie", &C::EditLeiBie, {In("ID", V::Currency), In("frm", V::Object)}),
      Bind("AddLeiBie", &C::AddLeiBie, {In("frm", V::Object)}),
  };
  c.events = {
      AccessErrorEvent(),
      {"ChongFu", 2, {}},
      {"rsLeiBie", 3, {Ref("rs", V::Object)}},
      {"rsShuZhi", 4, {Ref("rs", V::Object)}},
      {"rsZheKou", 5, {Ref("rs", V::Object)}},
      {"ZongLeiBie", 6, {Ref("rs", V::Object)}},
      {"KuangLeiBie", 7, {Ref("rs", V::Object)}},
      {"ShanLeiBie", 8, {Ref("rs", V::Object)}},
      {"PJZongLeiBie", 9, {Ref("rs", V::Object)}},
      {"PJKuangLeiBie", 10, {Ref("rs", V::Object)}},
      {"PJShanLeiBie", 11, {Ref("rs", V::Object)}},
  };
  // The category form.
  const std::vector<FormControlInfo> category = {
      Control("txtLB", {}, "Text", "MingCheng"),
      Control("ChkWindow", 0, "Value", "TC"),
      Control("ChkWindow", 1, "Value", "TM"),
      Control("ChkWindow", 2, "Value", "PC"),
      Control("ChkWindow", 3, "Value", "PM"),
      Control("ChkWindow", 4, "Value", "GC"),
      Control("txtRuKuLength", {}, "Text", "RuKuLength (numeric text)")};
  c.SetForm("AddLeiBie", category);
  c.SetForm("EditLeiBie", category);
  // Error modes other than handler; setters, which cannot fail, are none.
  c.SetErrorMode(ErrorMode::None, {"SetLB", "SetlvSu"});
  c.SetErrorMode(ErrorMode::ResumeNext, {"ChangeKuangShan", "GetLeiBieValue", "GetZheKou"});
  return c;
}

}  // namespace dravmor
