// Catalogue: what a database holds, read from it in one go and kept by the
// connection until the engine itself changes the schema: every table and
// view with its columns in their stored order (declared names, field types)
// and its primary key, and the indexes with the column each begins with. A plain value; no database access.
// Table names are matched exactly (letter case included) by HasTable, as the
// table-existence test promises, and without ASCII letter case by Find, as
// SQL text names them; column and index names never depend on letter case.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace dravmor {

struct CatalogueColumn {
  std::string name;
  int type = 0;  // the ADO field type; 0 when the engine did not declare it
  // The declared type in the engine's own spelling ("VARCHAR(200)",
  // "REAL"); empty when not known.
  std::string declared_type;
};

struct CatalogueTable {
  std::string name;
  std::vector<CatalogueColumn> columns;  // in stored order
  std::vector<std::string> primary_key;  // column names in key order
};

struct CatalogueIndex {
  std::string name;
  std::string table;         // as it was created
  std::string first_column;  // empty when the index begins with an expression
};

class Catalogue {
 public:
  Catalogue() = default;
  Catalogue(std::vector<CatalogueTable> tables, std::vector<CatalogueIndex> indexes);

  // Sorted by name.
  const std::vector<CatalogueTable>& Tables() const { return tables_; }
  bool HasTable(std::string_view exact_name) const;
  const CatalogueTable* Find(std::string_view name) const;
  // Null (false) when the table or the column is missing.
  const CatalogueColumn* FindColumn(std::string_view table, std::string_view column) const;
  bool HasColumn(std::string_view table, std::string_view column) const {
    return FindColumn(table, column) != nullptr;
  }
  bool HasIndex(std::string_view name) const;
  const std::vector<CatalogueIndex>& Indexes() const { return indexes_; }

 private:
  std::vector<CatalogueTable> tables_;
  std::unordered_map<std::string, size_t> by_lower_name_;
  std::vector<CatalogueIndex> indexes_;
  std::unordered_set<std::string> lower_indexes_;
};

}  // namespace dravmor
