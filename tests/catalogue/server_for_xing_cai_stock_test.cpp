// ServerForXingCai's stock side: counts, remnants, purchase orders received
// in parts, on an upgraded database.
#include <algorithm>

#include <gtest/gtest.h>

#include "catalogue/server_for_xing_cai.h"
#include "tests/support/test_database.h"

namespace dravmor {
namespace {

using Names = std::vector<std::string>;
Currency Id(int64_t id) { return Currency::FromWhole(id); }
Names Sorted(Names names) {
  std::sort(names.begin(), names.end());
  return names;
}

class XingCaiStock : public testing::UpgradedDatabase {
 protected:
  void SetUp() override {
    UpgradedDatabase::SetUp();
    if (IsSkipped()) return;
    xc_.SetEventSink(&events_);
    std::string cs = connection_string_;
    xc_.Connect(cs);
    xc_.SetSQLSERVER(false);
    Exec("INSERT INTO 厂家 (CJ_ID, JianCheng) VALUES(1, 'Alu')");
    Exec("INSERT INTO 厂家 (CJ_ID, JianCheng) VALUES(2, 'Other')");
    for (auto [series, factory] : {std::pair{10, 1}, {11, 1}, {20, 2}})
      Exec("INSERT INTO 系列 (XL_ID, CJ_ID, MingCheng, xllb) VALUES(" + std::to_string(series) +
           ", " + std::to_string(factory) + ", 'S', 0)");
    // id, series, factory, code
    const std::tuple<int, int, int, const char*> profiles[] = {
        {1, 10, 1, "K''1"}, {2, 10, 1, "K2"}, {3, 11, 1, "K3"}, {4, 20, 2, "K4"}};
    for (auto [id, series, factory, code] : profiles)
      Exec("INSERT INTO 型材 (Xc_ID, XL_ID, CJ_ID, MingChengXC, DaiMa, ChangDu, MiZhong, JiaGe, "
           "num, LB_ID, ShiFouTongYong) VALUES(" + std::to_string(id) + ", " + std::to_string(series) +
           ", " + std::to_string(factory) + ", 'P', '" + code + "', 6000, 1.5, 10, 0, 20, 0)");
    xc_.SetXLID(10, 1);
    events_.events.clear();
  }
  // A column of the last event's record set.
  Names Column(const std::string& event, const std::string& column) {
    const testing::RecordedEvent* e = events_.Last(event);
    if (!e) return {"<no " + event + ">"};
    auto rs = e->args[0].ObjectAs<Recordset>();
    if (!rs || !rs->IsOpen()) return {"<unopened>"};
    auto at = rs->IndexOf(column);
    if (!at.ok()) {
      std::string fields;
      for (size_t i = 0; i < rs->Count(); ++i) fields += " " + *rs->Name(i);
      return {"<no column " + column + " among" + fields + ">"};
    }
    Names values;
    for (size_t r = 0; r < rs->RowCount(); ++r)
      values.push_back(rs->Data().cells[r * rs->Count() + *at].ToText());
    return values;
  }
  Names House(int32_t series, int32_t factory, const std::string& code = "") {
    xc_.SetXLID(series, factory);
    events_.events.clear();
    xc_.GetXcForHouse(code);
    return Column("rsResult", "xc_id");
  }
  std::string LastError() {
    const testing::RecordedEvent* e = events_.Last("Accesserror");
    return e ? e->args[0].ToText() + " " + e->args[2].ToText() : "";
  }
  double Number(const std::string& sql) {
    Variant v = Scalar(sql);
    return v.IsNull() ? -999 : *v.ToDouble();
  }

