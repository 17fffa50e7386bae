// ServerForCPK end to end on an upgraded database.
#include <gtest/gtest.h>

#include "engine/memory_form.h"
#include "tests/support/test_database.h"
#include "warehouse/server_for_cpk.h"

namespace dravmor {
namespace {

using Names = std::vector<std::string>;
using Texts = std::vector<std::string>;
Currency Id(int64_t id) { return Currency::FromWhole(id); }

// A stock form whose control fails the first read(s): a lookup that reads
// it fails while a later statement of the same call could still succeed.
class FlakyForm : public FormRecord {
 public:
  FlakyForm(std::shared_ptr<MemoryForm> form, int index, int failures)
      : form_(std::move(form)), index_(index), failures_(failures) {}
  Result<Variant> Read(std::string_view control, std::optional<int> index,
                       std::string_view property, std::optional<int> item) const override {
    if (control == "txtcpk" && index == index_ && failures_ > 0) {
      --failures_;
      return Status::Error(ErrorCode::kNoSuchMember, "Object doesn't support this property");
    }
    return form_->Read(control, index, property, item);
  }

 private:
  std::shared_ptr<MemoryForm> form_;
  int index_;
  mutable int failures_;
};

class Warehouse : public testing::UpgradedDatabase {
 protected:
  void SetUp() override {
    UpgradedDatabase::SetUp();
    if (IsSkipped()) return;
    cpk_.SetEventSink(&events_);
    std::string cs = connection_string_;
    cpk_.Connect(cs);
    ASSERT_TRUE(events_.events.empty());
  }
  // txtcpk(0) to (10) as given; fewer leave the rest of the controls out.
  static std::shared_ptr<MemoryForm> Form(const std::string& project, const std::string& window,
                                          const Texts& texts) {
    auto form = std::make_shared<MemoryForm>();
    form->Set("cmbgc.Text", project);
    form->Set("cmbmc.Text", window);
    for (size_t i = 0; i < texts.size(); ++i)
      form->Set("txtcpk[" + std::to_string(i) + "].Text", texts[i]);
    return form;
  }
  // A type-0 window: building B1, floor 3F, series S60, 1500 x 1200.
  static std::shared_ptr<MemoryForm> Window(const std::string& quantity,
                                            const std::string& unit = "set") {
    return Form("GC-01", "C1515", {"B1", "3F", "S60", "Casement", "1500", "1200", unit, quantity,
                                   "note"});
  }
  std::string Cell(const std::string& column, int64_t id) {
    return Scalar("SELECT " + column + " FROM ChengPinKu WHERE ID=" + std::to_string(id)).ToText();
  }
  double Number(const std::string& column, int64_t id) {
    auto v = Scalar("SELECT " + column + " FROM ChengPinKu WHERE ID=" + std::to_string(id)).ToDouble();
    return v.ok() ? *v : -999;
  }
  long Rows(const std::string& where = "") {
    return static_cast<long>(*Scalar("SELECT COUNT(*) FROM ChengPinKu " + where).ToInt64());
  }
  // Ids of the book the last rsResult carried.
  Names Listed() {
    const testing::RecordedEvent* e = events_.Last("rsResult");
    if (!e) return {"<no rsResult>"};
    auto rs = e->args[0].ObjectAs<Recordset>();
    Names ids;
    for (size_t r = 0; r < rs->RowCount(); ++r) ids.push_back(rs->Data().cells[r * rs->Count()].ToText());
    return ids;
  }
  std::string LastError() {
    const testing::RecordedEvent* e = events_.Last("Accesserror");
    return e ? e->args[0].str() + " " + e->args[1].ToText() : "";
  }

