// ServerForPeiJian on an upgraded database: the accessory lists per factory
// and across factories, stock changes, deletion with its cleanup.
#include <gtest/gtest.h>

#include "catalogue/server_for_pei_jian.h"
#include "engine/memory_form.h"
#include "engine/status.h"
#include "tests/support/test_database.h"

namespace dravmor {
namespace {

using Texts = std::vector<std::string>;

// The values of one column of a result, in row order.
Texts Column(const RecordsetPtr& rs, std::string_view name) {
  Texts values;
  if (!rs || !rs->IsOpen()) return values;
  auto index = rs->IndexOf(name);
  if (!index.ok()) return {"<no column " + std::string(name) + ">"};
  for (size_t r = 0; r < rs->RowCount(); ++r)
    values.push_back(rs->Data().cells[r * rs->Count() + *index].ToText());
  return values;
}

class Accessories : public testing::UpgradedDatabase {
 protected:
  void SetUp() override {
    UpgradedDatabase::SetUp();
    if (IsSkipped()) return;
    Exec("INSERT INTO 厂家 (Cj_ID,Quancheng,Jiancheng,cjLB,cjType,BianMa) "
         "VALUES (1,'Alpha Hardware','甲',1,0,'A')");
    Exec("INSERT INTO 厂家 (Cj_ID,Quancheng,Jiancheng,cjLB,cjType,BianMa) "
         "VALUES (2,'Beta Hardware','乙',1,0,'B')");
    // Handles are on the TC list, hinges only on TM; family 1 has its own.
    Exec("INSERT INTO 类别 (LB_ID,MingCheng,TypeLB,TC,TM,LvSu) VALUES (1,'拉手',2,1,0,0)");
    Exec("INSERT INTO 类别 (LB_ID,MingCheng,TypeLB,TC,TM,LvSu) VALUES (2,'铰链',2,0,1,0)");
    Exec("INSERT INTO 类别 (LB_ID,MingCheng,TypeLB,TC,TM,LvSu) VALUES (3,'锁',2,1,0,1)");
    std::string cs = connection_string_;
    pj_.SetEventSink(&events_);
    pj_.Connect(cs);
    ASSERT_TRUE(events_.events.empty());
  }

  static std::shared_ptr<MemoryForm> Form(const std::string& code, const std::string& name,
                                          int category, const std::string& price = "10",
                                          bool shared = true) {
    auto form = std::make_shared<MemoryForm>();
    form->Set("txtXingCaiInfo[0].Text", code);
    form->Set("txtXingCaiInfo[1].Text", name);
    form->Set("txtXingCaiInfo[2].Text", "S-" + code);
    form->Set("txtXingCaiInfo[3].Text", "个");
    form->Set("txtXingCaiInfo[4].Text", price);
    // The combo lists every category; the chosen one's item data is its id.
    for (int i = 0; i < 3; ++i) form->Set("cmbLeiBie.ItemData(" + std::to_string(i) + ")", int32_t{i + 1});
    form->Set("cmbLeiBie.ListIndex", int32_t{category - 1});
    form->Set("opttongyong[0].Value", shared);
    return form;
  }
  void Add(int factory, const std::string& code, int category) {
    pj_.SetXLID(factory);
    pj_.AddPeiJian(Form(code, code + " name", category));
  }
  RecordsetPtr List(std::string code, std::string key) { return pj_.GetPeiJian(code, key); }
  Texts Errors() const {
    Texts ids;
    for (const auto& e : events_.events)
      if (e.name == "Accesserror") ids.push_back(e.args[0].ToText());
    return ids;
  }

