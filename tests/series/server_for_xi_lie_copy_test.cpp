// ServerForXiLie.CopyNew: a series copied with its own and shared profiles
// and every per-series table; references inside the copy point into it.
#include <gtest/gtest.h>

#include "series/server_for_xi_lie.h"
#include "tests/support/test_database.h"

namespace dravmor {
namespace {

class SeriesCopy : public testing::UpgradedDatabase {
 protected:
  void SetUp() override {
    UpgradedDatabase::SetUp();
    if (IsSkipped()) return;
    Exec("INSERT INTO 厂家 VALUES(7,'Guangya','广亚',0,0,'GL',0,0,'alice','alice')");
    Exec("INSERT INTO 厂家 VALUES(8,'Other','另一家',0,0,'OT',0,0,'alice','alice')");
    // Series 1 (a formula series) owns profiles 10, 11, 12; profile 20 of
    // series 2 is shared with series 1; profile 30 of series 2 is not.
    Exec("INSERT INTO 系列 VALUES(1,7,'60',0,0,-1,0,'alice','alice')");
    Exec("INSERT INTO 系列 VALUES(2,7,'50',2,0,0,0,'alice','alice')");
    Profile(10, 1, "框", "K-1");
    Profile(11, 1, "O''Neill 扇", "S''2");
    Profile(12, 1, "中梃", "Z-3");
    Profile(20, 2, "压线", "Y-1");
    Profile(30, 2, "别的", "B-1");
    Exec("INSERT INTO TongYong VALUES(1,20,1)");
    // Profile formulas: on own, shared and a foreign profile (not copied).
    Exec("INSERT INTO 型材组合公式 VALUES(5,100,1,10,'L-2*''a''','2',1,'45')");
    Exec("INSERT INTO 型材组合公式 VALUES(6,100,1,20,'W','1',2,'90')");
    Exec("INSERT INTO 型材组合公式 VALUES(7,100,1,30,'H','1',3,'90')");
    Exec("INSERT INTO 型材组合公式 VALUES(8,100,2,20,'X','1',1,'90')");
    Exec("INSERT INTO 配件组合公式 VALUES(3,100,1,55,'2',1,'A')");
    Exec("INSERT INTO 玻璃组合公式 VALUES(4,100,1,'L-10','W-10','1',1,'G1')");
    Exec("INSERT INTO WZSBGT VALUES(2,100,1,'gt')");
    Exec("INSERT INTO ShanJiaGong VALUES(2,100,1,'扇','H-5','W-5',1)");
    Exec("INSERT INTO DetailBlock VALUES(9,1,100,'c','m',NULL)");
    Exec("INSERT INTO ShuZhi (ID,Xl_ID,Para_ID,ValZhi) VALUES (4,1,3,2.5)");
    series_.SetEventSink(&events_);
    std::string cs = connection_string_;
    series_.Connect(cs);
    series_.SetCJID(7);
    series_.SetCaoZuoYuan("bob");
  }
  void Profile(long id, long series, const std::string& name, const std::string& code) {
    Exec("INSERT INTO 型材 VALUES(" + std::to_string(id) + "," + std::to_string(series) + ",'" +
         name + "'," + "'" + code + "',6000,1.25,0,'d.wmf',12.5,3,7,1,4,'G',0,'white',1.4," +
         "100,50,1)");
  }
  long Count(const std::string& sql) { return static_cast<long>(*Scalar(sql).ToInt64()); }
  static const Variant& Cell(const RowData& rows, size_t r, size_t c) {
    return rows.cells[r * rows.fields.size() + c];
  }
  static long Whole(const RowData& rows, size_t r, size_t c) {
    return static_cast<long>(*Cell(rows, r, c).ToInt64());
  }