  ServerForCPK cpk_;
  testing::EventRecorder events_;
};

TEST_P(Warehouse, StockInOfTheSameWindowMergesAndStockOutEmptiesTheLine) {
  cpk_.UpdateNum(Id(7), Window("2"), true);
  EXPECT_EQ(events_.Names(), (Names{"rsCpID", "rsResult"}));
  EXPECT_EQ(Cell("MianJi", 1), "3.6");  // 1.5 x 1.2 x 2
  cpk_.UpdateNum(Id(7), Window("3"), true);
  EXPECT_EQ(Rows(), 1);
  EXPECT_EQ(Cell("SL & '|' & MCID", 1), "5|7");
  EXPECT_DOUBLE_EQ(std::stod(Cell("MianJi", 1)), 9);
  cpk_.UpdateNum(Id(7), Window("1", "pcs"), true);  // another unit: another line
  EXPECT_EQ(Rows(), 2);
  EXPECT_EQ(Listed(), (Names{"1", "2"}));
  cpk_.UpdateNum(Id(1), Window("5"), false);  // all of it: the line goes
  EXPECT_EQ(Listed(), Names{"2"});
  cpk_.UpdateNum(Id(2), Window("3"), false);  // more than there is: it stays
  EXPECT_EQ(Cell("SL", 2), "-2");
  cpk_.UpdateNumByID(Id(2), 2);
  EXPECT_EQ(Rows(), 0);
  EXPECT_EQ(LastError(), "");
}

TEST_P(Warehouse, AFailedLookupStocksNothingInAndIsReported) {
  cpk_.UpdateNum(Id(7), Window("2"), true);
  events_.events.clear();
  // The lookup cannot read the unit; the insert after it could.
  cpk_.UpdateNum(Id(7), std::make_shared<FlakyForm>(Window("2"), 6, 1), true);
  EXPECT_EQ(events_.Names(), (Names{"Accesserror", "rsResult"}));
  EXPECT_EQ(LastError(), "ServerForCPK.UpdateNum 438");
  EXPECT_EQ(Rows(), 1);
  EXPECT_EQ(Cell("SL", 1), "2");

  // The lookup's query itself fails: a column it reads is gone (the
  // refreshed list, which reads it too, fails after it).
  Exec("ALTER TABLE ChengPinKu DROP COLUMN ChuangXing");
  events_.events.clear();
  cpk_.UpdateNum(Id(7), Window("2"), true);
  EXPECT_EQ(events_.Names(), (Names{"Accesserror", "Accesserror"}));
  EXPECT_EQ(events_.events[0].args[0].str(), "ServerForCPK.UpdateNum");
  EXPECT_EQ(events_.events[1].args[0].str(), "ServerForCPK.GetDetail");
  EXPECT_EQ(Rows(), 1);
  EXPECT_EQ(Cell("SL", 1), "2");
}

TEST_P(Warehouse, QuotesAndNumbersFromTheFormAreValuesNotSql) {
  auto form = Form("O'Brien's", "W'1", {"B'1", "3'F", "S'60", "It's", "1500 OR 1=1", "abc", "u'",
                                        "2", "Don't"});
  cpk_.UpdateNum(Id(7), form, true);
  cpk_.UpdateNum(Id(7), form, true);  // found again, quotes and all
  ASSERT_EQ(Rows(), 1);
  EXPECT_EQ(Cell("GCDM & '|' & MCDM & '|' & LouHao & '|' & LouCeng & '|' & XL & '|' & ChuangXing & "
                 "'|' & DanWei & '|' & BeiZhu", 1),
            "O'Brien's|W'1|B'1|3'F|S'60|It's|u'|Don't");
  EXPECT_EQ(Cell("ChangDu & '|' & KuanDu & '|' & SL & '|' & MianJi", 1), "1500|0|4|0");

  cpk_.SetCPType(3);
  cpk_.UpdateNum(Id(7), Form("O'Brien's", "", {"B'1", "3'F", "S'60", "It's", "10'x20'", "M'1",
                                               "pcs'", "1'5", "Don't", "2", "5"}),
                 true);
  EXPECT_EQ(Cell("GuiGe & '|' & XingHao & '|' & MianJi & '|' & DanWei & '|' & You1 & '|' & You2", 2),
            "10'x20'|M'1|1'5|pcs'|5|2");
}

TEST_P(Warehouse, AMissingControlSkipsItsStatementAndNothingIsAnnounced) {
  cpk_.UpdateNum(Id(7), Window("2"), true);
  events_.events.clear();
  cpk_.UpdateNum(Id(1), Form("", "", {}), false);  // no quantity: nothing taken out
  EXPECT_EQ(events_.Names(), Names{"rsResult"});
  EXPECT_EQ(Cell("SL", 1), "2");
  // A new line whose remark is missing: the insert is skipped and no id
  // is announced for a row that does not exist.
  events_.events.clear();
  cpk_.UpdateNum(Id(7), Form("GC-02", "C1", {"B1", "3F", "S60", "Casement", "900", "900", "set", "1"}),
                 true);
  EXPECT_EQ(events_.Names(), Names{"rsResult"});
  EXPECT_EQ(Rows(), 1);
  cpk_.SetCPType(2);
  cpk_.UpdateNum(Id(7), Form("GC-02", "C1", {"B1"}), true);
  EXPECT_EQ(events_.Last("rsCpID"), nullptr);
  EXPECT_EQ(Rows(), 1);
}

TEST_P(Warehouse, SashCounts) {
  cpk_.SetCPType(1);
  cpk_.UpdateNum(Id(7), Form("GC-01", "C1515", {"B1", "3F", "S60", "Casement", "700", "1400", "2",
                                                "3", "note", "4", "5"}),
                 true);
  EXPECT_EQ(Cell("SL & '|' & Zuo1 & '|' & Zuo2 & '|' & You1 & '|' & You2", 1), "3|2|3|5|4");
  cpk_.UpdateNum(Id(7), Form("GC-01", "C1515", {"B1", "3F", "S60", "Casement", "700", "1400", "1",
                                                "1", "", "1", "1"}),
                 true);  // always a new row
  EXPECT_EQ(Rows(), 2);
  events_.events.clear();
  cpk_.UpdateNum(Id(1), Form("", "", {"", "", "", "", "", "", "2", "1", "", "4", "5"}), false);
  EXPECT_EQ(Cell("Zuo1 & '|' & Zuo2 & '|' & You1 & '|' & You2", 1), "0|2|0|0");
  EXPECT_EQ(events_.Names(), (Names{"rsResult", "rsResult"}));
  // No second left sash: SL is 0, and the row still holds three sashes.
  cpk_.UpdateNum(Id(7), Form("GC-01", "C1515", {"B1", "3F", "S60", "Casement", "700", "1400", "2",
                                                "0", "", "1", "1"}),
                 true);
  EXPECT_EQ(Cell("SL & '|' & Zuo1 & '|' & Zuo2 & '|' & You1 & '|' & You2", 3), "0|2|0|1|1");
  cpk_.UpdateNumByID(Id(2), 0);  // the windows' cleanup leaves it too
  EXPECT_EQ(Rows(), 3);
  cpk_.UpdateShanWeiNumByID(Id(1), 0, 0, 0, 0);
  cpk_.UpdateShanWeiNumByID(Id(3), 0, 0, 0, 0);
  bool remove = true;
  cpk_.DelShanWeiNumByID(Id(2), -1, -1, -1, -1, remove);
  EXPECT_EQ(Rows(), 0);  // both lines of the book are empty now
}

TEST_P(Warehouse, GlassAndOtherItems) {
  cpk_.SetCPType(2);
  auto pane = [](const std::string& unit) {
    return Form("GC-01", "C1515", {"B1", "3F", "S60", "Fixed", "1000", "800", unit, "4", "", "0.8",
                                   "2"});
  };
  cpk_.UpdateNum(Id(7), pane("a"), true);
  cpk_.SetWaiGouBL(true);
  cpk_.UpdateNum(Id(7), pane("b"), true);
  EXPECT_EQ(Cell("SL & '|' & You1 & '|' & You2 & '|' & MianJi", 2), "4|1|2|0.8");
  EXPECT_EQ(Listed(), Names{"2"});  // the bought-in list
  cpk_.SetWaiGouBL(false);
  EXPECT_EQ(cpk_.GetDetail()->RowCount(), 2u);
  cpk_.UpdateNum(Id(1), pane("a"), false);
  EXPECT_EQ(Listed(), Names{"2"});

  cpk_.SetCPType(3);
  cpk_.UpdateNum(Id(7), Form("GC-01", "", {"B1", "3F", "", "Screen", "600x900", "FS-1", "pcs", "6",
                                           "", "0", "6"}),
                 true);
  EXPECT_EQ(Cell("SL & '|' & MianJi", 3), "10|6");  // SL is always 10
  cpk_.UpdateFaYunNumByID(Id(3), 6, 6);
  EXPECT_EQ(Cell("You1 & '|' & You2", 3), "6|6");
  EXPECT_EQ(Rows("WHERE CPType=3"), 1);  // not taken by the zero-quantity cleanup
}

TEST_P(Warehouse, ShippingListIsABookOfItsOwn) {
  cpk_.UpdateNum(Id(7), Window("2"), true);
  cpk_.SetFaYun(true);
  cpk_.UpdateNum(Id(7), Window("3", "10"), true);  // planned 10, shipped 3
  EXPECT_EQ(Cell("IsFaYun & '|' & SL & '|' & MianJi", 2), "1|3|7");
  EXPECT_EQ(Listed(), Names{"2"});
  cpk_.UpdateFaYunNumByID(Id(2), 12, 5);
  EXPECT_EQ(Cell("DanWei & '|' & SL & '|' & MianJi", 2), "12|5|7");
  cpk_.QingKongCPK();
  EXPECT_EQ(Listed(), Names{});
  cpk_.SetFaYun(false);
  EXPECT_EQ(cpk_.GetDetail()->RowCount(), 1u);
  cpk_.DelChengPin(Id(1));
  EXPECT_EQ(Rows(), 0);
}

TEST_P(Warehouse, ListsOfProjectsWindowsAndHistory) {
  ASSERT_EQ(Scalar("SELECT COUNT(*) FROM ProjectInfo WHERE Gcxx_ID=1").ToText(), "1");  // built in
  Exec("INSERT INTO ProjectInfo (Gcxx_ID, DaiMa) VALUES(3, 'GC-03')");
  Exec("INSERT INTO ProjectInfo (Gcxx_ID, DaiMa) VALUES(2, 'GC-02')");
  Exec("INSERT INTO ProjectWindow (gcmc_ID, gcxx_ID) VALUES(9, 2)");
  Exec("INSERT INTO ProjectWindow (gcmc_ID, gcxx_ID) VALUES(8, 2)");
  Exec("INSERT INTO ProjectWindow (gcmc_ID, gcxx_ID) VALUES(7, 3)");
  auto projects = cpk_.GetGC();
  EXPECT_EQ(events_.Names(), Names{"rsGC"});
  ASSERT_EQ(projects->RowCount(), 2u);
  EXPECT_EQ(projects->Value("DaiMa")->ToText(), "GC-02");
  auto windows = cpk_.GetMC(Id(2));
  EXPECT_EQ(events_.events.back().name, "rsMC");
  ASSERT_EQ(windows->RowCount(), 2u);
  EXPECT_EQ(windows->Value("gcmc_ID")->ToText(), "8");

  cpk_.UpdateNum(Id(7), Window("2"), true);
  Exec("INSERT INTO ChengPinKuCRMX (ID, GCDM, CPType, IsFaYun, DanHao, ChuRu) VALUES(5, 'GC-09', 0, 0, 'R1', '1')");
  EXPECT_EQ(cpk_.GetDetailByCode("GCDM LIKE 'gc-0%'")->RowCount(), 1u);
  cpk_.IsQueryBH(true);
  auto history = cpk_.GetDetailByCode("GCDM='GC-09'");
  ASSERT_EQ(history->RowCount(), 1u);
  EXPECT_EQ(history->Value("ID")->ToText(), "5");
  events_.events.clear();
  auto failed = cpk_.GetDetailByCode("NoSuchColumn=1");
  EXPECT_FALSE(failed->IsOpen());
  EXPECT_EQ(LastError(), "ServerForCPK.GetDetailByCode " + std::to_string(events_.events[0].args[1].long_value()));
}

INSTANTIATE_TEST_SUITE_P(Backends, Warehouse, testing::BothBackends(), testing::BackendName);

}  // namespace
}  // namespace dravmor
