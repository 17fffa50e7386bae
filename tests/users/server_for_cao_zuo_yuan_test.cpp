// ServerForCaoZuoYuan on a shipped database.
#include <gtest/gtest.h>

#include "engine/text.h"
#include "tests/support/test_database.h"
#include "users/server_for_cao_zuo_yuan.h"

namespace dravmor {
namespace {

class Operators : public testing::ShippedDatabase {
 protected:
  void SetUp() override {
    ShippedDatabase::SetUp();
    if (IsSkipped()) return;
    ops_.SetEventSink(&events_);
    std::string cs = connection_string_;
    ops_.Connect(cs);
  }
  std::vector<std::string> Names(const RecordsetPtr& rs) {
    std::vector<std::string> names;
    int col = *rs->IndexOf("MingCheng");
    for (size_t r = 0; r < rs->RowCount(); ++r)
      names.push_back(rs->Data().cells[r * rs->Count() + static_cast<size_t>(col)].ToText());
    return names;
  }
  ServerForCaoZuoYuan ops_;
  testing::EventRecorder events_;
};

TEST_P(Operators, AddListsAndRefusesTakenNames) {
  ops_.AddYongHu("O'Neil");
  ASSERT_EQ(events_.Names(), std::vector<std::string>{"rsResult"});
  auto rs = events_.events[0].args[0].ObjectAs<Recordset>();
  EXPECT_EQ(Names(rs), (std::vector<std::string>{"管理员", "O'Neil"}));
  // A new operator has no permission at all.
  RowData perms = Query("SELECT * FROM 用户管理 WHERE MingCheng='O''Neil'");
  for (const char* column : {"BianJi", "CLHZ", "DCCBFX", "DELFormula"}) {
    for (size_t c = 0; c < perms.fields.size(); ++c)
      if (EqualsIgnoreCase(perms.fields[c].name, column))
        EXPECT_EQ(perms.cells[c].ToText(), "0") << column;
  }
  events_.events.clear();
  ops_.AddYongHu("O'Neil");
  EXPECT_EQ(events_.Names(), std::vector<std::string>{"BianMaChongFu"});
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM 用户管理").long_value(), 2);
}

TEST_P(Operators, OrdinaryOperatorSeesOnlyTheirOwnRow) {
  ops_.AddYongHu("x");
  EXPECT_EQ(Names(ops_.GetCaoZuoYuan()).size(), 2u);  // no names set: everyone
  ops_.GetName("x");
  ops_.SetAdminisName("管理员");
  EXPECT_EQ(Names(ops_.GetCaoZuoYuan()), std::vector<std::string>{"x"});
  ops_.GetName("管理员");
  EXPECT_EQ(Names(ops_.GetCaoZuoYuan()).size(), 2u);
}

TEST_P(Operators, RenameToOwnNameIsAllowedToAnothersIsNot) {
  ops_.AddYongHu("a");
  ops_.AddYongHu("b");
  events_.events.clear();
  ops_.EditYongHu(Currency::FromWhole(2), "a");
  EXPECT_EQ(events_.Names(), std::vector<std::string>{"rsResult"});
  ops_.EditYongHu(Currency::FromWhole(2), "b");
  EXPECT_EQ(events_.Names().back(), "BianMaChongFu");
  ops_.DelYongHu(Currency::FromWhole(3));
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM 用户管理").long_value(), 2);
  // The built-in administrator stays: it is refused, by name.
  events_.events.clear();
  ops_.DelYongHu(*Scalar("SELECT YongHu_id FROM 用户管理 WHERE MingCheng='管理员'").ToCurrency());
  ASSERT_EQ(events_.Names(), std::vector<std::string>{"Accesserror"});
  EXPECT_EQ(events_.events[0].args[0].ToText(), "ServerForCaoZuoYuan.DelYongHu");
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM 用户管理 WHERE MingCheng='管理员'").long_value(), 1);
}

TEST_P(Operators, PermissionsPasswordsAndReminders) {
  ops_.AddYongHu("x");
  ops_.setZaoZhangQuanXian(1, 2, 3);
  ops_.SetDELProFor(4, 5);
  events_.events.clear();
  ops_.SaveQuanXian(Currency::FromWhole(2), 1, 0, 1, 0);
  EXPECT_EQ(events_.Names(), std::vector<std::string>{"Ok"});
  RecordsetPtr rs = ops_.GetQuanXian(Currency::FromWhole(2));
  EXPECT_EQ(rs->Value("bianji")->ToText(), "1");
  EXPECT_EQ(rs->Value("DCZHFX")->ToText(), "2");
  EXPECT_EQ(rs->Value("DELFormula")->ToText(), "5");
  EXPECT_EQ(rs->Value("CangKu")->ToText(), "0");  // never set: 0
  EXPECT_EQ(events_.Names().back(), "rsQuanXian");
  EXPECT_EQ(ops_.GetUserQuanXian("x")->Value("RepByWin")->ToText(), "3");
  ops_.EditYongHuMiMa(Currency::FromWhole(2), "");
  ops_.EditYongHuTiShi(Currency::FromWhole(2), "Pet's name?", "Rex");
  RecordsetPtr full = ops_.GetMiMaAndTiShi(Currency::FromWhole(2));
  EXPECT_EQ(full->Value("MiMa")->ToText(), "");
  EXPECT_EQ(full->Value("TiShiWenTi")->ToText(), "Pet's name?");
  EXPECT_EQ(events_.Names().back(), "rsMiMa");
}

TEST_P(Operators, SaveQuanXianFailureReachesTheCaller) {
  Exec("DROP TABLE 用户管理");
  events_.events.clear();
  EXPECT_THROW(ops_.SaveQuanXian(Currency::FromWhole(1), 1, 1, 1, 1), CallError);
  EXPECT_TRUE(events_.events.empty());  // no Ok
}

INSTANTIATE_TEST_SUITE_P(Backends, Operators, testing::BothBackends(), testing::BackendName);

}  // namespace
}  // namespace dravmor
