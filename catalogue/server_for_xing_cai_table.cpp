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
      Bind("SetHang_WZ", &C::SetHang_WZ, {In("strWZ", V::String)}),
      Bind("SetHang_YS", &C::SetHang_YS, {In("strYS", V::String)}),
      Bind("SetHang_LiLunZhong", &C::SetHang_LiLunZhong, {In("strLZ", V::Single)}),
      Bind("SetBrel_DanJia", &C::SetBrel_DanJia, {In("sglDJ_H", V::Single)}),
      Bind("SetBrel_RK", &C::SetBrel_RK, {In("IsRKH", V::Boolean)}),
      Bind("SetBrel_RQ", &C::SetBrel_RQ, {In("strRQ", V::String)}),
      Bind("SetLingLiao", &C::SetLingLiao, {In("lngLL", V::Long)}),
      Bind("SetWZ_YS", &C::SetWZ_YS, {In("lngWZ", V::Long), In("lngYS", V::Long)}),
      Bind("UpdateNum", &C::UpdateNum, {In("ID", V::Currency), In("NUm", V::Integer)}),
      Bind("UpdateLength", &C::UpdateLength, {In("ID", V::Currency), In("NUm", V::Integer)}),
      Bind("QingKongCK", &C::QingKongCK, {In("lngID", V::Currency), In("IsXLID", V::Boolean)}),
      Bind("GetXcForHouse", &C::GetXcForHouse, {InOpt("strDaiMa", V::String, "")}),
      Bind("AddLingLiao", &C::AddLingLiao,
           {In("xcID", V::Currency), In("IntCD", V::Integer), In("NUm", V::Integer)}),
      Bind("UpdateLing", &C::UpdateLing,
           {In("ID", V::Currency), In("CD", V::Integer), In("NUm", V::Integer)}),
      Bind("DelLingLiao", &C::DelLingLiao, {In("ID", V::Currency)}),
      Bind("GetLingLiao", &C::GetLingLiao, {}),
      Bind("GetLingLiaoREP", &C::GetLingLiaoREP, {RefOpt("xlid", V::Currency, Currency{})}),
      Bind("GetPinJieLiao", &C::GetPinJieLiao,
           {RefOpt("Min", V::Integer, int16_t{0}), RefOpt("Max", V::Integer, int16_t{0})}),
      Bind("LingLiaoChuRuKu", &C::LingLiaoChuRuKu, {}),
      Bind("AddBaoDan", &C::AddBaoDan, {In("BDName", V::String)}),
      Bind("DelBaoDan", &C::DelBaoDan, {In("BD_ID", V::Currency)}),
      Bind("GetBaoDan", &C::GetBaoDan, {}),
      Bind("GetBaoDanDetail", &C::GetBaoDanDetail, {In("BD_ID", V::Currency)}),
      Bind("AddBaoDanDetail", &C::AddBaoDanDetail,
           {In("BD_ID", V::Currency), In("XC_ID", V::Currency), In("CD", V::Single),
            In("YaoHuo", V::Long), In("DaoHuo", V::Long), In("ShiZhong", V::Single),
            In("strBZ", V::String), In("strDemo", V::String)}),
      Bind("UpdateNum_Brel", &C::UpdateNum_Brel,
           {In("BD_ID", V::Currency), In("BD_KuCun_ID", V::Currency), In("Num_Brel", V::Long)}),
      Bind("UpdateBaoDanRQRENCJ", &C::UpdateBaoDanRQRENCJ,
           {In("ID", V::Currency), In("strRQ", V::String), In("strRen", V::String),
            In("strCJ", V::String)}),
      Bind("GetXcQuery_Brel", &C::GetXcQuery_Brel,
           {In("strSQL", V::String), In("lngSQLTYPE", V::Long)}),
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
  // The profile form; add and edit also read the sharing.
  const std::vector<FormControlInfo> profile = {
      Control("txtXingCaiInfo", 0, "Text", "DaiMa"),
      Control("txtXingCaiInfo", 1, "Text", "MingChengXC"),
      Control("txtXingCaiInfo", 2, "Text", "MiZhong"),
      Control("txtXingCaiInfo", 3, "Text", "ChangDu"),
      Control("txtXingCaiInfo", 4, "Text", "JiaGe"),
      Control("txtXingCaiInfo", 5, "Text", "YS"),
      Control("txtXingCaiInfo", 6, "Text", "BiHou"),
      Control("txtXingCaiInfo", 7, "Text", "BaoJing"),
      Control("txtGuiZheng", {}, "Text", "GcGuiZheng"),
      Control("cmbLeiBie", {}, "ListIndex", "the selected entry of cmbLeiBie"),
      Control("cmbLeiBie", {}, "ItemData", "LB_ID", true),
      Control("lstDalei", {}, "ListIndex", "the selected entry of lstDalei"),
      Control("lstDalei", {}, "ItemData", "DaLei", true),
      Control("optGangChen", 0, "Value", "GangChen (钢衬 when set, else 型材)")};
  c.SetForm("Edit_DYE_ChongFuXC", profile);
  std::vector<FormControlInfo> shared = profile;
  shared.insert(shared.end(), {Control("opttongyong", 0, "Value", "ShiFouTongYong (0 when set)"),
      Control("lstxilie", {}, "ListCount", "TongYong rows"),
      Control("lstxilie", {}, "Selected", "TongYong rows", true),
      Control("lstxilie", {}, "ItemData", "TongYong.xl_ID", true)});
  c.SetForm("AddXingCai", shared);
  c.SetForm("EditXingCai", shared);
  // Error modes other than handler; setters, which cannot fail, are none.
  c.SetErrorMode(ErrorMode::None, {"SetXLID", "SetSQLSERVER", "SetONLY_PinJie", "SetOLD_CodeName",
      "SetChangeMZ", "SetHang_WZ", "SetHang_YS", "SetHang_LiLunZhong", "SetBrel_DanJia",
      "SetBrel_RK", "SetBrel_RQ", "SetLingLiao", "SetWZ_YS", "UpdateNum", "UpdateLength",
      "UpdateLing", "UpdateNum_Brel"});
  c.SetErrorMode(ErrorMode::ResumeNext, {"Edit_DYE_ChongFuXC", "EditColorXc", "EditBiHouXc",
      "EditJiaGeXc", "EditJiaGeXcDaLei", "QingKongCK", "LingLiaoChuRuKu", "AddBaoDan", "GetBaoDan",
      "GetBaoDanDetail", "AddBaoDanDetail", "UpdateBaoDanRQRENCJ", "GetXcQuery_Brel"});
  c.SetErrorMode(ErrorMode::SilentHandler, {"DelBaoDan"});
  return c;
}

}  // namespace dravmor
