// ServerForLogin: the log-in screen's engine. SetSQLSERVER and AddField
// bring a database at any earlier level up to the current schema (every
// step tests first or may be repeated, and a failing step never stops the
// rest); GetUser and GetTip read the operator list and a reminder; two
// queries tell whether the material families 1 and 2 are in use.
// Events: Accesserror (its last argument is named intErrLine), rsUser.
#pragma once

#include <string>

#include "engine/dispatch.h"
#include "engine/server_object.h"

namespace dravmor {

class ServerForLogin : public ServerObject {
 public:
  ServerForLogin();

  void SetSQLSERVER(bool Is2000);
  void SetlvSu(int32_t LvSG) { lv_su_ = LvSG; }
  void SetAppPath(const std::string& strPT) { app_path_ = strPT; }
  void SetWZSB(bool IsTemp) { create_wzsbgt_ = IsTemp; }
  void SetFSZhao(bool IsTemp) { sales_orders_ = IsTemp; }
  void AddField();
  void GetUser();
  std::string GetTip(int32_t lngID);
  void ExecutePiZun(const std::string& strSQL);
  bool GetGeReLeiBie();
  bool GetLvTongYongOK();

  static ClassInfo Describe();

 private:
  // Upgrade steps, each skipped on failure.
  void AddColumn(const std::string& table, const std::string& column, const std::string& type,
                 const std::string& default_value = "", const std::string& follow_up = "");
  // Creates the table with its statement when it is missing; true when it
  // was created now.
  bool CreateTable(const std::string& table, const std::string& statement);
  void SeedUnitLibrary();
  void SeedUnitDrawing(const std::string& code, const std::string& description, int kind,
                       int fixed_id = 0);
  void SeedWhenMissing(const std::string& code, const std::string& insert_head,
                       const std::string& values_tail);
  void RegisterCadFolder(const std::string& folder, int kind);
  void FillProfileCodes();
  // Both queries answer with a row (a failed query is no evidence).
  bool EitherHasRows(const std::string& first, const std::string& second);
  std::string Family() const { return std::to_string(lv_su_); }

  int32_t lv_su_ = 0;
  std::string app_path_;
  bool create_wzsbgt_ = false, sales_orders_ = false;
  RecordsetPtr user_list_;
};

}  // namespace dravmor
