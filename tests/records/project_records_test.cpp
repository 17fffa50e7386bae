// The project-record classes: the payment summary line, installation and
// problem records, section parameters and the document registers.
#include <gtest/gtest.h>

#include "api/all_classes.h"
#include "engine/dispatch.h"
#include "engine/memory_form.h"
#include "records/server_for_biao.h"
#include "records/server_for_install.h"
#include "records/server_for_money.h"
#include "records/server_for_problem.h"
#include "tests/support/test_database.h"

namespace dravmor {
namespace {

class ProjectRecords : public testing::UpgradedDatabase {
 protected:
  void SetUp() override {
    UpgradedDatabase::SetUp();
    if (IsSkipped()) return;
    cs_ = connection_string_;
  }
  template <typename T>
  void Open(T& object, long project = 5) {
    object.SetEventSink(&events_);
    object.Connect(cs_);
    object.SetGccID(Currency::FromWhole(project));
  }
  std::shared_ptr<MemoryForm> Texts(const std::string& control, std::vector<std::string> texts) {
    auto form = std::make_shared<MemoryForm>();
    for (size_t i = 0; i < texts.size(); ++i)
      form->Set(control + "[" + std::to_string(i) + "].Text", texts[i]);
    return form;
  }
  long Count(const std::string& sql) { return static_cast<long>(*Scalar(sql).ToInt64()); }

