// ServerForXingCai's catalogue: profiles of a series, shared profiles,
// duplicate codes, bulk edits, on an upgraded database.
#include <gtest/gtest.h>

#include "catalogue/server_for_xing_cai.h"
#include "engine/memory_form.h"
#include "tests/support/test_database.h"

namespace dravmor {
namespace {

using Names = std::vector<std::string>;
Currency Id(int64_t id) { return Currency::FromWhole(id); }

// A profile form as the caller's profile screen fills it.
struct Profile {
  std::string code = "KF60", name = "Frame", weight = "1.2", length = "6000", price = "12.5";
  std::string colour = "白色", bihou = "1.4", baojing = "100", guizheng = "50";
  int32_t category = 20, major = 1;
  bool liner = false;
  std::vector<int32_t> shared_with;  // series ticked in lstxilie
  std::shared_ptr<MemoryForm> Form() const {
    auto f = std::make_shared<MemoryForm>();
    const std::string texts[] = {code, name, weight, length, price, colour, bihou, baojing};
    for (int i = 0; i < 8; ++i) f->Set("txtXingCaiInfo[" + std::to_string(i) + "].Text", texts[i]);
    f->Set("txtGuiZheng.Text", guizheng);
    f->Set("cmbLeiBie.ListIndex", int32_t{1});
    f->Set("cmbLeiBie.ItemData(1)", category);
    f->Set("lstDalei.ListIndex", int32_t{0});
    f->Set("lstDalei.ItemData(0)", major);
    f->Set("optGangChen[0].Value", liner);
    f->Set("opttongyong[0].Value", shared_with.empty());
    // Two ticked entries and one left between them.
    f->Set("lstxilie.ListCount", static_cast<int32_t>(shared_with.size() * 2));
    for (size_t i = 0; i < shared_with.size(); ++i) {
      f->Set("lstxilie.Selected(" + std::to_string(2 * i) + ")", true);
      f->Set("lstxilie.ItemData(" + std::to_string(2 * i) + ")", shared_with[i]);
      f->Set("lstxilie.Selected(" + std::to_string(2 * i + 1) + ")", false);
      f->Set("lstxilie.ItemData(" + std::to_string(2 * i + 1) + ")", int32_t{99});
    }
    return f;
  }
};

class XingCaiCatalogue : public testing::UpgradedDatabase {
 protected:
  void SetUp() override {
    UpgradedDatabase::SetUp();
    if (IsSkipped()) return;
    xc_.SetEventSink(&events_);
    std::string cs = connection_string_;
    xc_.Connect(cs);
    xc_.SetSQLSERVER(false);
    for (int series : {10, 11, 12})
      Exec("INSERT INTO 系列 (XL_ID, CJ_ID, MingCheng, xllb) VALUES(" + std::to_string(series) +
           ", 1, 'S" + std::to_string(series) + "', 0)");
    Exec("INSERT INTO 系列 (XL_ID, CJ_ID, MingCheng, xllb) VALUES(20, 2, 'Other', 0)");
    Exec("INSERT INTO 类别 (LB_ID, MingCheng) VALUES(20, 'Frame')");
    Exec("INSERT INTO 类别 (LB_ID, MingCheng) VALUES(33, 'Joiner')");
    Exec("INSERT INTO XcDaLei VALUES (2, 'Heavy')");
    xc_.SetXLID(10, 1);
    events_.events.clear();
  }
  void Add(const Profile& p) { xc_.AddXingCai(p.Form()); }
  // Codes of the last rsResult, in list order.
  Names Listed() {
    const testing::RecordedEvent* e = events_.Last("rsResult");
    if (!e) return {"<no rsResult> " + LastError()};
    auto rs = e->args[0].ObjectAs<Recordset>();
    if (!rs || !rs->IsOpen()) return {"<unopened> " + LastError()};
    Names codes;
    const int at = *rs->IndexOf("Daima");
    for (size_t r = 0; r < rs->RowCount(); ++r)
      codes.push_back(rs->Data().cells[r * rs->Count() + at].ToText());
    return codes;
  }
  Names List(int32_t series, std::string code = "") {
    xc_.SetXLID(series, 1);
    events_.events.clear();
    xc_.GetXingCai(code);
    return Listed();
  }
  std::string LastError() {
    const testing::RecordedEvent* e = events_.Last("Accesserror");
    return e ? e->args[0].ToText() + " " + e->args[2].ToText() : "";
  }
  long Count(const std::string& sql) { return static_cast<long>(*Scalar(sql).ToInt64()); }

