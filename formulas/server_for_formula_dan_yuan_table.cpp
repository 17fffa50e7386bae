// The dispatch table of ServerForFormulaDanYuan: methods in interface-slot order.
#include "engine/bind_method.h"
#include "formulas/server_for_formula_dan_yuan.h"

namespace dravmor {

ClassInfo ServerForFormulaDanYuan::Describe() {
  using C = ServerForFormulaDanYuan;
  using V = VarType;
  ClassInfo c;
  c.name = "ServerForFormulaDanYuan";
  c.create = [] { return std::make_unique<ServerForFormulaDanYuan>(); };
  c.methods = {
      Bind("Connect", &C::Connect, {Ref("strConnection", V::String)}),
      Bind("GetXLID", &C::GetXLID, {In("ID", V::Currency)}),
      Bind("GetTuID", &C::GetTuID, {In("ID", V::Currency)}),
      Bind("SetGsID", &C::SetGsID, {In("ID", V::Currency)}),
      Bind("GetDanChuang", &C::GetDanChuang, {In("blDanChuang", V::Boolean)}),
      Bind("SetlvSu", &C::SetlvSu, {In("LvSG", V::Long)}),
      Bind("SetV", &C::SetV, {In("V", kVariant)}),
      Bind("SetWeiShu", &C::SetWeiShu, {In("lngTemp", V::Long)}),
      Bind("strSQL", &C::strSQL, {In("strTemp", V::String)}),
      Bind("CreateFormula", &C::CreateFormula, {In("lvw", V::Object)}),
      Bind("GetFormula", &C::GetFormula, {InOpt("BtType", V::Byte, uint8_t{1})}),
      Bind("AddFormula", &C::AddFormula,
           {In("frm", V::Object), In("BtType", V::Byte), In("curCLID", V::Currency)}),
      Bind("EditFormula", &C::EditFormula,
           {In("ID", V::Currency), In("frm", V::Object), In("BtType", V::Byte)}),
      Bind("DelFormula", &C::DelFormula, {In("ID", V::Currency), In("BtType", V::Byte)}),
      Bind("GetMaxWeiShu", &C::GetMaxWeiShu,
           {In("CurShunxu", V::Long), In("IsUp", V::Boolean), In("BtType", V::Long)}),
      Bind("UpDown", &C::UpDown,
           {In("CurShunxu", V::Currency), In("BtType", V::Byte), In("ID", V::Currency),
            InOpt("blUp", V::Boolean, true)}),
      Bind("SetGTFormula", &C::SetGTFormula,
           {In("GTTKID", V::Currency), In("GTXLID", V::Currency), In("strGT", V::String)}),
      Bind("GetGTFormula", &C::GetGTFormula, {In("GTTKID", V::Currency), In("GTXLID", V::Currency)}),
      Bind("GetFormulaUnit", &C::GetFormulaUnit,
           {In("unitTK_ID", V::Currency), In("strUnitSQL", V::String), In("unitType", V::String)}),
      Bind("AddFormulaUnit", &C::AddFormulaUnit,
           {In("frm", V::Object), In("BtType", V::String), In("curCLID", V::Currency),
            In("strUnitSQL", V::String), In("strAddUnitSQL", V::String)}),
      Bind("EditFormulaUnit", &C::EditFormulaUnit,
           {In("ID", V::Currency), In("frm", V::Object), In("strType", V::String),
            In("strUnitSQL", V::String)}),
      Bind("DelFormulaUnit", &C::DelFormulaUnit,
           {In("ID", V::Currency), In("strType", V::String), In("strUnitSQL", V::String)}),
      Bind("CopyFormulaUnit", &C::CopyFormulaUnit,
           {In("curCopyID", V::Currency), In("curPasteID", V::Currency),
            In("strCopySQL", V::String), In("strPasteSQL", V::String),
            In("strPasteSQLAdd", V::String)}),
      Bind("ExecuteSQL", &C::ExecuteSQL, {}),
      Bind("SetCopyXingCai", &C::SetCopyXingCai, {In("IsCopy", V::Boolean)}),
      Bind("SetCopyPeiJian", &C::SetCopyPeiJian, {In("IsCopy", V::Boolean)}),
      Bind("SetCopyBoLi", &C::SetCopyBoLi, {In("IsCopy", V::Boolean)}),
      Bind("SetCopyToXiLie", &C::SetCopyToXiLie,
           {In("IsToXL", V::Boolean), In("YuanID", V::Currency), In("DaoID", V::Currency)}),
      Bind("CopyFormula", &C::CopyFormula,
           {In("curCopyID", V::Currency), In("curPasteID", V::Currency), In("LB", V::Integer)}),
      Bind("CopyWinFormula", &C::CopyWinFormula,
           {In("curCopyID", V::Currency), In("curPasteID", V::Currency), In("LB", V::Integer)}),
  };
  c.events = {
      AccessErrorEvent(),
      {"ChongFu", 2, {}},
      {"Progress", 3, {In("i", V::Integer)}},
      {"rsFormula", 4, {Ref("rs", V::Object)}},
  };
  return c;
}

}  // namespace dravmor
