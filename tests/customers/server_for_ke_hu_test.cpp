// ServerForKeHu's customers, project categories and profile classes on an
// upgraded database (reserved customer 1, FoShanLB, XcDaLei with class 1).
#include <gtest/gtest.h>

#include "customers/server_for_ke_hu.h"
#include "engine/memory_form.h"
#include "tests/support/test_database.h"

namespace dravmor {
namespace {

using Names = std::vector<std::string>;

class KeHu : public testing::UpgradedDatabase {
 protected:
  void SetUp() override {
    UpgradedDatabase::SetUp();
    if (IsSkipped()) return;
    kehu_.SetEventSink(&events_);
    std::string cs = connection_string_;
    kehu_.Connect(cs);
    kehu_.SetSQLSERVER(false);
  }
  static std::shared_ptr<MemoryForm> Form(const std::string& code, const std::string& name) {
    auto form = std::make_shared<MemoryForm>();
    const std::string fields[7] = {code, name, "Li", "0757-1", "139", "528000", "Foshan"};
    for (int i = 0; i < 7; ++i)
      form->Set("txtkehuinfo[" + std::to_string(i) + "].Text", fields[i]);
    return form;
  }
  // Column `column` of every row, in list order.
  static Names Column(const RecordsetPtr& rs, const std::string& column) {
    Names values;
    size_t c = static_cast<size_t>(*rs->IndexOf(column));
    for (size_t r = 0; r < rs->RowCount(); ++r)
      values.push_back(rs->Data().cells[r * rs->Count() + c].ToText());
    return values;
  }
  RecordsetPtr LastSet(const std::string& event) {
    const testing::RecordedEvent* e = events_.Last(event);
    return e ? e->args[0].ObjectAs<Recordset>() : nullptr;
  }
  long Count(const std::string& sql) { return Scalar(sql).long_value(); }
  static Currency Id(int64_t id) { return Currency::FromWhole(id); }