  ServerForXingCai xc_;
  testing::EventRecorder events_;
};

TEST_P(XingCaiStock, StockCountsAndTheAllRowsMarker) {
  xc_.SetBrel_RK(true);  // the stock view of the profiles themselves
  EXPECT_EQ(House(-1, -1), (Names{"1", "2", "3", "4"}));  // id 1 is a profile too
  EXPECT_EQ(House(-1, 1), (Names{"1", "2", "3"}));   // the whole factory
  EXPECT_EQ(House(-1, 1, "K'"), (Names{"1"}));
  EXPECT_EQ(House(10, 1), (Names{"1", "2"}));
  EXPECT_EQ(House(10, 1, "2"), (Names{"2"}));

  xc_.UpdateNum(Id(2), 5);
  xc_.UpdateNum(Id(2), -8);  // may go below 0
  EXPECT_EQ(Number("SELECT num FROM 型材 WHERE Xc_ID=2"), -3);
  EXPECT_EQ(Column("rsResult", "num"), (Names{"0", "-3"}));
  xc_.UpdateLength(Id(2), 6500);
  EXPECT_EQ(Number("SELECT ChangDu FROM 型材 WHERE Xc_ID=2"), 6500);
  xc_.UpdateNum(Id(4), 7);
  xc_.QingKongCK(Id(1), false);  // factory 1 only
  EXPECT_EQ(Number("SELECT SUM(num) FROM 型材"), 7);
  xc_.QingKongCK(Id(20), true);
  EXPECT_EQ(Number("SELECT SUM(num) FROM 型材"), 0);

  // Outside received-stock mode the view lists the stock lines of no
  // order, after dropping lines that received nothing.
  xc_.SetBrel_RK(false);
  Exec("INSERT INTO BaoDanDetail (BDDetail_ID, BD_ID, Xc_ID, CD, DaoHuo) VALUES(1, 0, 2, 6000, 4)");
  Exec("INSERT INTO BaoDanDetail (BDDetail_ID, BD_ID, Xc_ID, CD, DaoHuo) VALUES(2, 0, 2, 6000, 0)");
  Exec("INSERT INTO BaoDanDetail (BDDetail_ID, BD_ID, Xc_ID, CD, DaoHuo) VALUES(3, 5, 3, 6000, 2)");
  Exec("INSERT INTO BaoDanDetail (BDDetail_ID, BD_ID, Xc_ID, CD, DaoHuo) VALUES(4, 0, 4, 6000, 1)");
  // An order's line still waiting for delivery is kept by the view.
  Exec("INSERT INTO BaoDanDetail (BDDetail_ID, BD_ID, Xc_ID, CD, DaoHuo) VALUES(5, 5, 3, 6000, 0)");
  House(10, 1);
  EXPECT_EQ(Column("rsResult", "BDDetail_ID"), (Names{"1"}));
  House(-1, -1);
  EXPECT_EQ(Column("rsResult", "BDDetail_ID"), (Names{"1", "4"}));
  EXPECT_EQ(Number("SELECT SUM(BDDetail_ID) FROM BaoDanDetail"), 1 + 3 + 4 + 5);
  EXPECT_EQ(LastError(), "");
}

TEST_P(XingCaiStock, PurchaseOrderReceivedInPartsOnBothDialects) {
  for (bool is2000 : {false, true}) {
    SCOPED_TRACE(is2000 ? "SQL Server dialect" : "Jet dialect");
    Exec("DELETE FROM BaoDan");
    Exec("DELETE FROM BaoDanDetail");
    // Each dialect's round numbers its rows from 1, as on a new database.
    Exec("DELETE FROM IdHighWater");
    xc_.SetSQLSERVER(is2000);
    xc_.SetBrel_RK(false);
    xc_.SetXLID(10, 1);
    events_.events.clear();
    xc_.AddBaoDan("O'Brien's order");
    EXPECT_EQ(Column("rsBaoDanResult", "BDName"), (Names{"O'Brien's order"}));
    const Currency order = Id(1);

    // Nothing delivered yet: the line is still stored, weighing 0 a piece.
    xc_.SetHang_WZ("bundle 'A'");
    xc_.SetHang_YS("白色");
    xc_.SetBrel_RQ("2026-03-01");
    events_.events.clear();
    xc_.AddBaoDanDetail(order, Id(2), 6000, 99, 0, 12.5f, "10", "rush's");
    const testing::RecordedEvent* added = events_.Last("rsBaoDanNewID");
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->args[0], Variant(Id(1)));
    EXPECT_EQ(Number("SELECT COUNT(*) FROM BaoDanDetail WHERE ShiZhong=0 AND YaoHuo=10 AND "
                     "BeiZhu='rush''s' AND BaoZhuang='bundle ''A'''"), 1);
    EXPECT_EQ(Scalar("SELECT RQ FROM BaoDanDetail").ToText().substr(0, 10), "2026-03-01");
    xc_.AddBaoDanDetail(order, Id(3), 5000, 0, 4, 10, "4", "");
    EXPECT_EQ(Number("SELECT ShiZhong FROM BaoDanDetail WHERE BDDetail_ID=2"), 2.5);

    // Delivered in two parts; each booking is confirmed with the line's id.
    events_.events.clear();
    xc_.UpdateBaoDanRQRENCJ(Id(1), "", "", "4");
    xc_.UpdateBaoDanRQRENCJ(Id(1), "", "", "6");
    ASSERT_EQ(events_.Names(), (Names{"Accesserror", "Accesserror"}));
    EXPECT_EQ(events_.events[0].args[0], Variant("1"));
    EXPECT_EQ(events_.events[0].args[1], Variant(int32_t{1}));
    xc_.GetBaoDanDetail(order);
    EXPECT_EQ(Column("rsBaoDanDetailResult", "DaoHuo"), (Names{"10", "4"}));

    // Received-stock mode: a booking is a new stock line of no order.
    xc_.SetBrel_RK(true);
    xc_.SetBrel_DanJia(20);
    xc_.SetHang_LiLunZhong(30);
    events_.events.clear();
    xc_.UpdateBaoDanRQRENCJ(Id(2), "6000", "crate", "3");
    ASSERT_EQ(events_.Names(), (Names{"Accesserror"}));
    EXPECT_EQ(events_.events[0].args[0], Variant("3"));
    EXPECT_EQ(Number("SELECT COUNT(*) FROM BaoDanDetail WHERE BD_ID=0 AND DaoHuo=3 AND "
                     "ShiZhong=10 AND YaoHuo=20 AND BeiZhu='crate'"), 1);
    // Moving received pieces from the stock line onto the order line.
    xc_.UpdateNum_Brel(Id(3), Id(1), -2);
    EXPECT_EQ(Number("SELECT DaoHuo FROM BaoDanDetail WHERE BDDetail_ID=3"), 1);
    EXPECT_EQ(Number("SELECT DaoHuo FROM BaoDanDetail WHERE BDDetail_ID=1"), 8);

    xc_.SetWZ_YS(0, 1);
    events_.events.clear();
    xc_.GetXcQuery_Brel("系列.CJ_ID=1", 0);
    EXPECT_EQ(Sorted(Column("rsResultREP", "SL")), (Names{"4", "9"}));  // lines 1 and 3 alike
    xc_.GetXcQuery_Brel("型材.Xc_ID=2", 1);
    EXPECT_EQ(Sorted(Column("rsResultREP", "SL")), (Names{"1", "8"}));
    EXPECT_EQ(LastError(), "");
  }
}

TEST_P(XingCaiStock, OrderLinesThatCannotBeWrittenAreNotReported) {
  xc_.SetBrel_RQ("2026-03-01");
  xc_.AddBaoDanDetail(Id(1), Id(2), 6000, 0, 1, 1, "1);DELETE FROM 型材;--", "");
  xc_.SetBrel_RQ("2026-03-01# OR 1=1 OR #2026-01-01");
  xc_.AddBaoDanDetail(Id(1), Id(2), 6000, 0, 1, 1, "1", "");
  xc_.SetBrel_RK(true);
  xc_.UpdateBaoDanRQRENCJ(Id(2), "6000", "", "3,0,0,0);--");
  EXPECT_EQ(events_.Names(), Names{});
  EXPECT_EQ(Number("SELECT COUNT(*) FROM BaoDanDetail"), 0);
  EXPECT_EQ(Number("SELECT COUNT(*) FROM 型材"), 4);
  // A line without a date is kept without one.
  xc_.SetBrel_RQ("");
  xc_.SetBrel_RK(false);
  xc_.AddBaoDanDetail(Id(1), Id(2), 6000, 0, 1, 1, "1", "");
  EXPECT_EQ(events_.Names(), (Names{"rsBaoDanNewID"}));
  EXPECT_TRUE(Scalar("SELECT RQ FROM BaoDanDetail").IsNull());
}

TEST_P(XingCaiStock, DeletingAnOrderTakesItsLinesOrNothing) {
  xc_.AddBaoDan("A");
  xc_.AddBaoDan("B");
  Exec("INSERT INTO BaoDanDetail (BDDetail_ID, BD_ID, Xc_ID, DaoHuo) VALUES(1, 1, 2, 4)");
  Exec("INSERT INTO BaoDanDetail (BDDetail_ID, BD_ID, Xc_ID, DaoHuo) VALUES(2, 2, 2, 4)");
  xc_.DelBaoDan(Id(1));
  EXPECT_EQ(Column("rsBaoDanResult", "BDName"), (Names{"B"}));
  EXPECT_EQ(Number("SELECT COUNT(*) FROM BaoDanDetail"), 1);

  // The lines cannot go: the order stays with them.
  Exec("DROP TABLE BaoDanDetail");
  xc_.DelBaoDan(Id(2));
  EXPECT_EQ(Column("rsBaoDanResult", "BDName"), (Names{"B"}));
  EXPECT_EQ(Number("SELECT COUNT(*) FROM BaoDan"), 1);
  EXPECT_EQ(LastError(), "");
}

TEST_P(XingCaiStock, DeletingAnOrderWhoseRowCannotGoKeepsItsLines) {
  Exec("INSERT INTO BaoDanDetail (BDDetail_ID, BD_ID, Xc_ID, DaoHuo) VALUES(1, 1, 2, 4)");
  Exec("DROP TABLE BaoDan");
  xc_.DelBaoDan(Id(1));
  EXPECT_EQ(Number("SELECT COUNT(*) FROM BaoDanDetail"), 1);
}

TEST_P(XingCaiStock, RemnantsByLengthAndFromRemnantStockLines) {
  Exec("UPDATE 型材 SET ShiFouTongYong=-1 WHERE Xc_ID=3");
  Exec("INSERT INTO TongYong VALUES(1, 3, 10)");
  xc_.AddLingLiao(Id(1), 800, 2);
  xc_.AddLingLiao(Id(2), 1500, 1);
  xc_.AddLingLiao(Id(3), 1200, 3);  // shared into series 10
  xc_.AddLingLiao(Id(4), 900, 1);
  EXPECT_EQ(Column("rsResult", "LingLiao_id"), (Names{"1", "2", "3"}));
  xc_.UpdateLing(Id(2), 1400, 0);  // used up: gone from the list
  EXPECT_EQ(Column("rsResult", "LingLiao_id"), (Names{"1", "3"}));
  EXPECT_EQ(Number("SELECT COUNT(*) FROM LingLiao"), 3);
  // Negative lengths and counts are refused, nothing written.
  xc_.AddLingLiao(Id(1), -800, 2);
  EXPECT_NE(LastError().find("ServerForXingCai.AddLingLiao"), std::string::npos);
  xc_.AddLingLiao(Id(1), 800, -2);
  EXPECT_THROW(xc_.UpdateLing(Id(1), 800, -1), CallError);
  EXPECT_THROW(xc_.UpdateLing(Id(1), -1, 1), CallError);
  EXPECT_EQ(Number("SELECT COUNT(*) FROM LingLiao WHERE changdu<0 OR shuliang<0"), 0);
  EXPECT_EQ(Number("SELECT COUNT(*) FROM LingLiao"), 3);

  int16_t min = 0, max = 0;
  xc_.GetPinJieLiao(min, max);
  EXPECT_EQ(Column("rsResult", "LingLiao_id"), (Names{"1"}));  // own series, category 20
  min = 900;
  xc_.GetPinJieLiao(min, max);
  EXPECT_EQ(Column("rsResult", "LingLiao_id"), Names{});
  min = 0, max = 800;
  xc_.GetPinJieLiao(min, max);
  EXPECT_EQ(Column("rsResult", "LingLiao_id"), (Names{"1"}));

  Currency all{};
  xc_.GetLingLiaoREP(all);
  EXPECT_EQ(Column("rsResultREP", "Changdu"), (Names{"800", "1200", "900"}));
  xc_.DelLingLiao(Id(1));
  EXPECT_EQ(Column("rsResult", "LingLiao_id"), (Names{"3"}));

  // The store rebuilt from the remnant stock lines, summed per length.
  xc_.LingLiaoChuRuKu();
  EXPECT_EQ(Number("SELECT COUNT(*) FROM LingLiao"), 0);
  xc_.SetBrel_RK(true);
  xc_.SetLingLiao(1);
  xc_.UpdateBaoDanRQRENCJ(Id(2), "700", "", "2");
  xc_.UpdateBaoDanRQRENCJ(Id(2), "700", "", "3");
  xc_.UpdateBaoDanRQRENCJ(Id(2), "650", "", "1");
  xc_.SetLingLiao(0);
  xc_.UpdateBaoDanRQRENCJ(Id(2), "6000", "", "9");
  xc_.LingLiaoChuRuKu();
  EXPECT_EQ(Number("SELECT shuliang FROM LingLiao WHERE ChangDu=700"), 5);
  EXPECT_EQ(Number("SELECT shuliang FROM LingLiao WHERE ChangDu=650"), 1);
  EXPECT_EQ(Number("SELECT COUNT(*) FROM LingLiao"), 2);
  EXPECT_EQ(LastError().find("ServerForXingCai"), std::string::npos) << LastError();

  // A rebuild whose read fails keeps the store as it was.
  Exec("DROP TABLE BaoDanDetail");
  xc_.LingLiaoChuRuKu();
  EXPECT_EQ(Number("SELECT COUNT(*) FROM LingLiao"), 2);
}

INSTANTIATE_TEST_SUITE_P(Backends, XingCaiStock, testing::BothBackends(), testing::BackendName);

}  // namespace
}  // namespace dravmor
