// Several workstations on one database: threads with connections of their
// own run the same operations at once, then the invariants are checked:
// every call either succeeded or reported its failure, no id is doubled, no
// row is lost, order values stay distinct and gapless, stock counts equal
// what was booked. And on one workstation: an id never comes back after the
// row that held it was deleted.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <thread>

#include "customers/server_for_ke_hu.h"
#include "engine/id_allocator.h"
#include "engine/memory_form.h"
#include "engine/routines.h"
#include "formulas/server_for_formula_dan_yuan.h"
#include "suppliers/server_for_factory.h"
#include "templates/server_for_window_load.h"
#include "tests/support/test_database.h"
#include "warehouse/server_for_chu_ru_ming_xi.h"
#include "warehouse/server_for_cpk.h"

namespace dravmor {
namespace {

Currency Id(int64_t id) { return Currency::FromWhole(id); }

class Workstations : public testing::UpgradedDatabase {
 protected:
  // Runs station(i) for i in 0..n-1, each on a thread of its own (so with
  // its own connection), all at once.
  void AtOnce(int n, const std::function<void(int)>& station) {
    std::vector<std::thread> threads;
    for (int i = 0; i < n; ++i)
      threads.emplace_back([&, i] {
        station(i);
        SharedConnection::ResetThisThread();
      });
    for (std::thread& t : threads) t.join();
  }
  // Connects a server object of the calling thread to the test database.
  template <typename T>
  void Open(T& object, testing::EventRecorder& events) {
    object.SetEventSink(&events);
    std::string cs = connection_string_;
    object.Connect(cs);
  }
  static int Errors(const testing::EventRecorder& events) {
    int n = 0;
    for (const auto& e : events.events) n += e.name == "Accesserror";
    return n;
  }
  long Count(const std::string& sql) { return static_cast<long>(*Scalar(sql).ToInt64()); }
  // The column's values are exactly 1..n.
  void ExpectGapless(const std::string& sql, long n) {
    RowData rows = Query(sql);
    std::vector<long> values;
    for (const Variant& v : rows.cells) values.push_back(static_cast<long>(*v.ToInt64()));
    std::vector<long> expected;
    for (long i = 1; i <= n; ++i) expected.push_back(i);
    EXPECT_EQ(values, expected) << sql;
  }
};

TEST_P(Workstations, FactoryAddsNeitherCollideNorDoubleACode) {
  // Four workstations; each adds codes of its own and codes all of them type.
  constexpr int kStations = 4, kAdds = 25;
  std::vector<int> added(kStations), duplicates(kStations), failed(kStations);
  AtOnce(kStations, [&](int s) {
    testing::EventRecorder events;
    ServerForFactory factory;
    Open(factory, events);
    for (int i = 0; i < kAdds; ++i) {
      const std::string code =
          i % 2 ? "W" + std::to_string(s) + "-" + std::to_string(i) : "SHARED-" + std::to_string(i);
      auto form = std::make_shared<MemoryForm>();
      form->Set("txtfactoryinfo[0].Text", code);
      form->Set("txtfactoryinfo[1].Text", "x");
      form->Set("txtfactoryinfo[2].Text", "x");
      events.events.clear();
      factory.AddFactory(form, 0);
      if (Errors(events)) ++failed[s];
      else if (events.Last("BianMaChongFu")) ++duplicates[s];
      else ++added[s];
    }
  });
  int total_added = 0, total_duplicates = 0;
  for (int s = 0; s < kStations; ++s) {
    EXPECT_EQ(failed[s], 0) << "workstation " << s;
    total_added += added[s];
    total_duplicates += duplicates[s];
  }
  // Each shared code is stored once; the other workstations were told.
  constexpr int kShared = (kAdds + 1) / 2;
  EXPECT_EQ(total_duplicates, kShared * (kStations - 1));
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 厂家"), total_added);
  EXPECT_EQ(Count("SELECT COUNT(DISTINCT BianMa) FROM 厂家"), total_added);
  ExpectGapless("SELECT Cj_ID FROM 厂家 ORDER BY Cj_ID", total_added);
}

TEST_P(Workstations, LedgerRowsAndFinishedStockInsAreAllThere) {
  constexpr int kStations = 2, kRows = 30;
  std::vector<int> errors(kStations);
  AtOnce(kStations, [&](int s) {
    testing::EventRecorder events;
    ServerForChuRuMingXi ledger;
    ServerForCPK cpk;
    Open(ledger, events);
    Open(cpk, events);
    ledger.SetSQLSERVER(false);
    ledger.SetMaxCiShu(ledger.GetMaxID("ChuRuDetail", "CiShu", true));
    for (int i = 0; i < kRows; ++i) {
      ledger.Add(1, 0, Id(7), 2.5f, Id(0), Date::FromCivil(2026, 12, 7));
      // The same window every time: one stock line, added to.
      auto form = std::make_shared<MemoryForm>();
      form->Set("cmbgc.Text", "GC-01");
      form->Set("cmbmc.Text", "C1515");
      const char* texts[] = {"B1", "3F", "S60", "Casement", "1500", "1200", "set", "1", "n"};
      for (int t = 0; t < 9; ++t) form->Set("txtcpk[" + std::to_string(t) + "].Text", texts[t]);
      cpk.UpdateNum(Id(11), form, true);
    }
    errors[s] = Errors(events);
  });
  for (int s = 0; s < kStations; ++s) EXPECT_EQ(errors[s], 0) << "workstation " << s;
  EXPECT_EQ(Count("SELECT COUNT(*) FROM ChuRuDetail"), kStations * kRows);
  EXPECT_EQ(Count("SELECT COUNT(DISTINCT ID) FROM ChuRuDetail"), kStations * kRows);
  // Each workstation filed its rows under a document number of its own.
  EXPECT_EQ(Count("SELECT COUNT(DISTINCT CiShu) FROM ChuRuDetail"), kStations);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM ChengPinKu"), 1);
  EXPECT_EQ(Count("SELECT SUM(SL) FROM ChengPinKu"), kStations * kRows);
}

TEST_P(Workstations, ConcurrentMovesKeepOrderValuesDistinctAndGapless) {
  constexpr int kItems = 12, kStations = 2, kMoves = 15;
  for (int i = 1; i <= kItems; ++i) {
    Exec("INSERT INTO 图库 (TK_ID,TkLuJing,TkShuoMing,Tklb,ShiGongJu,TkSuoDing,OwnerList,"
         "UserList,Ord,IsSuoDing) VALUES(" + std::to_string(i + 1) + ",'p','t',2,0,0,'管理员',"
         "'管理员'," + std::to_string(i) + ",0)");
    Exec("INSERT INTO 型材组合公式 (xczhgs_id, tk_id, xl_id, xc_id, ShunXu) VALUES(" +
         std::to_string(i) + ",9,1,3," + std::to_string(i) + ")");
  }
  AtOnce(kStations, [&](int s) {
    testing::EventRecorder events;
    ServerForWindowLoad library;
    ServerForFormulaDanYuan formulas;
    Open(library, events);
    Open(formulas, events);
    library.SetCaoZuoYuan("管理员");
    library.SetWindowType(2);
    formulas.GetDanChuang(true);
    formulas.GetTuID(Id(9));
    formulas.GetXLID(Id(1));
    // Read on this workstation's own connection.
    auto value = [](const std::string& sql) -> int64_t {
      auto rows = SharedConnection::ForThisThread()->Query(sql, dialect::Source::Jet);
      if (!rows.ok() || rows->cells.empty()) return 0;
      auto v = rows->cells[0].ToInt64();
      return v.ok() ? *v : 0;
    };
    for (int m = 0; m < kMoves; ++m) {
      // Each move reads where its row is now; a move that lost the race to
      // the other workstation is refused and reported, never half done.
      const int64_t tk = 2 + (m * 5 + s * 3) % kItems;
      const int64_t ord = value("SELECT Ord FROM 图库 WHERE TK_ID=" + std::to_string(tk));
      library.SetTk_Move(m % 2 == 0, 1 + m % 3, Id(tk), static_cast<int32_t>(ord));
      const int64_t f = 1 + (m * 7 + s) % kItems;
      const int64_t shunxu = value("SELECT ShunXu FROM 型材组合公式 WHERE xczhgs_id=" +
                                   std::to_string(f));
      formulas.SetWeiShu(1 + m % 2);
      formulas.UpDown(Id(shunxu), 1, Id(f), m % 2 == 1);
    }
  });
  ExpectGapless("SELECT Ord FROM 图库 WHERE Tklb=2 ORDER BY Ord", kItems);
  ExpectGapless("SELECT ShunXu FROM 型材组合公式 ORDER BY ShunXu", kItems);
}

TEST_P(Workstations, AnOpenChangeIsWaitedForAndItsIdNotTakenAgain) {
  // Workstation B has written id 1 and not committed; A's add waits for it
  // and then takes the next id.
  std::thread b([&] {
    auto connection = SharedConnection::ForThisThread();
    ASSERT_TRUE(connection->Bind(connection_string_).ok());
    Transaction transaction(*connection);
    ASSERT_TRUE(transaction.status().ok());
    auto id = AllocateIds(*connection, "厂家", "cj_id");
    ASSERT_TRUE(id.ok());
    ASSERT_TRUE(connection
                    ->Execute("INSERT INTO 厂家  VALUES(" + id->ToText() +
                                  ",'b','b',0,0,'B0',0,0,'','')",
                              dialect::Source::Jet)
                    .ok());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_TRUE(transaction.Commit().ok());
    SharedConnection::ResetThisThread();
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  testing::EventRecorder events;
  ServerForFactory a;
  Open(a, events);
  auto form = std::make_shared<MemoryForm>();
  form->Set("txtfactoryinfo[0].Text", "A0");
  form->Set("txtfactoryinfo[1].Text", "a");
  form->Set("txtfactoryinfo[2].Text", "a");
  a.AddFactory(form, 0);
  b.join();
  EXPECT_EQ(Errors(events), 0);
  ExpectGapless("SELECT Cj_ID FROM 厂家 ORDER BY Cj_ID", 2);
}

TEST_P(Workstations, ATableAnotherWorkstationMadeSinceIsFound) {
  // B read its catalogue before A's first id made the marks table; B's
  // first id must still come, and be another one.
  if (*TableExists(*connection_, "IdHighWater")) Exec("DROP TABLE IdHighWater");
  SharedConnection a, b;
  ASSERT_TRUE(a.Bind(connection_string_).ok());
  ASSERT_TRUE(b.Bind(connection_string_).ok());
  ASSERT_TRUE(b.GetCatalogue().ok());
  auto first = AllocateIds(a, "厂家", "cj_id");
  auto second = AllocateIds(b, "厂家", "cj_id");
  ASSERT_TRUE(first.ok() && second.ok()) << second.status().ToString();
  EXPECT_NE(*first, *second);
}

TEST_P(Workstations, AnIdNeverComesBackAfterItsRowIsDeleted) {
  // The id columns the classes allocate for, one row added, deleted and
  // added again: the second row gets a new id.
  const struct {
    const char* table;
    const char* column;
  } columns[] = {{"型材", "xc_id"},       {"系列", "xl_id"},      {"ProjectInfo", "Gcxx_ID"},
                 {"型材组合公式", "xczhgs_id"}, {"厂家", "cj_id"}};
  for (const auto& c : columns) {
    SCOPED_TRACE(c.table);
    auto first = NextId(*connection_, c.table, c.column);
    ASSERT_TRUE(first.ok()) << first.status().text();
    Exec(std::string("INSERT INTO ") + c.table + " (" + c.column + ") VALUES(" + first->ToText() + ")");
    Exec(std::string("DELETE FROM ") + c.table + " WHERE " + c.column + "=" + first->ToText());
    auto second = NextId(*connection_, c.table, c.column);
    ASSERT_TRUE(second.ok());
    EXPECT_GT(second->scaled, first->scaled);
  }
  // The public next-id routine of the ledger, and a missing table.
  testing::EventRecorder events;
  ServerForChuRuMingXi ledger;
  Open(ledger, events);
  const int32_t project = ledger.GetMaxID("ProjectInfo", "Gcxx_ID", true);
  Exec("DELETE FROM ProjectInfo WHERE Gcxx_ID>=" + std::to_string(project - 1));
  EXPECT_EQ(ledger.GetMaxID("ProjectInfo", "Gcxx_ID", true), project + 1);
  EXPECT_EQ(ledger.GetMaxID("NoSuchTable", "ID", true), 0);
  EXPECT_EQ(events.Last("Accesserror")->args[0].ToText(), "ServerForChuRuMingXi.GetMaxID");
}

TEST_P(Workstations, AFailedChangeLeavesNothingHalfDone) {
  // DelFactory deletes bindings, filters and the factory itself, in that
  // order; when the last statement fails, nothing is deleted.
  Exec("INSERT INTO 厂家  VALUES(5,'f','f',0,0,'F5',0,0,'','')");
  Exec("INSERT INTO 系列 (XL_ID, CJ_ID, MingCheng, xllb, PinJieFangShi) VALUES(6,5,'s',2,0)");
  Exec("INSERT INTO WinFilter (Filter_ID, TK_ID, XL_ID) VALUES(1,1,6)");
  testing::EventRecorder events;
  ServerForFactory factory;
  Open(factory, events);
  // Its last statement fails: the table is gone. The filters deleted
  // before it come back.
  Exec("DROP TABLE 厂家");
  factory.DelFactory(Id(5));
  EXPECT_EQ(Errors(events), 1);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM WinFilter"), 1);
}

INSTANTIATE_TEST_SUITE_P(Backends, Workstations, testing::BothBackends(), testing::BackendName);

}  // namespace
}  // namespace dravmor