  std::string cs_;
  testing::EventRecorder events_;
};

TEST_P(ProjectRecords, PaymentSummaryLine) {
  ServerForMoney money;
  Open(money);
  EXPECT_EQ(money.DisplayInfo(), "0;0;0;0;0");  // no contract row yet
  money.EditZong(Currency::FromWhole(1000), Currency::FromWhole(50));
  EXPECT_EQ(money.DisplayInfo(), "1000.0000;50.0000;0.0000;1000.0000;1050.0000");
  money.EditZong(Currency::FromWhole(1000), Currency::FromWhole(50));  // a second call updates the one row
  EXPECT_EQ(Count("SELECT COUNT(*) FROM MoneyGc WHERE GcxxID=5"), 1);

  events_.events.clear();
  money.Add(Texts("txtMoney", {"300", "2026-12-01", "O'Hara"}));
  EXPECT_EQ(events_.Names(), (std::vector<std::string>{"DisplayMsg", "rsResult"}));
  money.Add(Texts("txtMoney", {" 200 ", "2026-12-02", "Li"}));
  EXPECT_EQ(money.DisplayInfo(), "1000.0000;50.0000;500.0000;500.0000;550.0000");
  EXPECT_EQ(Count("SELECT COUNT(*) FROM GcMoney WHERE Ren='O''Hara'"), 1);

  // Overpayment gives negative outstanding amounts.
  money.Edit(Currency::FromWhole(2), Texts("txtMoney", {"1200.5", "2026-12-03", "Li"}));
  EXPECT_EQ(money.DisplayInfo(), "1000.0000;50.0000;1500.5000;-500.5000;-450.5000");

  // An amount that is no number is refused, named, and nothing changes.
  events_.events.clear();
  money.Add(Texts("txtMoney", {"12abc", "x", "y"}));
  ASSERT_EQ(events_.Names(), std::vector<std::string>{"Accesserror"});
  EXPECT_EQ(events_.events[0].args[0].ToText(), "ServerForMoney.Add");
  EXPECT_NE(events_.events[0].args[2].ToText().find("txtMoney(0)"), std::string::npos);
  money.Edit(Currency::FromWhole(1), Texts("txtMoney", {"1;DELETE FROM GcMoney", "x", "y"}));
  EXPECT_EQ(Count("SELECT COUNT(*) FROM GcMoney"), 2);

  money.Del(Currency::FromWhole(2));
  EXPECT_EQ(money.DisplayInfo(), "1000.0000;50.0000;300.0000;700.0000;750.0000");
  // Another project's summary is its own.
  ServerForMoney other;
  Open(other, 6);
  EXPECT_EQ(other.DisplayInfo(), "0;0;0;0;0");

  // Money is exact to four places: no single-precision tails, also for
  // totals a Single cannot hold and for a Single handed in by the caller.
  other.EditZong(*Currency::FromDouble(1234.56), Currency{});
  EXPECT_EQ(other.DisplayInfo(), "1234.5600;0.0000;0.0000;1234.5600;1234.5600");
  other.EditZong(*Currency::FromDouble(12345678.91), Currency{});
  other.Add(Texts("txtMoney", {"0.1", "d", "r"}));
  other.Add(Texts("txtMoney", {"0.2", "d", "r"}));
  EXPECT_EQ(other.DisplayInfo(), "12345678.9100;0.0000;0.3000;12345678.6100;12345678.6100");
  const ClassInfo& info = *AllClasses().Find("ServerForMoney");
  std::vector<Variant> args{Variant(1234.56f), Variant(0.5f)};
  ASSERT_TRUE(Invoke(other, *info.FindMethod("EditZong"), args).ok());
  EXPECT_EQ(other.DisplayInfo(), "1234.5600;0.5000;0.3000;1234.2600;1234.7600");
}

TEST_P(ProjectRecords, ConnectCreatesTheTablesOnce) {
  ServerForMoney money;
  ServerForInstall install;
  ServerForProblem problem;
  ServerForBiao documents;
  Open(money);
  Open(install);
  Open(problem);
  documents.SetEventSink(&events_);
  documents.Connect(cs_);
  for (const char* table : {"GcMoney", "MoneyGc", "GcInstall", "Problem", "TouBiao", "HeTong"})
    EXPECT_EQ(Count(std::string("SELECT COUNT(*) FROM ") + table), 0) << table;
  Exec("INSERT INTO GcInstall VALUES(1,5,'a','b','c')");
  Open(install);  // a second Connect leaves the table and its rows alone
  EXPECT_EQ(Count("SELECT COUNT(*) FROM GcInstall"), 1);
  EXPECT_TRUE(events_.Names().empty());
}

TEST_P(ProjectRecords, InstallationAndProblems) {
  ServerForInstall install;
  Open(install);
  install.Add(Texts("txtinstall", {"glass fitted", "Wang's team", "12/1/2026"}));
  Open(install, 6);
  install.Add(Texts("txtinstall", {"frames", "Zhao", "12/2/2026"}));
  Open(install, 5);
  install.Add(Texts("txtinstall", {"sealed", "Wang", "12/3/2026"}));
  events_.events.clear();
  install.Del(Currency::FromWhole(1));
  ASSERT_EQ(events_.Names(), std::vector<std::string>{"rsResult"});
  EXPECT_EQ(events_.Last("rsResult")->args[0].ObjectAs<Recordset>()->RowCount(), 1u);
  install.Edit(Currency::FromWhole(3), Texts("txtinstall", {"re-sealed", "Wang", "12/4/2026"}));
  EXPECT_EQ(Count("SELECT COUNT(*) FROM GcInstall WHERE MiaoShu='re-sealed' AND GcxxID=5"), 1);

  ServerForProblem problem;
  Open(problem);
  events_.events.clear();
  problem.Add(Texts("txtProblem", {"leak", "client's", "12/5/2026", "resealed"}));
  problem.Edit(Currency::FromWhole(1), Texts("txtProblem", {"leak", "client", "12/5/2026", "ok"}));
  problem.Del(Currency::FromWhole(7));  // nothing there; still no event
  EXPECT_TRUE(events_.Names().empty());
  EXPECT_EQ(problem.GetDetail()->RowCount(), 1u);

  problem.AddGXJ(Texts("txtGXJ", {"", "", "", "", "", "", "", ""}));
  problem.AddGXJ(Texts("txtGXJ", {"K'1", "frame", "60", "1.4", "2.1", "3", "4", "5"}));
  problem.EditGXJ(Currency::FromWhole(1), Texts("txtGXJ", {"Z", "", "", "", "", "", "", ""}));
  events_.events.clear();
  problem.GetGXJ();
  ASSERT_EQ(events_.Names(), std::vector<std::string>{"rsResultGXJ"});
  EXPECT_EQ(events_.events[0].args[0].ObjectAs<Recordset>()->RowCount(), 2u);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM JieMianPara WHERE DaiMa='K''1'"), 1);
  problem.DelGXJ(Currency::FromWhole(2));
  EXPECT_EQ(Count("SELECT COUNT(*) FROM JieMianPara"), 1);
}

TEST_P(ProjectRecords, DocumentRegisters) {
  ServerForBiao documents;
  documents.SetEventSink(&events_);
  documents.Connect(cs_);
  documents.Add(Texts("txtname", {"bid", "2026-12-01"}));  // no register chosen yet
  ASSERT_EQ(events_.Names(), std::vector<std::string>{"Accesserror"});
  EXPECT_EQ(events_.events[0].args[0].ToText(), "ServerForBiao.Add");

  events_.events.clear();
  documents.SetDocType(static_cast<int32_t>(DocType::BiaoShu));
  documents.Add(Texts("txtname", {"Tower's bid", "2026-12-01"}));
  documents.Add(Texts("txtname", {"Tower's bid", "2026-12-02"}));
  EXPECT_EQ(events_.Names(), (std::vector<std::string>{"rsResult", "ChongFu"}));
  documents.Edit(Currency::FromWhole(1), Texts("txtname", {"Tower's bid", "2026-12-09"}));
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TouBiao WHERE TouBiaoDate='2026-12-09'"), 1);

  documents.SetDocType(static_cast<int32_t>(DocType::HeTong));
  documents.Add(Texts("txtname", {"Tower's bid", "2026-12-05"}));  // no duplicate here
  EXPECT_EQ(documents.GetDetail()->RowCount(), 1u);
  documents.Del(Currency::FromWhole(1));
  EXPECT_EQ(Count("SELECT COUNT(*) FROM HeTong"), 0);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM TouBiao"), 1);
}

INSTANTIATE_TEST_SUITE_P(Backends, ProjectRecords, testing::BothBackends(), testing::BackendName);

}  // namespace
}  // namespace dravmor
