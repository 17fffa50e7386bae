// ServerForInstall: the installation records of one project (GcInstall:
// description, installer, date as typed). Every change lists the project's
// records again. Events: Accesserror, ChongFu (never raised), rsResult.
#pragma once

#include <memory>

#include "engine/dispatch.h"
#include "engine/form.h"
#include "records/project_record.h"

namespace dravmor {

class ServerForInstall : public ProjectRecordObject {
 public:
  ServerForInstall();

  RecordsetPtr GetDetail();
  void Add(const std::shared_ptr<Object>& frm);
  void Edit(Currency ID, const std::shared_ptr<Object>& frm);
  void Del(Currency ID);

  static ClassInfo Describe();
};

}  // namespace dravmor
