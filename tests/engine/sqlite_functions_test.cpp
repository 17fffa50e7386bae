// Translated statements run on an in-memory SQLite with the Jet functions
// and collations registered: the results must be those Jet or SQL Server
// give for the same text.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include "engine/dialect/rewriter.h"
#include "engine/dialect/types.h"
#include "engine/sqlite/functions.h"
#include "engine/sqlite/like_match.h"
#include "engine/text.h"

namespace dravmor {
namespace {

using dialect::Source;

class JetOnSqlite : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(sqlite3_open(":memory:", &db_), SQLITE_OK);
    ASSERT_EQ(RegisterJetFunctions(db_), SQLITE_OK);
  }
  void TearDown() override { sqlite3_close(db_); }

  // Translates and runs every statement; the first failure is returned.
  Status Try(const std::string& sql, Source source = Source::Jet) {
    auto t = dialect::Translate(sql, source, dialect::Target::Sqlite);
    if (!t.ok()) return t.status();
    for (const std::string& s : t->statements)
      if (Status status = Raw(s); !status.ok()) return status;
    return Status::Ok();
  }
  // Runs one statement as it stands; its rows go to rows_.
  Status Raw(const std::string& s) {
    rows_.clear();
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db_, s.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
      return Status::Error(sqlite3_errcode(db_), sqlite3_errmsg(db_) + (": " + s));
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
      std::string row;
      for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
        if (c) row += "|";
        const unsigned char* v = sqlite3_column_text(stmt, c);
        row += v ? reinterpret_cast<const char*>(v) : "NULL";
      }
      rows_.push_back(row);
    }
    sqlite3_finalize(stmt);
    return rc == SQLITE_DONE ? Status::Ok() : Status::Error(sqlite3_errcode(db_), sqlite3_errmsg(db_));
  }

  void Run(const std::string& sql, Source source = Source::Jet) {
    Status s = Try(sql, source);
    ASSERT_TRUE(s.ok()) << sql << ": " << s.ToString();
  }

  std::vector<std::string> Rows(const std::string& sql, Source source = Source::Jet) {
    Status s = Try(sql, source);
    EXPECT_TRUE(s.ok()) << sql << ": " << s.ToString();
    return rows_;
  }

  std::string One(const std::string& sql, Source source = Source::Jet) {
    auto rows = Rows(sql, source);
    return rows.size() == 1 ? rows[0] : "<" + std::to_string(rows.size()) + " rows>";
  }

  sqlite3* db_ = nullptr;
  std::vector<std::string> rows_;
};

using Rowset = std::vector<std::string>;

TEST_F(JetOnSqlite, TextColumnsIgnoreLetterCaseBeyondAscii) {
  Run("CREATE TABLE 客户管理 (kehu_id Long,KeHuMingcheng Text(50),BeiZhu Memo, primary key(kehu_id))");
  for (const char* row : {"1,'Élan','x'", "2,'жук','x'", "3,'张三','x'", "4,'ABC','x'", "5,'abc','x'",
                          "6,'ΣΟΦΙΑ','Ｗｉｎｄｏｗ'"})
    Run(std::string("INSERT INTO 客户管理 VALUES(") + row + ")");
  EXPECT_EQ(One("SELECT kehu_id FROM 客户管理 WHERE KeHuMingcheng='élan'"), "1");
  EXPECT_EQ(One("SELECT kehu_id FROM 客户管理 WHERE KeHuMingcheng='ЖУК'"), "2");
  EXPECT_EQ(One("SELECT kehu_id FROM 客户管理 WHERE KeHuMingcheng='σοφιας' OR KeHuMingcheng='σοφια'"), "6");
  EXPECT_EQ(One("SELECT kehu_id FROM 客户管理 WHERE BeiZhu='ｗｉｎｄｏｗ'"), "6");
  EXPECT_EQ(Rows("SELECT kehu_id FROM 客户管理 WHERE KeHuMingcheng IN ('abc') ORDER BY kehu_id"),
            (Rowset{"4", "5"}));
  EXPECT_EQ(One("SELECT COUNT(*) FROM 客户管理 WHERE KeHuMingcheng <> 'ÉLAN'"), "5");
  EXPECT_EQ(Rows("SELECT COUNT(*) FROM 客户管理 GROUP BY KeHuMingcheng ORDER BY KeHuMingcheng"),
            (Rowset{"2", "1", "1", "1", "1"}));  // abc ABC, Élan, Σοφια, жук, 张三
  // LIKE: case beyond ASCII, and _ is one character, not one byte.
  EXPECT_EQ(One("SELECT kehu_id FROM 客户管理 WHERE KeHuMingcheng LIKE '%LA%'"), "1");
  EXPECT_EQ(One("SELECT kehu_id FROM 客户管理 WHERE KeHuMingcheng LIKE '张_'"), "3");
  EXPECT_EQ(One("SELECT kehu_id FROM 客户管理 WHERE KeHuMingcheng LIKE '%三'"), "3");
}

