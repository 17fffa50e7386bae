// The log-in upgrade and the log-in reads.
#include <fstream>

#include <gtest/gtest.h>

#include "engine/routines.h"
#include "engine/settings_store.h"
#include "tests/support/test_database.h"
#include "users/server_for_login.h"
#include "users/upgrade_tables.h"

namespace dravmor {
namespace {

class Upgrade : public testing::ShippedDatabase {
 protected:
  void SetUp() override {
    ShippedDatabase::SetUp();
    if (IsSkipped()) return;
    settings_ = std::make_shared<FileSettingsStore>(dir_.File("settings.json"));
    UseSettings(settings_);
  }
  void TearDown() override {
    UseSettings(nullptr);
    ShippedDatabase::TearDown();
  }
  // The log-in sequence as the application runs it; the steps that failed.
  std::vector<FailedStep> LogIn(bool is2000, int family = 0) {
    ServerForLogin login;
    login.SetEventSink(&events_);
    std::string cs = connection_string_;
    login.Connect(cs);
    login.SetSQLSERVER(is2000);
    login.SetlvSu(family);
    login.SetAppPath(dir_.path().string());
    login.AddField();
    return login.FailedSteps();
  }
  std::vector<std::string> Statements(const std::vector<FailedStep>& steps) {
    std::vector<std::string> out;
    for (const FailedStep& s : steps)
      out.push_back(s.statement);
    return out;
  }
  bool Has(const std::string& table) { return *TableExists(*connection_, table); }
  bool HasColumn(const std::string& table, const std::string& column) {
    for (const auto& f : Query("SELECT * FROM " + table).fields)
      if (f.name == column) return true;
    return false;
  }
  long Count(const std::string& sql) { return Scalar(sql).long_value(); }
  void ExpectEveryTableButTheOptionalOnes() {
    for (const auto& t : UpgradeTables()) {
      const std::string name = t.name;
      EXPECT_EQ(Has(name), name != "SaleDan" && name != "BiaoYeDetail" && name != "WZSBGT") << name;
    }
  }

