// ServerForFactory end to end on a shipped database.
#include <gtest/gtest.h>

#include "engine/memory_form.h"
#include "suppliers/server_for_factory.h"
#include "tests/support/test_database.h"

namespace dravmor {
namespace {

class Factories : public testing::ShippedDatabase {
 protected:
  void SetUp() override {
    ShippedDatabase::SetUp();
    if (IsSkipped()) return;
    factory_.SetEventSink(&events_);
    std::string cs = connection_string_;
    factory_.Connect(cs);
    factory_.SetSQLSERVER(false);
    factory_.SetCZYName("张三");
    ASSERT_TRUE(events_.events.empty());
  }

  std::shared_ptr<MemoryForm> Form(const std::string& code, const std::string& full,
                                   const std::string& brief) {
    auto form = std::make_shared<MemoryForm>();
    form->Set("txtfactoryinfo[0].Text", code);
    form->Set("txtfactoryinfo[1].Text", full);
    form->Set("txtfactoryinfo[2].Text", brief);
    return form;
  }
  void Add(const std::string& code, int16_t type = 0) {
    factory_.AddFactory(Form(code, code + " Ltd", code), type);
  }
  // Codes in list order of a result set.
  static std::vector<std::string> Codes(const RecordsetPtr& rs) {
    std::vector<std::string> codes;
    for (size_t r = 0; r < rs->RowCount(); ++r)
      codes.push_back(rs->Data().cells[r * rs->Count() + 1].ToText());
    return codes;
  }
  RecordsetPtr List(std::string code, int16_t type, uint8_t favourite) {
    return factory_.GetFactory(code, type, favourite);
  }

