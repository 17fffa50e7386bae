// ServerForChuRuMingXi end to end on an upgraded database.
#include <gtest/gtest.h>

#include "engine/numeric.h"
#include "tests/support/test_database.h"
#include "warehouse/server_for_chu_ru_ming_xi.h"

namespace dravmor {
namespace {

using Names = std::vector<std::string>;
Currency Id(int64_t id) { return Currency::FromWhole(id); }

class Ledger : public testing::UpgradedDatabase {
 protected:
  void SetUp() override {
    UpgradedDatabase::SetUp();
    if (IsSkipped()) return;
    ledger_.SetEventSink(&events_);
    std::string cs = connection_string_;
    ledger_.Connect(cs);
    ledger_.SetSQLSERVER(false);
    Exec("INSERT INTO 型材 (Xc_ID, MingChengXC, DaiMa, ChangDu, JiaGe) VALUES(5, 'Frame', 'KF60', 6000, 12)");
    Exec("INSERT INTO 型材 (Xc_ID, MingChengXC, DaiMa, ChangDu, JiaGe) VALUES(6, 'Sash', 'KS60', 6000, 10)");
    Exec("INSERT INTO 配件 (PJ_ID, DaiMa, MingCheng, DanJia) VALUES(5, 'H1', 'Handle', 3)");
    Exec("INSERT INTO 玻璃 (BL_ID, HouDu, YanSe, ChangDu, KuanDu, DanJia) VALUES(5, '5', 'Clear', 2000, 1500, 40)");
    ASSERT_TRUE(events_.events.empty());
  }
  void Add(int32_t direction, int32_t type, int64_t item, float quantity, int64_t project,
           Date day) {
    ledger_.Add(direction, type, Id(item), quantity, Id(project), day);
  }
  // The result set of GetDetail: "code:quantity:direction:document" per row.
  Names Detail(const std::string& from, const std::string& to, int32_t direction,
               int64_t project = 0, int32_t type = 0) {
    events_.events.clear();
    ledger_.GetDetail(from, to, direction, Id(project), type);
    const testing::RecordedEvent* e = events_.Last("rsResult");
    if (!e) return {"<no rsResult> " + LastError() + " " + LastErrorText()};
    auto rs = e->args[0].ObjectAs<Recordset>();
    Names rows;
    const int code = type == 2 ? *rs->IndexOf("YanSe") : *rs->IndexOf("DaiMa");
    for (size_t r = 0; r < rs->RowCount(); ++r) {
      auto cell = [&](int c) { return rs->Data().cells[r * rs->Count() + c]; };
      rows.push_back(cell(code).ToText() + ":" + ShortestDecimal(static_cast<float>(*cell(*rs->IndexOf("WuJianNum")).ToDouble())) +
                     ":" + cell(*rs->IndexOf("ChuRu")).ToText() + ":" +
                     cell(*rs->IndexOf("CiShu")).ToText());
    }
    return rows;
  }
  long Count(const std::string& where = "") {
    auto v = Scalar("SELECT COUNT(*) FROM ChuRuDetail " + where);
    return static_cast<long>(*v.ToInt64());
  }
  std::string LastError() {
    const testing::RecordedEvent* e = events_.Last("Accesserror");
    return e ? e->args[0].str() + " " + e->args[1].ToText() : "";
  }
  std::string LastErrorText() {
    const testing::RecordedEvent* e = events_.Last("Accesserror");
    return e ? e->args[2].ToText() : "";
  }

