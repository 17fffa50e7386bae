// PackageImport: brings the rows of a checked exchange package into the
// database. First it plans, reading only: each package row either matches
// a row the workshop already holds (same factory code; a category of the
// same name, kind, type and material family; a series of the same name,
// parent and kind within that factory; a profile of the same code in that
// series; ...), and then replaces that row's values under the workshop's
// own id (its stock, locks and owners kept), or it is new and keeps its
// package key, a workshop row of no match that holds the key moving to a
// new one with every reference (the map of references). Categories follow
// the older rule: a matching category takes the package's id. Every
// reference inside the package is translated to the keys chosen. A package
// row never merges with another package row.
//
// Then it writes, inside the caller's one transaction: the import is all
// or nothing. One transaction rather than a restartable design because
// the moves of workshop rows and the writes of package rows depend on one
// another: a run cut between them would leave a state from which a second
// run cannot tell moved rows from imported ones, while a transaction both
// backends keep across a crash. Rows go in batches (multi-row INSERT)
// within a savepoint; a batch the database refuses is written again row by
// row, so that only the refused rows are lost, and a refused row's
// children (rows that refer to it) are skipped, never attached elsewhere.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/references.h"
#include "engine/shared_connection.h"
#include "exchange/package.h"

namespace dravmor {

// A package row that was not written, and why.
struct SkippedRow {
  std::string table;
  std::string key;  // "<id column>=<value>"
  std::string why;
};

class PackageImport {
 public:
  PackageImport(SharedConnection& connection, DatabaseColumns& columns, const Package& package);
  ~PackageImport();

  // Decides every row's key; reads only. A failure is a read that failed.
  Status Plan();
  // Writes in the caller's transaction. progress(table, rows done, rows in
  // all) after every batch. A failure leaves the transaction to be rolled
  // back; refused rows are no failure.
  Status Write(const std::function<void(const std::string&, uint64_t, uint64_t)>& progress);

  uint64_t written() const { return written_; }
  const std::vector<SkippedRow>& skipped() const { return skipped_; }

 private:
  struct Table;
  Status PlanTable(Table& t);
  Status LoadWorkshop(Table& t);
  // The row's references in target keys; false (with why) when a parent
  // it needs is refused or not in the package. final: every table's keys
  // are decided (else only matches count, for the table being planned).
  bool Translate(const Table& t, const std::vector<Variant>& row, bool final,
                 std::vector<Variant>& out, bool& parents_matched, std::string& why) const;
  Status WriteTable(Table& t, uint64_t& done, uint64_t total,
                    const std::function<void(const std::string&, uint64_t, uint64_t)>& progress);
  Status WriteBatch(Table& t, const std::vector<size_t>& rows, bool one_by_one);
  void Skip(Table& t, size_t row, const std::string& why);
  Table* Find(std::string_view table);

  SharedConnection& connection_;
  DatabaseColumns& columns_;
  const Package& package_;
  std::vector<std::unique_ptr<Table>> tables_;
  uint64_t written_ = 0;
  std::vector<SkippedRow> skipped_;
};

}  // namespace dravmor
