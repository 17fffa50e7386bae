// ServerForKeHu's project list, renaming, locks, taken codes and the
// deletion of a project with everything that hangs from it.
#include <gtest/gtest.h>

#include "customers/server_for_ke_hu.h"
#include "tests/support/test_database.h"

namespace dravmor {
namespace {

using Names = std::vector<std::string>;

class KeHuProjects : public testing::UpgradedDatabase {
 protected:
  void SetUp() override {
    UpgradedDatabase::SetUp();
    if (IsSkipped()) return;
    kehu_.SetEventSink(&events_);
    std::string cs = connection_string_;
    kehu_.Connect(cs);
    kehu_.SetSQLSERVER(false);
  }

  // A main project (pici 0) or a batch row of project `pici`.
  void Project(int id, const std::string& code, const std::string& name, int customer,
               bool building, int pici = 0, const std::string& users = "管理员") {
    Exec("INSERT INTO ProjectInfo VALUES(" + std::to_string(id) + ",'" + code + "','" + name +
         "'," + std::to_string(customer) + ",NULL,NULL," + (building ? "-1" : "0") + "," +
         std::to_string(pici) + ",0,0,'管理员','" + users + "','是','是')");
  }

  // The project-record tables, as the payment and installation classes
  // create them on Connect.
  void RecordTables() {
    Exec("CREATE TABLE GcMoney (ID Long,GcxxID Long,Kuan Number,RiQi Text,Ren Text, primary key(ID))");
    Exec("CREATE TABLE MoneyGc (ID Long,GcxxID Long,Kuan Number,ZhiBao Number,  primary key(ID))");
    Exec("CREATE TABLE GcInstall (ID Long,GcxxID Long,MiaoShu Text,Ren Text,RiQi Text,primary key(ID))");
    Exec("CREATE TABLE Problem (ID Long,GcxxID Long,MiaoShu Text,Ren Text,RiQi Text,JieJue Text,primary key(ID))");
  }

  // Project p with two windows of two details each, and a row in every
  // table that hangs from it. Ids are p*100 + n, so projects never share one.
  void FullProject(int p, bool records = true) {
    Project(p, "P" + std::to_string(p), "Project " + std::to_string(p), 5, true);
    Project(p + 50, "P" + std::to_string(p) + "-1", "Batch", 5, true, p);
    const std::string id = std::to_string(p);
    for (int w = 1; w <= 2; ++w) {
      const std::string window = std::to_string(p * 100 + w);
      Exec("INSERT INTO ProjectWindow (gcmc_ID,gcxx_ID) VALUES (" + window + "," + id + ")");
      Exec("INSERT INTO ChengPinKu (ID,GCDM,MCDM,SL,XL,MCID) VALUES (" + window + ",'g','m',1,'x'," +
           window + ")");
      for (int d = 1; d <= 2; ++d) {
        const std::string detail = std::to_string((p * 100 + w) * 10 + d);
        Exec("INSERT INTO ProjectWindowDetail (mcmx_ID,gcmc_ID,TK_ID) VALUES (" + detail + "," +
             window + ",1)");
        Exec("INSERT INTO XiaV (ID,Mcmx_ID,XcGS_ID) VALUES (" + detail + "," + detail + ",1)");
      }
      Exec("INSERT INTO ProjectShan (ID,gcmc_ID,MianJi,IsShaShan,gcxx_ID) VALUES (" + window +
           "," + window + ",1,0," + id + ")");
    }
    Exec("INSERT INTO 工程实施 (pici_ID,gcxxID) VALUES (" + id + "," + id + ")");
    Exec("INSERT INTO 批次明细 (pici_ID) VALUES (" + id + ")");
    if (!records) return;
    Exec("INSERT INTO GcMoney VALUES (" + id + "," + id + ",100,'2026-1-1','Li')");
    Exec("INSERT INTO MoneyGc VALUES (" + id + "," + id + ",1000,50)");
    Exec("INSERT INTO GcInstall VALUES (" + id + "," + id + ",'fitted','Li','2026-1-2')");
    Exec("INSERT INTO Problem VALUES (" + id + "," + id + ",'leak','Li','2026-1-3','fixed')");
  }