TEST(LikeMatch, SetsWildcardsAndEscapes) {
  EXPECT_TRUE(LikeMatch("[a-c]%", "Bravo"));
  EXPECT_FALSE(LikeMatch("[a-c]%", "delta"));
  EXPECT_TRUE(LikeMatch("[^a]%", "bravo"));
  EXPECT_FALSE(LikeMatch("[^a]%", "Alpha"));
  EXPECT_FALSE(LikeMatch("[!a]%", "alpha"));
  EXPECT_TRUE(LikeMatch("[框扇]%", "扇料"));
  EXPECT_TRUE(LikeMatch("%[%", "a[b"));  // a [ that never closes is itself
  EXPECT_TRUE(LikeMatch("10!%", "10%", '!'));
  EXPECT_FALSE(LikeMatch("10!%", "100", '!'));
  EXPECT_TRUE(LikeMatch("%a%b%c", "xaxxbyyc"));
  EXPECT_FALSE(LikeMatch("%a%b%c", "xaxxbyy"));
  EXPECT_TRUE(LikeMatch("", ""));
  EXPECT_FALSE(LikeMatch("_", ""));
  EXPECT_TRUE(LikeMatch("É_", "éa"));
}

TEST_F(JetOnSqlite, ValOrdersTextsAsNumbers) {
  Run("CREATE TABLE 单元图库 (dytk_ID Long,dytklujing Text(20),DyTklb Long)");
  for (const char* row : {"1,'100',3", "2,'9',3", "3,'10',3"})
    Run(std::string("INSERT INTO 单元图库 VALUES(") + row + ")");
  EXPECT_EQ(Rows("SELECT dytklujing FROM 单元图库   WHERE DyTklb= 3 ORDER BY VAL(dytkLuJing) "),
            (Rowset{"9", "10", "100"}));
}

TEST_F(JetOnSqlite, TextFunctionsCountCharacters) {
  EXPECT_EQ(One("SELECT Len('门窗节点图'), Left('门窗节点图',2), Right('门窗节点图', 2), "
                "Mid('门窗节点图', 2, 2), Mid('门窗节点图', 4)"),
            "5|门窗|点图|窗节|点图");
  EXPECT_EQ(One("SELECT UCase('élan жук'), LCase('ÉLAN ЖУК'), Len(12.5)"), "ÉLAN ЖУК|élan жук|4");
  EXPECT_EQ(One("SELECT Len('ab  '), LEN('ab  ')", Source::Jet), "4|4");
  EXPECT_EQ(One("SELECT LEN('ab  ')", Source::SqlServer), "2");  // SQL Server ignores trailing blanks
  EXPECT_FALSE(Try("SELECT Left('abc', -1)").ok());
  EXPECT_FALSE(Try("SELECT Mid('abc', 0)").ok());
  EXPECT_EQ(One("SELECT Left(NULL, 2), Nz(NULL, 'x'), Nz('y', 'x')"), "NULL|x|y");
}

