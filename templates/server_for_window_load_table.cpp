// The dispatch table of ServerForWindowLoad: methods in interface-slot order.
#include "engine/bind_method.h"
#include "templates/server_for_window_load.h"

namespace dravmor {

ClassInfo ServerForWindowLoad::Describe() {
  using C = ServerForWindowLoad;
  using V = VarType;
  ClassInfo c;
  c.name = "ServerForWindowLoad";
  c.create = [] { return std::make_unique<ServerForWindowLoad>(); };
  c.methods = {
      Bind("SetWindowType", &C::SetWindowType, {In("intType", V::Integer)}),
      Bind("Connect", &C::Connect, {Ref("strConnection", V::String)}),
      Bind("DelWindow", &C::DelWindow, {In("curID", V::Currency)}),
      Bind("GetWindow", &C::GetWindow, {In("btWindowType", V::Byte), In("blType", V::Boolean)}),
      Bind("GetWindowPage", &C::GetWindowPage, {In("intEveryPageNum", V::Integer)}),
      Bind("GetEveryPageWindow", &C::GetEveryPageWindow,
           {In("intPage", V::Integer), In("intEveryPageNum", V::Integer)}),
      Bind("SetWindowFindBianMa", &C::SetWindowFindBianMa, {In("strBM", V::String)}),
      Bind("UpdateTkName", &C::UpdateTkName, {In("TKID", V::Currency), In("strTkName", V::String)}),
      Bind("GetSuoDing", &C::GetSuoDing, {In("TK_ID", V::Currency)}),
      Bind("SetSuoDing", &C::SetSuoDing, {In("TK_ID", V::Currency), In("SuoDing", V::Integer)}),
      Bind("GetPageSYT", &C::GetPageSYT, {In("intPage", V::Long)}),
      Bind("GetSYT", &C::GetSYT, {}),
      Bind("SetCaoZuoYuan", &C::SetCaoZuoYuan,
           {In("strCZY", V::String), InOpt("IsYanGe", V::Boolean, false)}),
      Bind("SetTKSuoDing", &C::SetTKSuoDing, {In("TK_ID", V::Currency), In("SuoDing", V::Integer)}),
      Bind("SetTk_PageOrd", &C::SetTk_PageOrd,
           {In("lngP", V::Long), In("lngGe", V::Long), In("TKID", V::Currency),
            In("tkOrd", V::Long)}),
      Bind("SetTk_Move", &C::SetTk_Move,
           {In("IsUp", V::Boolean), In("lngNumMove", V::Long), In("TKID", V::Currency),
            In("tkOrd", V::Long)}),
      Bind("GetMaxUpDown", &C::GetMaxUpDown,
           {In("TKID", V::Currency), In("tkOrd", V::Long), Ref("LUp", V::Long),
            Ref("LDown", V::Long), Ref("LToTalNum", V::Long)}),
      Bind("SetFilterXLID", &C::SetFilterXLID, {In("lngXLID", V::Long)}),
      Bind("SetPgTu", &C::SetPgTu, {In("PT", V::Long)}),
  };
  c.events = {
      AccessErrorEvent(),
      {"rsResult", 2, {Ref("rs", V::Object)}},
      {"rsSYTResult", 3, {Ref("rs", V::Object)}},
  };
  // Error modes other than handler; setters, which cannot fail, are none.
  c.SetErrorMode(ErrorMode::None, {"SetWindowType", "GetWindowPage", "SetWindowFindBianMa",
      "UpdateTkName", "SetSuoDing", "SetCaoZuoYuan", "SetTKSuoDing", "SetFilterXLID", "SetPgTu"});
  c.SetErrorMode(ErrorMode::ResumeNext, {"GetSuoDing", "GetPageSYT", "GetSYT", "GetMaxUpDown"});
  return c;
}

}  // namespace dravmor
