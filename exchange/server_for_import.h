// ServerForImport: brings catalogue data in, either as a factory exchange
// package (SetPath: checked whole before the first row is written, then
// brought in by PackageImport in one transaction), or as a supplier's
// comma-separated price list of profiles (ImportXc) or accessories
// (ImportPJ), its factory and series found or created, all in one
// transaction: a list whose factory or series cannot be written writes
// nothing. Read again with its first line "1", a list replaces the values
// of the rows of its codes in place, keeping their ids, stock, formulas and
// bindings. Events: Accesserror, Ok (progress and result), Msg.
#pragma once

#include <string>
#include <vector>

#include "engine/dispatch.h"
#include "engine/server_object.h"

namespace dravmor {

class ServerForImport : public ServerObject {
 public:
  ServerForImport();

  void SetPath(const std::string& strPathA);
  void ImportXc(const std::string& strFileName);
  void ImportPJ(const std::string& strFileName);

  // What the last SetPath, ImportXc or ImportPJ did: rows written, rows
  // or lines left out (refused, malformed, or cut off from a refused
  // parent), and whether it ran to its closing status.
  struct Outcome {
    uint64_t written = 0;
    uint64_t skipped = 0;
    bool finished = false;
  };
  const Outcome& outcome() const { return outcome_; }

  static ClassInfo Describe();

 private:
  struct PriceList;  // a text import's running state
  Currency GetNewID(const std::string& table, const std::string& column);
  // False when the row could not be found or written.
  bool FindOrAddFactory(const std::string& full, const std::string& short_name,
                        const std::string& code, int kind);
  bool FindOrAddSeries(const std::string& name, int type);
  // The statement that brings one line in (empty: the line is already
  // there and is kept), with the list's running state advanced.
  std::string ImportOneProfile(PriceList& list, const std::string& code, const std::string& name,
                               float price);
  std::string ImportOnePJ(PriceList& list, const std::string& code, const std::string& name,
                          const std::string& unit, double price);
  void ImportText(const std::string& file, bool profiles);
  void LoadExisting(PriceList& list, bool profiles);
  // A batch of data lines within a savepoint; when the database refuses
  // one, the batch is written again line by line, so that only the
  // refused lines are lost. Counts into the list's tallies.
  Status ImportLines(PriceList& list, bool profiles, const std::vector<std::string>& lines);
  void Import(const std::string& archive, const std::string& folder);
  void Progress(const std::string& status, int16_t percent);
  void Message(const std::string& text);

  bool replace_ = false;
  Currency factory_id_;
  Currency series_id_;
  int16_t category_id_ = 0;
  std::string owner_;
  Outcome outcome_;
};

}  // namespace dravmor
