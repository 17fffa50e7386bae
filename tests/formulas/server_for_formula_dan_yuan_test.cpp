// ServerForFormulaDanYuan end to end on an upgraded database: formulas and
// their order, formula units, and formula copy.
#include <map>

#include <gtest/gtest.h>

#include "engine/memory_form.h"
#include "engine/text.h"
#include "formulas/server_for_formula_dan_yuan.h"
#include "tests/support/test_database.h"

namespace dravmor {
namespace {

using Names = std::vector<std::string>;
Currency Id(int64_t id) { return Currency::FromWhole(id); }

class FormulaDanYuan : public testing::UpgradedDatabase {
 protected:
  void SetUp() override {
    UpgradedDatabase::SetUp();
    if (IsSkipped()) return;
    f_.SetEventSink(&events_);
    std::string cs = connection_string_;
    f_.Connect(cs);
    Exec("INSERT INTO 型材 (Xc_ID, XL_ID, MingChengXC, DaiMa) VALUES(3,1,'框','K1')");
    Exec("INSERT INTO 配件 (PJ_ID, DaiMa, MingCheng, GuiGe) VALUES(4,'P1','锁','L')");
    Exec("INSERT INTO 类别 (LB_ID, MingCheng, LvSu) VALUES(7,'边框',0)");
  }
  static std::shared_ptr<MemoryForm> Form(const std::map<std::string, Variant>& values) {
    auto form = std::make_shared<MemoryForm>();
    for (const auto& [key, value] : values) form->Set(key, value);
    return form;
  }
  static std::shared_ptr<MemoryForm> Texts(const std::string& a, const std::string& b = "b",
                                           const std::string& c = "c",
                                           const std::string& bldh = "g", int family = 0) {
    return Form({{"txtformula[0].Text", a},
                 {"txtformula[1].Text", b},
                 {"txtformula[2].Text", c},
                 {"txtbldh.Text", bldh},
                 {"cmbLvSu.ListIndex", int32_t{family}}});
  }
  static std::shared_ptr<MemoryForm> Values(const std::string& dir, const std::string& v0) {
    std::map<std::string, Variant> values{{"combWeiZhi.Text", dir}, {"txtCaiLiao.Text", "料'1"}};
    for (int i = 0; i <= 10; ++i)
      values["txtV[" + std::to_string(i) + "].Text"] = i == 0 ? v0 : "v" + std::to_string(i);
    return Form(values);
  }
  // Each row's cells joined by "|", rows in the query's order.
  Names Rows(const std::string& sql) {
    RowData data = Query(sql);
    Names rows;
    for (size_t r = 0; r < data.RowCount(); ++r) {
      std::string row;
      for (size_t c = 0; c < data.fields.size(); ++c) {
        const Variant& v = data.cells[r * data.fields.size() + c];
        row += (c ? "|" : "") + (v.IsNull() ? std::string("~") : v.ToText());
      }
      rows.push_back(row);
    }
    return rows;
  }
  int64_t Count(const std::string& sql) { return *Scalar(sql).ToInt64(); }
  // "id:order" of the window profile formulas of template 9, series 1.
  Names Order() {
    return Rows("SELECT xczhgs_id & ':' & ShunXu FROM 型材组合公式 WHERE tk_id=9 AND XL_ID=1 "
                "ORDER BY ShunXu, xczhgs_id");
  }
  std::string LastError() {
    auto* e = events_.Last("Accesserror");
    return e ? e->args[0].ToText() : "";
  }
  size_t Listed() {
    auto* e = events_.Last("rsFormula");
    if (!e) return 0;
    auto rs = e->args[0].ObjectAs<Recordset>();
    return rs && rs->IsOpen() ? rs->RowCount() : 99;
  }
  // Makes every update of one row of a table fail, in the backend's own SQL.
  void BlockUpdates(const std::string& table, const std::string& id_column, int id) {
    Backend* backend = connection_->backend();
    const std::string column = ToLowerAscii(id_column);
    if (OnServer()) {
      ASSERT_TRUE(backend->Execute("CREATE FUNCTION block_row() RETURNS trigger AS $$ BEGIN "
                                   "RAISE EXCEPTION 'blocked'; END $$ LANGUAGE plpgsql")
                      .ok());
      ASSERT_TRUE(backend->Execute("CREATE TRIGGER block_row BEFORE UPDATE ON " + table +
                                   " FOR EACH ROW WHEN (NEW." + column + " = " +
                                   std::to_string(id) + ") EXECUTE FUNCTION block_row()")
                      .ok());
    } else {
      ASSERT_TRUE(backend->Execute("CREATE TRIGGER block_row BEFORE UPDATE ON " + table +
                                   " WHEN NEW." + column + " = " + std::to_string(id) +
                                   " BEGIN SELECT RAISE(ABORT, 'blocked'); END")
                      .ok());
    }
  }
  void AddWindowProfiles(int count) {
    f_.GetDanChuang(true);
    f_.GetTuID(Id(9));
    f_.GetXLID(Id(1));
    for (int i = 1; i <= count; ++i) f_.AddFormula(Texts("L" + std::to_string(i)), 1, Id(3));
  }

