// ServerForPeiJian: the accessory (hardware) catalogue of table 配件. An
// accessory belongs to a factory, not to a series; the current factory -1
// stands for every factory in the lists that can show them all. Lists by
// code or name filtered on a category flag column of 类别, the stock view
// with the factory's short name, stock counts changed by a signed amount
// (they may go below 0), and the accessories of one category.
// Events: Accesserror, ChongFu, rsResult, rsXuanPJ.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/dispatch.h"
#include "engine/server_object.h"

namespace dravmor {

class ServerForPeiJian : public ServerObject {
 public:
  ServerForPeiJian();

  void SetXLID(int32_t lngCJ_id) { factory_ = lngCJ_id; }
  void SetlvSu(int32_t LvSG) { lv_su_ = LvSG; }
  void GetDanFu(bool IsDan) { category_list_ = IsDan; }

  void AddPeiJian(const std::shared_ptr<Object>& frm);
  void EditPeiJian(Currency ID, const std::shared_ptr<Object>& frm);
  void DelPeiJian(Currency ID);
  Variant UpdateNum(Currency ID, int16_t NUm);
  Variant UpdateNumNewVer(Currency ID, float NUm);
  void QingKongPJCK(Currency lngID);
  // strKey: a flag column of 类别, or "PJ" (no category condition) or
  // "All" (the stock view).
  RecordsetPtr GetPeiJian(std::string& strDaiMa, std::string& strKey);
  RecordsetPtr GetPeiJian();  // "", "TC"
  RecordsetPtr GetPeiJianByName(std::string& strDaiMa, std::string& strKey);
  void GetXuanPJ(Currency PJID);

  static ClassInfo Describe();

 private:
  struct AccessoryForm {
    std::string code, name, guige, unit;  // ready to stand between quotes
    std::string price, category, rounding;
  };
  AccessoryForm ReadForm(const std::shared_ptr<Object>& frm);
  // "AND 类别.<key>=1"; empty for "PJ". A key that is not a plain column
  // name fails the operation.
  std::string CategoryCondition(const std::string& key);
  void Refresh(const char* key);  // GetPeiJian("", key)
  void ChangeStock(const std::string& amount);

  int32_t factory_ = 0;
  int32_t lv_su_ = 0;
  bool category_list_ = false;
};

}  // namespace dravmor
