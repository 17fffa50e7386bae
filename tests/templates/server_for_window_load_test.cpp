// ServerForWindowLoad on an upgraded database: paging at and past the last
// page and with page sizes that have no pages, moves at both ends of the
// sequence and a move that fails halfway, moving to a page and slot, the
// deletion cascade, quotes in names and find texts, the sample drawings.
#include <gtest/gtest.h>

#include "api/all_classes.h"
#include "engine/routines.h"
#include "templates/server_for_window_load.h"
#include "tests/support/test_database.h"

namespace dravmor {
namespace {

class WindowLoad : public testing::UpgradedDatabase {
 protected:
  void SetUp() override {
    UpgradedDatabase::SetUp();
    if (IsSkipped()) return;
    lib_.SetEventSink(&events_);
    std::string cs = connection_string_;
    lib_.Connect(cs);
    lib_.SetCaoZuoYuan("管理员");
  }
  void AddTemplate(int id, int type, const std::string& text, int ord,
                   const std::string& users = "管理员") {
    Exec("INSERT INTO 图库 (TK_ID,TkLuJing,TkShuoMing,Tklb,ShiGongJu,TkSuoDing,OwnerList,"
         "UserList,Ord,IsSuoDing) VALUES(" + std::to_string(id) + ",'" + std::to_string(id) +
         "','" + text + "'," + std::to_string(type) + ",0,0,'管理员','" + users + "'," +
         std::to_string(ord) + ",0)");
  }
  // Templates first .. last of type 2, listed in the reverse of their ids.
  void AddReversed(int first, int last) {
    for (int id = first; id <= last; ++id) AddTemplate(id, 2, "T" + std::to_string(id), 1000 - id);
  }
  static std::vector<long> Ids(const RecordsetPtr& rs) {
    std::vector<long> ids;
    if (!rs || !rs->IsOpen()) return ids;
    for (; !*rs->Eof(); rs->MoveNext()) ids.push_back(*(*rs->Value("TK_ID")).ToInt64());
    return ids;
  }
  // The last page handed to rsResult.
  std::vector<long> Page(int16_t page, int16_t size) {
    events_.events.clear();
    lib_.GetEveryPageWindow(page, size);
    const auto* e = events_.Last("rsResult");
    return e ? Ids(e->args[0].ObjectAs<Recordset>()) : std::vector<long>{};
  }
  // Ids of type 2 in list order, and the order values they hold.
  std::vector<long> Sequence() { return Ids(lib_.GetWindow(2, false)); }
  std::string Ords() {
    std::string out;
    RowData rows = Query("SELECT Ord FROM 图库 WHERE Tklb=2 ORDER BY Ord");
    for (const Variant& v : rows.cells) out += (out.empty() ? "" : ",") + v.ToText();
    return out;
  }
  std::string LastError() {
    const auto* e = events_.Last("Accesserror");
    return e ? e->args[0].ToText() + ": " + e->args[2].ToText() : "";
  }
  long Count(const std::string& sql) { return *Scalar(sql).ToInt64(); }
  Currency Id(long id) { return Currency::FromWhole(id); }