  std::shared_ptr<FileSettingsStore> settings_;
  testing::EventRecorder events_;
};

// The Jet path's tables are checked where some of its steps fail, below.
TEST_P(Upgrade, SqlServerPathGivesACompleteDatabaseButSkipsJetOnlySteps) {
  LogIn(true);
  ExpectEveryTableButTheOptionalOnes();
  EXPECT_EQ(Scalar("SELECT DaLei FROM XcDaLei WHERE ID=1").ToText(), "系统保留");
  // An older database without the Jet-only tables keeps without them.
  const char* jet_only[] = {"McColor", "GeneralBlock", "DetailBlock", "WinFilter",
                            "ShanJiaGongDY", "ShanJiaGong", "BaoDan", "BaoDanDetail"};
  for (const char* table : jet_only) Exec(std::string("DROP TABLE ") + table);
  LogIn(true);
  for (const char* table : jet_only) EXPECT_FALSE(Has(table)) << table;
  EXPECT_TRUE(HasColumn("用户管理", "DELFormula"));
  EXPECT_TRUE(HasColumn("ProjectWindow", "LouTiJian"));
}

TEST_P(Upgrade, OptionalTablesComeWithTheirFlags) {
  ServerForLogin login;
  std::string cs = connection_string_;
  login.Connect(cs);
  login.SetSQLSERVER(false);
  login.SetWZSB(true);
  login.SetFSZhao(true);
  login.AddField();
  EXPECT_TRUE(Has("WZSBGT"));
  EXPECT_TRUE(HasColumn("SaleDan", "KHTEL"));
  EXPECT_TRUE(HasColumn("BiaoYeDetail", "ZheKou"));
}

TEST_P(Upgrade, SecondRunDoublesNothing) {
  EXPECT_EQ(Statements(LogIn(false)), std::vector<std::string>{});
  const long drawings = 81;
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 单元图库"), drawings);
  // The fixed id 2 was taken by the seeds before: code 17 still got a row.
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 单元图库 WHERE dytklujing='17'"), 1);
  Exec("DELETE FROM XcDaLei");
  EXPECT_EQ(Statements(LogIn(false)), std::vector<std::string>{});
  EXPECT_EQ(Count("SELECT COUNT(DISTINCT dytk_ID) FROM 单元图库"), drawings);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM XcDaLei"), 0);  // the seed comes only with the table
}

// The type changes the upgrade repeats at every log-in leave a table that
// already has the type alone: no rebuild (SQLite), no rewrite (PostgreSQL).
TEST_P(Upgrade, RepeatedTypeChangesLeaveTheTablesAlone) {
  auto storage = [&] {
    auto rows = connection_->backend()->Query(
        OnServer() ? "SELECT relfilenode FROM pg_class WHERE relname = 'projectwindowdetail'"
                   : "SELECT rootpage FROM sqlite_master WHERE name = 'ProjectWindowDetail'",
        nullptr);
    return rows.ok() && !rows->cells.empty() ? rows->cells[0].ToText() : "?";
  };
  Exec("INSERT INTO ProjectWindowDetail (mcmx_ID, BoLiZhongLei) VALUES(1, '5+9A+5')");
  LogIn(false);
  const std::string before = storage();
  LogIn(false);
  EXPECT_EQ(storage(), before);
  Exec("ALTER TABLE ProjectWindowDetail ALTER TK_ID Double");
  EXPECT_NE(storage(), before);  // a real change does rebuild
  EXPECT_EQ(Scalar("SELECT BoLiZhongLei FROM ProjectWindowDetail").ToText(), "5+9A+5");
}

TEST_P(Upgrade, OlderDatabaseGetsColumnsWithDefaults) {
  // A factory table from before the locks and owners.
  Exec("DROP TABLE 厂家");
  Exec("CREATE TABLE 厂家 (Cj_ID Long, Quancheng Text(100), Jiancheng Text(50), cjLB Byte, "
       "cjType Short, BianMa Text(50), Changyong Bit)");
  Exec("INSERT INTO 厂家 VALUES(1,'a','a',0,0,'A',0)");
  Exec("DROP TABLE 类别");
  Exec("CREATE TABLE 类别 (LB_ID Long, MingCheng Text(100))");
  Exec("INSERT INTO 类别 VALUES(1,'上框')");
  Exec("INSERT INTO 类别 VALUES(2,'扇压条')");
  Exec("INSERT INTO 类别 VALUES(3,'扇')");
  LogIn(false, 2);
  EXPECT_EQ(Scalar("SELECT CJSuoDing & '|' & OwnerList & '|' & UserList FROM 厂家").ToText(),
            "0|管理员|管理员");
  // id: RuKuLength, KuangType, ShanType, LvSu
  for (const auto& [id, expected] : std::vector<std::pair<int, std::string>>{
           {1, "1000|1|0|2"}, {2, "300|0|0|2"}, {3, "300|0|1|2"}})
    EXPECT_EQ(Scalar("SELECT RuKuLength & '|' & KuangType & '|' & ShanType & '|' & LvSu FROM 类别 "
                     "WHERE LB_ID=" + std::to_string(id)).ToText(), expected) << id;
  // Positional inserts of the upgraded table line up with its new columns.
  EXPECT_EQ(Query("SELECT * FROM 厂家").fields.size(), 10u);
}

TEST_P(Upgrade, FailingStepsAreSkippedAndTheRestStillRuns) {
  // Tables the upgrade only extends, never creates: every step on them fails,
  // is skipped and is kept, with nothing raised.
  Exec("DROP TABLE 厂家");
  Exec("DROP TABLE 用户管理");
  std::vector<std::string> failed = Statements(LogIn(false));
  EXPECT_TRUE(events_.events.empty());
  std::vector<std::string> expected;
  for (const char* column : {"DCCBFX", "DCZHFX", "RepByWin", "NewProject", "OpenProject",
                             "CangKu", "FenPi", "HeBing", "BianJiGS", "CangKuQuery",
                             "DELProject", "DELFormula"})
    expected.push_back(std::string("ALTER TABLE 用户管理 Add ") + column + " Integer");
  for (const char* column : {"CJSuoDing Integer", "OwnerList Text", "UserList Text"})
    expected.push_back(std::string("ALTER TABLE 厂家 Add ") + column);
  EXPECT_EQ(failed, expected);
  EXPECT_FALSE(Has("厂家"));
  ExpectEveryTableButTheOptionalOnes();
  EXPECT_TRUE(HasColumn("类别", "RuKuLength"));  // steps after the failing ones ran
}

TEST_P(Upgrade, ProfileCodesAreFilledOnceForTheUser) {
  Exec("INSERT INTO 型材 (Xc_ID, DaiMa) VALUES(5, '')");
  LogIn(false);
  EXPECT_EQ(Scalar("SELECT DaiMa FROM 型材 WHERE Xc_ID=5").ToText(), "XC5");
  EXPECT_EQ(*settings_->Get("DoDIZU", "Update", "Ok", "0"), "1");
  Exec("INSERT INTO 型材 (Xc_ID, DaiMa) VALUES(6, '')");
  LogIn(false);
  EXPECT_EQ(Scalar("SELECT DaiMa FROM 型材 WHERE Xc_ID=6").ToText(), "");
}

TEST_P(Upgrade, DrawingFoldersAreRegisteredWhenCadIsNew) {
  auto folder = dir_.path() / "技术文档" / "型材工序节点立面截面" / "工序卡";
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "门框.dwg") << "x";
  std::ofstream(folder / "O'Neil.dwg") << "y";
  std::ofstream(folder / "窗扇.图纸") << "z";  // four characters cut, not four bytes
  LogIn(false);
  RowData rows = Query("SELECT dwgName, FileName, DWGLB FROM CAD ORDER BY ID");
  ASSERT_EQ(rows.RowCount(), 3u);
  EXPECT_EQ(rows.cells[0].ToText(), "O'Neil");
  EXPECT_TRUE(std::filesystem::exists(rows.cells[1].ToText()));  // opens on this platform
  EXPECT_EQ(rows.cells[2].ToText(), "1");
  EXPECT_EQ(rows.cells[3].ToText(), "窗");
  EXPECT_EQ(rows.cells[6].ToText(), "门框");
  LogIn(false);  // CAD exists now: no second registration
  EXPECT_EQ(Count("SELECT COUNT(*) FROM CAD"), 3);
}

TEST_P(Upgrade, FamiliesInUse) {
  LogIn(false);
  ServerForLogin login;
  std::string cs = connection_string_;
  login.Connect(cs);
  EXPECT_FALSE(login.GetGeReLeiBie());
  EXPECT_FALSE(login.GetLvTongYongOK());
  Exec("INSERT INTO 类别 (LB_ID, MingCheng, LvSu) VALUES(9, 'x', 2)");
  EXPECT_TRUE(login.GetGeReLeiBie());
  // A unit-formula table without the family column: its query fails, which
  // is no evidence of a family in use.
  Exec("DELETE FROM 类别");
  Exec("DROP TABLE 型材单元公式");
  Exec("CREATE TABLE 型材单元公式 (XcdyGs_id Long)");
  EXPECT_FALSE(login.GetGeReLeiBie());
  Exec("INSERT INTO 类别 (LB_ID, MingCheng, LvSu) VALUES(9, 'x', 1)");
  EXPECT_FALSE(login.GetLvTongYongOK());  // a failure is False
}

TEST_P(Upgrade, UsersAndTips) {
  LogIn(false);
  ServerForLogin login;
  login.SetEventSink(&events_);
  std::string cs = connection_string_;
  login.Connect(cs);
  login.GetUser();
  ASSERT_EQ(events_.Names(), std::vector<std::string>{"rsUser"});
  EXPECT_EQ(login.GetTip(1), ";");  // empty question and answer
  Exec("UPDATE 用户管理 SET TiShiWenTi='Q', DaAn='A' WHERE YongHu_id=1");
  EXPECT_EQ(login.GetTip(1), "Q;A");
  events_.events.clear();
  EXPECT_EQ(login.GetTip(99), "");
  EXPECT_EQ(events_.Names(), std::vector<std::string>{"Accesserror"});
  EXPECT_EQ(events_.events[0].args[0].str(), "ServerForLogin.GetTip");
  login.ExecutePiZun("UPDATE nope SET x=1");  // skipped silently
  EXPECT_EQ(events_.events.size(), 1u);
}

TEST(SettingsStoreFile, DamagedOrUnwritableFilesAreReportedAndKept) {
  testing::TempDir dir;
  FileSettingsStore store(dir.File("s.json"));
  ASSERT_TRUE(store.Put("A", "S", "K", "1").ok());
  EXPECT_EQ(*store.Get("A", "S", "K", "0"), "1");
  std::ofstream(dir.File("s.json")) << "{ damaged";
  EXPECT_FALSE(store.Get("A", "S", "K", "0").ok());
  EXPECT_FALSE(store.Put("A", "S", "K", "2").ok());
  std::ifstream in(dir.File("s.json"));
  std::string kept((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(kept, "{ damaged");  // not overwritten
  std::ofstream(dir.File("blocker")) << "a file where a folder should be";
  FileSettingsStore unwritable(dir.File("blocker/s.json"));
  EXPECT_FALSE(unwritable.Put("A", "S", "K", "1").ok());
}

INSTANTIATE_TEST_SUITE_P(Backends, Upgrade, testing::BothBackends(), testing::BackendName);

}  // namespace
}  // namespace dravmor