  ServerForXingCai xc_;
  testing::EventRecorder events_;
};

TEST_P(XingCaiCatalogue, SharedProfilesListInTheSeriesTheyAreSharedWithOnBothDialects) {
  for (bool is2000 : {false, true}) {
    SCOPED_TRACE(is2000 ? "SQL Server dialect" : "Jet dialect");
    Exec("DELETE FROM 型材");
    Exec("DELETE FROM TongYong");
    xc_.SetSQLSERVER(is2000);
    xc_.SetXLID(10, 1);
    Profile own;
    own.code = "OWN";
    Add(own);
    Profile shared;
    shared.code = "SHARED";
    shared.category = 33;
    shared.shared_with = {11, 12};
    Add(shared);
    ASSERT_EQ(LastError(), "");
    EXPECT_EQ(Listed(), (Names{"OWN", "SHARED"}));
    EXPECT_EQ(Count("SELECT COUNT(*) FROM TongYong"), 2);
    EXPECT_EQ(List(11), (Names{"SHARED"}));
    EXPECT_EQ(List(12, "HAR"), (Names{"SHARED"}));
    EXPECT_EQ(List(20), Names{});

    long shared_id = Count("SELECT xc_id FROM 型材 WHERE DaiMa='SHARED'");
    auto ty = xc_.GetTY(Id(shared_id));
    EXPECT_EQ(ty->RowCount(), 2u);

    // The joining-profile filter holds for one listing only.
    xc_.SetXLID(10, 1);
    xc_.SetONLY_PinJie(1);
    std::string all;
    xc_.GetXingCai(all);
    EXPECT_EQ(Listed(), (Names{"SHARED"}));
    xc_.GetXingCai(all);
    EXPECT_EQ(Listed(), (Names{"OWN", "SHARED"}));

    // Editing replaces the rows as a whole: now shared with 12 only, then
    // not at all.
    shared.shared_with = {12};
    xc_.EditXingCai(Id(shared_id), shared.Form());
    EXPECT_EQ(List(11), Names{});
    EXPECT_EQ(List(12), (Names{"SHARED"}));
    shared.shared_with = {};
    xc_.EditXingCai(Id(shared_id), shared.Form());
    EXPECT_EQ(Count("SELECT COUNT(*) FROM TongYong"), 0);
    EXPECT_EQ(List(12), Names{});
    EXPECT_EQ(LastError(), "");
  }
}

TEST_P(XingCaiCatalogue, DuplicateCodeAsksAndOnlyYesStoresItAgain) {
  Profile p;
  p.code = "K'60";  // quotes go through as data
  p.name = "O'Neill frame";
  {
    testing::RecordingPrompter prompter;
    Add(p);
    EXPECT_TRUE(prompter.asked.empty());  // first of its code
    Add(p);                               // answered No
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].style, PromptStyle::YesNo);
    EXPECT_EQ(prompter.asked[0].title, "操作提示");
    EXPECT_EQ(prompter.asked[0].text,
              "这条型材信息已经输入过了，您可以找到通用到这里即可。在这里也输入点击是，否则点击否。");
  }
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 型材"), 1);
  {
    testing::RecordingPrompter prompter({PromptAnswer::Yes});
    Add(p);
    EXPECT_EQ(prompter.asked.size(), 1u);
  }
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 型材 WHERE MingChengXC='O''Neill frame'"), 2);
  EXPECT_EQ(List(10, "K'6"), (Names{"K'60", "K'60"}));

  testing::RecordingPrompter prompter;
  // Another factory's code is no duplicate; nor is a profile's own code.
  xc_.SetXLID(20, 2);
  Add(p);
  xc_.SetXLID(20, 2);
  long other = Count("SELECT xc_id FROM 型材 WHERE cj_id=2");
  p.price = "13";
  xc_.EditXingCai(Id(other), p.Form());
  EXPECT_TRUE(prompter.asked.empty());
  // Renaming onto a taken code asks, and No leaves the row as it was.
  p.code = "K'60";
  xc_.SetXLID(10, 1);
  Profile fresh;
  fresh.code = "NEW";
  Add(fresh);
  long fresh_id = Count("SELECT xc_id FROM 型材 WHERE DaiMa='NEW'");
  xc_.EditXingCai(Id(fresh_id), p.Form());
  EXPECT_EQ(prompter.asked.size(), 1u);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 型材 WHERE DaiMa='NEW'"), 1);
  EXPECT_EQ(LastError(), "");
}

TEST_P(XingCaiCatalogue, ThicknessRescaleNeverBlanksWeights) {
  Profile p;
  p.weight = "2";
  Add(p);
  Exec("UPDATE 型材 SET BiHou=0");  // a profile without a wall thickness
  xc_.SetChangeMZ(true);
  xc_.EditBiHouXc(2.8f);
  // The rescale cannot divide by 0: weights stay as they were, the new
  // thickness is still written.
  EXPECT_NEAR(*Scalar("SELECT MiZhong FROM 型材").ToDouble(), 2, 1e-5);
  EXPECT_NEAR(*Scalar("SELECT BiHou FROM 型材").ToDouble(), 2.8, 1e-5);
}

