// ServerForXingCaiBang and ServerForPeiJianBang on an upgraded database:
// profiles bound to a main profile, accessories bound to a main part.
#include <algorithm>

#include <gtest/gtest.h>

#include "catalogue/server_for_pei_jian.h"
#include "catalogue/server_for_pei_jian_bang.h"
#include "catalogue/server_for_xing_cai.h"
#include "catalogue/server_for_xing_cai_bang.h"
#include "api/all_classes.h"
#include "engine/memory_form.h"
#include "tests/support/test_database.h"
#include "users/server_for_login.h"

namespace dravmor {
namespace {

using Texts = std::vector<std::string>;

// One line per row: the named columns joined by "|".
Texts Rows(const RecordsetPtr& rs, const Texts& names) {
  Texts rows;
  if (!rs || !rs->IsOpen()) return rows;
  for (size_t r = 0; r < rs->RowCount(); ++r) {
    std::string line;
    for (const auto& name : names) {
      auto index = rs->IndexOf(name);
      line += (line.empty() ? "" : "|") +
              (index.ok() ? rs->Data().cells[r * rs->Count() + *index].ToText() : "?");
    }
    rows.push_back(line);
  }
  std::sort(rows.begin(), rows.end());
  return rows;
}

// The binding form: the list of candidate parts with the chosen one, and
// the figures.
std::shared_ptr<MemoryForm> Form(int chosen_id, const std::string& length,
                                 const std::string& count, const std::string& ends) {
  auto form = std::make_shared<MemoryForm>();
  form->Set("lstXingCai.ItemData(0)", int32_t{99});
  form->Set("lstXingCai.ItemData(1)", int32_t{chosen_id});
  form->Set("lstXingCai.ListIndex", int32_t{1});
  form->Set("txtZhuChangDu[0].Text", length);
  form->Set("txtZhuChangDu[1].Text", count);
  form->Set("txtZhuChangDu[2].Text", ends);
  return form;
}

class Bindings : public testing::UpgradedDatabase {
 protected:
  void SetUp() override {
    UpgradedDatabase::SetUp();
    if (IsSkipped()) return;
    for (int id = 1; id <= 4; ++id)
      Exec("INSERT INTO 型材 (Xc_ID,XL_ID,MingChengXC,DaiMa) VALUES (" + std::to_string(id) +
           ",1,'P" + std::to_string(id) + " name','P" + std::to_string(id) + "')");
    Exec("INSERT INTO 类别 (LB_ID,MingCheng,TypeLB,TC) VALUES (1,'拉手',2,1)");
    for (int id = 1; id <= 3; ++id)
      Exec("INSERT INTO 配件 VALUES (" + std::to_string(id) + ",1,'A" + std::to_string(id) +
           "','Acc " + std::to_string(id) + "','G" + std::to_string(id) + "','个',1,0,1,0)");
    std::string cs = connection_string_;
    xc_.SetEventSink(&events_);
    pj_.SetEventSink(&events_);
    xc_.Connect(cs);
    pj_.Connect(cs);
    ASSERT_TRUE(events_.events.empty());
  }
  RecordsetPtr LastList() {
    const testing::RecordedEvent* e = events_.Last("rsZHu");
    return e ? e->args[0].ObjectAs<Recordset>() : nullptr;
  }
  Texts ProfileList() {
    xc_.GetXingCaiBang();
    return Rows(LastList(), {"DaiMa", "zhucd", "LiangDuanJu", "ShuL"});
  }
  Texts AccessoryList() {
    pj_.GetPeiJianBang();
    return Rows(LastList(), {"DaiMa", "mingcheng", "GuiGe", "ShuL"});
  }
  Texts Errors() const {
    Texts ids;
    for (const auto& e : events_.events)
      if (e.name == "Accesserror") ids.push_back(e.args[0].ToText());
    return ids;
  }

