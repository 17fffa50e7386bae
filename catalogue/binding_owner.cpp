#include "catalogue/binding_owner.h"

#include "engine/routines.h"

namespace dravmor {

std::string OwnedBy(BindingOwner owner) {
  switch (owner) {
    case kOwnerProfile:
      return " AND (ZhuType=0 OR (ZhuType IS NULL AND Zhu_id NOT IN (SELECT pj_id FROM 配件)))";
    case kOwnerAccessory:
      return " AND (ZhuType=1 OR (ZhuType IS NULL AND Zhu_id NOT IN (SELECT xc_id FROM 型材)))";
    case kOwnerGlass:
      return " AND ZhuType=2";
    case kOwnerUnknown:
      break;
  }
  return "";
}

void AddBindingOwnerColumn(SharedConnection& connection, dialect::Source source,
                           const StatementRunner& run) {
  // One statement: a main id found among the profiles or the accessories
  // but not both gets that kind (the count of accessories with the id, 0
  // or 1); the others stay Null.
  AddFieldIfMissing(connection, "绑定配件", "ZhuType", "Long", "",
                    "UPDATE 绑定配件 SET ZhuType=(SELECT COUNT(*) FROM 配件 WHERE pj_id=Zhu_ID) "
                    "WHERE (SELECT COUNT(*) FROM 型材 WHERE xc_id=Zhu_ID)+"
                    "(SELECT COUNT(*) FROM 配件 WHERE pj_id=Zhu_ID)=1",
                    source, run);
}

}  // namespace dravmor
