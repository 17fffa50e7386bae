// ServerForFormulaDanYuan: the calculation formulas of the window templates
// (per template and series) and of the unit templates (per unit template and
// material family), six kinds at each level chosen by a BtType number; their
// display order; the free text of a window template; the formula units of
// the unit drawings (rows filtered by the caller's window-kind conditions);
// and the copy of a template's formulas onto another template. Formula texts
// are stored as typed and never evaluated here.
// Events: Accesserror, ChongFu, Progress, rsFormula.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/dispatch.h"
#include "engine/server_object.h"

namespace dravmor {

class ServerForFormulaDanYuan : public ServerObject {
 public:
  ServerForFormulaDanYuan();

  // Object state.
  void GetXLID(Currency ID) { series_ = ID; }
  void GetTuID(Currency ID) { template_ = ID; }
  void SetGsID(Currency ID) { parent_formula_ = ID; }
  void GetDanChuang(bool blDanChuang) { window_level_ = blDanChuang; }
  void SetlvSu(int32_t LvSG) { lv_su_ = LvSG; }
  void SetV(Variant V) { value_ = std::move(V); }
  void SetWeiShu(int32_t lngTemp) { move_distance_ = lngTemp; }
  void strSQL(const std::string& strTemp) { extra_condition_ = strTemp; }

  // Formulas.
  void CreateFormula(const std::shared_ptr<Object>& lvw);
  RecordsetPtr GetFormula(uint8_t BtType = 1);
  void AddFormula(const std::shared_ptr<Object>& frm, uint8_t BtType, Currency curCLID);
  void EditFormula(Currency ID, const std::shared_ptr<Object>& frm, uint8_t BtType);
  void DelFormula(Currency ID, uint8_t BtType);
  int32_t GetMaxWeiShu(int32_t CurShunxu, bool IsUp, int32_t BtType);
  void UpDown(Currency CurShunxu, uint8_t BtType, Currency ID, bool blUp = true);
  void SetGTFormula(Currency GTTKID, Currency GTXLID, const std::string& strGT);
  std::string GetGTFormula(Currency GTTKID, Currency GTXLID);

  // Formula units.
  RecordsetPtr GetFormulaUnit(Currency unitTK_ID, const std::string& strUnitSQL,
                              const std::string& unitType);
  void AddFormulaUnit(const std::shared_ptr<Object>& frm, const std::string& BtType,
                      Currency curCLID, const std::string& strUnitSQL,
                      const std::string& strAddUnitSQL);
  void EditFormulaUnit(Currency ID, const std::shared_ptr<Object>& frm,
                       const std::string& strType, const std::string& strUnitSQL);
  void DelFormulaUnit(Currency ID, const std::string& strType, const std::string& strUnitSQL);
  void CopyFormulaUnit(Currency curCopyID, Currency curPasteID, const std::string& strCopySQL,
                       const std::string& strPasteSQL, const std::string& strPasteSQLAdd);
  void ExecuteSQL();

  // Formula copy.
  void SetCopyXingCai(bool IsCopy) { copy_profiles_ = IsCopy; }
  void SetCopyPeiJian(bool IsCopy) { copy_accessories_ = IsCopy; }
  void SetCopyBoLi(bool IsCopy) { copy_glass_ = IsCopy; }
  void SetCopyToXiLie(bool IsToXL, Currency YuanID, Currency DaoID);
  void CopyFormula(Currency curCopyID, Currency curPasteID, int16_t LB);
  void CopyWinFormula(Currency curCopyID, Currency curPasteID, int16_t LB);

  static ClassInfo Describe();

 private:
  // Value pieces of SQL text.
  static std::string Quoted(const std::string& text);   // '...' through SqlQuote
  static std::string Quoted(const Variant& value);  // NULL for Null
  static std::string Number(const Variant& value);      // plain number or NULL
  static std::string LeadingValue(const std::string& text);  // numeric value of a form text
  std::string T() const { return SqlNumber(template_); }
  std::string X() const { return SqlNumber(series_); }
  std::string L() const { return SqlNumber(lv_su_); }

  // Largest value of the column plus one (largest false: the smallest
  // value), 1 for an empty table; 0 when the query fails. Silent handler.
  Currency GetMaxID(const std::string& table, const std::string& column, bool largest = true);
  // The next order value: the query's maximum plus one, 1 for none.
  int64_t NextOrder(const std::string& max_sql);
  // The table, id, scope and series columns of the order numbering.
  struct OrderTable {
    const char* table;
    const char* id;
    const char* scope;
    const char* series;
  };
  static const OrderTable* OrderTableOf(int32_t BtType);
  // One step of a formula copy: the target's rows of a table replaced by
  // copies of the source's.
  struct CopyStep;
  void RunCopyStep(const CopyStep& step);
  // The order statements' common WHERE clause: series and template.
  std::string OrderScope(const OrderTable& t) const;

  Currency template_{};
  Currency series_{};
  Currency parent_formula_{};
  bool window_level_ = false;
  Variant value_;
  int32_t lv_su_ = 0;
  int32_t move_distance_ = 0;
  std::string extra_condition_;
  uint8_t last_type_ = 0;

  bool copy_profiles_ = false;
  bool copy_accessories_ = false;
  bool copy_glass_ = false;
  bool copy_to_series_ = false;
  Currency copy_from_series_{};
  Currency copy_to_series_id_{};
};

}  // namespace dravmor