TEST_F(JetOnSqlite, IsNullInBothDialects) {
  Run("CREATE TABLE 配件 (pj_id Long, Guige Text(20))");
  Run("INSERT INTO 配件 VALUES(1, NULL)");
  Run("INSERT INTO 配件 VALUES(2, '')");
  Run("INSERT INTO 配件 VALUES(3, '大号')");
  Run("UPDATE 配件 SET Guige='普通' WHERE IsNull(Guige) OR Len(GuiGe)=0 ");
  EXPECT_EQ(Rows("SELECT Guige FROM 配件 ORDER BY pj_id"), (Rowset{"普通", "普通", "大号"}));
}

TEST_F(JetOnSqlite, TopInASubSelectPages) {
  Run("CREATE TABLE 图库 (tk_ID Long,Tklb Long,TkShuoMing Text(50),Ord Long, primary key(tk_ID))");
  for (int id = 1; id <= 10; ++id)
    Run("INSERT INTO 图库 VALUES(" + std::to_string(id) + ",2,'推拉" + std::to_string(id) + "'," +
        std::to_string(100 - id) + ")");
  // Page 1 and page 2 of three templates, tk_ID 1 left out, in Ord order.
  EXPECT_EQ(Rows("SELECT TOP  3 tk_ID FROM 图库 WHERE tklb=2  AND tk_ID<>1 ORDER BY Ord"),
            (Rowset{"10", "9", "8"}));
  EXPECT_EQ(Rows("SELECT TOP 3 tk_ID FROM 图库 WHERE  tklb=2  AND tk_ID<>1 AND  tk_ID NOT IN "
                 "(SELECT TOP 3 tk_ID FROM 图库 WHERE tklb=2  AND tk_ID<>1  ORDER BY Ord) ORDER BY Ord"),
            (Rowset{"7", "6", "5"}));
  EXPECT_EQ(One("SELECT MAX(Ord) FROM 图库 WHERE Ord IN (SELECT TOP 4 Ord FROM 图库 WHERE  tklb=2 "
                " AND tk_ID<>1  ORDER BY Ord ) "),
            "93");
}

TEST_F(JetOnSqlite, DateLiteralsCompareAcrossMonths) {
  Run("CREATE TABLE ChuRuDetail (ID Currency,ChuRu long,WuJianType Long,WuJianID "
      "Currency,WuJianNum single,GcxxID Currency,RiQi Date,CiShu long, primary key(ID))");
  for (const char* row : {"1,1,0,5,2,0,#11/30/2026#,1", "2,1,0,5,2,0,#12/1/2026#,1",
                          "3,1,0,5,2,0,#12/31/2026 10:00#,1", "4,1,0,5,2,0,#2027/1/1#,1"})
    Run(std::string("INSERT INTO ChuRuDetail  VALUES(") + row + ")");
  // #12/31/2026# is that day at midnight, as on Jet.
  EXPECT_EQ(Rows("SELECT ID FROM ChuRuDetail WHERE ChuRu=1 AND WuJianType=0  AND "
                 "RiQi>=#11/30/2026# AND RiQi<=#12/31/2026#  ORDER BY id"),
            (Rowset{"1", "2"}));
  EXPECT_EQ(Rows("SELECT ID FROM ChuRuDetail WHERE RiQi>=#12/1/2026# AND RiQi<#1/1/2027#  ORDER BY id"),
            (Rowset{"2", "3"}));
  Run("DELETE FROM ChuRuDetail  WHERE  RiQi>=#12/1/2026# AND RiQi<=#12/31/2026 23:59:59#");
  EXPECT_EQ(Rows("SELECT ID FROM ChuRuDetail ORDER BY RiQi DESC"), (Rowset{"4", "1"}));
}