  ServerForWindowLoad lib_;
  testing::EventRecorder events_;
};

TEST_P(WindowLoad, PagesAtAndPastTheLastPage) {
  AddReversed(2, 16);
  lib_.SetWindowType(2);
  EXPECT_EQ(lib_.GetWindowPage(10), 2);
  EXPECT_EQ(Page(1, 10), (std::vector<long>{16, 15, 14, 13, 12, 11, 10, 9, 8, 7}));
  EXPECT_EQ(Page(2, 10), (std::vector<long>{6, 5, 4, 3, 2}));
  EXPECT_EQ(Page(3, 10), std::vector<long>{});  // past the last page: an empty page
  EXPECT_EQ(events_.Names(), std::vector<std::string>{"rsResult"});

  AddReversed(17, 21);  // 20 templates: two full pages
  EXPECT_EQ(lib_.GetWindowPage(10), 2);
  AddTemplate(22, 2, "T22", 1);
  EXPECT_EQ(lib_.GetWindowPage(10), 3);
  EXPECT_EQ(Page(3, 10), std::vector<long>{2});
  lib_.SetWindowType(4);
  EXPECT_EQ(lib_.GetWindowPage(10), 0);
  EXPECT_EQ(Page(1, 10), std::vector<long>{});
}

TEST_P(WindowLoad, PageSizesBelowOneAreErrorsOfTheCall) {
  AddReversed(2, 6);
  lib_.SetWindowType(2);
  for (int16_t size : {int16_t{0}, int16_t{-3}}) EXPECT_THROW(lib_.GetWindowPage(size), CallError);
  // Through the dispatch table the caller gets the failure of its call.
  const ClassInfo* info = AllClasses().Find("ServerForWindowLoad");
  ASSERT_NE(info, nullptr);
  std::vector<Variant> args{Variant(int16_t{0})};
  auto result = Invoke(lib_, *info->FindMethod("GetWindowPage"), args);
  EXPECT_FALSE(result.ok());
  EXPECT_TRUE(events_.events.empty());

  // The page query reports its bad arguments through Accesserror.
  EXPECT_EQ(Page(1, 0), std::vector<long>{});
  EXPECT_EQ(events_.Names(), std::vector<std::string>{"Accesserror"});
  EXPECT_EQ(Page(0, 10), std::vector<long>{});
  EXPECT_NE(LastError().find("ServerForWindowLoad.GetEveryPageWindow"), std::string::npos);
  // (400 - 1) * 100 rows before the page do not fit the 16-bit count.
  EXPECT_EQ(Page(400, 100), std::vector<long>{});
  EXPECT_EQ(events_.Last("Accesserror")->args[1].long_value(), ErrorCode::kOverflow);
  EXPECT_EQ(Page(1, 3), (std::vector<long>{6, 5, 4}));
}

TEST_P(WindowLoad, FindTextsScopeAndFiltersNarrowTheList) {
  AddReversed(2, 5);
  AddTemplate(7, 2, "O''Brien 平开", 10, "bob;carol");
  AddTemplate(8, 2, "平开 O''Brien", 11);
  AddTemplate(9, 1, "O''Brien", 12);
  lib_.SetWindowType(2);
  lib_.SetWindowFindBianMa("O'Brien");
  EXPECT_EQ(lib_.GetWindowPage(1), 2);
  EXPECT_EQ(Page(1, 1), std::vector<long>{7});
  EXPECT_EQ(Page(2, 1), std::vector<long>{8});
  // GetWindow lists with the find text, then forgets it.
  EXPECT_EQ(Sequence(), (std::vector<long>{7, 8}));
  EXPECT_EQ(lib_.GetWindowPage(10), 1);
  EXPECT_EQ(Sequence(), (std::vector<long>{7, 8, 5, 4, 3, 2}));

  lib_.SetCaoZuoYuan("bob", true);
  EXPECT_EQ(Sequence(), std::vector<long>{7});
  EXPECT_EQ(lib_.GetWindowPage(10), 1);
  lib_.SetCaoZuoYuan("bob", false);
  Exec("INSERT INTO WinFilter (Filter_ID,XL_ID,TK_ID) VALUES(1,30,5)");
  Exec("INSERT INTO WinFilter (Filter_ID,XL_ID,TK_ID) VALUES(2,31,4)");
  lib_.SetFilterXLID(30);
  EXPECT_EQ(Sequence(), (std::vector<long>{7, 8, 4, 3, 2}));

  // Type 6 pages as type 5 from then on.
  AddTemplate(10, 5, "百叶", 13);
  lib_.SetWindowType(6);
  EXPECT_EQ(Page(1, 10), std::vector<long>{10});
  EXPECT_EQ(lib_.GetWindowPage(10), 1);
  EXPECT_THROW(lib_.SetWindowType(300), CallError);
}

TEST_P(WindowLoad, UnitTemplatesListInNumericOrderOfTheirNumbers) {
  Exec("DELETE FROM 单元图库");
  Exec("INSERT INTO 单元图库 VALUES(1,'10','a',9)");
  Exec("INSERT INTO 单元图库 VALUES(2,'9','b',9)");
  Exec("INSERT INTO 单元图库 VALUES(3,'100','c',9)");
  Exec("INSERT INTO 单元图库 VALUES(4,'1','d',8)");
  RecordsetPtr rs = lib_.GetWindow(9, true);
  std::vector<long> ids;
  for (; !*rs->Eof(); rs->MoveNext()) ids.push_back(*(*rs->Value("dytk_ID")).ToInt64());
  EXPECT_EQ(ids, (std::vector<long>{2, 1, 3}));  // not 1, 3, 2 as texts
}

TEST_P(WindowLoad, MovesRotateTheOrderValuesAtAnyPlaceAndAtBothEnds) {
  for (int id = 2; id <= 6; ++id) AddTemplate(id, 2, "T", id * 10 - 10);  // Ord 10 .. 50
  AddTemplate(9, 3, "other type", 25);
  lib_.SetWindowType(2);
  int32_t up = -1, down = -1, total = -1;
  lib_.GetMaxUpDown(Id(4), 30, up, down, total);
  EXPECT_EQ(std::vector<int32_t>({up, down, total}), std::vector<int32_t>({2, 2, 5}));

  lib_.SetTk_Move(true, 2, Id(4), 30);  // third becomes first
  EXPECT_EQ(Sequence(), (std::vector<long>{4, 2, 3, 5, 6}));
  EXPECT_EQ(Ords(), "10,20,30,40,50");
  lib_.SetTk_Move(false, 1, Id(2), 20);
  // At the top nothing is above, at the bottom nothing below: no move.
  lib_.SetTk_Move(true, 1, Id(4), 10);
  lib_.SetTk_Move(false, 3, Id(6), 50);
  EXPECT_EQ(Sequence(), (std::vector<long>{4, 3, 2, 5, 6}));
  // More steps than there are rows: to the far end.
  lib_.SetTk_Move(false, 10, Id(4), 10);
  EXPECT_EQ(Sequence(), (std::vector<long>{3, 2, 5, 6, 4}));
  lib_.SetTk_Move(true, 0, Id(5), 30);
  EXPECT_EQ(Sequence(), (std::vector<long>{3, 2, 5, 6, 4}));
  EXPECT_EQ(Ords(), "10,20,30,40,50");
  EXPECT_EQ(Scalar("SELECT Ord FROM 图库 WHERE TK_ID=9").ToText(), "25");
  EXPECT_EQ(events_.Last("Accesserror"), nullptr) << LastError();

  // A stale order value or a negative step count moves nothing.
  lib_.SetTk_Move(true, 1, Id(4), 30);
  EXPECT_NE(LastError().find("ServerForWindowLoad.SetTk_Move"), std::string::npos);
  lib_.SetTk_Move(true, -1, Id(4), 50);
  EXPECT_EQ(events_.Last("Accesserror")->args[1].long_value(), ErrorCode::kBadArgument);
  EXPECT_EQ(Sequence(), (std::vector<long>{3, 2, 5, 6, 4}));
  EXPECT_EQ(Ords(), "10,20,30,40,50");
}

TEST_P(WindowLoad, AMoveThatFailsHalfwayChangesNothing) {
  for (int id = 2; id <= 6; ++id) AddTemplate(id, 2, "T", id * 10 - 10);
  lib_.SetWindowType(2);
  // The second update of the rotation (template 2 taking 20) is refused.
  Backend* db = connection_->backend();
  if (OnServer()) {
    ASSERT_TRUE(db->Execute("CREATE FUNCTION refuse_two() RETURNS trigger AS $$ BEGIN "
                            "IF NEW.tk_id = 2 THEN RAISE EXCEPTION 'refused'; END IF; "
                            "RETURN NEW; END $$ LANGUAGE plpgsql").ok());
    ASSERT_TRUE(db->Execute("CREATE TRIGGER refuse BEFORE UPDATE ON 图库 FOR EACH ROW "
                            "EXECUTE FUNCTION refuse_two()").ok());
  } else {
    ASSERT_TRUE(db->Execute("CREATE TRIGGER refuse BEFORE UPDATE ON 图库 WHEN NEW.TK_ID=2 "
                            "BEGIN SELECT RAISE(ABORT, 'refused'); END").ok());
  }
  lib_.SetTk_Move(true, 2, Id(4), 30);
  EXPECT_NE(LastError().find("ServerForWindowLoad.SetTk_Move"), std::string::npos);
  EXPECT_EQ(Sequence(), (std::vector<long>{2, 3, 4, 5, 6}));
  EXPECT_EQ(Ords(), "10,20,30,40,50");

  lib_.SetPgTu(2);
  lib_.SetTk_PageOrd(1, 1, Id(6), 50);
  EXPECT_NE(LastError().find("ServerForWindowLoad.SetTk_PageOrd"), std::string::npos);
  EXPECT_EQ(Sequence(), (std::vector<long>{2, 3, 4, 5, 6}));
}

TEST_P(WindowLoad, MovesToAPageAndSlot) {
  for (int id = 2; id <= 6; ++id) AddTemplate(id, 2, "T", id * 10 - 10);
  lib_.SetWindowType(2);
  lib_.SetPgTu(2);
  lib_.SetTk_PageOrd(1, 2, Id(6), 50);  // the last to the second slot
  EXPECT_EQ(Sequence(), (std::vector<long>{2, 6, 3, 4, 5}));
  lib_.SetTk_PageOrd(2, 2, Id(2), 10);  // the first to the fourth place
  EXPECT_EQ(Sequence(), (std::vector<long>{6, 3, 4, 2, 5}));
  lib_.SetTk_PageOrd(9, 1, Id(3), 20);  // beyond the last: to the end
  EXPECT_EQ(Sequence(), (std::vector<long>{6, 4, 2, 5, 3}));
  lib_.SetPgTu(0);  // no page size: the slot alone is the place
  lib_.SetTk_PageOrd(7, 1, Id(5), 40);
  EXPECT_EQ(events_.Last("Accesserror"), nullptr);
  lib_.SetTk_PageOrd(1, 0, Id(5), 10);  // before the first slot
  EXPECT_NE(LastError().find("ServerForWindowLoad.SetTk_PageOrd"), std::string::npos);
  EXPECT_EQ(Sequence(), (std::vector<long>{5, 6, 4, 2, 3}));
  EXPECT_EQ(Ords(), "10,20,30,40,50");
}

TEST_P(WindowLoad, DeletingATemplateTakesItsRowsAndLeavesOthers) {
  AddTemplate(5, 2, "gone", 5);
  AddTemplate(6, 2, "stays", 6);
  // Window 1 has a detail of template 5 and one of 6; window 2 only of 6.
  Exec("INSERT INTO ProjectWindow (gcmc_ID,gcxx_ID) VALUES(1,1)");
  Exec("INSERT INTO ProjectWindow (gcmc_ID,gcxx_ID) VALUES(2,1)");
  Exec("INSERT INTO ProjectWindowDetail (mcmx_ID,gcmc_ID,TK_ID) VALUES(1,1,5)");
  Exec("INSERT INTO ProjectWindowDetail (mcmx_ID,gcmc_ID,TK_ID) VALUES(3,1,6)");
  Exec("INSERT INTO ProjectWindowDetail (mcmx_ID,gcmc_ID,TK_ID) VALUES(2,2,6)");
  for (int detail : {1, 2, 3})
    Exec("INSERT INTO XiaV (ID,Mcmx_ID,XcGS_ID) VALUES (" + std::to_string(detail) + "," +
         std::to_string(detail) + ",1)");
  // The window template's rows, of any series, keyed by its id.
  const std::vector<std::pair<std::string, std::string>> window_rows = {
      {"型材组合公式", "xczhgs_id,tk_id"}, {"配件组合公式", "pjzhgs_id,tk_id"},
      {"玻璃组合公式", "blzhgs_id,tk_id"}, {"FormulaV", "ID,TKID"},
      {"DetailBlock", "Block_ID,TK_ID"},   {"WinFilter", "Filter_ID,TK_ID"},
      {"ShanJiaGong", "SJG_ID,TK_ID"},     {"WZSBGT", "ID,TK_ID"}};
  // Unit template 5: another library, another numbering.
  const std::vector<std::pair<std::string, std::string>> unit_rows = {
      {"型材单元公式", "xcdygs_id,dytk_id"}, {"配件单元公式", "pjdygs_id,dytk_id"},
      {"玻璃单元公式", "bldygs_id,dytk_id"}, {"FormulaDYV", "ID,DYTK_ID"},
      {"GeneralBlock", "Block_ID,TK_ID"},  {"ShanJiaGongDY", "SJGDY_ID,DYTK_ID"}};
  for (const auto* rows : {&window_rows, &unit_rows})
    for (const auto& [table, columns] : *rows) {
      ASSERT_TRUE(*TableExists(*connection_, table)) << table;
      for (int tk : {5, 6})
        Exec("INSERT INTO " + table + " (" + columns + ") VALUES(" + std::to_string(tk) + "," +
             std::to_string(tk) + ")");
    }
  auto key_of = [](const std::string& columns) { return columns.substr(columns.find(',') + 1); };
  lib_.DelWindow(Id(5));
  EXPECT_TRUE(events_.events.empty()) << LastError();
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 图库 WHERE TK_ID IN (1,5,6)"), 2);
  // The window built from it goes whole, details and cutting values too.
  EXPECT_EQ(Count("SELECT gcmc_ID FROM ProjectWindow"), 2);
  EXPECT_EQ(Count("SELECT mcmx_ID FROM ProjectWindowDetail"), 2);
  EXPECT_EQ(Count("SELECT Mcmx_ID FROM XiaV"), 2);
  for (const auto& [table, columns] : window_rows) {
    EXPECT_EQ(Count("SELECT COUNT(*) FROM " + table + " WHERE " + key_of(columns) + "=5"), 0) << table;
    EXPECT_EQ(Count("SELECT COUNT(*) FROM " + table + " WHERE " + key_of(columns) + "=6"), 1) << table;
  }
  for (const auto& [table, columns] : unit_rows)
    EXPECT_EQ(Count("SELECT COUNT(*) FROM " + table), 2) << table;

  // A cascade that fails on its way undoes what it had deleted.
  Exec("DROP TABLE WinFilter");
  lib_.DelWindow(Id(6));
  EXPECT_NE(LastError().find("ServerForWindowLoad.DelWindow"), std::string::npos);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 图库 WHERE TK_ID=6") + Count("SELECT COUNT(*) FROM ProjectWindow") +
                Count("SELECT COUNT(*) FROM FormulaV WHERE TKID=6"), 3);
}

TEST_P(WindowLoad, LocksAndNames) {
  AddTemplate(5, 2, "old", 5);
  lib_.SetSuoDing(Id(5), 1);
  lib_.SetTKSuoDing(Id(5), 1);
  EXPECT_EQ(lib_.GetSuoDing(Id(5)), 1);
  EXPECT_EQ(Count("SELECT TkSuoDing FROM 图库 WHERE TK_ID=5"), 1);
  lib_.UpdateTkName(Id(5), "Tom's 'double' window");
  EXPECT_EQ(Scalar("SELECT TkShuoMing FROM 图库 WHERE TK_ID=5").ToText(),
            "Tom's 'double' window");
  Exec("DROP TABLE 图库");
  EXPECT_THROW(lib_.UpdateTkName(Id(5), "x"), CallError);
  EXPECT_EQ(lib_.GetSuoDing(Id(5)), 0);  // resume next: nothing reported
  EXPECT_TRUE(events_.events.empty());
}

TEST_P(WindowLoad, SampleDrawingsPageBySixteen) {
  Exec("DELETE FROM 单元图库 WHERE DyTklb=6");
  for (int i = 0; i < 20; ++i)
    Exec("INSERT INTO 单元图库 VALUES(" + std::to_string(9000 + i) + ",'" +
         std::to_string(2000 + i) + "','示意图',6)");
  EXPECT_EQ(lib_.GetSYT(), 2);
  auto page = [&](int32_t p) {
    events_.events.clear();
    lib_.GetPageSYT(p);
    EXPECT_EQ(events_.Names(), std::vector<std::string>{"rsSYTResult"});
    return events_.Last("rsSYTResult")->args[0].ObjectAs<Recordset>();
  };
  EXPECT_EQ(page(1)->RowCount(), 16u);
  RecordsetPtr second = page(2);
  ASSERT_EQ(second->RowCount(), 4u);
  EXPECT_EQ((*second->Value("dytk_ID")).ToText(), "9016");
  EXPECT_FALSE(page(0)->IsOpen());
  Exec("DELETE FROM 单元图库 WHERE dytk_ID>=9016");
  EXPECT_EQ(lib_.GetSYT(), 1);  // exactly one full page
}

INSTANTIATE_TEST_SUITE_P(Backends, WindowLoad, testing::BothBackends(), testing::BackendName);

}  // namespace
}  // namespace dravmor
