// ServerForPeiJianBang: the accessory bindings of table 绑定配件: an
// accessory, with a count, that goes with a main part named by GetPJID.
// The same pair may be bound twice; nothing refreshes the list but
// GetPeiJianBang.
// Events: Accesserror, ChongFu, rsZHu.
#pragma once

#include <memory>

#include "engine/dispatch.h"
#include "engine/server_object.h"

namespace dravmor {

class ServerForPeiJianBang : public ServerObject {
 public:
  ServerForPeiJianBang();

  void GetPJID(Currency lngXC_ID) { main_ = lngXC_ID; }
  void GetPeiJianBang();
  void AddBang(const std::shared_ptr<Object>& frm);
  void EditBang(Currency ID, const std::shared_ptr<Object>& frm);
  void DelBang(Currency ID);

  static ClassInfo Describe();

 private:
  Currency main_;
};

}  // namespace dravmor
