// ServerForKeHu: the project list of the project window, renaming, locking,
// the taken-code test and the deletion of a project with everything that
// hangs from it. Project rows themselves are made by the user interface.
#include "customers/server_for_ke_hu.h"

#include <algorithm>

#include "engine/routines.h"
#include "engine/text.h"

namespace dravmor {

namespace {

constexpr const char* kProjectColumns =
    "gcxx_id,Daima,Mingcheng,ShigongRiqi,JungongRiqi,GcSuoDing,OwnerList,UserList";

void Keep(Status& failure, const Status& status) {
  if (failure.ok() && !status.ok()) failure = status;
}

// The Gcxx_ID of every row; an id that cannot be read is kept as the
// failure and left out.
std::vector<Currency> ProjectIds(RowData rows, Status& failure) {
  std::vector<Currency> ids;
  Recordset projects(std::move(rows));
  for (; !*projects.Eof(); projects.MoveNext()) {
    auto id = projects.Value("Gcxx_ID");
    auto whole = id.ok() ? id->ToCurrency() : Result<Currency>(id.status());
    if (whole.ok()) ids.push_back(*whole);
    else Keep(failure, whole.status());
  }
  return ids;
}

}  // namespace

RecordsetPtr ServerForKeHu::GetProjectInfo(Currency ID, bool IsShi) {
  auto rs = std::make_shared<Recordset>();
  Run(ErrorMode::Handler, "GetProjectInfo", [&] {
    const std::string C = kProjectColumns;
    const std::string& S = scope_;
    const std::string T = SqlNumber(true_value());
    const std::string F = SqlQuote(code_filter_);
    const std::string& O = sort_column_;
    std::string sql;
    if (ID != Currency{}) {
      // A customer's list: projects under construction, never the extra columns.
      sql = "SELECT " + C + " FROM ProjectInfo WHERE gcxx_Id<>1 " + S +
            " AND pici=0 AND Kehu_id=  " + SqlNumber(ID) + " AND ShifouShigong=" + T;
      if (!F.empty())
        sql += " AND DaiMa LIKE '%" + F + "%' ORDER BY  " + O;
      else
        sql += " ORDER BY   " + O;
    } else if (!IsShi) {
      sql = "SELECT " + C + " FROM ProjectInfo WHERE gcxx_Id<>1 " + S + " AND pici=0 ";
      if (!F.empty())
        sql += " AND DaiMa LIKE '%" + F + "%' ORDER BY  " + O;
      else
        sql += " ORDER BY  " + O;
    } else {
      sql = "SELECT " + C + ",XiaPJ,XiaBL FROM ProjectInfo WHERE gcxx_Id<>1 " + S +
            " AND pici=0  AND ShifouShigong= " + T;
      if (!F.empty())
        sql += " AND DaiMa LIKE '%" + F + "%' ORDER BY  " + O;
      else
        sql += "  ORDER BY " + O;
    }
    OpenInto(rs, sql);
    rs = RaiseResult("rsProjectInfo", rs);
  });
  return rs;
}

void ServerForKeHu::SetFindGcCode(const std::string& strTemp) { code_filter_ = strTemp; }

void ServerForKeHu::SetPaiXu(int32_t lngPX) {
  sort_column_ = lngPX != 0 ? " MingCheng " : " DaiMa ";
}

void ServerForKeHu::SetViewOpen(bool OpenOrView) { view_open_ = OpenOrView; }

void ServerForKeHu::EditName(Currency ID, const std::string& strName,
                             const std::string& strCode) {
  // No duplicate test: the caller asks IsExistProjectCode first.
  RunAtomically(ErrorMode::None, "EditName", [&] {
    Exec("UPDATE ProjectInfo SET DaiMa='" + SqlQuote(strCode) + "',MingCheng='" +
         SqlQuote(strName) + "' WHERE Gcxx_ID=" + SqlNumber(ID));
    GetProjectInfo(Currency{}, false);
  });
}

void ServerForKeHu::SetProjectSuo(Currency gcID, int32_t lngSuo) {
  RunAtomically(ErrorMode::ResumeNext, "SetProjectSuo", [&] {
    Exec("UPDATE ProjectInfo SET GcSuoDing=" + SqlNumber(lngSuo) +
         " WHERE gcxx_ID=" + SqlNumber(gcID));
  });
}

bool ServerForKeHu::IsExistProjectCode(const std::string& strCode) {
  // The reserved project and batch rows count: a code is taken anywhere.
  bool taken = false;
  Run(ErrorMode::ResumeNext, "IsExistProjectCode", [&] {
    RecordsetPtr rs =
        Open("SELECT Gcxx_ID FROM ProjectInfo WHERE DaiMa='" + SqlQuote(strCode) + "'");
    taken = rs->IsOpen() && !rs->IsEmpty();
  });
  return taken;
}

// ---- Deletion ----
//
// Older databases lack some of the tables a project hangs from: a step on a
// missing table is skipped. Every step is attempted; a statement that fails
// on a table that exists is not hidden but reported once all steps ran.

void ServerForKeHu::DeleteStep(const std::string& sql,
                               std::initializer_list<const char*> tables, Status& failure) {
  for (const char* table : tables) {
    auto exists = TableExists(connection(), table);
    if (!exists.ok()) {
      Keep(failure, exists.status());
      return;
    }
    if (!*exists) return;
  }
  TryExecLater(sql);
}

void ServerForKeHu::DeleteProjectSteps(const std::vector<Currency>& ids, Status& failure) {
  // A few hundred ids per statement keep each text short.
  constexpr size_t kBlock = 500;
  for (size_t first = 0; first < ids.size(); first += kBlock) {
    std::string list;
    for (size_t i = first; i < std::min(ids.size(), first + kBlock); ++i)
      list += (i > first ? "," : "") + SqlNumber(ids[i]);
    const std::string in = " IN (" + list + ")";
    DeleteStep("DELETE FROM ChengPinKu WHERE mcid IN (Select Gcmc_ID FROM  ProjectWindow "
               "WHERE gcxx_ID" + in + ")",
               {"ChengPinKu", "ProjectWindow"}, failure);
    DeleteStep("DELETE FROM XiaV WHERE mcmx_ID IN (SELECT mcmx_ID FROM ProjectWindowDetail "
               "INNER JOIN ProjectWindow ON ProjectWindow.gcmc_ID= ProjectWindowDetail.gcmc_ID  "
               "WHERE gcxx_ID" + in + ")",
               {"XiaV", "ProjectWindowDetail", "ProjectWindow"}, failure);
    DeleteStep("DELETE FROM ProjectInfo WHERE gcxx_id" + in, {"ProjectInfo"}, failure);
    DeleteStep("DELETE FROM 批次明细 WHERE pici_ID IN (SELECT pici_ID FROM 工程实施 WHERE gcxxID" +
                   in + ")",
               {"批次明细", "工程实施"}, failure);
    DeleteStep("DELETE FROM 工程实施 WHERE gcxxID" + in, {"工程实施"}, failure);
    // The projects' batch rows.
    DeleteStep("DELETE FROM ProjectInfo WHERE pici" + in, {"ProjectInfo"}, failure);
    DeleteStep("DELETE FROM ProjectShan WHERE gcxx_id" + in, {"ProjectShan"}, failure);
    for (const char* table : {"GcMoney", "MoneyGc", "GcInstall", "Problem"})
      DeleteStep(std::string("DELETE FROM ") + table + " WHERE GcxxID" + in, {table}, failure);
  }
  // The rows of ProjectWindow and ProjectWindowDetail stay: the engine
  // only reads them to find the projects' windows.
}

void ServerForKeHu::DelProject(Currency ID) {
  RunAtomically(ErrorMode::ResumeNext, "DelProject", [&] {
    // 0 is no project: as a batch column value it names every main
    // project. An id with no row has nothing of its own to delete.
    const std::string id = SqlNumber(ID);
    auto rows = connection().Query(
        "SELECT Gcxx_ID FROM ProjectInfo WHERE pici=" + id + " ORDER BY Gcxx_ID", source());
    auto own = connection().Query("SELECT Gcxx_ID FROM ProjectInfo WHERE Gcxx_ID=" + id, source());
    Status failure = !rows.ok() ? rows.status() : own.status();
    if (failure.ok() && (ID == Currency{} || own->RowCount() == 0))
      failure = Status::Error(ErrorCode::kBadArgument, "There is no project " + id + " to delete");
    if (!failure.ok()) {
      RaiseAccessError("ServerForKeHu.DelProject", failure);
      return;
    }
    // The project's batches go with what hangs from each of them, as
    // DEL_ALL_Pro removes them; then the project itself.
    std::vector<Currency> ids = ProjectIds(std::move(*rows), failure);
    ids.push_back(ID);
    DeleteProjectSteps(ids, failure);
    Keep(failure, TryExecFailures());
    GetProjectInfo(Currency{}, view_open_);
    if (!failure.ok()) RaiseAccessError("ServerForKeHu.DelProject", failure);
  });
}

void ServerForKeHu::DEL_ALL_Pro() {
  // One list at the end, none per project; the reserved project 1 stays.
  RunAtomically(ErrorMode::ResumeNext, "DEL_ALL_Pro", [&] {
    Status failure;
    auto rows = TryQuery("SELECT * FROM ProjectInfo WHERE Gcxx_ID<>1 ORDER BY Gcxx_ID ");
    Keep(failure, rows.status());
    if (rows.ok()) DeleteProjectSteps(ProjectIds(std::move(*rows), failure), failure);
    Keep(failure, TryExecFailures());
    GetProjectInfo(Currency{}, view_open_);
    if (!failure.ok()) RaiseAccessError("ServerForKeHu.DEL_ALL_Pro", failure);
  });
}

}  // namespace dravmor