  ServerForFactory factory_;
  testing::EventRecorder events_;
};

TEST_P(Factories, AddWritesTheRowAndRefreshesTheList) {
  factory_.AddFactory(Form("A1", "O'Brien Aluminium", "O'B"), 0);
  ASSERT_EQ(events_.Names(), std::vector<std::string>{"rsResult"});
  auto rs = events_.events[0].args[0].ObjectAs<Recordset>();
  ASSERT_EQ(rs->RowCount(), 1u);
  EXPECT_EQ(*rs->Name(0), "Cj_id");  // the name as the statement writes it
  EXPECT_EQ(Scalar("SELECT Cj_ID & '|' & Quancheng & '|' & Jiancheng & '|' & BianMa & '|' & "
                   "OwnerList & '|' & UserList FROM 厂家").ToText(),
            "1|O'Brien Aluminium|O'B|A1|张三|张三");
  // A supplier category always writes type 0.
  factory_.SetType(3, 1);
  Add("P1", 3);
  EXPECT_EQ(Scalar("SELECT Cj_ID & '|' & cjType & '|' & cjLB FROM 厂家 WHERE BianMa='P1'").ToText(),
            "2|0|1");
}

TEST_P(Factories, DuplicateCodeWithinCategoryAndTypeIsRefused) {
  Add("A1");
  events_.events.clear();
  Add("a1");  // codes compare without letter case, as on the shop's database
  EXPECT_EQ(events_.Names(), std::vector<std::string>{"BianMaChongFu"});
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM 厂家").long_value(), 1);
  factory_.SetType(1, 0);  // another type: the same code is free
  events_.events.clear();
  Add("A1", 1);
  EXPECT_EQ(events_.Names(), std::vector<std::string>{"rsResult"});
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM 厂家").long_value(), 2);
}

TEST_P(Factories, FavouriteFilterTakesAnyNonzeroFlagAsTrue) {
  Add("F1");
  Add("F2");
  Add("F3");
  // Jet stores True as -1, SQL Server as 1; a favourite is a favourite either way.
  Exec("UPDATE 厂家 SET Changyong=-1 WHERE BianMa='F1'");
  Exec("UPDATE 厂家 SET Changyong=1 WHERE BianMa='F2'");
  EXPECT_EQ(Codes(factory_.GetFactory()), (std::vector<std::string>{"F1", "F2"}));
  EXPECT_EQ(Codes(List("", 0, 0)), std::vector<std::string>{"F3"});
  EXPECT_EQ(Codes(List("", 0, 2)), (std::vector<std::string>{"F1", "F2", "F3"}));
  factory_.SetSQLSERVER(true);
  EXPECT_EQ(Codes(factory_.GetFactory()), (std::vector<std::string>{"F1", "F2"}));
  EXPECT_EQ(Codes(List("", 0, 0)), std::vector<std::string>{"F3"});
}

TEST_P(Factories, AllTypesListIsOrderedByCodeTypeAndId) {
  factory_.SetType(1, 0);
  Add("B", 1);
  factory_.SetType(0, 0);
  Add("B", 0);
  Add("A", 0);
  Add("C", 0);
  RecordsetPtr rs = List("", 2, 2);
  EXPECT_EQ(Codes(rs), (std::vector<std::string>{"A", "B", "B", "C"}));
  EXPECT_EQ(rs->Data().cells[1 * rs->Count() + 4].ToText(), "0");  // B type 0 first
  EXPECT_EQ(Codes(List("b", 2, 2)), (std::vector<std::string>{"B", "B"}));
  EXPECT_EQ(Codes(List("'", 2, 2)), std::vector<std::string>{});  // a quote is just text
}

TEST_P(Factories, OperatorScopeLimitsTheList) {
  factory_.SetCZYName("alice");
  Add("A");
  factory_.SetCZYName("bob");
  Add("B");
  factory_.SetCaoZuoYuan("alice", true);
  EXPECT_EQ(Codes(List("", 2, 2)), std::vector<std::string>{"A"});
  factory_.SetCaoZuoYuan("alice", false);
  EXPECT_EQ(Codes(List("", 2, 2)).size(), 2u);
}

TEST_P(Factories, EditRenamesAndTestsOtherRowsOnly) {
  Add("A");
  Add("B");
  events_.events.clear();
  factory_.EditFactory(Currency::FromWhole(1), Form("A", "Renamed", "R"));  // its own code
  EXPECT_EQ(events_.Names(), std::vector<std::string>{"rsResult"});
  EXPECT_EQ(Scalar("SELECT Quancheng FROM 厂家 WHERE Cj_ID=1").ToText(), "Renamed");
  events_.events.clear();
  factory_.EditFactory(Currency::FromWhole(1), Form("B", "x", "x"));
  EXPECT_EQ(events_.Names(), std::vector<std::string>{"BianMaChongFu"});
  EXPECT_EQ(Scalar("SELECT BianMa FROM 厂家 WHERE Cj_ID=1").ToText(), "A");
  factory_.UpdateChangYong(Currency::FromWhole(1), 1);
  factory_.SetFactorySuo(Currency::FromWhole(1), 1);
  EXPECT_EQ(Scalar("SELECT CJSuoDing FROM 厂家 WHERE Changyong<>0").ToText(), "1");
  events_.events.clear();
  factory_.ExecuteToXL(Variant("UPDATE nope SET x=1"));  // failures ignored
  EXPECT_TRUE(events_.events.empty());
}

TEST_P(Factories, DeleteRemovesBindingsAndSeriesTablesOfItsCatalogueOnly) {
  Add("A");
  Add("B");
  Exec("INSERT INTO 系列 (XL_ID, CJ_ID, MingCheng) VALUES(10, 1, 'S10')");
  Exec("INSERT INTO 系列 (XL_ID, CJ_ID, MingCheng) VALUES(20, 2, 'S20')");
  Exec("INSERT INTO 型材 (Xc_ID, XL_ID) VALUES(100, 10)");
  Exec("INSERT INTO 型材 (Xc_ID, XL_ID) VALUES(200, 20)");
  Exec("INSERT INTO 绑定 (Bang_ID, Zhu_ID, Fu_ID) VALUES(1, 100, 200)");
  Exec("INSERT INTO 绑定 (Bang_ID, Zhu_ID, Fu_ID) VALUES(2, 200, 100)");
  Exec("INSERT INTO 绑定 (Bang_ID, Zhu_ID, Fu_ID) VALUES(3, 200, 200)");
  Exec("INSERT INTO DetailBlock (Block_ID, XL_ID) VALUES(1, 10)");
  Exec("INSERT INTO DetailBlock (Block_ID, XL_ID) VALUES(2, 20)");
  Exec("INSERT INTO WinFilter (Filter_ID, XL_ID) VALUES(1, 10)");
  Exec("CREATE TABLE WZSBGT (XL_ID Long)");
  Exec("INSERT INTO WZSBGT VALUES(10)");
  Exec("INSERT INTO WZSBGT VALUES(20)");
  events_.events.clear();
  factory_.DelFactory(Currency::FromWhole(1));
  EXPECT_EQ(events_.Names(), std::vector<std::string>{"rsResult"});
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM 厂家").long_value(), 1);
  EXPECT_EQ(Scalar("SELECT Bang_ID FROM 绑定").ToText(), "3");
  EXPECT_EQ(Scalar("SELECT XL_ID FROM DetailBlock").ToText(), "20");
  EXPECT_EQ(Scalar("SELECT XL_ID FROM WZSBGT").ToText(), "20");
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM WinFilter").long_value(), 0);
  // Series and profiles of the factory themselves stay.
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM 系列").long_value() + Scalar("SELECT COUNT(*) FROM 型材").long_value(), 4);
}

TEST_P(Factories, DeletingASupplierRemovesItsAccessoryBindings) {
  factory_.SetType(0, 1);
  Add("P");
  Exec("INSERT INTO 配件 (PJ_ID, CJ_ID) VALUES(5, 1)");
  Exec("INSERT INTO 配件 (PJ_ID, CJ_ID) VALUES(6, 9)");
  Exec("INSERT INTO 绑定配件 (Bang_ID, Zhu_ID, Fu_ID) VALUES(1, 5, 6)");
  Exec("INSERT INTO 绑定配件 (Bang_ID, Zhu_ID, Fu_ID) VALUES(2, 6, 5)");
  Exec("INSERT INTO 绑定配件 (Bang_ID, Zhu_ID, Fu_ID) VALUES(3, 6, 6)");
  factory_.DelFactory(Currency::FromWhole(1));
  EXPECT_EQ(Scalar("SELECT Bang_ID FROM 绑定配件").ToText(), "3");
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM 厂家").long_value(), 0);
}

TEST_P(Factories, FailuresAreReportedUnderTheOperationsName) {
  Exec("DROP TABLE DetailBlock");
  Add("A");
  events_.events.clear();
  factory_.DelFactory(Currency::FromWhole(1));
  ASSERT_EQ(events_.Names(), std::vector<std::string>{"Accesserror"});
  EXPECT_EQ(events_.events[0].args[0].str(), "ServerForFactory.DelFactory");
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM 厂家").long_value(), 1);  // stopped before
  events_.events.clear();
  factory_.AddFactory(std::make_shared<MemoryForm>(), 0);  // no such controls
  ASSERT_EQ(events_.Names(), std::vector<std::string>{"Accesserror"});
  EXPECT_EQ(events_.events[0].args[1].long_value(), ErrorCode::kNoSuchMember);
}

TEST_P(Factories, ConnectAddsGangChenOnlyToAThirteenColumnProfileTable) {
  Exec("DROP TABLE 型材");
  Exec("CREATE TABLE 型材 (c1 Long, c2 Long, c3 Long, c4 Long, c5 Long, c6 Long, c7 Long, "
       "c8 Long, c9 Long, c10 Long, c11 Long, c12 Long, c13 Long)");
  Exec("INSERT INTO 型材 (c1) VALUES(1)");
  SharedConnection::ResetThisThread();
  ServerForFactory fresh;
  std::string cs = connection_string_;
  fresh.Connect(cs);
  EXPECT_EQ(Scalar("SELECT GangChen FROM 型材").ToText(), "型材");
  ServerForFactory again;  // now 14 columns: nothing changes
  Exec("UPDATE 型材 SET GangChen='钢衬'");
  again.Connect(cs);
  EXPECT_EQ(Scalar("SELECT GangChen FROM 型材").ToText(), "钢衬");
  EXPECT_EQ(Query("SELECT * FROM 型材").fields.size(), 14u);
}

INSTANTIATE_TEST_SUITE_P(Backends, Factories, testing::BothBackends(), testing::BackendName);

}  // namespace
}  // namespace dravmor
