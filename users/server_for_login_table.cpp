// The dispatch table of ServerForLogin.
#include "engine/bind_method.h"
#include "users/server_for_login.h"

namespace dravmor {

ClassInfo ServerForLogin::Describe() {
  using C = ServerForLogin;
  using V = VarType;
  ClassInfo c;
  c.name = "ServerForLogin";
  c.create = [] { return std::make_unique<ServerForLogin>(); };
  c.methods = {
      Bind("Connect", &C::Connect, {Ref("strConnection", V::String)}),
      Bind("SetSQLSERVER", &C::SetSQLSERVER, {In("Is2000", V::Boolean)}),
      Bind("SetlvSu", &C::SetlvSu, {In("LvSG", V::Long)}),
      Bind("SetAppPath", &C::SetAppPath, {In("strPT", V::String)}),
      Bind("SetWZSB", &C::SetWZSB, {In("IsTemp", V::Boolean)}),
      Bind("SetFSZhao", &C::SetFSZhao, {In("IsTemp", V::Boolean)}),
      Bind("AddField", &C::AddField, {}),
      Bind("GetUser", &C::GetUser, {}),
      Bind("GetTip", &C::GetTip, {In("lngID", V::Long)}),
      Bind("ExecutePiZun", &C::ExecutePiZun, {In("strSQL", V::String)}),
      Bind("GetGeReLeiBie", &C::GetGeReLeiBie, {}),
      Bind("GetLvTongYongOK", &C::GetLvTongYongOK, {}),
  };
  c.events = {
      AccessErrorEvent("intErrLine"),
      {"rsUser", 2, {Ref("rs", V::Object)}},
  };
  // Error modes other than handler; setters, which cannot fail, are none.
  c.SetErrorMode(ErrorMode::None, {"SetlvSu", "SetAppPath", "SetWZSB", "SetFSZhao"});
  c.SetErrorMode(ErrorMode::ResumeNext, {"SetSQLSERVER", "AddField", "ExecutePiZun",
      "GetGeReLeiBie"});
  c.SetErrorMode(ErrorMode::SilentHandler, {"GetLvTongYongOK"});
  return c;
}

}  // namespace dravmor