  ServerForFormulaDanYuan f_;
  testing::EventRecorder events_;
};

TEST_P(FormulaDanYuan, OrderFollowsAddsDeletesAndMovesAtBothEnds) {
  AddWindowProfiles(6);
  EXPECT_EQ(Listed(), 6u);
  EXPECT_EQ(f_.GetMaxWeiShu(5, true, 4), 4);
  EXPECT_EQ(f_.GetMaxWeiShu(5, false, 4), 1);
  // Up by 2 takes the place of the second row above; those between move down.
  f_.SetWeiShu(2);
  f_.UpDown(Id(5), 4, Id(5), true);
  EXPECT_EQ(Order(), (Names{"1:1", "2:2", "5:3", "3:4", "4:5", "6:6"}));
  // Bottom to top, then top to bottom.
  f_.SetWeiShu(5);
  f_.UpDown(Id(6), 4, Id(6), true);
  EXPECT_EQ(Order(), (Names{"6:1", "1:2", "2:3", "5:4", "3:5", "4:6"}));
  f_.UpDown(Id(1), 4, Id(6), false);
  EXPECT_EQ(Order(), (Names{"1:1", "2:2", "5:3", "3:4", "4:5", "6:6"}));
  EXPECT_EQ(LastError(), "");
  // Past either end: reported, nothing moves.
  f_.SetWeiShu(1);
  f_.UpDown(Id(1), 4, Id(1), true);
  EXPECT_EQ(LastError(), "ServerForFormulaDanYuan.Up");
  events_.events.clear();
  f_.SetWeiShu(2);
  f_.UpDown(Id(5), 4, Id(4), false);
  EXPECT_EQ(LastError(), "ServerForFormulaDanYuan.Up");
  EXPECT_EQ(Order(), (Names{"1:1", "2:2", "5:3", "3:4", "4:5", "6:6"}));
  // No distance: no move (a zero distance would have put the row at 0).
  f_.SetWeiShu(0);
  f_.UpDown(Id(4), 4, Id(3), true);
  EXPECT_EQ(Order(), (Names{"1:1", "2:2", "5:3", "3:4", "4:5", "6:6"}));
  // Deleting leaves a gap; a new row goes after the last, under an id never
  // used before.
  Exec("INSERT INTO FormulaV (ID, TKID, XLID, xcID, ShunXu, xcGS_ID) VALUES(1,9,1,3,1,6)");
  Exec("INSERT INTO XiaV (ID, XcGS_ID) VALUES(1,6)");
  f_.DelFormula(Id(6), 4);
  f_.DelFormula(Id(1), 4);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM FormulaV") + Count("SELECT COUNT(*) FROM XiaV"), 0);
  f_.AddFormula(Texts("L7"), 1, Id(3));
  EXPECT_EQ(Order(), (Names{"2:2", "5:3", "3:4", "4:5", "7:6"}));
  // The extra condition narrows one move, then is gone.
  f_.SetWeiShu(1);
  f_.strSQL(" AND xczhgs_id<>5");
  f_.UpDown(Id(4), 4, Id(3), true);
  EXPECT_EQ(Order(), (Names{"3:2", "2:3", "5:3", "4:5", "7:6"}));
  EXPECT_EQ(f_.GetMaxWeiShu(6, true, 4), 4);
}

TEST_P(FormulaDanYuan, AMoveFailingHalfWayLeavesTheOrderAsItWas) {
  AddWindowProfiles(4);
  BlockUpdates("型材组合公式", "xczhgs_id", 4);
  f_.SetWeiShu(3);
  f_.UpDown(Id(4), 4, Id(4), true);  // the others shift, then the moved row fails
  EXPECT_EQ(LastError(), "ServerForFormulaDanYuan.Up");
  EXPECT_EQ(Order(), (Names{"1:1", "2:2", "3:3", "4:4"}));
}

TEST_P(FormulaDanYuan, UnitFormulasMoveWithinTheirTemplateAndSeries) {
  f_.GetTuID(Id(20));
  f_.GetXLID(Id(1));
  for (int i = 0; i < 3; ++i) f_.AddFormula(Texts("U"), 1, Id(7));
  f_.GetTuID(Id(21));
  f_.AddFormula(Texts("other"), 1, Id(7));
  f_.GetTuID(Id(20));
  f_.SetWeiShu(2);
  f_.UpDown(Id(3), 1, Id(3), true);
  EXPECT_EQ(Rows("SELECT xcdygs_id & ':' & ShunXu FROM 型材单元公式 ORDER BY xcdygs_id"),
            (Names{"1:2", "2:3", "3:1", "4:1"}));
  EXPECT_EQ(Listed(), 3u);
}

TEST_P(FormulaDanYuan, TextsAreStoredAsTypedAtBothLevels) {
  const std::string q = "L-2*'a'+\"b\"";
  f_.GetTuID(Id(9));
  f_.GetXLID(Id(1));
  f_.SetGsID(Id(1));
  for (bool window : {true, false}) {
    f_.GetDanChuang(window);
    const Variant clid = window ? Id(3) : Id(7);
    for (uint8_t kind = 1; kind <= 6; ++kind) {
      if (kind == 4)
        f_.AddFormula(Values("上'", q), 4, window ? Id(3) : Id(9));
      else
        f_.AddFormula(Texts(q, q, kind == 3 ? "2x'" : q, q), kind,
                      kind == 2 && window ? Id(4) : clid.currency());
      EXPECT_EQ(Listed(), 1u) << window << int(kind);
    }
  }
  EXPECT_EQ(LastError(), "");
  EXPECT_EQ(Rows("SELECT Gs, Shuliang, xlFS, ShunXu FROM 型材组合公式"),
            Names{q + "|" + q + "|" + q + "|1"});
  EXPECT_EQ(Rows("SELECT Gs, Fa, LvSu FROM 配件单元公式"), Names{q + "|" + q + "|0"});
  // The window glass quantity keeps its text; the unit one is a number.
  EXPECT_EQ(Rows("SELECT ShuLiang, zhBLDH FROM 玻璃组合公式"), Names{"2x'|" + q});
  EXPECT_EQ(Rows("SELECT ShuLiang, dyBLDH FROM 玻璃单元公式"), Names{"2|" + q});
  EXPECT_EQ(Rows("SELECT Dir, Hv, Lv10, CLMC, xcGS_ID FROM FormulaV"),
            Names{"上'|" + q + "|v10|料'1|1"});
  EXPECT_EQ(Rows("SELECT Dir, Hv, DYTK_ID, xcDYGS_ID FROM FormulaDYV"),
            Names{"上'|" + q + "|9|1"});
  EXPECT_EQ(Rows("SELECT XL_ID, TK_ID, bk_CODE, bk_STR FROM DetailBlock"),
            Names{"1|9|" + q + "|" + q});
  EXPECT_EQ(Rows("SELECT ShanName, IsShaShan FROM ShanJiaGongDY"), Names{q + "|0"});
  // Edits write the same columns from the same controls.
  f_.GetDanChuang(false);
  f_.EditFormula(Id(1), Texts("e'1", "e2", "abc", "d'"), 3);
  f_.EditFormula(Id(1), Values("下", "h'"), 4);
  f_.GetDanChuang(true);
  f_.EditFormula(Id(1), Texts("e'1", "e2", "e3", "7"), 6);
  EXPECT_EQ(LastError(), "");
  EXPECT_EQ(Rows("SELECT Gs_Chang, ShuLiang, dyBLDH FROM 玻璃单元公式"), Names{"e'1|0|d'"});
  EXPECT_EQ(Rows("SELECT Dir, Hv FROM FormulaDYV"), Names{"下|h'"});
  EXPECT_EQ(Rows("SELECT ShanName, ShanH, ShanW, IsShaShan FROM ShanJiaGong"),
            Names{"e3|e'1|e2|7"});
  // The free text of a template, written once and rewritten in place.
  f_.SetGTFormula(Id(9), Id(1), "a'b");
  f_.SetGTFormula(Id(9), Id(1), q);
  EXPECT_EQ(f_.GetGTFormula(Id(9), Id(1)), q);
  EXPECT_EQ(f_.GetGTFormula(Id(9), Id(2)), "");
  EXPECT_EQ(Count("SELECT COUNT(*) FROM WZSBGT"), 1);
  // A kind no table answers to is an error, not a crash; a listing of one
  // hands out an unopened set, and later edits re-list that kind.
  f_.GetFormula(7);
  EXPECT_EQ(Listed(), 99u);
  f_.EditFormula(Id(1), Texts("again"), 1);
  EXPECT_EQ(Listed(), 99u);
  f_.GetFormula(2);
  f_.EditFormula(Id(1), Texts("again"), 1);
  EXPECT_EQ(events_.Last("rsFormula")->args[0].ObjectAs<Recordset>()->Count(), 8u);
  EXPECT_EQ(Rows("SELECT Gs FROM 型材组合公式"), Names{"again"});
  f_.AddFormula(Texts("x"), 9, Id(3));
  EXPECT_EQ(LastError(), "ServerForFormulaDanYuan.AddFormula");
  // A NUL in a formula is refused by name, not as a syntax error.
  f_.EditFormula(Id(1), Texts(std::string("L-2\0*a", 6)), 1);
  EXPECT_EQ(LastError(), "ServerForFormulaDanYuan.EditFormula");
  EXPECT_NE(events_.Last("Accesserror")->args[2].ToText().find("NUL character (code 0)"),
            std::string::npos);
  EXPECT_EQ(Rows("SELECT Gs FROM 型材组合公式"), Names{"again"});
}

TEST_P(FormulaDanYuan, FormulaUnitsAndTheirCopy) {
  const std::string flags = "0,1,0,0,0,0)";
  f_.GetTuID(Id(30));
  f_.AddFormulaUnit(Texts("a'1", "b", "c"), "型材公式", Id(7), "PK=1", flags);
  f_.AddFormulaUnit(Texts("a2", "b", "c"), "型材公式", Id(7), "PK=1", flags);
  f_.AddFormulaUnit(Texts("p", "f'"), "配件公式", Id(7), "PK=1", flags);
  f_.AddFormulaUnit(Texts("x", "y", "2ab", "g'"), "玻璃公式", Id(0), "PK=1", flags);
  f_.AddFormulaUnit(Texts("h", "w", "扇'", "1"), "扇加工图", Id(0), "PK=1", flags);
  EXPECT_EQ(Rows("SELECT GS, ShunXu FROM UnitXingCai ORDER BY xcUnitGs_ID"),
            (Names{"a'1|1", "a2|2"}));
  EXPECT_EQ(Rows("SELECT LB_ID, ShuLiang, BLDH, PK FROM UnitBoLi"), Names{"29|2|g'|1"});
  EXPECT_EQ(Rows("SELECT ShanName, IsShaShan, LB_ID FROM UnitShanJiaGong"), Names{"扇'|1|29"});
  f_.GetFormulaUnit(Id(30), "PK=1", "型材公式");
  EXPECT_EQ(Listed(), 2u);
  f_.EditFormulaUnit(Id(1), Texts("e'", "x", "abc", "k"), "玻璃公式", "");
  EXPECT_EQ(Rows("SELECT GS_Chang, ShuLiang, BLDH FROM UnitBoLi"), Names{"e'|0|k"});

  // Target 31 has rows of its own; a source that cannot be read keeps them.
  f_.GetTuID(Id(31));
  f_.AddFormulaUnit(Texts("old"), "型材公式", Id(7), "PK=1", flags);
  f_.AddFormulaUnit(Texts("old", "w", "old"), "扇加工图", Id(0), "PK=1", flags);
  f_.SetCopyXingCai(true);
  f_.CopyFormulaUnit(Id(30), Id(31), "NoSuchColumn=1", "PK=1", flags);
  EXPECT_EQ(Rows("SELECT GS FROM UnitXingCai WHERE unitTK_ID=31"), Names{"old"});
  EXPECT_EQ(Rows("SELECT ShanName FROM UnitShanJiaGong WHERE unitTK_ID=31"), Names{"old"});
  // A failing insert puts everything back.
  f_.CopyFormulaUnit(Id(30), Id(31), "PK=1", "PK=1", "0,1,0,0,0,0,9)");
  EXPECT_EQ(Rows("SELECT GS FROM UnitXingCai WHERE unitTK_ID=31"), Names{"old"});
  EXPECT_EQ(events_.Last("Accesserror"), nullptr);
  // Switches off but profiles: accessories and glass stay, sash is replaced.
  f_.CopyFormulaUnit(Id(30), Id(31), "PK=1", "PK=1", "0,0,1,0,0,0)");
  EXPECT_EQ(Rows("SELECT GS, ShunXu, GD FROM UnitXingCai WHERE unitTK_ID=31 ORDER BY xcUnitGs_ID"),
            (Names{"a'1|1|1", "a2|2|1"}));
  EXPECT_EQ(Rows("SELECT ShanName FROM UnitShanJiaGong WHERE unitTK_ID=31"), Names{"扇'"});
  EXPECT_EQ(Count("SELECT COUNT(*) FROM UnitPeiJian WHERE unitTK_ID=31"), 0);
  // Each copy takes a key never handed out before, the target's old row's
  // included.
  EXPECT_EQ(Count("SELECT MIN(xcUnitGs_ID) FROM UnitXingCai WHERE unitTK_ID=31"), 4);
  f_.DelFormulaUnit(Id(4), "型材公式", "");
  EXPECT_EQ(Count("SELECT COUNT(*) FROM UnitXingCai WHERE unitTK_ID=31"), 1);
}

TEST_P(FormulaDanYuan, CasementProfileRowsGetAFixedWindowTwin) {
  // PostgreSQL does not compare the number column with the text one.
  Exec("INSERT INTO 单元图库 VALUES(900,'40','unit',0)");
  Exec("INSERT INTO 单元图库 VALUES(901,'41','unit',1)");
  Exec("INSERT INTO UnitXingCai VALUES(5,40,1907,'a''',NULL,2,'x',0,1,0,0,0,0)");
  Exec("INSERT INTO UnitXingCai VALUES(6,40,8,'b','2',3,'y',0,1,0,0,0,0)");
  Exec("INSERT INTO UnitXingCai VALUES(7,40,8,'fixed','2',3,'y',0,0,1,0,0,0)");
  Exec("INSERT INTO UnitXingCai VALUES(8,41,8,'other kind','2',3,'y',0,1,0,0,0,0)");
  f_.ExecuteSQL();
  // The first twin takes the largest key plus two.
  EXPECT_EQ(Rows("SELECT xcUnitGs_ID, unitTK_ID, LB_ID, GS, ShuLiang, ShunXu, xlFS, PK, GD FROM "
                 "UnitXingCai WHERE xcUnitGs_ID>8 ORDER BY xcUnitGs_ID"),
            (Names{"10|40|29|a'|~|2|x|0|1", "11|40|8|b|2|3|y|0|1"}));
}

// A source template 9 in series 1 with every kind, position values under
// both profile formulas, and a target 10 with rows of its own.
class FormulaCopy : public FormulaDanYuan {
 protected:
  void SetUp() override {
    FormulaDanYuan::SetUp();
    if (IsSkipped()) return;
    Exec("INSERT INTO 型材组合公式 VALUES(1,10,1,3,'old',NULL,1,NULL)");
    Exec("INSERT INTO 型材组合公式 VALUES(5,9,1,3,'L''1','2',2,'x')");
    Exec("INSERT INTO 型材组合公式 VALUES(6,9,1,3,'L2',NULL,1,NULL)");
    Exec("INSERT INTO FormulaV (ID,TKID,XLID,xcID,Dir,Hv,Lv10,ShunXu,xcGS_ID,CLMC) "
         "VALUES(3,9,1,3,'上','h''',NULL,1,5,'c')");
    Exec("INSERT INTO FormulaV (ID,TKID,XLID,xcID,Dir,Hv,Lv10,ShunXu,xcGS_ID,CLMC) "
         "VALUES(4,9,1,3,'下','h2','z',2,6,NULL)");
    Exec("INSERT INTO FormulaV (ID,TKID,XLID,xcID,Dir,ShunXu,xcGS_ID) VALUES(8,10,1,3,'old',1,1)");
    Exec("INSERT INTO 配件组合公式 VALUES(2,9,1,4,'4''',1,'f')");
    Exec("INSERT INTO 玻璃组合公式 VALUES(2,9,1,'L','W','1x',1,'g')");
    Exec("INSERT INTO 玻璃组合公式 VALUES(3,10,1,'old','W','1',1,'g')");
    Exec("INSERT INTO DetailBlock VALUES(1,1,9,'c','m''','s')");
    Exec("INSERT INTO ShanJiaGong VALUES(1,9,1,'扇','h','w',1)");
    Exec("INSERT INTO ShanJiaGong VALUES(2,10,1,'old','h','w',0)");
    Exec("INSERT INTO WZSBGT VALUES(1,9,1,'g''t')");
    for (const char* table : kTables) source_[table] = Snapshot(table, "9", "1");
  }
  static constexpr const char* kTables[] = {"型材组合公式", "配件组合公式", "玻璃组合公式",
                                            "DetailBlock", "ShanJiaGong", "WZSBGT"};
  // The rows of a template without their key, template and series.
  Names Snapshot(const std::string& table, const std::string& tk, const std::string& xl) {
    static const std::map<std::string, std::pair<std::string, std::string>> kColumns = {
        {"型材组合公式", {"xc_id, Gs, Shuliang, ShunXu, xlFS", "xczhgs_id"}},
        {"配件组合公式", {"pj_id, Gs, ShunXu, Fa", "pjzhgs_id"}},
        {"玻璃组合公式", {"Gs_Chang, Gs_Kuan, ShuLiang, ShunXu, zhBLDH", "blzhgs_id"}},
        {"DetailBlock", {"bk_CODE, bk_Mean, bk_STR", "Block_ID"}},
        {"ShanJiaGong", {"ShanName, ShanH, ShanW, IsShaShan", "SJG_ID"}},
        {"WZSBGT", {"GT", "ID"}}};
    const auto& [columns, key] = kColumns.at(table);
    return Rows("SELECT " + columns + " FROM " + table + " WHERE tk_id=" + tk + " AND xl_id=" +
                xl + " ORDER BY " + key);
  }
  // Position values with the formula each hangs from, for one template.
  Names PositionValues(const std::string& tk, const std::string& xl) {
    return Rows("SELECT v.xcID, v.Dir, v.Hv, v.Lv10, v.ShunXu, v.CLMC, g.Gs FROM FormulaV v "
                "INNER JOIN 型材组合公式 g ON v.xcGS_ID=g.xczhgs_id WHERE v.TKID=" + tk +
                " AND v.XLID=" + xl + " AND g.tk_id=" + tk + " AND g.XL_ID=" + xl +
                " ORDER BY v.ID");
  }
  void AllSwitches() {
    f_.SetCopyXingCai(true);
    f_.SetCopyPeiJian(true);
    f_.SetCopyBoLi(true);
  }
  void ExpectCopied(const std::string& tk, const std::string& xl) {
    for (const char* table : kTables) {
      EXPECT_EQ(Snapshot(table, tk, xl), source_[table]) << table;
      EXPECT_EQ(Snapshot(table, "9", "1"), source_[table]) << table << " source";
    }
    EXPECT_EQ(PositionValues(tk, xl), PositionValues("9", "1"));
    EXPECT_EQ(Count("SELECT COUNT(*) FROM FormulaV WHERE TKID=" + tk + " AND XLID=" + xl), 2);
  }
  std::map<std::string, Names> source_;
};
constexpr const char* FormulaCopy::kTables[];

TEST_P(FormulaCopy, WindowCopyReplacesEveryKindWithFreshRows) {
  AllSwitches();
  f_.SetCopyToXiLie(false, Id(1), Id(0));
  f_.CopyWinFormula(Id(9), Id(10), 0);
  ASSERT_EQ(LastError(), "");
  ExpectCopied("10", "1");
  // Keys follow the largest of each table, one by one.
  EXPECT_EQ(Rows("SELECT xczhgs_id FROM 型材组合公式 WHERE tk_id=10 ORDER BY xczhgs_id"),
            (Names{"7", "8"}));
    // The target's old position value went first, so its id is free again.
  EXPECT_EQ(Rows("SELECT ID FROM FormulaV WHERE TKID=10 ORDER BY ID"), (Names{"5", "6"}));
  EXPECT_EQ(Rows("SELECT Block_ID FROM DetailBlock WHERE TK_ID=10"), Names{"2"});
  EXPECT_EQ(Count("SELECT COUNT(*) FROM FormulaV WHERE ID=8"), 0);
  // Onto another series, the template stays the source's.
  f_.SetCopyToXiLie(true, Id(1), Id(2));
  f_.CopyWinFormula(Id(9), Id(55), 0);
  ASSERT_EQ(LastError(), "");
  ExpectCopied("9", "2");
}

TEST_P(FormulaCopy, SwitchesOffStillReplaceBlocksSashAndFreeText) {
  f_.SetCopyToXiLie(false, Id(1), Id(0));
  f_.CopyWinFormula(Id(9), Id(10), 0);
  EXPECT_EQ(Rows("SELECT Gs FROM 型材组合公式 WHERE tk_id=10"), Names{"old"});
  EXPECT_EQ(Rows("SELECT Gs_Chang FROM 玻璃组合公式 WHERE tk_id=10"), Names{"old"});
  EXPECT_EQ(Snapshot("ShanJiaGong", "10", "1"), source_["ShanJiaGong"]);
  EXPECT_EQ(Snapshot("WZSBGT", "10", "1"), source_["WZSBGT"]);
  // Without the free-text table the copy does the rest.
  Exec("DROP TABLE WZSBGT");
  f_.SetCopyBoLi(true);
  f_.CopyWinFormula(Id(9), Id(10), 0);
  EXPECT_EQ(LastError(), "");
  EXPECT_EQ(Snapshot("玻璃组合公式", "10", "1"), source_["玻璃组合公式"]);
  // From a template without profile formulas: the target's go, and their
  // position values with them.
  f_.SetCopyXingCai(true);
  f_.CopyWinFormula(Id(30), Id(10), 0);
  EXPECT_EQ(LastError(), "");
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 型材组合公式 WHERE tk_id=10 AND xl_id=1"), 0);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM FormulaV WHERE TKID=10 AND XLID=1"), 0);
}