TEST_F(JetOnSqlite, QuotedDatesCompareAsDates) {
  // SQL Server texts write dates between quotes in the short form.
  Run("CREATE TABLE ChuRuDetail (ID Currency,RiQi Date, primary key(ID))", Source::SqlServer);
  for (const char* row : {"1,'2026-12-6'", "2,'2026-11-30'", "3,'2026-12-31 10:00:00'"})
    Run(std::string("INSERT INTO ChuRuDetail  VALUES(") + row + ")", Source::SqlServer);
  // As text '2026-12-6' sorts after '2026-12-31'; as dates it does not.
  EXPECT_EQ(Rows("SELECT ID FROM ChuRuDetail WHERE  RiQi>='2026-12-1' AND RiQi<='2026-12-31' ORDER BY id",
                 Source::SqlServer),
            (Rowset{"1"}));
  EXPECT_EQ(Rows("SELECT ID FROM ChuRuDetail ORDER BY RiQi", Source::SqlServer),
            (Rowset{"2", "1", "3"}));
  EXPECT_EQ(One("SELECT ID FROM ChuRuDetail WHERE RiQi = '2026-12-06 00:00:00'", Source::SqlServer), "1");
  EXPECT_EQ(One("SELECT convert(varchar(10), CDATE(RiQi), 120) FROM ChuRuDetail WHERE ID = 1",
                Source::SqlServer),
            "2026-12-06");
}

TEST_F(JetOnSqlite, AddedColumnsTakeTheirDefault) {
  Run("CREATE TABLE 型材 (xc_id Long,DaiMa Text(20), primary key(xc_id))");
  Run("INSERT INTO 型材 VALUES(1,'A')");
  Run("INSERT INTO 型材 VALUES(2,'B')");
  Run("ALTER TABLE 型材 Add GangChen text(10)");
  Run("UPDATE 型材 SET GangChen='型材'");
  Run("ALTER TABLE 型材 Add BiHou Single");
  Run("UPDATE 型材 SET BiHou='1.4'");  // the default is always a quoted text
  Run("ALTER TABLE 型材 Add BaoJing Long");
  Run("UPDATE 型材 SET BaoJing='100'");
  EXPECT_EQ(Rows("SELECT GangChen, BiHou, typeof(BiHou), BaoJing, typeof(BaoJing) FROM 型材 ORDER BY xc_id"),
            (Rowset{"型材|1.4|real|100|integer", "型材|1.4|real|100|integer"}));
  EXPECT_EQ(One("SELECT xc_id FROM 型材 WHERE GangChen='型材' AND DaiMa='b'"), "2");
  EXPECT_FALSE(Try("ALTER TABLE t ADD a int, b nvarchar(20)", Source::SqlServer).ok());
  Run("CREATE TABLE t (x int)", Source::SqlServer);
  Run("ALTER TABLE t ADD a int, b nvarchar(20)", Source::SqlServer);
  EXPECT_EQ(Rows("SELECT name FROM pragma_table_info('t') ORDER BY cid"), (Rowset{"x", "a", "b"}));
}

TEST_F(JetOnSqlite, TextKeepsWhatWasWritten) {
  Run("CREATE TABLE t (ID Long, M Memo, T Text(10), N Long, C Currency, primary key(ID))");
  Run("INSERT INTO t VALUES(1,'0123','0123','0123','12.50')");
  EXPECT_EQ(One("SELECT M, typeof(M), T, typeof(T), N, typeof(N), C FROM t"),
            "0123|text|0123|text|123|integer|12.5");
  Run("CREATE TABLE u (ID int, note text)", Source::SqlServer);
  Run("INSERT INTO u VALUES(1, '0123')", Source::SqlServer);
  EXPECT_EQ(One("SELECT note FROM u", Source::SqlServer), "0123");
}

