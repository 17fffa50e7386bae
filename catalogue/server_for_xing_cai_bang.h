// ServerForXingCaiBang: the profile bindings of table 绑定. A binding ties a
// bound profile to a main profile, with the main length it applies to, the
// distance kept at both ends and the number of pieces, so that choosing the
// main profile brings the bound one along. Works on the bindings of one main
// profile, named with GetXCID. The same pair may be bound twice; nothing
// refreshes the list but GetXingCaiBang.
// Events: Accesserror, ChongFu, rsZHu.
#pragma once

#include <memory>

#include "engine/dispatch.h"
#include "engine/server_object.h"

namespace dravmor {

class ServerForXingCaiBang : public ServerObject {
 public:
  ServerForXingCaiBang();

  void GetXCID(Currency lngXC_ID) { main_ = lngXC_ID; }
  void GetXingCaiBang();
  void AddBang(const std::shared_ptr<Object>& frm);
  void EditBang(Currency ID, const std::shared_ptr<Object>& frm);
  void DelBang(Currency ID);

  static ClassInfo Describe();

 private:
  Currency main_;
};

}  // namespace dravmor