TEST_P(FormulaCopy, AFailingCopyOrOneOntoItselfChangesNothing) {
  AllSwitches();
  const Names before = Snapshot("型材组合公式", "10", "1");
  f_.SetCopyToXiLie(false, Id(1), Id(0));
  f_.CopyWinFormula(Id(9), Id(9), 0);
  EXPECT_EQ(LastError(), "ServerForFormulaDanYuan.CopyWinFormula");
  EXPECT_NE(events_.Last("Accesserror")->args[2].ToText().find("same template"), std::string::npos);
  f_.SetCopyToXiLie(true, Id(1), Id(1));
  f_.CopyWinFormula(Id(9), Id(10), 0);
  EXPECT_EQ(events_.Names(), (Names{"Accesserror", "Accesserror"}));
  f_.CopyFormula(Id(20), Id(20), 0);
  EXPECT_EQ(LastError(), "ServerForFormulaDanYuan.CopyFormula");
  for (const char* table : kTables) EXPECT_EQ(Snapshot(table, "9", "1"), source_[table]);
  // Profiles, accessories and glass are done when the sash table fails.
  Exec("DROP TABLE ShanJiaGong");
  events_.events.clear();
  f_.SetCopyToXiLie(false, Id(1), Id(0));
  f_.CopyWinFormula(Id(9), Id(10), 0);
  EXPECT_EQ(LastError(), "ServerForFormulaDanYuan.CopyWinFormula");
  EXPECT_EQ(Snapshot("型材组合公式", "10", "1"), before);
  EXPECT_EQ(Rows("SELECT Dir FROM FormulaV WHERE TKID=10"), Names{"old"});
  EXPECT_EQ(Rows("SELECT Gs_Chang FROM 玻璃组合公式 WHERE tk_id=10"), Names{"old"});
}