  // Rows of project p left in each table that hangs from it.
  Names Remaining(int p, bool records = true) {
    const std::string id = std::to_string(p);
    const std::string windows = "(SELECT gcmc_ID FROM ProjectWindow WHERE gcxx_ID=" + id + ")";
    const std::string details =
        "(SELECT mcmx_ID FROM ProjectWindowDetail WHERE gcmc_ID IN " + windows + ")";
    Names sql = {
        "SELECT COUNT(*) FROM ProjectInfo WHERE Gcxx_ID=" + id + " OR pici=" + id,
        "SELECT COUNT(*) FROM ChengPinKu WHERE MCID IN " + windows,
        "SELECT COUNT(*) FROM XiaV WHERE Mcmx_ID IN " + details,
        "SELECT COUNT(*) FROM 工程实施 WHERE gcxxID=" + id,
        "SELECT COUNT(*) FROM 批次明细 WHERE pici_ID=" + id,
        "SELECT COUNT(*) FROM ProjectShan WHERE gcxx_ID=" + id,
    };
    if (records)
      for (const char* t : {"GcMoney", "MoneyGc", "GcInstall", "Problem"})
        sql.push_back("SELECT COUNT(*) FROM " + std::string(t) + " WHERE GcxxID=" + id);
    Names counts;
    for (const auto& s : sql) counts.push_back(Scalar(s).ToText());
    return counts;
  }
  static Names Zeros(size_t n) { return Names(n, "0"); }

  static Names Column(const RecordsetPtr& rs, const std::string& column) {
    Names values;
    if (!rs || !rs->IsOpen()) return {"<unopened>"};
    size_t c = static_cast<size_t>(*rs->IndexOf(column));
    for (size_t r = 0; r < rs->RowCount(); ++r)
      values.push_back(rs->Data().cells[r * rs->Count() + c].ToText());
    return values;
  }
  Names Ids(const RecordsetPtr& rs) { return Column(rs, "gcxx_id"); }
  Names LastListIds() {
    const testing::RecordedEvent* e = events_.Last("rsProjectInfo");
    return e ? Ids(e->args[0].ObjectAs<Recordset>()) : Names{"<none>"};
  }
  static Currency Id(int64_t id) { return Currency::FromWhole(id); }

