// The dispatch table of ServerForChuRuMingXi.
#include "engine/bind_method.h"
#include "warehouse/server_for_chu_ru_ming_xi.h"

namespace dravmor {

ClassInfo ServerForChuRuMingXi::Describe() {
  using C = ServerForChuRuMingXi;
  using V = VarType;
  ClassInfo c;
  c.name = "ServerForChuRuMingXi";
  c.create = [] { return std::make_unique<ServerForChuRuMingXi>(); };
  c.methods = {
      Bind("Connect", &C::Connect, {Ref("strConnection", V::String)}),
      Bind("SetSQLSERVER", &C::SetSQLSERVER, {In("Is2000", V::Boolean)}),
      Bind("SetMaxCiShu", &C::SetMaxCiShu, {In("CiShu", V::Long)}),
      Bind("GetMaxID", &C::GetMaxID,
           {In("strTable", V::String), In("strKey", V::String), InOpt("IsMax", V::Boolean, true)}),
      Bind("Add", &C::Add,
           {In("ChuRu", V::Long), In("WuJianType", V::Long), In("WuJianID", V::Currency),
            In("WuJianNum", V::Single), In("GcxxID", V::Currency), In("RiQi", V::Date)}),
      Bind("Edit", &C::Edit,
           {In("ID", V::Currency), In("NewNum", V::Single), InOpt("WuJianType", V::Long, int32_t{-1})}),
      Bind("Del", &C::Del, {In("ID", V::Currency), InOpt("WuJianType", V::Long, int32_t{-1})}),
      Bind("DelZhang", &C::DelZhang, {In("daStart", V::String), In("daEnd", V::String)}),
      Bind("DelXcCaoZuoMx", &C::DelXcCaoZuoMx, {In("daStart", V::String), In("daEnd", V::String)}),
      Bind("GetDetail", &C::GetDetail,
           {In("daStart", V::String), In("daEnd", V::String), In("ChuRuLeiBie", V::Long),
            In("GcxxID", V::Currency), In("WuJianLeiBie", V::Long)}),
  };
  c.events = {
      AccessErrorEvent(),
      {"ChongFu", 2, {}},
      {"rsResult", 3, {Ref("rs", V::Object)}},
      {"TellDanHao", 4, {In("strDH", V::String)}},
  };
  // Error modes other than handler; setters, which cannot fail, are none.
  c.SetErrorMode(ErrorMode::None, {"SetSQLSERVER", "SetMaxCiShu"});
  c.SetErrorMode(ErrorMode::ResumeNext, {"DelXcCaoZuoMx"});
  return c;
}

}  // namespace dravmor
