// ServerForBiao: the registers of bid documents (TouBiao) and contracts
// (HeTong), one at a time as SetDocType chooses; a document's name is
// unique in its register. Events: Accesserror, ChongFu, rsResult.
#pragma once

#include <memory>

#include "engine/dispatch.h"
#include "engine/form.h"
#include "records/project_record.h"

namespace dravmor {

enum class DocType : int32_t { BiaoShu = 0, HeTong = 1 };

class ServerForBiao : public ProjectRecordObject {
 public:
  ServerForBiao();

  void SetDocType(int32_t DocTypeDetail);
  RecordsetPtr GetDetail();
  void Add(const std::shared_ptr<Object>& frm);
  void Edit(Currency ID, const std::shared_ptr<Object>& frm);
  void Del(Currency ID);

  static ClassInfo Describe();

 private:
  bool FindChongFu(const std::string& name, bool editing, Currency ID);
  // Before SetDocType there is no register: the operation fails with a
  // clear message instead of running statements without a table name.
  bool HasRegister();

  std::string table_;  // "TouBiao" or "HeTong"; empty until SetDocType
};

}  // namespace dravmor