  ServerForKeHu kehu_;
  testing::EventRecorder events_;
};

TEST_P(KeHuProjects, DeletionRemovesEverythingOfTheProjectAndNothingElse) {
  RecordTables();
  FullProject(2);
  FullProject(3);
  // Batch 52 of project 2 has windows, products, cutting values and
  // records of its own: they go with the project, as in DEL_ALL_Pro.
  Exec("INSERT INTO ProjectWindow (gcmc_ID,gcxx_ID) VALUES (5201,52)");
  Exec("INSERT INTO ChengPinKu (ID,GCDM,MCDM,SL,XL,MCID) VALUES (5201,'g','m',1,'x',5201)");
  Exec("INSERT INTO ProjectWindowDetail (mcmx_ID,gcmc_ID,TK_ID) VALUES (52011,5201,1)");
  Exec("INSERT INTO XiaV (ID,Mcmx_ID,XcGS_ID) VALUES (52011,52011,1)");
  Exec("INSERT INTO GcMoney VALUES (52,52,100,'2026-1-1','Li')");
  Exec("INSERT INTO GcInstall VALUES (52,52,'fitted','Li','2026-1-2')");

  // Id 0 (every main project by its batch column) and an id that names no
  // project are refused; nothing is deleted.
  for (int none : {0, 9}) {
    kehu_.DelProject(Id(none));
    ASSERT_EQ(events_.Names(), (Names{"Accesserror"}));
    EXPECT_EQ(events_.Last("Accesserror")->args[0].ToText(), "ServerForKeHu.DelProject");
    events_.events.clear();
  }
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM ProjectInfo").ToText(), "5");

  kehu_.DelProject(Id(2));
  EXPECT_EQ(events_.Names(), (Names{"rsProjectInfo"}));
  EXPECT_EQ(Remaining(2), Zeros(10));
  EXPECT_EQ(Remaining(52), Zeros(10));
  EXPECT_EQ(Remaining(3), (Names{"2", "2", "4", "1", "1", "2", "1", "1", "1", "1"}));
  // The windows themselves are the user interface's: they stay.
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM ProjectWindow WHERE gcxx_ID=2").ToText(), "2");
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM ProjectWindowDetail").ToText(), "9");
  EXPECT_EQ(LastListIds(), (Names{"3"}));
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM ProjectInfo WHERE Gcxx_ID=1").ToText(), "1");
}

TEST_P(KeHuProjects, MissingTablesAreSkippedAndFailuresOnExistingOnesReported) {
  // An older database: no payment or installation tables at all.
  FullProject(2, false);
  FullProject(3, false);
  kehu_.DelProject(Id(2));
  EXPECT_EQ(events_.Names(), (Names{"rsProjectInfo"}));
  EXPECT_EQ(Remaining(2, false), Zeros(6));

  // A sash table without its project column fails on a table that exists:
  // reported after the later steps still ran.
  RecordTables();
  Exec("INSERT INTO GcInstall VALUES (3,3,'fitted','Li','2026-1-2')");
  Exec("DROP TABLE ProjectShan");
  Exec("CREATE TABLE ProjectShan (ID Currency, primary key(ID))");
  events_.events.clear();
  kehu_.DelProject(Id(3));
  ASSERT_EQ(events_.Names(), (Names{"rsProjectInfo", "Accesserror"}));
  EXPECT_EQ(events_.Last("Accesserror")->args[0].ToText(), "ServerForKeHu.DelProject");
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM GcInstall").ToText(), "0");
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM ProjectInfo WHERE Gcxx_ID=3 OR pici=3").ToText(), "0");
  EXPECT_EQ(LastListIds(), Names{});
}

TEST_P(KeHuProjects, DeletingAllKeepsTheReservedProjectAndListsOnce) {
  RecordTables();
  FullProject(2);
  FullProject(3);
  kehu_.SetViewOpen(true);
  kehu_.DEL_ALL_Pro();
  EXPECT_EQ(events_.Names(), (Names{"rsProjectInfo"}));
  EXPECT_EQ(Remaining(2), Zeros(10));
  EXPECT_EQ(Remaining(3), Zeros(10));
  // The list after deleting is the open-or-view one: with the two columns.
  auto rs = events_.Last("rsProjectInfo")->args[0].ObjectAs<Recordset>();
  EXPECT_TRUE(rs->IndexOf("XiaPJ").ok());

  // A later single deletion still refreshes the list; a failing table is
  // reported once for the whole run.
  Project(4, "P4", "Four", 5, true);
  events_.events.clear();
  kehu_.DelProject(Id(4));
  EXPECT_EQ(events_.Names(), (Names{"rsProjectInfo"}));
  Project(5, "P5", "Five", 5, true);
  Project(6, "P6", "Six", 5, true);
  Exec("DROP TABLE Problem");
  Exec("CREATE TABLE Problem (ID Long, primary key(ID))");
  events_.events.clear();
  kehu_.DEL_ALL_Pro();
  ASSERT_EQ(events_.Names(), (Names{"rsProjectInfo", "Accesserror"}));
  EXPECT_EQ(events_.Last("Accesserror")->args[0].ToText(), "ServerForKeHu.DEL_ALL_Pro");
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM ProjectInfo").ToText(), "1");
}

TEST_P(KeHuProjects, ListFollowsSortColumnScopeFilterAndCustomer) {
  Project(2, "B12", "Zeta", 5, true, 0, "管理员,li");
  Project(3, "A7", "Alpha", 5, false);
  Project(4, "C12", "Mid", 6, true, 0, "li,wang");
  Project(5, "B12-1", "Batch", 5, true, 2, "li");  // batch rows are never listed
  EXPECT_EQ(Ids(kehu_.GetProjectInfo(Id(0))), (Names{"2", "3", "4"}));
  EXPECT_EQ(events_.Names(), (Names{"rsProjectInfo"}));
  kehu_.SetPaiXu(1);
  EXPECT_EQ(Ids(kehu_.GetProjectInfo(Id(0))), (Names{"3", "4", "2"}));
  kehu_.SetPaiXu(0);
  EXPECT_EQ(Ids(kehu_.GetProjectInfo(Id(0))), (Names{"3", "2", "4"}));

  kehu_.SetCaoZuoYuan("li", true);
  EXPECT_EQ(Ids(kehu_.GetProjectInfo(Id(0))), (Names{"2", "4"}));
  kehu_.SetCaoZuoYuan("管理员", true);
  EXPECT_EQ(Ids(kehu_.GetProjectInfo(Id(0))), (Names{"3", "2", "4"}));
  kehu_.SetCaoZuoYuan("o'li", true);  // a quote in the name is only a name
  EXPECT_EQ(Ids(kehu_.GetProjectInfo(Id(0))), Names{});

  kehu_.SetCaoZuoYuan("li", true);
  kehu_.SetFindGcCode("12");
  EXPECT_EQ(Ids(kehu_.GetProjectInfo(Id(0))), (Names{"2", "4"}));
  // Under construction only, with the two list-flag columns.
  auto building = kehu_.GetProjectInfo(Id(0), true);
  EXPECT_EQ(Ids(building), (Names{"2", "4"}));
  EXPECT_TRUE(building->IndexOf("XiaBL").ok());
  // A customer's list: its projects under construction, no extra columns.
  kehu_.SetCaoZuoYuan("管理员", false);
  kehu_.SetFindGcCode("");
  auto customer = kehu_.GetProjectInfo(Id(5), true);
  EXPECT_EQ(Ids(customer), (Names{"2"}));
  EXPECT_FALSE(customer->IndexOf("XiaBL").ok());
  kehu_.SetFindGcCode("'");
  EXPECT_EQ(Ids(kehu_.GetProjectInfo(Id(0))), Names{});
}

TEST_P(KeHuProjects, RenameLockAndTakenCodes) {
  Project(2, "P2", "Two", 5, true);
  Project(3, "P2-1", "Batch", 5, true, 2);
  kehu_.EditName(Id(2), "O'Neil House", "P'2");
  EXPECT_EQ(events_.Names(), (Names{"rsProjectInfo"}));
  EXPECT_EQ(Scalar("SELECT DaiMa & '|' & MingCheng FROM ProjectInfo WHERE Gcxx_ID=2").ToText(),
            "P'2|O'Neil House");
  EXPECT_TRUE(kehu_.IsExistProjectCode("P'2"));
  EXPECT_TRUE(kehu_.IsExistProjectCode("P2-1"));  // a batch row's code
  EXPECT_FALSE(kehu_.IsExistProjectCode("P2"));
  EXPECT_FALSE(kehu_.IsExistProjectCode("x' OR '1'='1"));

  events_.events.clear();
  kehu_.SetProjectSuo(Id(2), 1);
  EXPECT_EQ(Scalar("SELECT GcSuoDing FROM ProjectInfo WHERE Gcxx_ID=2").ToText(), "1");
  EXPECT_TRUE(events_.events.empty());
  // A failing rename is the caller's: nothing listed.
  Exec("DROP TABLE ProjectInfo");
  EXPECT_THROW(kehu_.EditName(Id(2), "n", "c"), CallError);
  EXPECT_FALSE(kehu_.IsExistProjectCode("P'2"));
  EXPECT_TRUE(events_.events.empty());
}

INSTANTIATE_TEST_SUITE_P(Backends, KeHuProjects, testing::BothBackends(), testing::BackendName);

}  // namespace
}  // namespace dravmor