TEST_F(JetOnSqlite, JetArithmeticAndConcatenation) {
  EXPECT_EQ(One("SELECT 7/2, 7\\2, 7 Mod 3, 2.5\\1, 3.5 Mod 2, 5--3, 2^10"), "3.5|3|1|2|0|8|1024.0");
  EXPECT_EQ(One("SELECT 7/2, 7 % 2", Source::SqlServer), "3|1");  // int/int stays whole
  EXPECT_EQ(One("SELECT 'a' & NULL, NULL & NULL, 'x' & 1.5 & \"y\", IsNull(NULL), IsNull(1)"),
            "a|NULL|x1.5y|-1|0");
  EXPECT_EQ(One("SELECT 'a' + NULL, 'a' + 'b' + 'c', ISNULL(NULL, 5), ISNULL(3, 5)", Source::SqlServer),
            "NULL|abc|5|3");
  EXPECT_FALSE(Try("SELECT 1 \\ 0").ok());  // Jet fails a division by zero
  EXPECT_EQ(One("SELECT CInt(2.5), CInt(3.5), CLng('12'), CStr(12.0), CDbl('1.5')"), "2|4|12|12|1.5");
  EXPECT_FALSE(Try("SELECT CInt(40000)").ok());
  EXPECT_FALSE(Try("SELECT CInt('abc')").ok());
  EXPECT_EQ(One("SELECT CDate('12/6/2026'), CDate(46362.25)"),
            "2026-12-06 00:00:00|2026-12-06 06:00:00");
}

TEST_F(JetOnSqlite, BooleansAndCounters) {
  Run("CREATE TABLE x (ID Counter, Flag YesNo, Name Text(20), primary key(ID))");
  Run("INSERT INTO x (Name) VALUES('a')");
  Run("INSERT INTO x (Name, Flag) VALUES('b', True)");
  EXPECT_EQ(Rows("SELECT ID, Flag FROM x ORDER BY ID"), (Rowset{"1|0", "2|-1"}));
  EXPECT_EQ(One("SELECT Name FROM x WHERE Flag = True"), "b");
  EXPECT_EQ(One("SELECT Name FROM x WHERE Flag = False"), "a");
}

TEST_F(JetOnSqlite, ReservedNamesAndRefusals) {
  Run("CREATE TABLE t (ID Long, Limit Long, [Case] Text(5))");
  Run("INSERT INTO t VALUES(1, 2, 'x')");
  EXPECT_EQ(One("SELECT Limit, t.Case FROM t WHERE Limit = 2"), "2|x");
  Status s = Try("SELECT * FROM t PIVOT x");
  EXPECT_EQ(s.number(), ErrorCode::kSyntax);
  EXPECT_EQ(s.text(), "Unsupported syntax near 'PIVOT'");
}

// Operator precedence as Jet and SQL Server evaluate it, checked by
// running the translated expression.
struct Evaluation {
  Source source;
  const char* expression;
  const char* value;
};

std::ostream& operator<<(std::ostream& os, const Evaluation& e) { return os << e.expression; }

class EvaluatesTo : public JetOnSqlite, public ::testing::WithParamInterface<Evaluation> {};

TEST_P(EvaluatesTo, AsTheSourceDoes) {
  const Evaluation& e = GetParam();
  EXPECT_EQ(One(std::string("SELECT ") + e.expression, e.source), e.value);
}

INSTANTIATE_TEST_SUITE_P(
    Precedence, EvaluatesTo,
    ::testing::Values(Evaluation{Source::Jet, "2 + 3 * 4", "14"},
                      Evaluation{Source::Jet, "2 ^ 3 ^ 2", "64.0"},  // left to right
                      Evaluation{Source::Jet, "-2 ^ 2", "-4.0"},
                      Evaluation{Source::Jet, "10 \\ 3 * 2", "1"},  // \ after *
                      Evaluation{Source::Jet, "7 Mod 4 * 2", "7"},     // Mod after *
                      Evaluation{Source::Jet, "1 + 7 Mod 4", "4"},     // + after Mod
                      Evaluation{Source::Jet, "10 / 4 * 2", "5.0"},
                      Evaluation{Source::Jet, "'a' & 1 + 2", "a3"},    // & after +
                      Evaluation{Source::Jet, "1 + 2 & 3", "33"},
                      Evaluation{Source::SqlServer, "2 + 3 & 1", "1"},  // one level, left to right
                      Evaluation{Source::SqlServer, "6 & 3 + 1", "3"},
                      Evaluation{Source::SqlServer, "'n' + 2 * 3", "n6"},
                      Evaluation{Source::SqlServer, "10 / 4 * 2", "4"},
                      Evaluation{Source::SqlServer, "-7 % 3", "-1"}));