  ServerForChuRuMingXi ledger_;
  testing::EventRecorder events_;
};

TEST_P(Ledger, RowsAndDocumentNumbersAcrossAMonthOnBothDialects) {
  for (bool is2000 : {false, true}) {
    SCOPED_TRACE(is2000 ? "SQL Server dialect" : "Jet dialect");
    Exec("DELETE FROM ChuRuDetail");
    Exec("DELETE FROM IdHighWater");  // each round numbers from 1, as a new database
    ledger_.SetSQLSERVER(is2000);
    events_.events.clear();
    ledger_.SetMaxCiShu(31);
    Add(1, 0, 5, 40, 0, Date::FromCivil(2026, 1, 31, 17, 45));  // late on the last day
    ledger_.SetMaxCiShu(32);
    Add(0, 0, 5, 12.5f, 2, Date::FromCivil(2026, 2, 1));
    Add(0, 0, 6, 0.1f, 2, Date::FromCivil(2026, 2, 28));
    Add(1, 0, 5, 3, 0, Date::FromCivil(2026, 3, 1));
    ASSERT_EQ(events_.Names(), (Names{"TellDanHao", "TellDanHao", "TellDanHao", "TellDanHao"}));
    EXPECT_EQ(events_.events[0].args[0].str() + events_.events[1].args[0].str(), "3132");
    // Ids follow one another; each row keeps the number current at its Add.
    EXPECT_EQ(Scalar("SELECT CiShu FROM ChuRuDetail WHERE ID=1").ToText(), "31");
    EXPECT_EQ(Count("WHERE CiShu=32"), 3);
    // Stored as the day itself, whatever the dialect that wrote it.
    EXPECT_EQ(Count("WHERE RiQi=#2026-01-31# OR RiQi=#2026-02-28#"), 2);
    EXPECT_EQ(Scalar("SELECT WuJianNum FROM ChuRuDetail WHERE ID=3").ToText().substr(0, 3), "0.1");

    // Both ends of a range are included; the month boundary splits cleanly.
    EXPECT_EQ(Detail("2026-01-01", "2026-01-31", 2), Names{"KF60:40:1:31"});
    EXPECT_EQ(Detail("2026-02-01", "2026-02-28", 2), (Names{"KF60:12.5:0:32", "KS60:0.1:0:32"}));
    EXPECT_EQ(Detail("2026-1-31", "2026-2-1", 2), (Names{"KF60:40:1:31", "KF60:12.5:0:32"}));
    // Month-first texts as Jet reads them.
    EXPECT_EQ(Detail("2/28/2026", "3/1/2026", 2), (Names{"KS60:0.1:0:32", "KF60:3:1:32"}));
    EXPECT_TRUE(events_.Names() == Names{"rsResult"});
  }
}

TEST_P(Ledger, ListsByDirectionProjectAndItemType) {
  ledger_.SetMaxCiShu(7);
  const Date day = Date::FromCivil(2026, 5, 10);
  Add(1, 0, 5, 100, 0, day);
  Add(0, 0, 5, 10, 2, day);
  Add(0, 0, 5, 20, 3, day);
  Add(0, 1, 5, 4, 2, day);   // an accessory with the same id as the profile
  Add(1, 2, 5, 6, 0, day);   // a glass sheet
  EXPECT_EQ(Detail("2026-05-01", "2026-05-31", 1), Names{"KF60:100:1:7"});
  EXPECT_EQ(Detail("2026-05-01", "2026-05-31", 0), (Names{"KF60:10:0:7", "KF60:20:0:7"}));
  EXPECT_EQ(Detail("2026-05-01", "2026-05-31", 0, 3), Names{"KF60:20:0:7"});
  // The project only narrows issues.
  EXPECT_EQ(Detail("2026-05-01", "2026-05-31", 2, 3).size(), 3u);
  EXPECT_EQ(Detail("2026-05-01", "2026-05-31", 0, 2, 1), Names{"H1:4:0:7"});
  EXPECT_EQ(Detail("2026-05-01", "2026-05-31", 2, 0, 2), Names{"Clear:6:1:7"});
  EXPECT_EQ(Detail("2026-06-01", "2026-06-30", 2), Names{});
}

TEST_P(Ledger, CorrectionsAndDeletesTouchTheItemInTheCurrentDocument) {
  const Date day = Date::FromCivil(2026, 4, 30);
  ledger_.SetMaxCiShu(1);
  Add(1, 0, 5, 10, 0, day);
  ledger_.SetMaxCiShu(2);
  Add(1, 0, 5, 1, 0, day);
  Add(1, 0, 5, 2, 0, day);
  Add(1, 0, 6, 3, 0, day);
  ledger_.Edit(Id(5), 7.25f);
  EXPECT_EQ(Detail("2026-04-01", "2026-04-30", 1),
            (Names{"KF60:10:1:1", "KF60:7.25:1:2", "KF60:7.25:1:2", "KS60:3:1:2"}));
  ledger_.Del(Id(5));
  EXPECT_EQ(Detail("2026-04-01", "2026-04-30", 1), (Names{"KF60:10:1:1", "KS60:3:1:2"}));
  EXPECT_TRUE(events_.events.size() == 1u);  // only the listing: no failure

  // Profile 5, accessory 5 and glass 5 are three items: the type says which.
  ledger_.SetMaxCiShu(3);
  for (int32_t type : {0, 1, 2}) Add(1, type, 5, 1, 0, day);
  ledger_.Edit(Id(5), 4, 1);
  ledger_.Del(Id(5), 2);
  EXPECT_EQ(Count("WHERE CiShu=3"), 2);
  EXPECT_EQ(Count("WHERE CiShu=3 AND WuJianType=1 AND WuJianNum=4"), 1);
  EXPECT_EQ(Count("WHERE CiShu=3 AND WuJianType=0 AND WuJianNum=1"), 1);
  // Not saying is refused while the id names more than one of them, or a
  // type that is none.
  events_.events.clear();
  ledger_.Edit(Id(5), 9);
  ledger_.Del(Id(5));
  ledger_.Del(Id(5), 3);
  EXPECT_EQ(events_.Names(), (Names{"Accesserror", "Accesserror", "Accesserror"}));
  EXPECT_EQ(Count("WHERE CiShu=3"), 2);
  ledger_.Del(Id(5), 0);
  ledger_.Edit(Id(5), 9);  // now accessory 5 alone
  EXPECT_EQ(Count("WHERE CiShu=3 AND WuJianType=1 AND WuJianNum=9"), 1);
}

TEST_P(Ledger, PeriodsAreClearedBetweenTheirDays) {
  ledger_.SetMaxCiShu(1);
  Add(1, 0, 5, 1, 0, Date::FromCivil(2026, 1, 31));
  Add(1, 0, 5, 2, 0, Date::FromCivil(2026, 2, 1));
  Add(1, 0, 5, 3, 0, Date::FromCivil(2026, 2, 28));
  Add(1, 0, 5, 4, 0, Date::FromCivil(2026, 3, 1));
  ledger_.DelZhang("2026-02-01", "2026-02-28");
  EXPECT_EQ(Detail("2026-01-01", "2026-12-31", 2), (Names{"KF60:1:1:1", "KF60:4:1:1"}));

  Exec("INSERT INTO BaoDanDetail (BDDetail_ID, BD_ID, Xc_ID, RQ) VALUES(1, 1, 5, #2026-02-01#)");
  Exec("INSERT INTO BaoDanDetail (BDDetail_ID, BD_ID, Xc_ID, RQ) VALUES(2, 1, 5, #2026-03-01#)");
  ledger_.SetSQLSERVER(true);
  ledger_.DelXcCaoZuoMx("2026-02-01", "2026-02-28");
  EXPECT_EQ(Scalar("SELECT BDDetail_ID FROM BaoDanDetail").ToText(), "2");
  events_.events.clear();
  Exec("ALTER TABLE BaoDanDetail DROP COLUMN RQ");
  ledger_.DelXcCaoZuoMx("2026-03-01", "2026-03-31");  // failures are ignored
  EXPECT_TRUE(events_.events.empty());
}

TEST_P(Ledger, NextAndLowestIds) {
  EXPECT_EQ(ledger_.GetMaxID("ChuRuDetail", "ID", true), 1);
  EXPECT_EQ(ledger_.GetMaxID("ChuRuDetail", "ID", false), 1);
  Exec("INSERT INTO ChuRuDetail (ID, RiQi) VALUES(41, #2026-01-01#)");
  Exec("INSERT INTO ChuRuDetail (ID, RiQi) VALUES(9, #2026-01-01#)");
  EXPECT_EQ(ledger_.GetMaxID("ChuRuDetail", "ID", true), 42);
  EXPECT_EQ(ledger_.GetMaxID("ChuRuDetail", "ID", false), 9);
  EXPECT_TRUE(events_.events.empty());
  EXPECT_EQ(ledger_.GetMaxID("NoSuchTable", "ID", true), 0);
  EXPECT_EQ(LastError().substr(0, 30), "ServerForChuRuMingXi.GetMaxID ");
}

TEST_P(Ledger, BadDatesAndCodesAreRefusedWithoutTouchingRows) {
  ServerForChuRuMingXi fresh;  // no SetSQLSERVER yet
  fresh.SetEventSink(&events_);
  std::string cs = connection_string_;
  fresh.Connect(cs);
  fresh.SetMaxCiShu(1);
  fresh.Add(1, 0, Id(5), 1, Id(0), Date::FromCivil(2026, 12, 6));
  EXPECT_EQ(LastError(), "ServerForChuRuMingXi.Add 5");
  EXPECT_EQ(Count(), 0);  // not stored as the number 2008
  EXPECT_EQ(events_.Last("TellDanHao"), nullptr);

  ledger_.SetMaxCiShu(1);
  Add(1, 0, 5, 1, 0, Date::FromCivil(2026, 1, 15));
  for (bool is2000 : {false, true}) {
    ledger_.SetSQLSERVER(is2000);
    events_.events.clear();
    // A delimiter inside the text would close the literal early.
    ledger_.DelZhang("2026-01-01# OR 1=1 OR RiQi>=#2026-01-01", "2026-12-31");
    ledger_.DelZhang("2026-01-01' OR 1=1 OR RiQi>='2026-01-01", "2026-12-31");
    ledger_.DelZhang("", "2026-12-31");
    EXPECT_EQ(events_.Names(), (Names{"Accesserror", "Accesserror", "Accesserror"}));
    EXPECT_EQ(LastError(), "ServerForChuRuMingXi.DelZhang 13");
    EXPECT_EQ(Count(), 1);
  }
  events_.events.clear();
  ledger_.GetDetail("2026-01-01", "2026-12-31", 3, Id(0), 0);
  ledger_.GetDetail("2026-01-01", "2026-12-31", 1, Id(0), 7);
  EXPECT_EQ(events_.Names(), (Names{"Accesserror", "Accesserror"}));
  EXPECT_EQ(LastError(), "ServerForChuRuMingXi.GetDetail 5");
}

TEST_P(Ledger, AFailedIdLookupWritesNoRow) {
  if (OnServer()) GTEST_SKIP() << "needs a key the server would refuse to store";
  // A key that is no number makes the next-id query fail while an INSERT
  // still could succeed. The engine would refuse to write it, so it is
  // written past the engine, as another program could have.
  ASSERT_TRUE(connection_->backend()
                  ->Execute("INSERT INTO ChuRuDetail (ID, RiQi) VALUES('x', '2026-01-01 00:00:00')")
                  .ok());
  ledger_.SetMaxCiShu(3);
  Add(1, 0, 5, 1, 0, Date::FromCivil(2026, 1, 2));
  EXPECT_EQ(events_.Names(), Names{"Accesserror"});
  EXPECT_EQ(LastError(), "ServerForChuRuMingXi.GetMaxID 13");
  EXPECT_EQ(Count(), 1);
}

INSTANTIATE_TEST_SUITE_P(Backends, Ledger, testing::BothBackends(), testing::BackendName);

}  // namespace
}  // namespace dravmor