  ServerForXiLie series_;
  testing::EventRecorder events_;
};

TEST_P(SeriesCopy, CopiesProfilesAndRedirectsTheirFormulas) {
  series_.CopyNew(Currency::FromWhole(1), "60 copy", 3);
  EXPECT_TRUE(events_.Names().empty());
  // The new series: next id, current factory, type, joining 0, the source's
  // formula flag, lock 0, owned by the operator.
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 系列 WHERE XL_ID=3 AND CJ_ID=7 AND MingCheng='60 copy' "
                  "AND xllb=3 AND PinJieFangShi=0 AND YouGongShi<>0 AND XLSuoDing=0 "
                  "AND OwnerList='bob'"),
            1);
  // Four profiles (three own, one shared), ids old maximum + 2 onwards in
  // source order, not shared, discount 1, each remembering its source.
  RowData copies = Query("SELECT Xc_ID, YuanID, MingChengXC, DaiMa, ShiFouTongYong, ZheKouID, "
                         "CJ_ID, JiaGe, YS FROM 型材 WHERE XL_ID=3 ORDER BY Xc_ID");
  ASSERT_EQ(copies.RowCount(), 4u);
  const long expect_ids[] = {32, 33, 34, 35}, expect_sources[] = {10, 11, 12, 20};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(Whole(copies, i, 0), expect_ids[i]);
    EXPECT_EQ(Whole(copies, i, 1), expect_sources[i]);
    EXPECT_EQ(Whole(copies, i, 4), 0);
    EXPECT_EQ(Whole(copies, i, 5), 1);
    EXPECT_EQ(Whole(copies, i, 6), 7);
    EXPECT_EQ(Cell(copies, i, 7).ToText(), "12.5");
    EXPECT_EQ(Cell(copies, i, 8).ToText(), "white");
  }
  EXPECT_EQ(Cell(copies, 1, 2).ToText(), "O'Neill 扇");  // quotes survive the copy
  EXPECT_EQ(Cell(copies, 1, 3).ToText(), "S'2");
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TongYong"), 1);

  // Formulas of own and shared profiles point at the copies; the one on a
  // profile that was not copied is left out.
  RowData formulas = Query("SELECT xczhgs_id, tk_id, xc_id, Gs, ShunXu, xlFS FROM 型材组合公式 "
                           "WHERE XL_ID=3 ORDER BY xczhgs_id");
  ASSERT_EQ(formulas.RowCount(), 2u);
  EXPECT_EQ(Whole(formulas, 0, 0), 10);  // max 8, + 2
  EXPECT_EQ(Whole(formulas, 0, 2), 32);
  EXPECT_EQ(Cell(formulas, 0, 3).ToText(), "L-2*'a'");
  EXPECT_EQ(Whole(formulas, 1, 2), 35);
  EXPECT_EQ(Cell(formulas, 1, 5).ToText(), "90");

  EXPECT_EQ(Count("SELECT COUNT(*) FROM 配件组合公式 WHERE XL_ID=3 AND pjzhgs_id=5 AND pj_id=55 "
                  "AND Fa='A'"),
            1);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 玻璃组合公式 WHERE XL_ID=3 AND blzhgs_id=6 "
                  "AND Gs_Kuan='W-10' AND zhBLDH='G1'"),
            1);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM WZSBGT WHERE XL_ID=3 AND ID=4 AND GT='gt'"), 1);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM ShanJiaGong WHERE XL_ID=3 AND SJG_ID=4 AND "
                  "ShanName='扇' AND IsShaShan=1"),
            1);
  // An empty cell stays empty rather than breaking the row's insert.
  EXPECT_EQ(Count("SELECT COUNT(*) FROM DetailBlock WHERE XL_ID=3 AND Block_ID=11 AND "
                  "bk_STR IS NULL"),
            1);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM ShuZhi WHERE Xl_ID=3 AND ID=6 AND Para_ID=3"), 1);

  // The source is untouched.
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 型材 WHERE XL_ID=1"), 3);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 型材组合公式 WHERE XL_ID=1"), 3);
  EXPECT_EQ(Count("SELECT xc_id FROM 型材组合公式 WHERE xczhgs_id=6"), 20);
}

TEST_P(SeriesCopy, TakenNameOtherFactoryAndBadType) {
  series_.CopyNew(Currency::FromWhole(2), "60", 0);  // "60" of type 0 exists
  EXPECT_EQ(events_.Names(), std::vector<std::string>{"ChongFu"});
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 系列"), 2);

  // A window type that is no Byte value is refused before anything is written.
  events_.events.clear();
  series_.CopyNew(Currency::FromWhole(2), "50 big", 999);
  EXPECT_EQ(events_.Names(), std::vector<std::string>{"Accesserror"});
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 系列"), 2);

  // Into another factory: the series is the new factory's, its profiles
  // keep their source rows' factory column; a series without formulas
  // gives the series row and the profiles only.
  events_.events.clear();
  series_.SetCJID(8);
  series_.CopyNew(Currency::FromWhole(2), "50", 2);
  EXPECT_TRUE(events_.Names().empty());
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 系列 WHERE XL_ID=3 AND CJ_ID=8 AND YouGongShi=0"), 1);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 型材 WHERE XL_ID=3 AND CJ_ID=7"), 2);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 型材组合公式 WHERE XL_ID=3"), 1);  // formula 8
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 配件组合公式 WHERE XL_ID=3"), 0);
}

TEST_P(SeriesCopy, ANodeCopiedToASeriesKeepsItsProfileFormulas) {
  // Node 3 below series 1 starts with copies of series 1's formulas, which
  // name series 1's profiles; the new series takes those profiles along.
  series_.AddTree(Currency::FromWhole(1), Currency::FromWhole(1), "节点");
  series_.CopyNew(Currency::FromWhole(3), "from node", 4);
  EXPECT_TRUE(events_.Names().empty());
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 系列 WHERE XL_ID=4 AND PinJieFangShi=0 AND xllb=4"), 1);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 型材 WHERE XL_ID=4"), 4);
  RowData formulas = Query("SELECT 型材.YuanID FROM 型材组合公式 INNER JOIN 型材 ON "
                           "型材组合公式.xc_id=型材.Xc_ID WHERE 型材组合公式.XL_ID=4 AND "
                           "型材.XL_ID=4 ORDER BY xczhgs_id");
  ASSERT_EQ(formulas.RowCount(), 2u);  // the one on a foreign profile stays out
  EXPECT_EQ(Whole(formulas, 0, 0), 10);
  EXPECT_EQ(Whole(formulas, 1, 0), 20);
}

INSTANTIATE_TEST_SUITE_P(Backends, SeriesCopy, testing::BothBackends(), testing::BackendName);

}  // namespace
}  // namespace dravmor
