// ServerForBoLi on an upgraded database: colours with their suffix, the
// factory and stock lists, the chooser across factories, stock changes.
#include <algorithm>

#include <gtest/gtest.h>

#include "catalogue/server_for_bo_li.h"
#include "engine/memory_form.h"
#include "engine/status.h"
#include "tests/support/test_database.h"

namespace dravmor {
namespace {

using Texts = std::vector<std::string>;

Texts Column(const RecordsetPtr& rs, std::string_view name) {
  Texts values;
  if (!rs || !rs->IsOpen()) return values;
  auto index = rs->IndexOf(name);
  if (!index.ok()) return {"<no column " + std::string(name) + ">"};
  for (size_t r = 0; r < rs->RowCount(); ++r)
    values.push_back(rs->Data().cells[r * rs->Count() + *index].ToText());
  return values;
}

class Glass : public testing::UpgradedDatabase {
 protected:
  void SetUp() override {
    UpgradedDatabase::SetUp();
    if (IsSkipped()) return;
    Exec("INSERT INTO 厂家 (Cj_ID,Quancheng,Jiancheng,cjLB,cjType,BianMa) "
         "VALUES (1,'Alpha Glass','甲',2,0,'A')");
    Exec("INSERT INTO 厂家 (Cj_ID,Quancheng,Jiancheng,cjLB,cjType,BianMa) "
         "VALUES (2,'Beta Glass','乙',2,0,'B')");
    std::string cs = connection_string_;
    bl_.SetEventSink(&events_);
    bl_.Connect(cs);
    ASSERT_TRUE(events_.events.empty());
  }

  static std::shared_ptr<MemoryForm> Form(const std::string& code, const std::string& thickness,
                                          const std::string& colour) {
    auto form = std::make_shared<MemoryForm>();
    form->Set("txtXingCaiInfo[0].Text", code);
    form->Set("txtXingCaiInfo[1].Text", "2440mm");
    form->Set("txtXingCaiInfo[2].Text", "1830");
    form->Set("txtXingCaiInfo[3].Text", thickness);
    form->Set("txtXingCaiInfo[4].Text", colour);
    form->Set("txtXingCaiInfo[5].Text", "");
    return form;
  }
  void Add(int factory, const std::string& code, const std::string& thickness,
           const std::string& colour) {
    bl_.SetXLID(factory);
    bl_.AddBoLi(Form(code, thickness, colour));
  }
  RecordsetPtr List(std::string code, bool choose) { return bl_.GetBoLi(code, choose); }
  Texts Errors() const {
    Texts ids;
    for (const auto& e : events_.events)
      if (e.name == "Accesserror") ids.push_back(e.args[0].ToText());
    return ids;
  }

