// ServerForLeiBie end to end on an upgraded database.
#include <algorithm>

#include <gtest/gtest.h>

#include "engine/memory_form.h"
#include "formulas/server_for_lei_bie.h"
#include "tests/support/test_database.h"

namespace dravmor {
namespace {

using Names = std::vector<std::string>;
Currency Id(int64_t id) { return Currency::FromWhole(id); }

class LeiBie : public testing::UpgradedDatabase {
 protected:
  void SetUp() override {
    UpgradedDatabase::SetUp();
    if (IsSkipped()) return;
    lb_.SetEventSink(&events_);
    std::string cs = connection_string_;
    lb_.Connect(cs);
  }
  // Adds, or edits category edit_id, from a form with these values.
  void Add(const std::string& name, std::vector<Variant> checks = {1, 0, 0, 0, 0},
           const std::string& length = "1000", int edit_id = 0) {
    auto form = std::make_shared<MemoryForm>();
    form->Set("txtLB.Text", name);
    for (size_t i = 0; i < checks.size(); ++i)
      form->Set("ChkWindow[" + std::to_string(i) + "].Value", checks[i]);
    form->Set("txtRuKuLength.Text", length);
    if (edit_id) lb_.EditLeiBie(Id(edit_id), form);
    else lb_.AddLeiBie(form);
  }
  // Sorted names of the set the last `event` carried.
  Names Listed(const std::string& event) {
    const testing::RecordedEvent* e = events_.Last(event);
    if (!e) return {"<not raised>"};
    auto rs = e->args[0].ObjectAs<Recordset>();
    Names names;
    for (size_t r = 0; r < rs->RowCount(); ++r)
      names.push_back(rs->Data().cells[r * rs->Count() + *rs->IndexOf("MingCheng")].ToText());
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string Cells(const std::string& columns, int id) {  // "A & B" -> "ab"
    return Scalar("SELECT " + columns + " FROM 类别 WHERE LB_ID=" + std::to_string(id)).ToText();
  }
  std::string LastError() {
    auto* e = events_.Last("Accesserror");
    return e ? e->args[0].str() : "";
  }

  ServerForLeiBie lb_;
  testing::EventRecorder events_;
};

TEST_P(LeiBie, AddStoresKindTypeFlagsAndFamily) {
  lb_.SetLB(2, 1, 5);  // the third argument never reaches the row
  lb_.SetlvSu(3);
  Add("O'Brien框", {0, 0, 1, true, 0}, " 1200mm");
  ASSERT_EQ(events_.Names(), Names{"rsLeiBie"});
  EXPECT_EQ(Listed("rsLeiBie"), Names{"O'Brien框"});
  EXPECT_EQ(Cells("LB_ID & ZhongLei & TypeLB & LvSu & RuKuLength", 1), "12131200");
  EXPECT_EQ(Cells("TC & TM & PC & PM & GC & KuangType & ShanType", 1), "0011000");
  Add("B", {0, 0, 1, 0, 0}, "");  // an empty length is 0, not a broken insert
  EXPECT_EQ(Cells("RuKuLength", 2), "0");
  Add("C", {1, 0, 0, 0});  // no ChkWindow(4): nothing is written
  EXPECT_EQ(LastError(), "ServerForLeiBie.AddLeiBie");
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM 类别").long_value(), 2);
}

TEST_P(LeiBie, NamesAreUniqueWithinKindTypeAndFamilyAndEditsKeepTheRest) {
  lb_.SetLB(0, 1, 0);
  Add("A");
  Add("B");
  Add("A");
  lb_.SetlvSu(1);
  Add("A");
  lb_.SetLB(1, 2, 0);
  Add("A");
  EXPECT_EQ(events_.Names()[2], "ChongFu");
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM 类别").long_value(), 4);
  lb_.SetLB(0, 1, 0);
  lb_.SetlvSu(0);
  lb_.ChangeKuangShan(true, Id(1), 1);
  events_.events.clear();
  Add("A", {0, 1, 0, 0, 0}, "800", 1);  // its own name is free
  Add("B", {0, 1, 0, 0, 0}, "800", 1);
  EXPECT_EQ(events_.Names(), (Names{"rsLeiBie", "ChongFu"}));
  EXPECT_EQ(Cells("MingCheng & TC & TM & RuKuLength & KuangType & ZhongLei", 1), "A0180010");
  // Typed text cannot reach past the one row or into other columns.
  Add("A", {1, 0, 0, 0, 0}, "7 -- ", 1);
  Add("A", {1, 0, 0, 0, 0}, "9,MingCheng='x'", 1);
  EXPECT_EQ(Cells("RuKuLength & MingCheng", 1) + Cells("RuKuLength", 2), "9A1000");
}

TEST_P(LeiBie, ListsFollowKindTypeFamilyAndFlags) {
  lb_.SetLB(2, 1, 0);
  Add("K2", {1, 0, 1, 0, 0});
  Add("扇", {0, 0, 1, 0, 0});
  lb_.SetLB(0, 2, 0);
  Add("P0", {0, 0, 0, 0, 0});
  // Accessories: every one of the family whatever its flags, no RuKuLength.
  EXPECT_EQ(Listed("rsLeiBie"), Names{"P0"});
  EXPECT_EQ(events_.Last("rsLeiBie")->args[0].ObjectAs<Recordset>()->Count(), 9u);
  lb_.SetLB(0, 1, 0);
  lb_.GetLeiBie();
  EXPECT_EQ(Listed("rsLeiBie"), Names{"K2"});
  Exec("INSERT INTO ShuZhi VALUES(1, 12, 2, 2.5)");
  lb_.SetLB(2, 1, 0);
  lb_.GetLeiBie(true, Id(12));  // only those with a value in the series
  EXPECT_EQ(Listed("rsLeiBie"), Names{"扇"});
  lb_.ChangeKuangShan(true, Id(1), 1);
  lb_.ChangeKuangShan(true, Id(2), 0);  // clearing the frame flag makes a sash
  lb_.GetKuangLeiBie();
  lb_.GetShanLeiBie();
  EXPECT_EQ(Listed("KuangLeiBie"), Names{"K2"});
  EXPECT_EQ(Listed("ShanLeiBie"), Names{"扇"});
  lb_.SetLB(5, 1, 0);  // no flag column for this kind
  lb_.GetLeiBie();
  EXPECT_EQ(LastError(), "ServerForLeiBie.GetLeiBie");
  lb_.DelLeiBie(Id(1));
  Exec("DROP TABLE 类别");
  events_.events.clear();
  lb_.ChangeKuangShan(true, Id(1), 1);  // failures skipped silently
  EXPECT_TRUE(events_.events.empty());
  lb_.GetPJShanLeiBie();
  EXPECT_EQ(LastError(), "ServerForLeiBie.GetPJShanLeiBie");
}

TEST_P(LeiBie, SeriesValuesReadAsZeroWhenMissing) {
  Exec("INSERT INTO ShuZhi VALUES(1, 12, 1, 2.5)");
  Exec("INSERT INTO ShuZhi (ID, Xl_ID, Para_ID) VALUES(3, 12, 2)");
  EXPECT_EQ(lb_.GetLeiBieValue(1, Id(12)), 2.5f);
  EXPECT_EQ(lb_.GetLeiBieValue(2, Id(12)), 0.0f);  // Null value
  EXPECT_EQ(lb_.GetLeiBieValue(1, Id(13)), 0.0f);  // no row
  Exec("DROP TABLE ShuZhi");
  Exec("DROP TABLE ZheKouLv");
  EXPECT_EQ(lb_.GetLeiBieValue(1, Id(12)), 0.0f);
  lb_.GetZheKou();  // still raised, with the unopened set
  ASSERT_EQ(events_.Names(), Names{"rsZheKou"});
  EXPECT_FALSE(events_.events[0].args[0].ObjectAs<Recordset>()->IsOpen());
}

INSTANTIATE_TEST_SUITE_P(Backends, LeiBie, testing::BothBackends(), testing::BackendName);

}  // namespace
}  // namespace dravmor