INSTANTIATE_TEST_SUITE_P(
    Functions, EvaluatesTo,
    ::testing::Values(Evaluation{Source::Jet, "VAL('  12.5abc')", "12.5"},
                      Evaluation{Source::Jet, "VAL('-3e2x')", "-300.0"},
                      Evaluation{Source::Jet, "VAL('&H1F')", "31.0"},
                      Evaluation{Source::Jet, "VAL(7)", "7"},
                      Evaluation{Source::Jet, "VAL(NULL)", "NULL"},
                      Evaluation{Source::Jet, "VAL('1,000')", "1.0"},
                      Evaluation{Source::Jet, "VAL('.5cm')", "0.5"},
                      Evaluation{Source::Jet, "VAL('2026-12-06')", "2026.0"},
                      Evaluation{Source::Jet, "Right('abc', 5)", "abc"},
                      Evaluation{Source::Jet, "Mid('abc', 5)", ""},
                      Evaluation{Source::Jet, "Left('型材ABC', 3)", "型材A"},
                      Evaluation{Source::Jet, "CStr(1.5) & CStr(2)", "1.52"},
                      Evaluation{Source::Jet, "CLng(-2.5)", "-2"},
                      Evaluation{Source::Jet, "#12/6/2026 2:30 PM#", "2026-12-06 14:30:00"},
                      Evaluation{Source::SqlServer, "convert(varchar(8), '2026-12-06 06:00:00', 112)",
                                 "20261206"},
                      Evaluation{Source::SqlServer, "convert(varchar, '2026-12-06 06:00:00', 108)",
                                 "06:00:00"},
                      Evaluation{Source::SqlServer, "convert(int, 12.7)", "12"},
                      Evaluation{Source::SqlServer, "convert(decimal(10,2), 1.005 + 1)", "2.01"},
                      Evaluation{Source::SqlServer, "convert(bit, 5)", "1"},
                      Evaluation{Source::SqlServer, "CAST('12345' AS varchar(3))", "123"},
                      Evaluation{Source::SqlServer, "charindex('c', 'abcd')", "3"},
                      Evaluation{Source::SqlServer, "CASE WHEN '10%' LIKE '10!%' ESCAPE '!' THEN 1 ELSE 0 END", "1"},
                      Evaluation{Source::SqlServer, "CASE WHEN '100' LIKE '10!%' ESCAPE '!' THEN 1 ELSE 0 END", "0"}));

TEST_F(JetOnSqlite, UpgradeTablesGiveBackTheirAdoTypes) {
  Run("CREATE TABLE SaleDan (SaleDan_ID Currency,DingHuoRiQi TEXT,KaiDanRiQi DATE,DanHao Text(248), "
      "Kuan Number, Lv Single, Note Memo, Flag YesNo, Small Short, Tiny Byte, primary key(SaleDan_ID))");
  const std::pair<const char*, int> expected[] = {
      {"SaleDan_ID", dialect::AdoType::kCurrency}, {"DingHuoRiQi", dialect::AdoType::kVarWChar},
      {"KaiDanRiQi", dialect::AdoType::kDate},     {"DanHao", dialect::AdoType::kVarWChar},
      {"Kuan", dialect::AdoType::kDouble},         {"Lv", dialect::AdoType::kSingle},
      {"Note", dialect::AdoType::kLongVarWChar},   {"Flag", dialect::AdoType::kBoolean},
      {"Small", dialect::AdoType::kSmallInt},      {"Tiny", dialect::AdoType::kUnsignedTinyInt},
  };
  for (const auto& [column, ado] : expected) {
    // What the backend reads: the declared type of a result column.
    std::string sql = std::string("SELECT ") + column + " FROM SaleDan";
    sqlite3_stmt* stmt = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr), SQLITE_OK) << sql;
    const char* declared = sqlite3_column_decltype(stmt, 0);
    EXPECT_EQ(dialect::AdoTypeForDeclared(declared ? declared : ""), ado) << sql;
    sqlite3_finalize(stmt);
  }
  // The collation stays with the column.
  Run("INSERT INTO SaleDan (SaleDan_ID, KaiDanRiQi, DanHao) VALUES (1, #1/2/2026#, 'DH-01')");
  EXPECT_EQ(One("SELECT SaleDan_ID FROM SaleDan WHERE DanHao = 'dh-01' AND KaiDanRiQi = '2026-1-2'"), "1");
}

