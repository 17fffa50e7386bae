// Colour prices per factory, the uniform profile and liner prices, and the
// discount rates.
#include <gtest/gtest.h>

#include "engine/memory_form.h"
#include "suppliers/server_for_color_price.h"
#include "suppliers/server_for_zhe_kou.h"
#include "tests/support/test_database.h"

namespace dravmor {
namespace {

class ColourPrices : public testing::UpgradedDatabase {
 protected:
  void SetUp() override {
    UpgradedDatabase::SetUp();
    if (IsSkipped()) return;
    std::string cs = connection_string_;
    colours_.SetEventSink(&events_);
    colours_.Connect(cs);
    colours_.SetCJID(7);
  }
  std::shared_ptr<MemoryForm> Colour(const std::string& name, const std::string& price) {
    auto form = std::make_shared<MemoryForm>();
    form->Set("txtcolor.Text", name);
    form->Set("txtprice.Text", price);
    return form;
  }
  long Count(const std::string& sql) { return static_cast<long>(*Scalar(sql).ToInt64()); }

  ServerForColorPrice colours_;
  testing::EventRecorder events_;
};

TEST_P(ColourPrices, ColoursAreUniquePerFactory) {
  colours_.AddColorPrice(Colour("O'Brien white", "12.5 yuan"));
  colours_.AddColorPrice(Colour("wood", "abc"));
  EXPECT_EQ(events_.Names(), (std::vector<std::string>{"rsResult", "rsResult"}));
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 颜色价格 WHERE yanse='O''Brien white' AND jiage=12.5"), 1);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 颜色价格 WHERE yanse='wood' AND jiage=0"), 1);

  events_.events.clear();
  colours_.AddColorPrice(Colour("wood", "3"));
  EXPECT_EQ(events_.Names(), std::vector<std::string>{"ChongFu"});
  colours_.SetCJID(8);  // the same name in another factory is no duplicate
  colours_.AddColorPrice(Colour("wood", "3"));
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 颜色价格 WHERE yanse='wood'"), 2);

  // Renaming onto another colour of the factory is refused; keeping one's
  // own name is not.
  colours_.SetCJID(7);
  events_.events.clear();
  colours_.EditColor(Currency::FromWhole(2), Colour("O'Brien white", "1"));
  EXPECT_EQ(events_.Names(), std::vector<std::string>{"ChongFu"});
  colours_.EditColor(Currency::FromWhole(2), Colour("wood", "4"));
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 颜色价格 WHERE yansejiage_id=2 AND jiage=4"), 1);
  colours_.DelColor(Currency::FromWhole(1));
  RecordsetPtr left = colours_.GetColor();
  EXPECT_EQ(left->RowCount(), 1u);
}

TEST_P(ColourPrices, UniformPricesByKindAndAReportedFailure) {
  Exec("INSERT INTO 系列 VALUES(1,7,'60',0,0,0,0,'a','a')");
  Exec("INSERT INTO 系列 VALUES(2,8,'50',0,0,0,0,'a','a')");
  Exec("INSERT INTO 型材 (Xc_ID, XL_ID, JiaGe, GangChen) VALUES (1,1,3,'型材')");
  Exec("INSERT INTO 型材 (Xc_ID, XL_ID, JiaGe, GangChen) VALUES (2,1,4,'钢衬')");
  Exec("INSERT INTO 型材 (Xc_ID, XL_ID, JiaGe, GangChen) VALUES (3,2,5,'型材')");
  colours_.EditAllPrice(12.5f);
  EXPECT_FLOAT_EQ(colours_.GetXcPrice(), 12.5f);
  EXPECT_FLOAT_EQ(colours_.GetGcPrice(), 4.0f);  // the liners keep theirs
  EXPECT_EQ(Count("SELECT JiaGe FROM 型材 WHERE Xc_ID=3"), 5);  // another factory's
  colours_.EditAllGCPrice(0.1f);
  EXPECT_FLOAT_EQ(colours_.GetGcPrice(), 0.1f);
  EXPECT_TRUE(events_.Names().empty());

  // Nothing priced: 0 and no event. A failing query: 0 too, but reported.
  colours_.SetCJID(9);
  EXPECT_EQ(colours_.GetXcPrice(), 0.0f);
  EXPECT_TRUE(events_.Names().empty());
  Exec("DROP TABLE 型材");
  EXPECT_EQ(colours_.GetXcPrice(), 0.0f);
  ASSERT_EQ(events_.Names(), std::vector<std::string>{"Accesserror"});
  EXPECT_EQ(events_.events[0].args[0].ToText(), "ServerForColorPrice.GetXcPrice");
}

TEST_P(ColourPrices, DiscountRates) {
  ServerForZheKou rates;
  rates.SetEventSink(&events_);
  std::string cs = connection_string_;
  rates.Connect(cs);
  auto form = std::make_shared<MemoryForm>();
  form->Set("txtZheKou[0].Text", "VIP's rate");
  form->Set("txtZheKou[1].Text", "0.85 off");
  rates.Add(form);
  form->Set("txtZheKou[0].Text", "plain");
  form->Set("txtZheKou[1].Text", "x");
  rates.Add(form);
  rates.Edit(Currency::FromWhole(2), form);  // a non-numeric rate is 0
  EXPECT_TRUE(events_.Names().empty());      // no refresh of its own
  RecordsetPtr list = rates.GetDetail();
  ASSERT_EQ(list->RowCount(), 2u);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM ZheKouLv WHERE ZheKouName='VIP''s rate' AND Lv>0.84 AND "
                  "Lv<0.86"),
            1);
  rates.Del(Currency::FromWhole(1));
  EXPECT_EQ(Count("SELECT COUNT(*) FROM ZheKouLv"), 1);
}

INSTANTIATE_TEST_SUITE_P(Backends, ColourPrices, testing::BothBackends(), testing::BackendName);

}  // namespace
}  // namespace dravmor
