// The dispatch table of ServerForXingCai.
#include "catalogue/server_for_xing_cai.h"
#include "engine/bind_method.h"

namespace dravmor {

ClassInfo ServerForXingCai::Describe() {
  using C = ServerForXingCai;
  using V = VarType;
  ClassInfo c;
  c.name = "ServerForXingCai";
  c.create = [] { return std::make_unique<ServerForXingCai>(); };
  c.methods = {
      Bind("Connect", &C::Connect, {Ref("strConnection", V::String)}),
      Bind("SetXLID", &C::SetXLID, {In("lngXl_ID", V::Long), In("lngCJ_id", V::Long)}),
      Bind("SetSQLSERVER", &C::SetSQLSERVER, {In("Is2000", V::Boolean)}),
      Bind("SetONLY_PinJie", &C::SetONLY_PinJie, {In("lngPJ", V::Long)}),
      Bind("SetOLD_CodeName", &C::SetOLD_CodeName,
           {In("strC", V::String), In("strN", V::String)}),
      Bind("SetChangeMZ", &C::SetChangeMZ, {In("IsCGMZ", V::Boolean)}),
      Bind("GetXingCai", &C::GetXingCai, {RefOpt("strDaiMa", V::String, "")}),
      Bind("GetXingCaiByName", &C::GetXingCaiByName, {RefOpt("strName", V::String, "")}),
      Bind("GetXcXuanZe", &C::GetXcXuanZe, {In("ID", V::Currency), In("Xl_ID", V::Currency)}),
      Bind("GetTY", &C::GetTY, {In("xcID", V::Currency)}),
      Bind("AddXingCai", &C::AddXingCai, {In("frm", V::Object)}),
      Bind("EditXingCai", &C::EditXingCai, {In("ID", V::Currency), In("frm", V::Object)}),
      Bind("Edit_DYE_ChongFuXC", &C::Edit_DYE_ChongFuXC,
           {In("ID", V::Currency), In("frm", V::Object)}),
      Bind("DelXingCai", &C::DelXingCai, {In("ID", V::Currency)}),
      Bind("EditColorXc", &C::EditColorXc, {In("strYS", V::String)}),
      Bind("EditBiHouXc", &C::EditBiHouXc, {In("sglBH", V::Single)}),
      Bind("EditJiaGeXc", &C::EditJiaGeXc, {In("sglBH", V::Single)}),
      Bind("EditJiaGeXcDaLei", &C::EditJiaGeXcDaLei, {In("sglBH", V::Single), In("DL", V::Long)}),
  };
  c.events = {
      AccessErrorEvent(),
      {"ChongFu", 2, {}},
      {"rsResult", 3, {Ref("rs", V::Object)}},
      {"rsTYResult", 4, {Ref("rs", V::Object)}},
      {"rsResultREP", 5, {Ref("rs", V::Object)}},
      {"rsXcXuan", 6, {Ref("rs", V::Object)}},
      {"rsBaoDanResult", 7, {Ref("rs", V::Object)}},
      {"rsBaoDanNewID", 8, {In("ID", V::Currency)}},
      {"rsBaoDanDetailResult", 9, {Ref("rs", V::Object)}},
      {"rsChongFuDYE", 10, {Ref("rs", V::Object)}},
  };
  return c;
}

}  // namespace dravmor
