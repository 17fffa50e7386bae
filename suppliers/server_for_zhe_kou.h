// ServerForZheKou: the named discount rates (table ZheKouLv) that price
// calculations apply: add, edit, delete and list. The change operations
// neither test for duplicates nor refresh; the caller lists again.
// Events: Accesserror, ChongFu (never raised), rsResult.
#pragma once

#include <memory>

#include "engine/dispatch.h"
#include "engine/form.h"
#include "engine/server_object.h"

namespace dravmor {

class ServerForZheKou : public ServerObject {
 public:
  ServerForZheKou();

  void Add(const std::shared_ptr<Object>& frm);
  void Edit(Currency ID, const std::shared_ptr<Object>& frm);
  void Del(Currency ID);
  RecordsetPtr GetDetail();

  static ClassInfo Describe();

 private:
  // The name (quoted) and the rate (numeric value of its text).
  std::pair<std::string, std::string> ReadRate(const std::shared_ptr<Object>& frm);
};

}  // namespace dravmor