TEST_P(FormulaCopy, UnitCopyStaysInItsFamily) {
  Exec("INSERT INTO 型材单元公式 VALUES(1,20,1,7,'a''',NULL,1,'x',0)");
  Exec("INSERT INTO 型材单元公式 VALUES(2,20,1,7,'fam1',NULL,1,'x',1)");
  Exec("INSERT INTO 型材单元公式 VALUES(3,21,1,7,'old',NULL,1,'x',0)");
  Exec("INSERT INTO 型材单元公式 VALUES(4,21,1,7,'keep',NULL,1,'x',1)");
  Exec("INSERT INTO FormulaDYV (ID,Dir,Hv,ShunXu,xcDYGS_ID,DYTK_ID,CLMC) "
       "VALUES(1,'上','h''',1,1,20,'c')");
  // The target's position values: of its family-0 formula 3, replaced, and
  // of its family-1 formula 4, which stays and keeps its value.
  Exec("INSERT INTO FormulaDYV (ID,Dir,xcDYGS_ID,DYTK_ID) VALUES(2,'old',3,21)");
  Exec("INSERT INTO FormulaDYV (ID,Dir,xcDYGS_ID,DYTK_ID) VALUES(3,'kept',4,21)");
  Exec("INSERT INTO 配件单元公式 VALUES(1,20,1,7,'p',1,0,'f''')");
  Exec("INSERT INTO 玻璃单元公式 VALUES(1,20,1,'L','W',2,1,'g',0)");
  Exec("INSERT INTO GeneralBlock VALUES(1,20,'c','m','s''',0)");
  Exec("INSERT INTO ShanJiaGongDY VALUES(1,20,0,'扇','h','w',1)");
  AllSwitches();
  f_.CopyFormula(Id(20), Id(21), 0);
  ASSERT_EQ(LastError(), "");
  EXPECT_EQ(Rows("SELECT xcdygs_id, Gs, LvSu FROM 型材单元公式 WHERE dytk_id=21 ORDER BY xcdygs_id"),
            (Names{"4|keep|1", "5|a'|0"}));
  EXPECT_EQ(Rows("SELECT Dir, Hv, xcDYGS_ID, CLMC FROM FormulaDYV WHERE DYTK_ID=21 ORDER BY ID"),
            (Names{"kept|~|4|~", "上|h'|5|c"}));
  EXPECT_EQ(Rows("SELECT Gs, Fa FROM 配件单元公式 WHERE dytk_id=21"), Names{"p|f'"});
  EXPECT_EQ(Rows("SELECT ShuLiang, dyBLDH FROM 玻璃单元公式 WHERE dytk_id=21"), Names{"2|g"});
  EXPECT_EQ(Rows("SELECT bk_STR, LvSu FROM GeneralBlock WHERE TK_ID=21"), Names{"s'|0"});
  EXPECT_EQ(Rows("SELECT ShanName, LvSu FROM ShanJiaGongDY WHERE DYTK_ID=21"), Names{"扇|0"});
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 型材单元公式 WHERE dytk_id=20"), 2);
  // A step failing after the profiles were copied puts the target back.
  Exec("UPDATE 型材单元公式 SET Gs='changed' WHERE dytk_id=20");
  Exec("DROP TABLE ShanJiaGongDY");
  f_.CopyFormula(Id(20), Id(21), 0);
  EXPECT_EQ(LastError(), "ServerForFormulaDanYuan.CopyFormula");
  EXPECT_EQ(Rows("SELECT Gs FROM 型材单元公式 WHERE dytk_id=21 ORDER BY xcdygs_id"),
            (Names{"keep", "a'"}));
  EXPECT_EQ(Count("SELECT COUNT(*) FROM FormulaDYV WHERE DYTK_ID=21"), 2);
  // From a template without profile formulas: the family's formulas go
  // and their position values with them.
  Exec("Create Table ShanJiaGongDY(SJGDY_ID Currency primary key,DYTK_ID Currency,LvSu Long,"
       "ShanName Text,ShanH Text,ShanW Text,IsShaShan long)");
  events_.events.clear();
  f_.CopyFormula(Id(22), Id(21), 0);
  EXPECT_EQ(LastError(), "");
  EXPECT_EQ(Rows("SELECT Gs FROM 型材单元公式 WHERE dytk_id=21"), Names{"keep"});
  EXPECT_EQ(Rows("SELECT Dir FROM FormulaDYV WHERE DYTK_ID=21"), Names{"kept"});
}

INSTANTIATE_TEST_SUITE_P(Backends, FormulaDanYuan, testing::BothBackends(), testing::BackendName);
INSTANTIATE_TEST_SUITE_P(Backends, FormulaCopy, testing::BothBackends(), testing::BackendName);

}  // namespace
}  // namespace dravmor
