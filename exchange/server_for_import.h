// ServerForImport: brings catalogue data in, either as a factory exchange
// package (SetPath: unpacked into a folder of its own, every file checked
// before the first row is written, then each data file inserted into its
// table, rows that hold a taken key making room through UpdateID), or as a
// supplier's comma-separated price list of profiles (ImportXc) or
// accessories (ImportPJ), its factory and series found or created.
// Events: Accesserror, Ok (progress and result), Msg.
#pragma once

#include <map>
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

  static ClassInfo Describe();

 private:
  struct PriceList;  // a text import's running state
  Currency GetNewID(const std::string& table, const std::string& column);
  void FindOrAddFactory(const std::string& full, const std::string& short_name,
                        const std::string& code, int kind);
  void FindOrAddSeries(const std::string& name, int type);
  // False when one of its statements failed.
  bool ImportOneProfile(PriceList& list, const std::string& code, const std::string& name,
                        float price);
  bool ImportOnePJ(PriceList& list, const std::string& code, const std::string& name,
                   const std::string& unit, double price);
  void ImportText(const std::string& file, bool profiles);
  void LoadExisting(PriceList& list, bool profiles);
  // The data lines of a price list, written in one transaction; when a line
  // fails the batch is rolled back and written again line by line, so that
  // only the failing line is lost (on a server a failed statement spoils
  // its transaction). Gives the malformed lines; counts the failed ones.
  uint64_t ImportLines(PriceList& list, bool profiles, const std::vector<std::string>& lines,
                       uint64_t& failed);
  // Reads the list file and every data file through before anything is
  // written; false (with the reason) when the package must be refused.
  bool CheckPackage(std::vector<std::string>& keys, std::string& why);
  void Import();
  std::string BuildValues(const std::vector<Variant>& row, const std::vector<int>& types);
  void ImportToDB(const std::string& key, size_t index, size_t count);
  // A batch of a data file's rows, the same way as ImportLines; false when
  // the attempt in one transaction failed and nothing of it stayed.
  bool ImportRows(const std::string& table, const std::string& key_column, size_t key_index,
                  const std::vector<int>& types, const std::vector<std::vector<Variant>>& rows,
                  bool in_transaction);
  void UpdateID(const std::string& table, const std::string& key_column,
                const std::string& key_text, bool category, const Variant& lb_id);
  // Gives a row a new key and carries every reference to the old key
  // along (the caller's transaction).
  void MoveKey(const std::string& table, const std::string& column, const std::string& from,
               const std::string& to);
  // The columns of a table of the database (empty when there is none).
  const std::vector<FieldInfo>& ColumnsOf(const std::string& table);
  void Progress(const std::string& status, int16_t percent);
  void Message(const std::string& text);

  std::string list_path_;
  std::string package_directory_;
  bool category_found_ = false;
  // While a batch is tried in one transaction, failures are only noted: the
  // batch is written again row by row, which reports them.
  bool trying_batch_ = false;
  bool batch_failed_ = false;
  bool replace_ = false;
  Currency factory_id_;
  Currency series_id_;
  int16_t category_id_ = 0;
  std::string owner_;

  // Rows of the package import that were not written, and the first reason.
  uint64_t imported_ = 0;
  uint64_t skipped_ = 0;
  std::map<std::string, uint64_t> skip_reasons_;
  std::map<std::string, std::vector<FieldInfo>> columns_;
};

}  // namespace dravmor
