// ServerForLogin: the log-in screen's engine. SetSQLSERVER and AddField
// bring a database at any earlier level up to the current schema (every
// step tests first or may be repeated, and a failing step never stops the
// rest); GetUser and GetTip read the operator list and a reminder; two
// queries tell whether the material families 1 and 2 are in use.
// The upgrade runs in one transaction, each statement under a savepoint
// (users/upgrade_steps.h); what failed and was skipped is kept in
// FailedSteps() for the caller, as nothing is reported through events.
// Events: Accesserror (its last argument is named intErrLine), rsUser.
#pragma once

#include <string>
#include <vector>

#include "engine/dispatch.h"
#include "engine/server_object.h"
#include "users/upgrade_steps.h"

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

  // The upgrade steps of SetSQLSERVER and AddField on this object that
  // failed and were skipped, in order.
  const std::vector<FailedStep>& FailedSteps() const { return steps_.failures(); }

  static ClassInfo Describe();

 private:
  // Upgrade steps, each skipped on failure and recorded; Step also reports
  // the failure by the operation's mode.
  Status RunStep(const std::string& sql);
  bool Step(const std::string& sql);
  RecordsetPtr StepOpen(const std::string& sql);
  void AddColumn(const std::string& table, const std::string& column, const std::string& type,
                 const std::string& default_value = "", const std::string& follow_up = "");
  // An ADD that would fail once the column exists: run only while it is
  // missing.
  void AddWhenMissing(const std::string& table, const std::string& column,
                      const std::string& statement);
  // Creates the table with its statement when it is missing; true when it
  // was created now.
  bool CreateTable(const std::string& table, const std::string& statement);
  // The connection's catalogue as a step (null when it cannot be read).
  const Catalogue* CurrentCatalogue();
  // The next-id rule with the silent handler (0 on failure), as a step.
  Currency NextSeedId(const std::string& table, const std::string& column);
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
  UpgradeSteps steps_;
};

}  // namespace dravmor
