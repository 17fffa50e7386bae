// ServerForBoLi: the glass catalogue of table 玻璃, sheets of a factory with
// code, size, thickness, colour, price and stock count. Besides the factory
// list there is a chooser across all factories: the distinct thickness and
// colour pairs, and the sheets of one pair. Stock counts change by a signed
// amount and may go below 0.
// Events: Accesserror, ChongFu, rsResult.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/dispatch.h"
#include "engine/server_object.h"

namespace dravmor {

class ServerForBoLi : public ServerObject {
 public:
  ServerForBoLi();

  void SetXLID(int32_t lngCJ_id) { factory_ = lngCJ_id; }
  void SetCangKu(bool IsCang) { stock_view_ = IsCang; }
  // A ready SQL condition of the caller's for the chooser, placed as it stands.
  void SetSQL(const std::string& strYuJu) { chooser_condition_ = strYuJu; }
  void SetFoShan(bool IsFS) { colour_suffix_ = IsFS; }

  void AddBoLi(const std::shared_ptr<Object>& frm);
  void EditBoLi(Currency ID, const std::shared_ptr<Object>& frm);
  void DelBoLi(Currency ID);
  void UpdateNum(Currency ID, int16_t NUm);
  void QingKongBLCK(Currency lngID);
  // IsForChoose: strDaiMa empty lists the pairs, "All" every sheet, else
  // "<thickness> <colour>" the sheets of that pair.
  RecordsetPtr GetBoLi(std::string& strDaiMa, bool IsForChoose);
  RecordsetPtr GetBoLi();  // "", False

  static ClassInfo Describe();

 private:
  struct GlassForm {
    std::string code, thickness, colour;  // ready to stand between quotes
    std::string length, width, price;
  };
  GlassForm ReadForm(const std::shared_ptr<Object>& frm);
  void Refresh();  // GetBoLi("", False)

  int32_t factory_ = 0;
  bool stock_view_ = false;
  std::string chooser_condition_;
  bool colour_suffix_ = false;
};

}  // namespace dravmor
