// ServerForColorPrice: a factory's profile colours with their prices (table
// 颜色价格), and one uniform price set on, or read from, all profiles or
// all steel liners of the factory (型材.JiaGe by its kind GangChen).
// Events: Accesserror, ChongFu (the colour exists in the factory), rsResult.
#pragma once

#include <memory>

#include "engine/dispatch.h"
#include "engine/form.h"
#include "engine/server_object.h"

namespace dravmor {

class ServerForColorPrice : public ServerObject {
 public:
  ServerForColorPrice();

  void SetCJID(int32_t lngCJ_id) { factory_ = Currency::FromWhole(lngCJ_id); }
  void EditAllPrice(float sglPrice);
  void DelColor(Currency ID);
  void EditColor(Currency ID, const std::shared_ptr<Object>& frm);
  void AddColorPrice(const std::shared_ptr<Object>& frm);
  RecordsetPtr GetColor();
  void EditAllGCPrice(float sglPrice);
  float GetXcPrice();
  float GetGcPrice();

  static ClassInfo Describe();

 private:
  bool FindChongFu(const std::string& colour, bool& editing, Currency ID);
  // The UPDATE and the price query share their condition on the kind.
  std::string OfKind(const std::string& kind) const;
  void SetUniformPrice(const char* operation, float price, const std::string& kind);
  float UniformPrice(const char* operation, const std::string& kind);

  Currency factory_{};
};

}  // namespace dravmor
