// ServerForMoney: the money side of one project: its contract total and
// warranty retention (MoneyGc, one row per project) and the payments
// received (GcMoney), with the account summary line
// "total;retention;paid;outstanding;outstanding+retention".
// Every change ends with the summary (DisplayMsg) and the payment list
// (rsResult), in that order.
// Events: Accesserror, ChongFu (never raised), rsResult, DisplayMsg.
#pragma once

#include <memory>

#include "engine/dispatch.h"
#include "engine/form.h"
#include "records/project_record.h"

namespace dravmor {

class ServerForMoney : public ProjectRecordObject {
 public:
  ServerForMoney();

  std::string DisplayInfo();
  RecordsetPtr GetDetail();
  void Add(const std::shared_ptr<Object>& frm);
  void Edit(Currency ID, const std::shared_ptr<Object>& frm);
  void Del(Currency ID);
  void EditZong(Currency sglZong, Currency sglZhi);

  static ClassInfo Describe();

 private:
  // The payment form's amount as SQL text; a text that is not a number is
  // the operation's failure, named after its control.
  std::string Amount(const std::shared_ptr<Object>& frm);
  void Refresh();
};

}  // namespace dravmor
