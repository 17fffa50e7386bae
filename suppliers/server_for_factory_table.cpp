// The dispatch table of ServerForFactory: methods in interface-slot order.
#include "engine/bind_method.h"
#include "suppliers/server_for_factory.h"

namespace dravmor {

ClassInfo ServerForFactory::Describe() {
  using C = ServerForFactory;
  using V = VarType;
  ClassInfo c;
  c.name = "ServerForFactory";
  c.create = [] { return std::make_unique<ServerForFactory>(); };
  c.methods = {
      Bind("SetType", &C::SetType, {In("intFacType", V::Integer), In("CJLB", V::Byte)}),
      Bind("UpdateChangYong", &C::UpdateChangYong, {In("ID", V::Currency), In("Yong", V::Byte)}),
      Bind("Connect", &C::Connect, {Ref("strConnection", V::String)}),
      Bind("DelFactory", &C::DelFactory, {In("ID", V::Currency)}),
      Bind("EditFactory", &C::EditFactory, {In("ID", V::Currency), In("frm", V::Object)}),
      Bind("AddFactory", &C::AddFactory,
           {In("frm", V::Object), In("intType", V::Integer), InOpt("CJLB", V::Byte, uint8_t{0})}),
      Bind("GetFactory",
           static_cast<RecordsetPtr (C::*)(std::string&, int16_t, uint8_t&)>(&C::GetFactory),
           {RefOpt("BianMa", V::String, ""), InOpt("intType", V::Integer, int16_t{0}),
            RefOpt("ChangYong", V::Byte, uint8_t{1})}),
      Bind("SetSQLSERVER", &C::SetSQLSERVER, {In("Is2000", V::Boolean)}),
      Bind("ExecuteToXL", &C::ExecuteToXL, {In("strSQL", kVariant)}),
      Bind("SetCZYName", &C::SetCZYName, {In("strNM", V::String)}),
      Bind("SetFactorySuo", &C::SetFactorySuo, {In("gcID", V::Currency), In("lngSuo", V::Long)}),
      Bind("SetCaoZuoYuan", &C::SetCaoZuoYuan,
           {In("strCZY", V::String), InOpt("IsYanGe", V::Boolean, false)}),
  };
  c.events = {
      AccessErrorEvent(),
      {"BianMaChongFu", 2, {}},
      {"rsResult", 3, {Ref("rs", V::Object)}},
  };
  // The factory form.
  const std::vector<FormControlInfo> factory = {
      Control("txtfactoryinfo", 0, "Text", "BianMa"),
      Control("txtfactoryinfo", 1, "Text", "Quancheng"),
      Control("txtfactoryinfo", 2, "Text", "Jiancheng")};
  c.SetForm("AddFactory", factory);
  c.SetForm("EditFactory", factory);
  // Error modes other than handler; setters, which cannot fail, are none.
  c.SetErrorMode(ErrorMode::None, {"SetType", "SetSQLSERVER", "SetCZYName", "SetCaoZuoYuan"});
  c.SetErrorMode(ErrorMode::ResumeNext, {"ExecuteToXL", "SetFactorySuo"});
  c.SetErrorMode(ErrorMode::SilentHandler, {"UpdateChangYong"});
  return c;
}

}  // namespace dravmor
