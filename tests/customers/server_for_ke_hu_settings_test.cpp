// ServerForKeHu's system settings: the one row of sys, rewritten from the
// settings form as a whole or not at all.
#include <gtest/gtest.h>

#include "customers/server_for_ke_hu.h"
#include "engine/memory_form.h"
#include "tests/support/test_database.h"

namespace dravmor {
namespace {

using Names = std::vector<std::string>;

class KeHuSettings : public testing::UpgradedDatabase {
 protected:
  void SetUp() override {
    UpgradedDatabase::SetUp();
    if (IsSkipped()) return;
    kehu_.SetEventSink(&events_);
    std::string cs = connection_string_;
    kehu_.Connect(cs);
  }

  // Numbers n1..n18 in txtname(1..18), texts tagged with `tag`.
  static std::shared_ptr<MemoryForm> Form(const std::string& tag, bool first_style = true) {
    auto form = std::make_shared<MemoryForm>();
    form->Set("optwin[0].Value", first_style);
    form->Set("txtname[0].Text", "Name " + tag);
    for (int i = 1; i <= 18; ++i) form->Set("txtname[" + std::to_string(i) + "].Text", std::to_string(i));
    for (int i = 0; i <= 9; ++i) form->Set("txtdir[" + std::to_string(i) + "].Text", tag + "d" + std::to_string(i));
    for (int i = 0; i <= 17; ++i)
      form->Set("txtreportname[" + std::to_string(i) + "].Text", tag + "r" + std::to_string(i));
    return form;
  }
  Names Row() {
    RowData rows = Query("SELECT * FROM sys");
    Names cells;
    for (const Variant& v : rows.cells) cells.push_back(v.ToText());
    return cells;
  }

  ServerForKeHu kehu_;
  testing::EventRecorder events_;
};

TEST_P(KeHuSettings, SavedRowFollowsTheFormInColumnOrder) {
  auto form = Form("O'");
  form->Set("txtname[1].Text", " 1.5mm");
  form->Set("txtname[2].Text", "");
  form->Set("txtname[3].Text", "abc");
  // A number from the start of the text, no more: no exponent, no &H form,
  // no blanks inside.
  const char* texts[] = {"1e3", "&H10", " -2.5.5", "1 2", "+.5x"};
  for (int i = 0; i < 5; ++i) form->Set("txtname[" + std::to_string(4 + i) + "].Text", texts[i]);
  kehu_.ApplySetting(form);
  EXPECT_EQ(events_.Names(), (Names{"rsSysInfo"}));
  auto rs = events_.Last("rsSysInfo")->args[0].ObjectAs<Recordset>();
  ASSERT_TRUE(rs && rs->IsOpen());
  EXPECT_EQ(rs->RowCount(), 1u);

  Names expected = {"1", "Name O'", "1.5", "0", "0", "1", "0", "-2.5", "1", "0.5"};
  for (int i = 9; i <= 12; ++i) expected.push_back(std::to_string(i));
  for (int i : {15, 14, 13, 18, 17, 16}) expected.push_back(std::to_string(i));
  for (int i = 0; i <= 9; ++i) expected.push_back("O'd" + std::to_string(i));
  for (int i = 0; i <= 9; ++i) expected.push_back("O'r" + std::to_string(i));
  expected.push_back("0");  // the first style selected
  for (int i = 10; i <= 17; ++i) expected.push_back("O'r" + std::to_string(i));
  EXPECT_EQ(Row(), expected);

  kehu_.ApplySetting(Form("b", false));
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM sys").ToText(), "1");
  EXPECT_EQ(Scalar("SELECT CXSZ FROM sys").ToText(), "3");
  EXPECT_EQ(Scalar("SELECT MCGY FROM sys").ToText(), "br17");
}

TEST_P(KeHuSettings, AFailureHalfWayKeepsTheOldSettings) {
  kehu_.ApplySetting(Form("old"));
  const Names saved = Row();
  events_.events.clear();

  // A missing control: the caller's failure, sys untouched.
  auto missing = std::make_shared<MemoryForm>();
  missing->Set("optwin[0].Value", true);
  missing->Set("txtname[0].Text", "new");
  EXPECT_THROW(kehu_.ApplySetting(missing), CallError);
  EXPECT_EQ(Row(), saved);

  // The INSERT itself fails after the DELETE ran: the row has one value
  // more than the damaged table has columns.
  Exec("ALTER TABLE sys DROP COLUMN MCGY");
  Names kept = saved;
  kept.pop_back();
  EXPECT_THROW(kehu_.ApplySetting(Form("new")), CallError);
  EXPECT_EQ(Row(), kept);
  EXPECT_TRUE(events_.events.empty());

  // The connection is usable afterwards: reading still works.
  EXPECT_EQ(kehu_.GetSys()->RowCount(), 1u);
  EXPECT_EQ(events_.Names(), (Names{"rsSysInfo"}));
}

TEST_P(KeHuSettings, ReadingAMissingTableIsReported) {
  Exec("DROP TABLE sys");
  auto rs = kehu_.GetSys();
  ASSERT_TRUE(rs);
  EXPECT_FALSE(rs->IsOpen());
  ASSERT_EQ(events_.Names(), (Names{"Accesserror"}));
  EXPECT_EQ(events_.Last("Accesserror")->args[0].ToText(), "ServerForKeHu.GetSys");
}

INSTANTIATE_TEST_SUITE_P(Backends, KeHuSettings, testing::BothBackends(), testing::BackendName);

}  // namespace
}  // namespace dravmor