TEST_F(JetOnSqlite, ConstraintsRunOnSqlite) {
  Run("CREATE TABLE 厂家 (cj_id Long CONSTRAINT pk_cj PRIMARY KEY, BianMa Text(20) UNIQUE NOT NULL)");
  Run("CREATE TABLE 系列 (xl_id Long, cj_id Long REFERENCES 厂家 (cj_id), Ord Long CHECK (Ord >= 0), "
      "CONSTRAINT pk_xl PRIMARY KEY (xl_id))");
  Run("INSERT INTO 厂家 VALUES(1, 'A01')");
  EXPECT_FALSE(Try("INSERT INTO 厂家 VALUES(2, 'a01')").ok());  // UNIQUE ignores letter case too
  EXPECT_FALSE(Try("INSERT INTO 系列 VALUES(1, 1, -1)").ok());
  Run("INSERT INTO 系列 VALUES(1, 1, 0)");
}

TEST_F(JetOnSqlite, DateCollationOrdersDatesWhateverTheirForm) {
  ASSERT_TRUE(Raw("CREATE TABLE d (v DATETIME COLLATE JETDATE)").ok());
  ASSERT_TRUE(Raw("INSERT INTO d VALUES ('2026-12-6'), ('12/31/2026'), ('2026-01-02 00:00:00'), ('n/a'), "
                  "('2026-12-06 00:00:00'), ('2026-2-1')").ok());
  ASSERT_TRUE(Raw("SELECT v FROM d ORDER BY v, rowid").ok());
  EXPECT_EQ(rows_, (Rowset{"2026-01-02 00:00:00", "2026-2-1", "2026-12-6", "2026-12-06 00:00:00",
                           "12/31/2026", "n/a"}));
  ASSERT_TRUE(Raw("SELECT COUNT(*) FROM d WHERE v = '2026-12-06'").ok());
  EXPECT_EQ(rows_, Rowset{"2"});
}

TEST(UnicodeCase, FoldsEveryScript) {
  EXPECT_EQ(CompareFolded("ÉLAN", "élan"), 0);
  EXPECT_EQ(CompareFolded("ƯỚC LƠ", "ước lơ"), 0);  // Vietnamese
  EXPECT_EQ(CompareFolded("Ǆ", "ǅ"), 0);
  EXPECT_EQ(CompareFolded("ᏣᎳᎩ", "ꮳꮃꭹ"), 0);        // Cherokee
  EXPECT_EQ(CompareFolded("ŁÓDŹ", "łódź"), 0);     // Latin Extended-A
  EXPECT_EQ(CompareFolded("ΟΔΟΣ", "οδος"), 0);     // final sigma
  EXPECT_EQ(CompareFolded("ＡＢＣ", "ａｂｃ"), 0);
  EXPECT_NE(CompareFolded("ＡＢＣ", "abc"), 0);    // width still counts
  EXPECT_LT(CompareFolded("abc", "abd"), 0);
  EXPECT_LT(CompareFolded("ab", "abc"), 0);
  EXPECT_GT(CompareFolded("張", "张"), 0);          // no case: code point order
  EXPECT_EQ(UpperText("straße ÿ ς µ"), "STRAßE Ÿ Σ Μ");  // one-to-one mappings only
  EXPECT_EQ(LowerText("ǅƯ"), "ǆư");
  // Bytes that are no UTF-8 survive a round trip.
  std::string bad = "a\xff\xc3";
  EXPECT_EQ(UpperText(bad), "A\xff\xc3");
}

}  // namespace
}  // namespace dravmor