  ServerForPeiJian pj_;
  testing::EventRecorder events_;
};

TEST_P(Accessories, AddStoresQuotedTextsAndDuplicateCodes) {
  pj_.SetXLID(1);
  pj_.AddPeiJian(Form("H'1", "O'Brien handle", 1, " 12.5元", false));
  pj_.AddPeiJian(Form("H'1", "Second with the same code", 2));
  EXPECT_EQ(events_.Names(), (Texts{"rsResult", "rsResult"}));
  // The refresh lists the factory's accessories of every category ("PJ").
  EXPECT_EQ(Column(events_.events[1].args[0].ObjectAs<Recordset>(), "pj_id"), (Texts{"1", "2"}));
  RowData row = Query("SELECT PJ_ID,CJ_ID,DaiMa,MingCheng,GuiGe,DanWei,DanJia,ShiFouQuZheng,"
                      "LB_ID,Num FROM 配件 WHERE PJ_ID=1");
  ASSERT_EQ(row.RowCount(), 1u);
  EXPECT_EQ(row.cells[1].ToText(), "1");
  EXPECT_EQ(row.cells[2].ToText(), "H'1");
  EXPECT_EQ(row.cells[3].ToText(), "O'Brien handle");
  EXPECT_EQ(row.cells[4].ToText(), "S-H'1");
  EXPECT_EQ(*row.cells[6].ToDouble(), 12.5);
  EXPECT_TRUE(*row.cells[7].ToBool());  // not shared: rounding flag 1
  EXPECT_EQ(row.cells[8].ToText(), "1");
  EXPECT_EQ(*row.cells[9].ToDouble(), 0);
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM 配件 WHERE DaiMa='H''1'").long_value(), 2);
}

TEST_P(Accessories, EditRewritesTextsButNotStockAndNeedsACategory) {
  Add(1, "H1", 1);
  pj_.UpdateNum(Currency::FromWhole(1), 7);
  events_.events.clear();
  pj_.EditPeiJian(Currency::FromWhole(1), Form("H2", "It's new", 2, "3", true));
  EXPECT_EQ(events_.Names(), Texts{"rsResult"});
  RowData row = Query("SELECT DaiMa,MingCheng,LB_ID,Num,ShiFouQuZheng FROM 配件");
  EXPECT_EQ(row.cells[0].ToText() + "|" + row.cells[1].ToText() + "|" + row.cells[2].ToText(),
            "H2|It's new|2");
  EXPECT_EQ(*row.cells[3].ToDouble(), 7);
  EXPECT_FALSE(*row.cells[4].ToBool());
  // No category chosen: the read fails and nothing is written.
  events_.events.clear();
  auto form = Form("H3", "none", 1);
  form->Set("cmbLeiBie.ListIndex", int32_t{-1});
  pj_.EditPeiJian(Currency::FromWhole(1), form);
  EXPECT_EQ(events_.Names(), Texts{"Accesserror"});
  EXPECT_EQ(Scalar("SELECT DaiMa FROM 配件").ToText(), "H2");
}

TEST_P(Accessories, ListsOfOneFactory) {
  Add(1, "H1", 1);
  Add(1, "G1", 2);
  Add(2, "H2", 1);
  pj_.SetXLID(1);
  EXPECT_EQ(Column(pj_.GetPeiJian(), "DaiMa"), Texts{"H1"});  // TC categories only
  EXPECT_EQ(Column(List("", "TM"), "DaiMa"), Texts{"G1"});
  EXPECT_EQ(Column(List("", "PJ"), "DaiMa"), (Texts{"H1", "G1"}));
  RecordsetPtr stock = List("", "All");
  EXPECT_EQ(Column(stock, "jiancheng"), (Texts{"甲", "甲"}));
  EXPECT_EQ(Column(stock, "num"), (Texts{"0", "0"}));
  EXPECT_EQ(Column(List("g", "PJ"), "DaiMa"), Texts{"G1"});
  EXPECT_EQ(Column(List("1", "TC"), "DaiMa"), Texts{"H1"});
  EXPECT_EQ(Column(List("H", "All"), "DaiMa"), Texts{"H1"});
  EXPECT_EQ(Column(List("'", "PJ"), "DaiMa"), Texts{});  // a quote is just text
  std::string name = "g1 name", key = "PJ";
  EXPECT_EQ(Column(pj_.GetPeiJianByName(name, key), "pj_id"), Texts{"2"});
  name = "name";
  key = "TC";
  EXPECT_EQ(Column(pj_.GetPeiJianByName(name, key), "pj_id"), Texts{"1"});
  EXPECT_EQ(Errors(), Texts{});
}

TEST_P(Accessories, AllFactoriesMarker) {
  Add(2, "H2", 1);
  Add(1, "H1", 1);
  Add(1, "G1", 2);
  pj_.SetXLID(-1);
  EXPECT_EQ(Column(List("", "All"), "jiancheng"), (Texts{"甲", "甲", "乙"}));
  EXPECT_EQ(Column(List("h", "All"), "DaiMa"), (Texts{"H1", "H2"}));
  // Without the category-list flag the list is of categories, per family.
  RecordsetPtr cats = pj_.GetPeiJian();
  EXPECT_EQ(Column(cats, "LB_ID"), Texts{"1"});
  EXPECT_EQ(cats->Count(), 2u);
  pj_.SetlvSu(1);
  EXPECT_EQ(Column(pj_.GetPeiJian(), "LB_ID"), Texts{"3"});
  pj_.GetDanFu(true);
  EXPECT_EQ(Column(pj_.GetPeiJian(), "pj_id"), (Texts{"1", "2"}));
  EXPECT_EQ(Column(List("1", "TC"), "DaiMa"), Texts{"H1"});
  // "PJ" has no category condition here either.
  EXPECT_EQ(Column(List("", "PJ"), "pj_id"), (Texts{"1", "2", "3"}));
  EXPECT_EQ(Column(List("G", "PJ"), "DaiMa"), Texts{"G1"});
  pj_.GetDanFu(false);
  pj_.SetlvSu(0);
  EXPECT_EQ(Column(List("", "PJ"), "LB_ID"), (Texts{"1", "2"}));
  EXPECT_EQ(Errors(), Texts{});
  // The marker is no factory to add to; a key that is no column is refused.
  pj_.AddPeiJian(Form("X", "x", 1));
  EXPECT_FALSE(List("", "TC=1 OR 1")->IsOpen());
  EXPECT_EQ(Errors(), (Texts{"ServerForPeiJian.AddPeiJian", "ServerForPeiJian.GetPeiJian"}));
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM 配件").long_value(), 3);
}

TEST_P(Accessories, StockCountsChangeBySignedAmountsAndMayGoBelowZero) {
  Add(1, "H1", 1);
  Add(2, "H2", 1);
  pj_.SetXLID(1);
  events_.events.clear();
  EXPECT_TRUE(pj_.UpdateNum(Currency::FromWhole(1), 2).IsEmpty());
  pj_.UpdateNum(Currency::FromWhole(1), -3);
  EXPECT_EQ(*Scalar("SELECT Num FROM 配件 WHERE PJ_ID=1").ToDouble(), -1);
  pj_.UpdateNumNewVer(Currency::FromWhole(1), 0.5f);
  pj_.UpdateNumNewVer(Currency::FromWhole(2), -0.25f);
  EXPECT_EQ(*Scalar("SELECT Num FROM 配件 WHERE PJ_ID=1").ToDouble(), -0.5);
  EXPECT_EQ(*Scalar("SELECT Num FROM 配件 WHERE PJ_ID=2").ToDouble(), -0.25);
  // Each change refreshes the stock view of the current factory.
  ASSERT_EQ(events_.Names(), (Texts{"rsResult", "rsResult", "rsResult", "rsResult"}));
  EXPECT_EQ(Column(events_.events[1].args[0].ObjectAs<Recordset>(), "num"), Texts{"-1"});
  pj_.QingKongPJCK(Currency::FromWhole(1));
  EXPECT_EQ(*Scalar("SELECT SUM(Num) FROM 配件").ToDouble(), -0.25);  // only its own
  // A failing change is the caller's error, not an event.
  Exec("DROP TABLE 配件");
  events_.events.clear();
  EXPECT_THROW(pj_.UpdateNum(Currency::FromWhole(1), 1), CallError);
  EXPECT_EQ(Errors(), Texts{});
}

TEST_P(Accessories, DeleteTakesBindingsAndMovementsAlong) {
  Add(1, "H1", 1);
  Add(1, "H2", 1);
  Exec("INSERT INTO 绑定配件 (Bang_ID,Zhu_ID,Fu_ID,ShuL) VALUES (1,1,2,1)");
  Exec("INSERT INTO 绑定配件 (Bang_ID,Zhu_ID,Fu_ID,ShuL) VALUES (2,2,1,1)");
  Exec("INSERT INTO 绑定配件 (Bang_ID,Zhu_ID,Fu_ID,ShuL) VALUES (3,2,2,4)");
  Exec("INSERT INTO ChuRuDetail (ID,ChuRu,WuJianType,WuJianID,WuJianNum) VALUES (1,1,1,1,5)");
  Exec("INSERT INTO ChuRuDetail (ID,ChuRu,WuJianType,WuJianID,WuJianNum) VALUES (2,1,2,1,5)");
  events_.events.clear();
  pj_.DelPeiJian(Currency::FromWhole(1));
  EXPECT_EQ(events_.Names(), Texts{"rsResult"});
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM 配件").long_value(), 1);
  EXPECT_EQ(Scalar("SELECT Bang_ID FROM 绑定配件").ToText(), "3");
  EXPECT_EQ(Scalar("SELECT WuJianType FROM ChuRuDetail").ToText(), "2");  // glass stays
}

TEST_P(Accessories, ChoicesOfTheSameCategoryAcrossFactories) {
  Add(1, "H1", 1);
  Add(1, "G1", 2);
  Add(2, "H2", 1);
  events_.events.clear();
  pj_.GetXuanPJ(Currency::FromWhole(3));
  ASSERT_EQ(events_.Names(), Texts{"rsXuanPJ"});
  EXPECT_EQ(Column(events_.events[0].args[0].ObjectAs<Recordset>(), "PJ_ID"), (Texts{"1", "3"}));
}

INSTANTIATE_TEST_SUITE_P(Backends, Accessories, testing::BothBackends(), testing::BackendName);

}  // namespace
}  // namespace dravmor
