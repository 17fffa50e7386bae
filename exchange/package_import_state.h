// What PackageImport keeps of one table between planning and writing
// (private to exchange/package_import*.cpp).
#pragma once

#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "engine/references.h"
#include "exchange/package_import.h"

namespace dravmor {

// A column of a package table that holds another package table's key.
struct PackageReference {
  size_t column;
  const KeyOwner* owner;
  const Reference* reference;
  // What becomes of a value the package does not hold: the row is skipped
  // (a parent it cannot live without), the value kept, or 0 written.
  enum Outside { kRequired, kKeep, kZero };
  Outside outside;
};

struct PackageImport::Table {
  const PackageTable* source = nullptr;
  const KeyOwner* owner = nullptr;
  bool keeps_package_ids = false;  // categories: a match takes the package's id
  std::vector<PackageReference> references;

  // The workshop's rows a package row may match, read whole.
  std::vector<std::string> workshop_columns;
  std::vector<int> workshop_types;
  std::vector<std::vector<Variant>> workshop_rows;
  std::unordered_set<int64_t> workshop_keys;  // every key of the table

  std::vector<size_t> order;                         // rows to write, parents first
  std::vector<std::optional<int64_t>> package_id;    // by row
  std::unordered_map<int64_t, size_t> row_of;        // package id -> row
  std::unordered_map<int64_t, int64_t> matched;      // package id -> workshop id
  std::unordered_map<int64_t, size_t> replaces;      // package id -> workshop row
  std::unordered_map<int64_t, int64_t> target;       // package id -> key written
  std::unordered_set<int64_t> refused;               // package ids not written
  // Workshop rows that move: first to a fresh key, then (categories taking
  // a package id) on to their final one; moved gives the final key.
  std::vector<std::pair<int64_t, int64_t>> moves, then_moves;
  std::unordered_map<int64_t, int64_t> moved;

  int WorkshopColumn(std::string_view name) const;
  const std::string& Name() const { return source->table; }
};

}  // namespace dravmor