  ServerForKeHu kehu_;
  testing::EventRecorder events_;
};

TEST_P(KeHu, AddStoresEveryFieldAndTheListHidesTheReservedCustomer) {
  kehu_.AddKeHu(Form("C1", "O'Brien Windows"));
  kehu_.AddKeHu(Form("C2", "Beta"));
  EXPECT_EQ(events_.Names(), (Names{"rsResult", "rsResult"}));
  EXPECT_EQ(Column(LastSet("rsResult"), "kehu_id"), (Names{"2", "3"}));
  RowData row = Query("SELECT * FROM 客户管理 WHERE kehu_id=2");
  Names stored;
  for (const Variant& v : row.cells) stored.push_back(v.ToText());
  EXPECT_EQ(stored, (Names{"2", "C1", "O'Brien Windows", "Li", "0757-1", "139", "528000", "Foshan"}));
  // The caller's condition narrows the list, letter case ignored.
  std::string condition = "KeHuMingcheng LIKE '%o''b%'";
  EXPECT_EQ(Column(kehu_.GetKeHu(condition), "bianma"), (Names{"C1"}));
  EXPECT_EQ(condition, "KeHuMingcheng LIKE '%o''b%'");
  EXPECT_EQ(Column(kehu_.GetKeHuInfo(Id(1)), "KeHuMingcheng"), (Names{"系统保留"}));
  EXPECT_EQ(events_.Names().back(), "rsResultInfo");
}

TEST_P(KeHu, TakenCodesAreRefusedWithoutRefresh) {
  kehu_.AddKeHu(Form("O'1", "a"));
  kehu_.AddKeHu(Form("C2", "b"));
  events_.events.clear();
  kehu_.AddKeHu(Form("o'1", "again"));  // a quote and another letter case
  kehu_.AddKeHu(Form("0", "x"));        // the reserved customer's code
  EXPECT_EQ(events_.Names(), (Names{"BianMaChongFu", "BianMaChongFu"}));
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 客户管理"), 3);
  events_.events.clear();
  kehu_.EditKeHu(Id(2), Form("O'1", "renamed"));  // its own code
  EXPECT_EQ(events_.Names(), (Names{"rsResult"}));
  EXPECT_EQ(Scalar("SELECT KeHuMingcheng FROM 客户管理 WHERE kehu_id=2").ToText(), "renamed");
  kehu_.EditKeHu(Id(2), Form("C2", "taken"));
  EXPECT_EQ(events_.Names().back(), "BianMaChongFu");
  EXPECT_EQ(Scalar("SELECT bianma FROM 客户管理 WHERE kehu_id=2").ToText(), "O'1");
}

TEST_P(KeHu, DeletingKeepsTheReservedCustomerUntilNamed) {
  kehu_.AddKeHu(Form("C1", "a"));
  kehu_.AddKeHu(Form("C2", "b"));
  kehu_.DelKeHu(Id(2));
  EXPECT_EQ(Column(LastSet("rsResult"), "bianma"), (Names{"C2"}));
  kehu_.DEL_ALL_KeHu();
  EXPECT_EQ(Scalar("SELECT kehu_id FROM 客户管理").ToText(), "1");
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 客户管理"), 1);
  kehu_.DelKeHu(Id(1));
  // The first of an empty table takes an id never used before, not the
  // reserved 1 (which is never listed).
  kehu_.AddKeHu(Form("C9", "first of an empty table"));
  EXPECT_EQ(Scalar("SELECT kehu_id FROM 客户管理").ToText(), "4");
  EXPECT_EQ(Column(LastSet("rsResult"), "bianma"), (Names{"C9"}));
}

TEST_P(KeHu, CustomerFailuresAreReportedAndWriteNothing) {
  auto partial = std::make_shared<MemoryForm>();
  partial->Set("txtkehuinfo[0].Text", "C1");  // txtkehuinfo(1) to (6) missing
  kehu_.AddKeHu(partial);
  ASSERT_EQ(events_.Names(), (Names{"Accesserror"}));
  EXPECT_EQ(events_.events[0].args[0].str(), "ServerForKeHu.AddKeHu");
  EXPECT_EQ(events_.events[0].args[1].long_value(), ErrorCode::kNoSuchMember);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 客户管理"), 1);
  events_.events.clear();
  std::string bad = "no_such_column=1";
  RecordsetPtr rs = kehu_.GetKeHu(bad);
  ASSERT_NE(rs, nullptr);
  EXPECT_FALSE(rs->IsOpen());
  EXPECT_EQ(events_.Names(), (Names{"Accesserror"}));
  EXPECT_EQ(events_.events[0].args[0].str(), "ServerForKeHu.GetKeHu");
}

TEST_P(KeHu, AFailingDuplicateTestCountsAsAFreeCode) {
  // A customer table whose code column is named otherwise: the test fails,
  // the positional INSERT still fits.
  Exec("DROP TABLE 客户管理");
  Exec("CREATE TABLE 客户管理 (kehu_id Long PRIMARY KEY, code Text(50), KeHuMingcheng Text(100), "
       "LianXiRen Text(50), DianHua Text(50), shouji Text(50), YouZhengBianMa Text(20), "
       "DiZhi Text(255))");
  kehu_.AddKeHu(Form("C1", "a"));
  ASSERT_EQ(events_.Names(), (Names{"Accesserror", "rsResult"}));
  EXPECT_EQ(events_.events[0].args[0].str(), "ServerForKeHu.FindChongFu");
  EXPECT_EQ(Scalar("SELECT code FROM 客户管理").ToText(), "C1");
}

TEST_P(KeHu, CategoriesAreListedByKindOrAll) {
  kehu_.AddLB("Villa's", 2);
  EXPECT_EQ(Column(LastSet("rsResultFS"), "LB"), (Names{"Villa's"}));
  kehu_.AddLB("Office", 1);
  kehu_.AddLB("Shop", 2);
  EXPECT_EQ(Column(LastSet("rsResultFS"), "ID"), (Names{"1", "3"}));  // kind 2 only
  EXPECT_EQ(Column(kehu_.GetFoShanLB(-1), "LB"), (Names{"Villa's", "Office", "Shop"}));
  kehu_.EditLB("Tower", 1, Id(3));  // renames; the kind stays 2
  EXPECT_EQ(Column(LastSet("rsResultFS"), "LB"), (Names{"Office"}));
  EXPECT_EQ(Column(kehu_.GetFoShanLB(2), "LB"), (Names{"Villa's", "Tower"}));
  kehu_.DelLB(Id(1), 2);
  EXPECT_EQ(Column(LastSet("rsResultFS"), "LB"), (Names{"Tower"}));
  EXPECT_EQ(events_.Last("Accesserror"), nullptr);
}

TEST_P(KeHu, ProfileClassesAndTheirSilentFailures) {
  kehu_.Get_DaLei();
  EXPECT_EQ(Column(LastSet("rsXcDaLei"), "DaLei"), (Names{"系统保留"}));
  kehu_.AddDaLei("Casement 60's");
  kehu_.EditDaLei(Id(2), "Sliding 90's");
  EXPECT_EQ(Column(LastSet("rsXcDaLei"), "DaLei"), (Names{"系统保留", "Sliding 90's"}));
  Exec("INSERT INTO 型材 (Xc_ID, DaLei) VALUES(7, 1)");
  kehu_.DelDaLei(Id(1));
  EXPECT_EQ(Column(LastSet("rsXcDaLei"), "ID"), (Names{"2"}));
  EXPECT_EQ(Scalar("SELECT DaLei FROM 型材 WHERE Xc_ID=7").ToText(), "1");  // left pointing
  // Resume next: the failing statement is skipped, the refresh still comes.
  events_.events.clear();
  Exec("DROP TABLE XcDaLei");
  kehu_.AddDaLei("x");
  EXPECT_EQ(events_.Names(), (Names{"rsXcDaLei"}));
  EXPECT_FALSE(LastSet("rsXcDaLei")->IsOpen());
  kehu_.DelDaLei(Id(2));  // handler: reported, no refresh
  EXPECT_EQ(events_.Names().back(), "Accesserror");
  EXPECT_EQ(events_.events.back().args[0].str(), "ServerForKeHu.DelDaLei");
}

TEST_P(KeHu, DispatchTableCallsWithDefaultsAndConvertedArguments) {
  ClassInfo info = ServerForKeHu::Describe();
  auto object = info.create();
  object->SetEventSink(&events_);
  auto call = [&](const char* name, std::vector<Variant> args) {
    auto result = Invoke(*object, *info.FindMethod(name), args);
    EXPECT_TRUE(result.ok()) << name << ": " << result.status().ToString();
    return result.ok() ? *result : Variant();
  };
  call("AddLB", {Variant("Hall"), Variant(int16_t{4})});
  call("AddKeHu", {Variant(std::shared_ptr<Object>(Form("K1", "k")))});
  Variant listed = call("GetKeHu", {});
  EXPECT_EQ(Column(listed.ObjectAs<Recordset>(), "bianma"), (Names{"K1"}));
  EXPECT_EQ(Scalar("SELECT LB_Type FROM FoShanLB").ToText(), "4");
}

INSTANTIATE_TEST_SUITE_P(Backends, KeHu, testing::BothBackends(), testing::BackendName);

}  // namespace
}  // namespace dravmor