  ServerForXingCaiBang xc_;
  ServerForPeiJianBang pj_;
  testing::EventRecorder events_;
};

TEST_P(Bindings, ProfilesBoundToAMainProfile) {
  xc_.GetXCID(Currency::FromWhole(1));
  xc_.AddBang(Form(2, "1200", "2", "50mm"));
  xc_.AddBang(Form(3, "1500.5", "1", ""));
  xc_.AddBang(Form(2, "1200", "2", "50"));  // the same pair again is allowed
  EXPECT_TRUE(events_.events.empty());      // no refresh of its own
  EXPECT_EQ(ProfileList(), (Texts{"P2|1200|50|2", "P2|1200|50|2", "P3|1500.5|0|1"}));
  RowData row = Query("SELECT Bang_ID,Zhu_ID,Fu_ID FROM 绑定 WHERE Bang_ID=2");
  EXPECT_EQ(row.cells[1].ToText(), "1");
  EXPECT_EQ(row.cells[2].ToText(), "3");

  // Another main profile has its own list.
  xc_.GetXCID(Currency::FromWhole(4));
  xc_.AddBang(Form(1, "900", "3", "10"));
  EXPECT_EQ(ProfileList(), Texts{"P1|900|10|3"});

  // Edit changes the figures, never the bound profile.
  xc_.EditBang(Currency::FromWhole(2), Form(4, "1600", "5", "20"));
  xc_.DelBang(Currency::FromWhole(1));
  xc_.GetXCID(Currency::FromWhole(1));
  EXPECT_EQ(ProfileList(), (Texts{"P2|1200|50|2", "P3|1600|20|5"}));
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM 绑定").long_value(), 3);
  EXPECT_EQ(Errors(), Texts{});

  // A bound profile that no longer exists drops out of the list.
  Exec("DELETE FROM 型材 WHERE Xc_ID=3");
  EXPECT_EQ(ProfileList(), Texts{"P2|1200|50|2"});
}

TEST_P(Bindings, AddWithoutSelectionWritesNothingAndNoMainIsZero) {
  auto form = Form(2, "1", "1", "1");
  form->Set("lstXingCai.ListIndex", int32_t{-1});
  xc_.AddBang(form);
  pj_.AddBang(form);
  EXPECT_EQ(Errors(), (Texts{"ServerForXingCaiBang.AddBang", "ServerForPeiJianBang.AddBang"}));
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM 绑定").long_value(), 0);
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM 绑定配件").long_value(), 0);
  xc_.AddBang(Form(2, "1", "1", "1"));  // before GetXCID
  EXPECT_EQ(Scalar("SELECT Zhu_ID FROM 绑定").ToText(), "0");
}

TEST_P(Bindings, AccessoryBindingsKnowTheirOwnersKind) {
  // Profile 1 and accessory 1 share an id; each owns its own bindings.
  pj_.GetPJID(Currency::FromWhole(1), 0);
  pj_.AddBang(Form(2, "", "4套", ""));
  pj_.GetPJID(Currency::FromWhole(1), 1);
  pj_.AddBang(Form(3, "", "1", ""));
  pj_.GetPJID(Currency::FromWhole(4));  // not said: only a profile has id 4
  pj_.AddBang(Form(2, "", "1", ""));
  pj_.GetPJID(Currency::FromWhole(1));  // not said, both have it: unknown
  pj_.AddBang(Form(1, "", "5", ""));
  EXPECT_EQ(Errors(), Texts{});
  EXPECT_EQ(Rows(std::make_shared<Recordset>(Query("SELECT Bang_ID,ZhuType FROM 绑定配件")),
                 {"Bang_ID", "ZhuType"}),
            (Texts{"1|0", "2|1", "3|0", "4|"}));
  pj_.GetPJID(Currency::FromWhole(1), 0);
  EXPECT_EQ(AccessoryList(), (Texts{"A1|Acc 1|G1|5", "A2|Acc 2|G2|4"}));
  pj_.EditBang(Currency::FromWhole(1), Form(3, "", "6", ""));
  pj_.DelBang(Currency::FromWhole(3));
  pj_.GetPJID(Currency::FromWhole(1), 1);
  EXPECT_EQ(AccessoryList(), (Texts{"A1|Acc 1|G1|5", "A3|Acc 3|G3|1"}));

  // Deleting accessory 1 takes its own bindings and those binding it, not
  // profile 1's, nor the unknown one while profile 1 may own it.
  ServerForPeiJian accessories;
  accessories.DelPeiJian(Currency::FromWhole(1));
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM 绑定配件 WHERE Zhu_ID=1 AND ZhuType=0").long_value(), 1);
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM 绑定配件").long_value(), 1);
  ServerForXingCai profiles;
  profiles.DelXingCai(Currency::FromWhole(1));
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM 绑定配件").long_value(), 0);

  // A kind that is no part kind is refused.
  const ClassInfo* info = AllClasses().Find("ServerForPeiJianBang");
  std::vector<Variant> args{Variant(Currency::FromWhole(1)), Variant(int32_t{7})};
  EXPECT_FALSE(Invoke(pj_, *info->FindMethod("GetPJID"), args).ok());
}

TEST_P(Bindings, TheUpgradeMarksTheOwnersOldRowsImply) {
  Exec("DROP TABLE 绑定配件");
  Exec("CREATE TABLE 绑定配件 (Bang_ID Long PRIMARY KEY, Zhu_ID Long, Fu_ID Long, ShuL Single)");
  Exec("INSERT INTO 配件 VALUES (7,1,'A7','Acc 7','G7','个',1,0,1,0)");
  // Main 1: a profile and an accessory; 4: a profile; 7: an accessory; 9: none.
  for (int main : {1, 4, 7, 9})
    Exec("INSERT INTO 绑定配件 VALUES (" + std::to_string(main) + "," + std::to_string(main) +
         ",2,1)");
  ServerForLogin login;
  std::string cs = connection_string_;
  login.Connect(cs);
  login.AddField();
  EXPECT_EQ(Rows(std::make_shared<Recordset>(Query("SELECT Bang_ID,ZhuType FROM 绑定配件")),
                 {"Bang_ID", "ZhuType"}),
            (Texts{"1|", "4|0", "7|1", "9|"}));
  pj_.GetPJID(Currency::FromWhole(1), 1);  // old rows stay listed
  EXPECT_EQ(AccessoryList(), Texts{"A2|Acc 2|G2|1"});
}

INSTANTIATE_TEST_SUITE_P(Backends, Bindings, testing::BothBackends(), testing::BackendName);

}  // namespace
}  // namespace dravmor
