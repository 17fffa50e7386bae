// An exchange package read from its archive, checked before anything is
// written: only the list file and the data files it names are unpacked
// (within limits on entries and unpacked bytes); every list line must be
// one of the keys the export writes, each table at most once; every column
// of a data file must be a column of the database's table of that name
// (letter case ignored; the database's spelling is kept). Reads the
// database, never writes it. Failures carry the text shown to the user.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/archive.h"
#include "engine/references.h"
#include "engine/status.h"
#include "engine/variant.h"

namespace dravmor {

// One table of the export: its name, the key column its list line names,
// and the row id (the key the map of references knows), in the order the
// import writes them: parents before the rows that refer to them.
struct PackageKey {
  std::string_view table;
  std::string_view list_column;
  std::string_view id_column;
};
const std::vector<PackageKey>& PackageKeys();

// What a package may hold: the export writes 8 files; real catalogues stay
// far below these.
inline constexpr ArchiveLimits kPackageLimits{1000, uint64_t{512} << 20};
inline constexpr uint64_t kListFileLimit = 64 << 10;

struct PackageTable {
  std::string table;                 // the database's spelling
  std::string id_column;             // likewise
  std::vector<std::string> columns;  // the data file's columns, database spelling
  std::vector<int> types;            // their field types in the file
  size_t id_index = 0;
  std::vector<std::vector<Variant>> rows;

  int Column(std::string_view name) const;  // -1 when the file has none
};

struct Package {
  std::vector<PackageTable> tables;  // in PackageKeys() order
  const PackageTable* Find(std::string_view table) const;
};

// Unpacks the package into folder (new and empty; the caller removes it)
// and reads it. kFileNotFound when there is no list file.
Result<Package> ReadPackage(const std::string& archive_path, const std::string& folder,
                            DatabaseColumns& target);

}  // namespace dravmor