TEST_P(XingCaiCatalogue, BulkEditsChangeOnlyTheCurrentSeries) {
  Profile p;
  p.weight = "2";
  Add(p);
  p.code = "KS60";
  p.major = 2;
  Add(p);
  xc_.SetXLID(11, 1);
  p.code = "X11";
  Add(p);
  xc_.SetXLID(10, 1);
  xc_.EditColorXc("O'Grey");
  xc_.SetChangeMZ(true);
  xc_.EditBiHouXc(2.8f);  // double the wall, double the weight
  xc_.EditJiaGeXc(20);
  xc_.EditJiaGeXcDaLei(30.5f, 2);
  EXPECT_EQ(Listed(), (Names{"KF60", "KS60"}));
  auto rows = Query("SELECT DaiMa, YS, BiHou, MiZhong, JiaGe FROM 型材 ORDER BY Xc_ID");
  auto cell = [&](size_t r, size_t c) { return rows.cells[r * 5 + c]; };
  ASSERT_EQ(rows.RowCount(), 3u);
  for (size_t r = 0; r < 2; ++r) {
    EXPECT_EQ(cell(r, 1).ToText(), "O'Grey");
    EXPECT_NEAR(*cell(r, 2).ToDouble(), 2.8, 1e-5);
    EXPECT_NEAR(*cell(r, 3).ToDouble(), 4, 1e-5);
  }
  EXPECT_NEAR(*cell(0, 4).ToDouble(), 20, 1e-9);
  EXPECT_NEAR(*cell(1, 4).ToDouble(), 30.5, 1e-9);
  EXPECT_EQ(cell(2, 1).ToText(), "白色");
  EXPECT_NEAR(*cell(2, 2).ToDouble(), 1.4, 1e-5);
  EXPECT_NEAR(*cell(2, 3).ToDouble(), 2, 1e-5);
  EXPECT_NEAR(*cell(2, 4).ToDouble(), 12.5, 1e-9);
}

TEST_P(XingCaiCatalogue, EditFindsTheSameProfileInOtherSeriesAndAppliesTheForm) {
  Profile p;
  Add(p);
  xc_.SetXLID(11, 1);
  {
    testing::RecordingPrompter yes({PromptAnswer::Yes});
    Add(p);
  }
  xc_.SetXLID(20, 2);
  Add(p);  // another factory's: not a look-alike
  xc_.SetXLID(10, 1);
  long first = Count("SELECT MIN(xc_id) FROM 型材");
  xc_.SetOLD_CodeName("KF60", "Frame");
  Profile renamed = p;
  renamed.code = "KF60B";
  renamed.name = "Frame B";
  renamed.bihou = "";  // an edit writes 0 for an empty box
  events_.events.clear();
  xc_.EditXingCai(Id(first), renamed.Form());
  EXPECT_EQ(events_.Names(), (Names{"rsResult", "rsChongFuDYE"}));
  auto alike = events_.Last("rsChongFuDYE")->args[0].ObjectAs<Recordset>();
  ASSERT_EQ(alike->RowCount(), 1u);
  Variant other = alike->Data().cells[*alike->IndexOf("xc_id")];
  xc_.Edit_DYE_ChongFuXC(*other.ToCurrency(), renamed.Form());
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 型材 WHERE DaiMa='KF60B' AND MingChengXC='Frame B' AND BiHou=0"), 2);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 型材 WHERE DaiMa='KF60' AND cj_id=2"), 1);
}

TEST_P(XingCaiCatalogue, AddRefusesTypedTextThatIsNoNumberAndDeleteTakesBindingsAndLedger) {
  Profile p;
  p.bihou = "1.4,1,1,1);DELETE FROM 系列;--";
  Add(p);
  EXPECT_NE(LastError().find("ServerForXingCai.AddXingCai"), std::string::npos);
  p.bihou = "";
  Add(p);
  EXPECT_NE(LastError().find("ServerForXingCai.AddXingCai"), std::string::npos);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 型材"), 0);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 系列"), 4);

  p.bihou = " 1.5";
  p.liner = true;
  Add(p);
  ASSERT_EQ(Count("SELECT COUNT(*) FROM 型材 WHERE GangChen='钢衬' AND BiHou=1.5"), 1);
  long id = Count("SELECT xc_id FROM 型材");
  Exec("INSERT INTO 绑定 (Bang_ID, Zhu_ID, Fu_ID) VALUES(1, " + std::to_string(id) + ", 7)");
  Exec("INSERT INTO 绑定 (Bang_ID, Zhu_ID, Fu_ID) VALUES(2, 7, " + std::to_string(id) + ")");
  Exec("INSERT INTO ChuRuDetail (ID, ChuRu, WuJianType, WuJianID) VALUES(1, 1, 0, " + std::to_string(id) + ")");
  Exec("INSERT INTO ChuRuDetail (ID, ChuRu, WuJianType, WuJianID) VALUES(2, 1, 1, " + std::to_string(id) + ")");
  events_.events.clear();
  xc_.DelXingCai(Id(id));
  EXPECT_EQ(LastError(), "");
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 型材"), 0);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 绑定"), 0);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM ChuRuDetail"), 1);  // an accessory's row stays
}

INSTANTIATE_TEST_SUITE_P(Backends, XingCaiCatalogue, testing::BothBackends(), testing::BackendName);

}  // namespace
}  // namespace dravmor