  ServerForBoLi bl_;
  testing::EventRecorder events_;
};

TEST_P(Glass, AddAndEditWriteTheColourWithItsSuffix) {
  // Without the flag the suffix texts are not even read.
  Add(1, "B'1", "5mm", "O'Neill white");
  EXPECT_EQ(events_.Names(), Texts{"rsResult"});
  RowData row = Query("SELECT BL_ID,CJ_ID,DaiMa,ChangDu,KuanDu,HouDu,YanSe,DanJia,Num FROM 玻璃");
  ASSERT_EQ(row.RowCount(), 1u);
  EXPECT_EQ(row.cells[2].ToText() + "|" + row.cells[6].ToText(), "B'1|O'Neill white");
  EXPECT_EQ(*row.cells[3].ToDouble() + *row.cells[4].ToDouble(), 2440 + 1830);
  EXPECT_EQ(*row.cells[7].ToDouble(), 0);  // empty price

  bl_.SetFoShan(true);
  auto form = Form("B2", "6mm", "茶");
  form->Set("txtXingCaiInfo[6].Text", "");
  form->Set("txtXingCaiInfo[7].Text", "");
  bl_.AddBoLi(form);
  EXPECT_EQ(Scalar("SELECT YanSe FROM 玻璃 WHERE BL_ID=2").ToText(), "茶");
  form->Set("txtXingCaiInfo[7].Text", "6");
  bl_.EditBoLi(Currency::FromWhole(2), form);
  EXPECT_EQ(Scalar("SELECT YanSe FROM 玻璃 WHERE BL_ID=2").ToText(), "茶__6");
  form->Set("txtXingCaiInfo[6].Text", "5");
  bl_.EditBoLi(Currency::FromWhole(2), form);
  EXPECT_EQ(Scalar("SELECT YanSe FROM 玻璃 WHERE BL_ID=2").ToText(), "茶_5_6");
  EXPECT_EQ(Errors(), Texts{});
  // A form without the suffix texts fails once the flag asks for them.
  bl_.EditBoLi(Currency::FromWhole(1), Form("B1", "5mm", "x"));
  EXPECT_EQ(Errors(), Texts{"ServerForBoLi.EditBoLi"});
  EXPECT_EQ(Scalar("SELECT DaiMa FROM 玻璃 WHERE BL_ID=1").ToText(), "B'1");
}

TEST_P(Glass, FactoryAndStockLists) {
  Add(1, "W5", "5mm", "白");
  Add(2, "W5b", "5mm", "白");
  Add(1, "T6", "6mm", "茶");
  bl_.SetXLID(1);
  EXPECT_EQ(Column(bl_.GetBoLi(), "DaiMa"), (Texts{"W5", "T6"}));
  EXPECT_EQ(Column(List("t", false), "DaiMa"), Texts{"T6"});
  EXPECT_EQ(Column(List("'", false), "DaiMa"), Texts{});
  bl_.SetCangKu(true);
  RecordsetPtr stock = bl_.GetBoLi();
  EXPECT_EQ(Column(stock, "jiancheng"), (Texts{"甲", "甲"}));
  EXPECT_EQ(Column(List("W", false), "bl_id"), Texts{"1"});
  EXPECT_EQ(Errors(), Texts{});
  Add(-1, "B1", "5mm", "白");  // the all-factories marker is no factory to add to
  EXPECT_EQ(Errors(), Texts{"ServerForBoLi.AddBoLi"});
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM 玻璃").long_value(), 3);
}

TEST_P(Glass, ChooserListsPairsAndTheSheetsOfAPairFromEveryFactory) {
  Add(1, "W5", "5mm", "白");
  Add(2, "W5b", "5mm", "白");
  Add(1, "T6", "6mm", "茶");
  Add(2, "U6", "6mm", "超 白");  // a colour with a blank
  bl_.SetXLID(1);
  EXPECT_EQ(List("", true)->RowCount(), 3u);
  bl_.SetSQL("houdu='6mm'");
  EXPECT_EQ(List("", true)->RowCount(), 2u);
  EXPECT_EQ(List("All", true)->RowCount(), 4u);
  RecordsetPtr pair = List("5mm 白", true);
  auto ids = Column(pair, "bl_id");
  std::sort(ids.begin(), ids.end());
  EXPECT_EQ(ids, (Texts{"1", "2"}));
  EXPECT_EQ(Column(List("6mm 超 白", true), "bl_id"), Texts{"4"});
  EXPECT_EQ(Column(List("6mm' 茶", true), "bl_id"), Texts{});
  EXPECT_EQ(Errors(), Texts{});
  // One piece only: reported, and the set handed back is unopened.
  RecordsetPtr none = List("5mm", true);
  EXPECT_EQ(Errors(), Texts{"ServerForBoLi.GetBoli"});
  ASSERT_TRUE(none);
  EXPECT_FALSE(none->IsOpen());
}

TEST_P(Glass, StockCountsMayGoBelowZeroAndDeleteTakesMovementsAlong) {
  Add(1, "W5", "5mm", "白");
  Add(2, "W5b", "5mm", "白");
  bl_.UpdateNum(Currency::FromWhole(1), 2);
  bl_.UpdateNum(Currency::FromWhole(1), -5);
  bl_.UpdateNum(Currency::FromWhole(2), 4);
  EXPECT_EQ(*Scalar("SELECT Num FROM 玻璃 WHERE BL_ID=1").ToDouble(), -3);
  bl_.QingKongBLCK(Currency::FromWhole(2));
  EXPECT_EQ(*Scalar("SELECT SUM(Num) FROM 玻璃").ToDouble(), -3);  // only its own

  Exec("INSERT INTO ChuRuDetail (ID,ChuRu,WuJianType,WuJianID,WuJianNum) VALUES (1,1,2,1,5)");
  Exec("INSERT INTO ChuRuDetail (ID,ChuRu,WuJianType,WuJianID,WuJianNum) VALUES (2,1,1,1,5)");
  bl_.DelBoLi(Currency::FromWhole(1));
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM 玻璃").long_value(), 1);
  EXPECT_EQ(Scalar("SELECT WuJianType FROM ChuRuDetail").ToText(), "1");  // the accessory's stays
  EXPECT_EQ(Errors(), Texts{});

  Exec("DROP TABLE 玻璃");
  EXPECT_THROW(bl_.UpdateNum(Currency::FromWhole(2), 1), CallError);
}

INSTANTIATE_TEST_SUITE_P(Backends, Glass, testing::BothBackends(), testing::BackendName);

}  // namespace
}  // namespace dravmor
