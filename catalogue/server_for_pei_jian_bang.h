// ServerForPeiJianBang: the accessory bindings of table 绑定配件: an
// accessory, with a count, that goes with a main part named by GetPJID.
// The main part is a profile or an accessory, whose ids overlap: GetPJID's
// optional kind says which (binding_owner.h); without it a new binding
// takes the kind whose table alone holds the main id, else stays unknown.
// The same pair may be bound twice; nothing refreshes the list but
// GetPeiJianBang.
// Events: Accesserror, ChongFu, rsZHu.
#pragma once

#include <memory>

#include "catalogue/binding_owner.h"
#include "engine/dispatch.h"
#include "engine/server_object.h"

namespace dravmor {

class ServerForPeiJianBang : public ServerObject {
 public:
  ServerForPeiJianBang();

  void GetPJID(Currency lngXC_ID, int32_t ZhuType = kOwnerUnknown);
  void GetPeiJianBang();
  void AddBang(const std::shared_ptr<Object>& frm);
  void EditBang(Currency ID, const std::shared_ptr<Object>& frm);
  void DelBang(Currency ID);

  static ClassInfo Describe();

 private:
  // The kind of the main part as stored: its code, or NULL when unknown.
  std::string OwnerValue();

  Currency main_;
  BindingOwner owner_ = kOwnerUnknown;
};

}  // namespace dravmor
