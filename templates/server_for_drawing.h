// ServerForDrawing: the small server of the window drawing editor. It runs
// the editor's own queries on the unit drawings, and registers a newly drawn
// window as a template row of 图库 in a database the editor names by its
// connection string, through a connection of its own that the thread keeps
// for that string until it ends (the thread's shared connection is neither
// used nor changed).
// Events: Accesserror, IDExist.
#pragma once

#include <string>

#include "engine/dispatch.h"
#include "engine/server_object.h"

namespace dravmor {

class ServerForDrawing : public ServerObject {
 public:
  ServerForDrawing();

  RecordsetPtr QueryDanYuanTu(std::string& strQuery);
  void AddWindow(Currency ID, Currency lbID, const std::string& strShuoMing, uint8_t ShiGongJu,
                 const std::string& strComDyID, std::string& strcnObConnection,
                 const Variant& udtDraw);

  static ClassInfo Describe();

 private:
  // Held from creation on; every QueryDanYuanTu replaces it.
  RecordsetPtr rs_ = std::make_shared<Recordset>();
};

}  // namespace dravmor
