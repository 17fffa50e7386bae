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
  // The formula form, by BtType.
  const std::vector<FormControlInfo> formula = {
      Control("txtformula", 0, "Text", "BtType 1, 2: Gs; 3: Gs_Chang; 5: bk_STR; 6: ShanH"),
      Control("txtformula", 1, "Text", "BtType 1: Shuliang; 2: Fa; 3: Gs_Kuan; 5: bk_Mean; 6: ShanW"),
      Control("txtformula", 2, "Text", "BtType 1: xlFS; 3: ShuLiang; 5: bk_CODE; 6: ShanName"),
      Control("txtbldh", {}, "Text", "BtType 3: glass code; 6: IsShaShan (leading number)"),
      Control("combWeiZhi", {}, "Text", "BtType 4: Dir"),
      Control("txtV", 0, "Text", "BtType 4: Hv"),
      Control("txtV", 1, "Text", "BtType 4: Lv1"),
      Control("txtV", 2, "Text", "BtType 4: Lv2"),
      Control("txtV", 3, "Text", "BtType 4: Lv3"),
      Control("txtV", 4, "Text", "BtType 4: Lv4"),
      Control("txtV", 5, "Text", "BtType 4: Lv5"),
      Control("txtV", 6, "Text", "BtType 4: Lv6"),
      Control("txtV", 7, "Text", "BtType 4: Lv7"),
      Control("txtV", 8, "Text", "BtType 4: Lv8"),
      Control("txtV", 9, "Text", "BtType 4: Lv9"),
      Control("txtV", 10, "Text", "BtType 4: Lv10"),
      Control("txtCaiLiao", {}, "Text", "BtType 4: CLMC")};
  c.SetForm("EditFormula", formula);  // an edit keeps the material family
  std::vector<FormControlInfo> added = formula;
  added.push_back(Control("cmbLvSu", {}, "ListIndex", "LvSu (unit level, BtType 1, 2, 3, 5, 6)"));
  c.SetForm("AddFormula", added);
  // The formula unit form, by kind.
  const std::vector<FormControlInfo> unit = {
      Control("txtformula", 0, "Text", "型材公式, 配件公式: GS; 玻璃公式: GS_Chang; 扇加工图: ShanH"),
      Control("txtformula", 1, "Text", "型材公式: ShuLiang; 配件公式: Fa; 玻璃公式: Gs_Kuan; 扇加工图: ShanW"),
      Control("txtformula", 2, "Text", "型材公式: xlFS; 玻璃公式: ShuLiang (leading number); 扇加工图: ShanName"),
      Control("txtbldh", {}, "Text", "玻璃公式: BLDH; 扇加工图: IsShaShan (leading number)")};
  c.SetForm("AddFormulaUnit", unit);
  c.SetForm("EditFormulaUnit", unit);
  // Error modes other than handler; setters, which cannot fail, are none.
  c.SetErrorMode(ErrorMode::None, {"GetXLID", "GetTuID", "SetGsID", "GetDanChuang", "SetlvSu",
      "SetV", "SetWeiShu", "strSQL", "CreateFormula", "ExecuteSQL", "SetCopyXingCai",
      "SetCopyPeiJian", "SetCopyBoLi", "SetCopyToXiLie"});
  c.SetErrorMode(ErrorMode::ResumeNext, {"GetMaxWeiShu", "SetGTFormula", "GetGTFormula",
      "GetFormulaUnit", "AddFormulaUnit", "EditFormulaUnit", "DelFormulaUnit", "CopyFormulaUnit"});
  return c;
}

}  // namespace dravmor
