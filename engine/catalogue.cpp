#include "engine/catalogue.h"

#include <algorithm>

#include "engine/text.h"

namespace dravmor {

Catalogue::Catalogue(std::vector<CatalogueTable> tables, std::vector<CatalogueIndex> indexes)
    : tables_(std::move(tables)) {
  std::sort(tables_.begin(), tables_.end(),
            [](const CatalogueTable& a, const CatalogueTable& b) { return a.name < b.name; });
  for (size_t i = 0; i < tables_.size(); ++i)
    by_lower_name_.emplace(ToLowerAscii(tables_[i].name), i);
  indexes_ = std::move(indexes);
  for (const CatalogueIndex& index : indexes_) lower_indexes_.insert(ToLowerAscii(index.name));
}

bool Catalogue::HasTable(std::string_view exact_name) const {
  const CatalogueTable* table = Find(exact_name);
  return table && table->name == exact_name;
}

const CatalogueTable* Catalogue::Find(std::string_view name) const {
  auto it = by_lower_name_.find(ToLowerAscii(name));
  return it == by_lower_name_.end() ? nullptr : &tables_[it->second];
}

const CatalogueColumn* Catalogue::FindColumn(std::string_view table,
                                             std::string_view column) const {
  const CatalogueTable* t = Find(table);
  if (!t) return nullptr;
  for (const CatalogueColumn& c : t->columns)
    if (EqualsIgnoreCase(c.name, column)) return &c;
  return nullptr;
}

bool Catalogue::HasIndex(std::string_view name) const {
  return lower_indexes_.count(ToLowerAscii(name)) > 0;
}

}  // namespace dravmor
