// ServerForDrawing: the editor's own queries on the shared connection, and
// template registration into a second database through a connection the
// thread keeps for it, an up-to-date one and an old one with the five first
// columns only, while the thread's connection stays where it was.
#include <gtest/gtest.h>
#include <libpq-fe.h>

#include <filesystem>
#include <thread>

#include "engine/backend.h"
#include "engine/kept_connection.h"
#include "engine/schema/shipped_schema.h"
#include "engine/sqlite/sqlite_backend.h"
#include "templates/server_for_drawing.h"
#include "templates/server_for_window_load.h"
#include "tests/support/test_database.h"

namespace dravmor {
namespace {

class Drawing : public testing::UpgradedDatabase {
 protected:
  void SetUp() override {
    UpgradedDatabase::SetUp();
    if (IsSkipped()) return;
    drawing_.SetEventSink(&events_);
    std::string cs = connection_string_;
    drawing_.Connect(cs);
  }
  // A second, new database beside the thread's: the shipped schema, or only
  // the old five-column template table.
  std::string SecondDatabase(bool shipped) {
    std::string why;
    std::string cs = testing::NewDatabase(GetParam(), other_dir_, &why);
    EXPECT_FALSE(cs.empty()) << why;
    std::unique_ptr<Backend> backend;
    if (OnServer()) {
      auto server = OpenBackend(cs);
      EXPECT_TRUE(server.ok()) << server.status().ToString();
      if (server.ok()) backend = std::move(*server);
    } else {
      auto file = SqliteBackend::Open(cs, /*create=*/true);
      EXPECT_TRUE(file.ok()) << file.status().ToString();
      if (file.ok()) backend = std::move(*file);
    }
    if (!backend) return cs;
    second_.Adopt(std::move(backend), cs);
    Status s = shipped ? CreateShippedSchema(second_)
                       : second_.Execute("CREATE TABLE 图库 (TK_ID Long PRIMARY KEY, TkLuJing "
                                         "Text(50), TkShuoMing Text(255), Tklb Byte, ShiGongJu "
                                         "Byte)",
                                         dialect::Source::Jet);
    EXPECT_TRUE(s.ok()) << s.ToString();
    return cs;
  }
  RowData InSecond(const std::string& sql) {
    auto rows = second_.Query(sql, dialect::Source::Jet);
    EXPECT_TRUE(rows.ok()) << rows.status().ToString();
    return rows.ok() ? *rows : RowData{};
  }
  void Add(long id, const std::string& text, std::string cs, uint8_t tools = 1) {
    drawing_.AddWindow(Currency::FromWhole(id), Currency::FromWhole(2), text, tools, "7", cs,
                       Variant());
  }
  long Count(const std::string& sql) { return *Scalar(sql).ToInt64(); }

