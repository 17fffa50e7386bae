// Who owns an accessory binding. A 绑定配件 row's main part (Zhu_ID) may be
// a profile or an accessory, whose ids overlap; ZhuType says which, in the
// stock ledger's item-type codes. Rows whose owner cannot be told (written
// before the column, or by a caller that did not say and whose main id
// names both kinds) keep ZhuType Null: they are listed for either kind and
// deleted with a part only when no part of the other kind has that id.
#pragma once

#include <cstdint>
#include <string>

#include "engine/dialect/rewriter.h"
#include "engine/routines.h"
#include "engine/shared_connection.h"

namespace dravmor {

enum BindingOwner : int32_t {
  kOwnerUnknown = -1,  // stored as Null
  kOwnerProfile = 0,
  kOwnerAccessory = 1,
  kOwnerGlass = 2,
};

// The condition (" AND ...") that narrows a delete of 绑定配件 rows by main
// id to the rows the given kind owns.
std::string OwnedBy(BindingOwner owner);

// The log-in upgrade step: adds ZhuType when it is missing and marks the
// existing rows whose main id names a part of one kind only.
// Its statements go through `run` when one is given.
void AddBindingOwnerColumn(SharedConnection& connection, dialect::Source source,
                           const StatementRunner& run = {});

}  // namespace dravmor
