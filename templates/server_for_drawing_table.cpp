// The dispatch table of ServerForDrawing: methods in interface-slot order.
#include "engine/bind_method.h"
#include "templates/server_for_drawing.h"

namespace dravmor {

ClassInfo ServerForDrawing::Describe() {
  using C = ServerForDrawing;
  using V = VarType;
  ClassInfo c;
  c.name = "ServerForDrawing";
  c.create = [] { return std::make_unique<ServerForDrawing>(); };
  c.methods = {
      Bind("Connect", &C::Connect, {Ref("strConnection", V::String)}),
      Bind("QueryDanYuanTu", &C::QueryDanYuanTu, {Ref("strQuery", V::String)}),
      Bind("AddWindow", &C::AddWindow,
           {In("ID", V::Currency), In("lbID", V::Currency), In("strShuoMing", V::String),
            In("ShiGongJu", V::Byte), In("strComDyID", V::String),
            Ref("strcnObConnection", V::String), In("udtDraw", kVariant)}),
  };
  c.events = {
      AccessErrorEvent(),
      {"IDExist", 2, {}},
  };
  return c;
}

}  // namespace dravmor
