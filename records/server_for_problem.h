// ServerForProblem: the problem and after-sales records of one project
// (Problem), and the profile section parameters (JieMianPara: code, name,
// series, wall thickness, sectional area and three section values). The
// change operations raise nothing; the caller lists again.
// Events: Accesserror, ChongFu (never raised), rsResult, rsResultGXJ.
#pragma once

#include <memory>

#include "engine/dispatch.h"
#include "engine/form.h"
#include "engine/text.h"
#include "records/project_record.h"

namespace dravmor {

class ServerForProblem : public ProjectRecordObject {
 public:
  ServerForProblem();

  RecordsetPtr GetDetail();
  void Add(const std::shared_ptr<Object>& frm);
  void Edit(Currency ID, const std::shared_ptr<Object>& frm);
  void Del(Currency ID);
  void GetGXJ();
  void AddGXJ(const std::shared_ptr<Object>& frm);
  void EditGXJ(Currency ID, const std::shared_ptr<Object>& frm);
  void DelGXJ(Currency ID);

  static ClassInfo Describe();

 private:
  std::string Box(const std::shared_ptr<Object>& frm, const char* control, int index) {
    return SqlQuote(FormText(frm, control, index));
  }
};

}  // namespace dravmor
