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

// A form that cannot give one control's values.
class FormMissing : public FormRecord {
 public:
  FormMissing(std::shared_ptr<MemoryForm> form, std::string control)
      : form_(std::move(form)), control_(std::move(control)) {}
  Result<Variant> Read(std::string_view control, std::optional<int> index,
                       std::string_view property, std::optional<int> item) const override {
    if (control == control_ && (!index || *index == 0))
      return Status::Error(ErrorCode::kNoSuchMember, "no " + control_);
    return form_->Read(control, index, property, item);
  }

 private:
  std::shared_ptr<MemoryForm> form_;
  std::string control_;
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
    EXPECT_EQ(xc_.GetTY(Id(shared_id))->RowCount(), 2u);

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
    EXPECT_EQ(prompter.asked[0].text,
              "这条型材信息已经输入过了，您可以找到通用到这里即可。在这里也输入点击是，否则点击否。");
  }
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 型材"), 1);
  {
    // The question is asked outside the write transaction: no other
    // workstation waits while a person answers.
    struct WatchingPrompter : testing::RecordingPrompter {
      using RecordingPrompter::RecordingPrompter;
      PromptAnswer Ask(const PromptRequest& request) override {
        in_transaction.push_back(SharedConnection::ForThisThread()->InTransaction());
        return RecordingPrompter::Ask(request);
      }
      std::vector<bool> in_transaction;
    } prompter({PromptAnswer::Yes});
    Add(p);
    EXPECT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.in_transaction, std::vector<bool>{false});
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
  for (const char* code : {"K0", "KNULL", "K14"}) {
    Profile p;
    p.code = code;
    p.weight = "2";
    Add(p);
  }
  // Profiles without a wall thickness, 0 or empty, have no ratio to scale
  // by: their weights stay, the others scale, all get the new thickness.
  Exec("UPDATE 型材 SET BiHou=0 WHERE DaiMa='K0'");
  Exec("UPDATE 型材 SET BiHou=NULL WHERE DaiMa='KNULL'");
  xc_.SetChangeMZ(true);
  xc_.EditBiHouXc(2.8f);
  RowData rows = Query("SELECT MiZhong, BiHou FROM 型材 ORDER BY Xc_ID");
  ASSERT_EQ(rows.RowCount(), 3u);
  const double weights[] = {2, 2, 4};
  for (size_t r = 0; r < 3; ++r) {
    EXPECT_NEAR(*rows.cells[r * 2].ToDouble(), weights[r], 1e-5) << r;
    EXPECT_NEAR(*rows.cells[r * 2 + 1].ToDouble(), 2.8, 1e-5) << r;
  }
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
  // A material class without its row hides no profile from the list.
  Exec("UPDATE 型材 SET DaLei=99 WHERE DaiMa='KS60'");
  EXPECT_EQ(List(10), (Names{"KF60", "KS60"}));
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
  // A form value that cannot be read (a box, a list's chosen id) stops
  // the edit before it writes: no empty code, no 0 weight.
  Profile unreadable = renamed;
  unreadable.weight = "7";
  for (const char* control : {"txtXingCaiInfo", "lstDalei"}) {
    xc_.Edit_DYE_ChongFuXC(*other.ToCurrency(),
                           std::make_shared<FormMissing>(unreadable.Form(), control));
  }
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 型材 WHERE MiZhong=7 OR DaiMa=''"), 0);
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
  // The all-rows marker is no series or factory to add to.
  p.bihou = " 1.5";
  for (auto [series, factory] : {std::pair{-1, 1}, {10, -1}}) {
    xc_.SetXLID(series, factory);
    Add(p);
    EXPECT_NE(LastError().find("ServerForXingCai.AddXingCai"), std::string::npos);
  }
  xc_.SetXLID(10, 1);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 型材") + Count("SELECT COUNT(*) FROM 系列"), 4);

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
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 型材") + Count("SELECT COUNT(*) FROM 绑定"), 0);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM ChuRuDetail"), 1);  // an accessory's row stays
}

INSTANTIATE_TEST_SUITE_P(Backends, XingCaiCatalogue, testing::BothBackends(), testing::BackendName);

}  // namespace
}  // namespace dravmor
