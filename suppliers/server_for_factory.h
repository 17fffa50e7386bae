// ServerForFactory: the factories (profile-system makers, accessory and
// other suppliers) of table 厂家, listed by category and type with favourite
// and code filters, added and edited with the duplicate-code test, marked as
// favourites, locked and deleted together with the bindings and per-series
// tables of their catalogue. Events: Accesserror, BianMaChongFu, rsResult.
#pragma once

#include <string>

#include "engine/dispatch.h"
#include "engine/server_object.h"

namespace dravmor {

class ServerForFactory : public ServerObject {
 public:
  ServerForFactory();

  void SetType(int16_t intFacType, uint8_t CJLB);
  void UpdateChangYong(Currency ID, uint8_t Yong);
  void DelFactory(Currency ID);
  void EditFactory(Currency ID, const std::shared_ptr<Object>& frm);
  void AddFactory(const std::shared_ptr<Object>& frm, int16_t intType, uint8_t CJLB = 0);
  RecordsetPtr GetFactory(std::string& BianMa, int16_t intType, uint8_t& ChangYong);
  RecordsetPtr GetFactory();  // all defaults: "", 0, 1
  void SetSQLSERVER(bool Is2000);
  void ExecuteToXL(const Variant& strSQL);
  void SetCZYName(const std::string& strNM);
  void SetFactorySuo(Currency gcID, int32_t lngSuo);
  void SetCaoZuoYuan(const std::string& strCZY, bool IsYanGe = false);

  static ClassInfo Describe();

 protected:
  void AfterConnect() override;  // CheckGangChen

 private:
  bool FindChongFu(const std::string& code, bool& editing, Currency ID);
  void RefreshList();  // GetFactory with an empty code, the stored type and 2

  int16_t factory_type_ = 0;
  uint8_t category_ = 0;
  std::string scope_;
  std::string operator_name_;
};

}  // namespace dravmor
