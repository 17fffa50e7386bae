// ServerForKeHu: the customers and projects area. It keeps the small lists
// the rest of the application picks from: the customers of 客户管理 (code
// unique by the duplicate test, customer 1 reserved and never listed), the
// named project categories of FoShanLB (one list per LB_Type, -1 reads every
// kind) and the major profile classes of XcDaLei (class 1 the default of
// every profile). The project operations and the system settings of the
// same class live in further source files of this folder, each group of
// methods in its own file; the dispatch table in server_for_ke_hu_table.cpp
// lists them all.
// Events: Accesserror, BianMaChongFu, rsResult, rsResultInfo, rsProjectInfo,
// rsSysInfo, rsResultFS, rsXcDaLei.
#pragma once

#include <array>
#include <initializer_list>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/dispatch.h"
#include "engine/server_object.h"

namespace dravmor {

class ServerForKeHu : public ServerObject {
 public:
  ServerForKeHu();

  // Options shared by every group of the class.
  void SetSQLSERVER(bool Is2000);
  void SetCaoZuoYuan(const std::string& strCZY, bool IsYanGe = false);

  // Customers (server_for_ke_hu.cpp). BianMa, when not empty, is a ready
  // SQL condition of the caller's, placed as it stands.
  RecordsetPtr GetKeHu(std::string& BianMa);
  RecordsetPtr GetKeHu();  // BianMa ""
  RecordsetPtr GetKeHuInfo(Currency ID);
  void AddKeHu(const std::shared_ptr<Object>& frm);
  void EditKeHu(Currency ID, const std::shared_ptr<Object>& frm);
  void DelKeHu(Currency ID);
  void DEL_ALL_KeHu();

  // Project categories.
  RecordsetPtr GetFoShanLB(int32_t lbTYpe);
  void AddLB(const std::string& strLB, int32_t lbTYpe);
  void EditLB(const std::string& strLB, int32_t lbTYpe, Currency ID);
  void DelLB(Currency ID, int32_t lbTYpe);

  // Major profile classes.
  void Get_DaLei();
  void AddDaLei(const std::string& strDL);
  void EditDaLei(Currency ID, const std::string& strDL);
  void DelDaLei(Currency ID);

  // Projects (server_for_ke_hu_projects.cpp). ID 0 lists every customer's
  // projects; a customer's list shows its projects under construction.
  RecordsetPtr GetProjectInfo(Currency ID, bool IsShi = false);
  void SetFindGcCode(const std::string& strTemp);
  void SetPaiXu(int32_t lngPX);
  void SetViewOpen(bool OpenOrView);
  void EditName(Currency ID, const std::string& strName, const std::string& strCode);
  void SetProjectSuo(Currency gcID, int32_t lngSuo);
  bool IsExistProjectCode(const std::string& strCode);
  // Deletes the project and what hangs from it. Tables an older database
  // lacks are skipped; a statement failing on a table that exists is
  // reported through Accesserror once every step has run.
  void DelProject(Currency ID);
  void DEL_ALL_Pro();

  // System settings (server_for_ke_hu_settings.cpp).
  RecordsetPtr GetSys();
  void ApplySetting(const std::shared_ptr<Object>& frm);

  static ClassInfo Describe();

 private:
  // True when another customer already has the code (editing: other than ID).
  bool FindChongFu(const std::string& code, bool& editing, Currency ID);
  // txtkehuinfo(0) to (6) of the form, each ready to stand between quotes.
  std::array<std::string, 7> QuotedCustomer(const std::shared_ptr<Object>& frm);

  // The deletion steps of the projects, a block of them per statement: the
  // steps of one project never read what another's delete, so one
  // statement per step and block does what one per step and project would,
  // at a cost that follows the projects' rows. The first failure to tell
  // whether a table exists is kept in `failure` (an earlier one stays); the
  // deletes themselves are not waited for: their failures come from
  // TryExecFailures.
  void DeleteProjectSteps(const std::vector<Currency>& ids, Status& failure);
  // Runs sql when every table it names exists.
  void DeleteStep(const std::string& sql, std::initializer_list<const char*> tables,
                  Status& failure);

  // Read by the project list queries.
  std::string scope_;                     // operator-scope fragment
  std::string sort_column_ = " Gcxx_ID ";  // text after ORDER BY
  std::string code_filter_;               // SetFindGcCode
  bool view_open_ = false;                // IsShi of the list after deleting
};

}  // namespace dravmor