  testing::TempDir other_dir_;
  SharedConnection second_;  // the test's own look at the second database
  ServerForDrawing drawing_;
  testing::EventRecorder events_;
};

TEST_P(Drawing, RegistersIntoTheNamedDatabaseOnceAndLeavesTheThreadsAlone) {
  const std::string other = SecondDatabase(true);
  const long before = Count("SELECT COUNT(*) FROM 图库");
  Add(20, "Tom's 三扇推拉窗", other);
  EXPECT_TRUE(events_.events.empty()) << events_.events[0].args[2].ToText();
  RowData row = InSecond("SELECT TK_ID,TkLuJing,TkShuoMing,Tklb,ShiGongJu,UserList,OwnerList,"
                         "TkSuoDing,IsSuoDing,Ord FROM 图库 WHERE TK_ID=20");
  ASSERT_EQ(row.RowCount(), 1u);
  std::vector<std::string> got;
  for (const Variant& v : row.cells) got.push_back(v.ToText());
  // The shipped row 1 holds Ord 1: the new template comes after it.
  EXPECT_EQ(got, (std::vector<std::string>{"20", "20", "Tom's 三扇推拉窗", "2", "1", "管理员",
                                           "管理员", "0", "0", "2"}));
  // Nothing reached the thread's database, which is still the one bound.
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 图库"), before);
  EXPECT_EQ(connection_->ConnectionString(), connection_string_);

  Add(20, "again", other);
  EXPECT_EQ(events_.Names(), std::vector<std::string>{"IDExist"});
  EXPECT_EQ(InSecond("SELECT COUNT(*) FROM 图库 WHERE TK_ID=20").cells[0].ToText(), "1");
  EXPECT_EQ(InSecond("SELECT TkShuoMing FROM 图库 WHERE TK_ID=20").cells[0].ToText(),
            "Tom's 三扇推拉窗");
  Add(21, "next", other);
  EXPECT_EQ(InSecond("SELECT Ord FROM 图库 WHERE TK_ID=21").cells[0].ToText(), "3");
}

TEST_P(Drawing, AnOldTemplateTableTakesTheFiveValues) {
  const std::string other = SecondDatabase(false);
  Add(7, "old", other, 0);
  EXPECT_TRUE(events_.events.empty()) << events_.events[0].args[2].ToText();
  EXPECT_EQ(InSecond("SELECT TkShuoMing FROM 图库 WHERE TK_ID=7").cells[0].ToText(), "old");
  Add(7, "old", other, 0);
  EXPECT_EQ(events_.Names(), std::vector<std::string>{"IDExist"});
}

TEST_P(Drawing, RegisteredIntoTheSharedDatabaseItShowsLastInTheLibrary) {
  Exec("INSERT INTO 图库 (TK_ID,TkLuJing,TkShuoMing,Tklb,ShiGongJu,TkSuoDing,OwnerList,UserList,"
       "Ord,IsSuoDing) VALUES(2,'2','a',2,0,0,'管理员','管理员',40,0)");
  Add(3, "b", connection_string_);
  ASSERT_TRUE(events_.events.empty()) << events_.events[0].args[2].ToText();
  ServerForWindowLoad lib;
  std::string cs = connection_string_;
  lib.Connect(cs);
  lib.SetCaoZuoYuan("alice", true);  // the new row is the administrator's only
  EXPECT_EQ(lib.GetWindow(2, false)->RowCount(), 0u);
  lib.SetCaoZuoYuan("管理员", true);
  RecordsetPtr rs = lib.GetWindow(2, false);
  std::vector<std::string> ids;
  for (; !*rs->Eof(); rs->MoveNext()) ids.push_back((*rs->Value("TK_ID")).ToText());
  EXPECT_EQ(ids, (std::vector<std::string>{"2", "3"}));
}

TEST_P(Drawing, FailuresAreReportedUnderTheirOperation) {
  std::string nowhere = other_dir_.File("missing/none.db");
  if (OnServer()) nowhere = "postgresql://127.0.0.1:1/none?connect_timeout=2";
  Add(5, "x", nowhere);
  ASSERT_EQ(events_.Names(), std::vector<std::string>{"Accesserror"});
  EXPECT_EQ(events_.events[0].args[0].ToText(), "ServerForDrawing.AddWindow");

  // A database without a template table.
  std::string why;
  std::string empty = testing::NewDatabase(GetParam(), other_dir_, &why);
  if (!OnServer()) ASSERT_TRUE(SqliteBackend::Open(empty, true).ok());
  events_.events.clear();
  Add(5, "x", empty);
  EXPECT_EQ(events_.Names(), std::vector<std::string>{"Accesserror"});

  std::string query = "SELECT * FROM 单元图库 WHERE DyTklb=6 ORDER BY dytk_ID";
  RecordsetPtr first = drawing_.QueryDanYuanTu(query);
  EXPECT_EQ(first->RowCount(), size_t(Count("SELECT COUNT(*) FROM 单元图库 WHERE DyTklb=6")));
  EXPECT_GT(first->RowCount(), 0u);
  std::string bad = "SELECT * FROM NoSuchTable";
  events_.events.clear();
  RecordsetPtr second = drawing_.QueryDanYuanTu(bad);
  ASSERT_EQ(events_.Names(), std::vector<std::string>{"Accesserror"});
  EXPECT_EQ(events_.events[0].args[0].ToText(), "ServerForDrawing.QueryDanYuanTu");
  EXPECT_FALSE(second->IsOpen());
  EXPECT_NE(first, second);  // each call hands out a set of its own
  EXPECT_TRUE(first->IsOpen());
}

TEST_P(Drawing, TheThreadKeepsOneConnectionPerDatabaseAndRenewsABrokenOne) {
  const std::string other = SecondDatabase(true);
  auto first = KeptConnections::ForThisThread(other);
  ASSERT_TRUE(first.ok()) << first.status().ToString();
  EXPECT_EQ(KeptConnections::ForThisThread(other)->get(), first->get());
  EXPECT_NE(first->get(), connection_.get());
  // The same string as the thread's connection still gets one of its own.
  EXPECT_NE(KeptConnections::ForThisThread(connection_string_)->get(), connection_.get());
  std::weak_ptr<SharedConnection> of_other_thread;
  std::thread([&] {
    auto own = KeptConnections::ForThisThread(other);
    ASSERT_TRUE(own.ok());
    EXPECT_NE(own->get(), first->get());
    of_other_thread = *own;
  }).join();
  EXPECT_TRUE(of_other_thread.expired());  // closed with its thread

  // A server session that was cut is replaced on the next registration; a
  // database file that is gone is reported, not written into unseen.
  if (!OnServer()) {
    for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(other + suffix);
    Add(30, "after", other);
    EXPECT_EQ(events_.Names(), std::vector<std::string>{"Accesserror"});
    return;
  }
  PGconn* admin = PQconnectdb(other.c_str());
  PGresult* r = PQexec(admin, "SELECT pg_terminate_backend(pid, 5000) FROM pg_stat_activity "
                              "WHERE datname = current_database() AND pid <> pg_backend_pid()");
  EXPECT_EQ(PQresultStatus(r), PGRES_TUPLES_OK) << PQerrorMessage(admin);
  PQclear(r);
  PQfinish(admin);
  Add(30, "after", other);
  EXPECT_TRUE(events_.events.empty()) << events_.events[0].args[2].ToText();
  SharedConnection check;
  ASSERT_TRUE(check.Bind(other).ok());
  auto rows = check.Query("SELECT COUNT(*) FROM 图库 WHERE TK_ID=30", dialect::Source::Jet);
  ASSERT_TRUE(rows.ok());
  EXPECT_EQ(rows->cells[0].ToText(), "1");
}

INSTANTIATE_TEST_SUITE_P(Backends, Drawing, testing::BothBackends(), testing::BackendName);

}  // namespace
}  // namespace dravmor
