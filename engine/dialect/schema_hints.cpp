#include "engine/dialect/rewriter.h"
#include "engine/dialect/types.h"
#include "engine/text.h"

namespace dravmor::dialect {

int SchemaHints::ColumnType(std::string_view table, std::string_view column) const {
  auto t = column_types.find(ToLowerAscii(table));
  if (t == column_types.end()) return 0;
  auto c = t->second.find(ToLowerAscii(column));
  return c == t->second.end() ? 0 : c->second;
}

void SchemaHints::AddColumn(std::string_view table, std::string_view column, int ado_type) {
  column_types[ToLowerAscii(table)][ToLowerAscii(column)] = ado_type;
  if (ado_type == AdoType::kBoolean) boolean_columns.insert(ToLowerAscii(column));
}

}  // namespace dravmor::dialect
