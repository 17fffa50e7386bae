// The dialect layer as text: real statements of the server classes with the
// SQLite text each must become, the refusals, the type mapping and the date
// literals. Running the texts on SQLite is sqlite_functions_test.cpp.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/dialect/dates.h"
#include "engine/dialect/rewriter.h"
#include "engine/dialect/tokenizer.h"
#include "engine/dialect/types.h"

namespace dravmor::dialect {
namespace {

struct Case {
  Source source;
  std::string input;
  std::vector<std::string> expected;
};

std::ostream& operator<<(std::ostream& os, const Case& c) { return os << c.input; }

class TranslatesTo : public ::testing::TestWithParam<Case> {};

TEST_P(TranslatesTo, Sqlite) {
  const Case& c = GetParam();
  auto t = Translate(c.input, c.source, Target::Sqlite);
  ASSERT_TRUE(t.ok()) << t.status().ToString();
  EXPECT_FALSE(t->alter_column.has_value());
  EXPECT_EQ(t->statements, c.expected);
}

constexpr Source kJet = Source::Jet;
constexpr Source kSql = Source::SqlServer;

// Statements as the server classes build them, sample values filled in.
INSTANTIATE_TEST_SUITE_P(
    EngineStatements, TranslatesTo,
    ::testing::Values(
        Case{kJet, "DELETE * FROM 客户管理 WHERE Kehu_ID<>1 ",
             {"DELETE FROM 客户管理 WHERE Kehu_ID<>1 "}},
        Case{kJet,
             "SELECT TOP 12 * FROM 图库 WHERE  tklb=2  AND tk_ID<>1 AND TkShuoMing LIKE '%推拉%' "
             "AND  tk_ID NOT IN (SELECT TOP 24 tk_ID FROM 图库 WHERE tklb=2  AND tk_ID<>1 AND "
             "TkShuoMing LIKE '%推拉%'  ORDER BY Ord) ORDER BY Ord",
             {"SELECT * FROM 图库 WHERE  tklb=2  AND tk_ID<>1 AND TkShuoMing LIKE '%推拉%' AND  "
              "tk_ID NOT IN (SELECT tk_ID FROM 图库 WHERE tklb=2  AND tk_ID<>1 AND TkShuoMing "
              "LIKE '%推拉%'  ORDER BY Ord LIMIT 24) ORDER BY Ord LIMIT 12"}},
        Case{kSql, "SELECT TOP 1 JiaGe FROM 型材 Where  xl_ID IN (SELECT xl_ID From 系列 WHERE cj_ID= 4)",
             {"SELECT JiaGe FROM 型材 Where  xl_ID IN (SELECT xl_ID From 系列 WHERE cj_ID= 4) LIMIT 1"}},
        Case{kJet, "UPDATE 配件 SET Guige='普通' WHERE IsNull(Guige) OR Len(GuiGe)=0 ",
             {"UPDATE 配件 SET Guige='普通' WHERE [IsNull](Guige) OR Len(GuiGe)=0 "}},
        // The ledger on Jet: dates between # signs, either order.
        Case{kJet,
             "SELECT DaiMa,mingcheng,WuJianNum,ChuRu,RiQi,CiShu,DanJia FROM (ChuRuDetail INNER "
             "JOIN 配件 ON  ChuRuDetail.WuJianID=配件.Pj_ID) WHERE ChuRu=0 AND WuJianType=1  AND "
             "RiQi>=#2026-11-28# AND RiQi<=#12/3/2026# AND GcxxID= 5 ORDER BY id",
             {"SELECT DaiMa,mingcheng,WuJianNum,ChuRu,RiQi,CiShu,DanJia FROM (ChuRuDetail INNER "
              "JOIN 配件 ON  ChuRuDetail.WuJianID=配件.Pj_ID) WHERE ChuRu=0 AND WuJianType=1  AND "
              "RiQi>='2026-11-28 00:00:00' AND RiQi<='2026-12-03 00:00:00' AND GcxxID= 5 ORDER BY id"}},
        Case{kJet, "UPDATE 型材 SET MiZhong = MiZhong*1.6/BiHou WHERE XL_ID=3",
             {"UPDATE 型材 SET MiZhong = MiZhong*1.6/BiHou WHERE XL_ID=3"}},
        Case{kJet, "UPDATE 型材 SET MiZhong = MiZhong*2/BiHou WHERE XL_ID=3",
             {"UPDATE 型材 SET MiZhong = MiZhong*2*1.0/BiHou WHERE XL_ID=3"}},
        // Column types; SQL Server's ADD of several columns is one ADD each.
        Case{kJet, "ALTER TABLE 型材 Add GangChen text(10)",
             {"ALTER TABLE 型材 ADD COLUMN GangChen VARCHAR(10) COLLATE NOCASE"}},
        Case{kSql, "ALTER TABLE t ADD a int, b nvarchar(20) NULL, c text",
             {"ALTER TABLE t ADD COLUMN a INTEGER",
              "ALTER TABLE t ADD COLUMN b VARCHAR(20) COLLATE NOCASE NULL",
              "ALTER TABLE t ADD COLUMN c TEXT COLLATE NOCASE"}},
        Case{kJet,
             "CREATE TABLE ChuRuDetail (ID Currency,ChuRu long,WuJianType Long,WuJianID "
             "Currency,WuJianNum single,GcxxID Currency,RiQi Date,CiShu long, primary key(ID))",
             {"CREATE TABLE ChuRuDetail (ID CURRENCY,ChuRu INTEGER,WuJianType INTEGER,WuJianID "
              "CURRENCY,WuJianNum REAL,GcxxID CURRENCY,RiQi DATETIME COLLATE RTRIM,CiShu "
              "INTEGER, primary key(ID))"}}));

// Forms beyond the engine's texts that the rules still have to get right.
INSTANTIATE_TEST_SUITE_P(
    Rules, TranslatesTo,
    ::testing::Values(
        // Jet's operators keep Jet's meaning and precedence.
        Case{kJet, "SELECT a & \"x\" & b FROM t", {"SELECT JET_CONCAT(JET_CONCAT(a, 'x'), b) FROM t"}},
        Case{kJet, "SELECT a & b + c FROM t", {"SELECT JET_CONCAT(a, b + c) FROM t"}},
        Case{kJet, "SELECT c \\ 2, d Mod 3, -2^2 FROM t",
             {"SELECT JET_IDIV(c, 2), JET_MOD(d, 3), -POWER(2,2) FROM t"}},
        Case{kJet, "SELECT x / (a+b) / c, 3.0/x FROM t", {"SELECT x * 1.0 / (a+b) / c, 3.0/x FROM t"}},
        Case{kJet, "SELECT 5--3 FROM t", {"SELECT 5- -3 FROM t"}},
        // A number runs into the keyword after it only in the source dialects.
        Case{kJet, "SELECT * FROM t WHERE Cj_id=5AND 类别.TC=1", {"SELECT * FROM t WHERE Cj_id=5 AND 类别.TC=1"}},
        Case{kSql, "SELECT * FROM t WHERE a=1.5OR b=2", {"SELECT * FROM t WHERE a=1.5 OR b=2"}},
        Case{kJet, "SELECT * FROM t WHERE a = True OR b = False", {"SELECT * FROM t WHERE a = -1 OR b = 0"}},
        Case{kSql, "SELECT * FROM t WHERE a = True", {"SELECT * FROM t WHERE a = 1"}},
        Case{kJet, "SELECT \"it\"\"s\" FROM t", {"SELECT 'it\"s' FROM t"}},
        // + joins texts only beside a text; the target's || binds tighter.
        Case{kSql, "SELECT 'a' + b + 'c', 'a' + b * c, '1' + 2, x + y FROM t",
             {"SELECT 'a' || b || 'c', 'a' || (b * c), '1' + 2, x + y FROM t"}},
        Case{kSql, "SELECT CASE WHEN a = 1 THEN 'x' + b ELSE 'y' END + 'z' FROM t",
             {"SELECT CASE WHEN a = 1 THEN 'x' || b ELSE 'y' END || 'z' FROM t"}},
        Case{kSql, "SELECT a & b + c FROM t", {"SELECT (a & b) + c FROM t"}},
        Case{kSql, "SELECT N'中文' + x FROM t", {"SELECT '中文' || x FROM t"}},
        // SQL Server functions.
        Case{kSql, "SELECT ISNULL(a, 0), LEN(b) FROM t", {"SELECT [ISNULL](a, 0), MSSQL_LEN(b) FROM t"}},
        Case{kSql, "SELECT convert(varchar(10), RiQi, 120), CONVERT(int, x) FROM t",
             {"SELECT SUBSTR(strftime('%Y-%m-%d %H:%M:%S', RiQi), 1, 10), CAST(x AS INTEGER) FROM t"}},
        Case{kSql, "SELECT CAST(y AS varchar(5)), convert(datetime, '2026-12-6'), convert(money, m) FROM t",
             {"SELECT SUBSTR(CAST(y AS TEXT), 1, 5), CDATE('2026-12-6'), ROUND(CAST(m AS REAL), 4) FROM t"}},
        Case{kSql, "SELECT a FROM t WHERE b !< 3", {"SELECT a FROM t WHERE b >= 3"}},
        Case{kSql, "SELECT TOP (5) a FROM t", {"SELECT a FROM t LIMIT 5"}},
        Case{kSql, "SELECT DISTINCT TOP 3 a FROM t ORDER BY a", {"SELECT DISTINCT a FROM t ORDER BY a LIMIT 3"}},
        // Names: reserved on SQLite only, odd quotes, qualified assignments.
        Case{kJet, "SELECT Limit, t.Case FROM t WHERE Left(a,2)='x' AND Right(b, 1) = 'y'",
             {"SELECT [Limit], t.[Case] FROM t WHERE [Left](a,2)='x' AND [Right](b, 1) = 'y'"}},
        Case{kSql, "SELECT a FROM [t]]x] WHERE \"b\" = 1", {"SELECT a FROM \"t]x\" WHERE [b] = 1"}},
        Case{kJet, "UPDATE t SET t.a = 1, t.b=2 WHERE t.c = 3", {"UPDATE t SET a = 1, b=2 WHERE t.c = 3"}},
        Case{kJet, "SELECT a FROM t WHERE LEFT$(b, 1) = 'x'", {"SELECT a FROM t WHERE [LEFT](b, 1) = 'x'"}},
        // Statement shapes.
        Case{kJet, "DELETE t.* FROM t WHERE a = 1", {"DELETE FROM t WHERE a = 1"}},
        Case{kSql, "DELETE t WHERE a = 1", {"DELETE FROM t WHERE a = 1"}},
        Case{kSql, "INSERT t VALUES (1, 'a')", {"INSERT INTO t VALUES (1, 'a')"}},
        Case{kSql, "SELECT a FROM t; SELECT b FROM u", {"SELECT a FROM t", "SELECT b FROM u"}},
        Case{kJet, "ALTER TABLE t DROP COLUMN a", {"ALTER TABLE t DROP COLUMN a"}},
        Case{kJet, "DROP INDEX ix ON t", {"DROP INDEX ix"}},
        Case{kSql, "DROP INDEX t.ix", {"DROP INDEX ix"}},
        Case{kJet, "CREATE UNIQUE INDEX ix ON t (a, [Order] DESC)", {"CREATE UNIQUE INDEX ix ON t (a, [Order] DESC)"}},
        Case{kJet,
             "CREATE TABLE x (ID Counter, Flag YesNo, Name Text(50) NOT NULL DEFAULT \"abc\", D "
             "Date DEFAULT Now(), primary key(ID))",
             {"CREATE TABLE x (ID INTEGER PRIMARY KEY AUTOINCREMENT, Flag BIT DEFAULT 0, Name "
              "VARCHAR(50) COLLATE NOCASE NOT NULL DEFAULT 'abc', D DATETIME COLLATE RTRIM "
              "DEFAULT (Now()))"}},
        Case{kSql,
             "CREATE TABLE t (id int IDENTITY(1,1) PRIMARY KEY CLUSTERED, name varchar(20) "
             "COLLATE Chinese_PRC_CS_AS NOT NULL, f float, g float(10), d datetime DEFAULT "
             "getdate(), b bit DEFAULT 1)",
             {"CREATE TABLE t (id INTEGER PRIMARY KEY AUTOINCREMENT, name VARCHAR(20) NOT NULL, "
              "f DOUBLE, g REAL, d DATETIME COLLATE RTRIM DEFAULT (getdate()), b BIT DEFAULT 1)"}}));

// Yes/No columns hold -1 from Jet texts and 1 from SQL Server texts; a test
// against either true value must find both.
TEST(YesNoColumns, TrueTestsMatchAnyNonzeroValue) {
  SchemaHints hints;
  hints.boolean_columns = {"changyong"};
  struct {
    Source source;
    const char* sql;
    const char* expected;
  } cases[] = {
      {kJet, "SELECT * FROM f WHERE Changyong=-1", "SELECT * FROM f WHERE Changyong<>0"},
      {kSql, "SELECT * FROM f WHERE Changyong = 1 AND x = 1", "SELECT * FROM f WHERE Changyong <> 0 AND x = 1"},
      {kSql, "SELECT * FROM f WHERE 1 = f.ChangYong", "SELECT * FROM f WHERE 0 <> f.ChangYong"},
      {kJet, "SELECT * FROM f WHERE Changyong<>-1", "SELECT * FROM f WHERE Changyong=0"},
      {kJet, "SELECT * FROM f WHERE Changyong=0", "SELECT * FROM f WHERE Changyong=0"},
      {kJet, "UPDATE f SET Changyong=-1 WHERE Changyong=1", "UPDATE f SET Changyong=-1 WHERE Changyong<>0"},
  };
  for (const auto& c : cases) {
    auto t = Translate(c.sql, c.source, Target::Sqlite, &hints);
    ASSERT_TRUE(t.ok()) << c.sql << ": " << t.status().ToString();
    ASSERT_EQ(t->statements.size(), 1u);
    EXPECT_EQ(t->statements[0], c.expected) << c.sql;
  }
  auto plain = Translate("SELECT * FROM f WHERE Changyong=-1", kJet, Target::Sqlite);
  ASSERT_TRUE(plain.ok());
  EXPECT_EQ(plain->statements[0], "SELECT * FROM f WHERE Changyong=-1");
}

// A positional INSERT is given the column list its values mean: the
// canonical order where the count fits it, else the stored order; other
// counts are refused as Jet refuses them.
TEST(PositionalInsert, NamesTheColumnsItsValuesMean) {
  SchemaHints hints;
  // An older 类别 the upgrade extended in its own step order, and a table
  // that keeps a column of its own beyond the canonical ones.
  hints.tables["类别"] = {{"LB_ID", "MingCheng", "LvSu", "KuangType"},
                          {"LB_ID", "MingCheng", "KuangType", "LvSu"}};
  hints.tables["x"] = {{"a", "extra", "b"}, {"a", "b"}};
  hints.tables["own"] = {{"a", "Limit"}, {}};
  struct {
    const char* sql;
    const char* expected;  // empty: refused with `error`
    long error;
  } cases[] = {
      {"INSERT INTO 类别 VALUES(7,'框',2,0)",
       "INSERT INTO 类别 (LB_ID,MingCheng,KuangType,LvSu) VALUES(7,'框',2,0)", 0},
      {"INSERT INTO x VALUES(1, f(2,3))", "INSERT INTO x (a,b) VALUES(1, f(2,3))", 0},
      {"INSERT INTO x VALUES(1,2,3)", "INSERT INTO x (a,extra,b) VALUES(1,2,3)", 0},
      {"INSERT own VALUES(1,2)", "INSERT INTO own (a,[Limit]) VALUES(1,2)", 0},
      {"INSERT INTO x (b) VALUES(1)", "INSERT INTO x (b) VALUES(1)", 0},
      {"INSERT INTO unknown VALUES(1)", "INSERT INTO unknown VALUES(1)", 0},
      {"INSERT INTO x SELECT * FROM y", "INSERT INTO x SELECT * FROM y", 0},
      {"INSERT INTO x VALUES(1)", "", ErrorCode::kValueCount},
      {"INSERT INTO own VALUES(1,2,3)", "", ErrorCode::kValueCount},
  };
  for (const auto& c : cases) {
    auto t = Translate(c.sql, kJet, Target::Sqlite, &hints);
    if (c.error) {
      EXPECT_EQ(t.status().number(), c.error) << c.sql;
      continue;
    }
    ASSERT_TRUE(t.ok()) << c.sql << ": " << t.status().ToString();
    EXPECT_EQ(t->statements.at(0), c.expected) << c.sql;
  }
  // A canonical column the table lacks has nowhere to go (had the table as
  // many columns as values, they would be taken in its own order).
  hints.tables["类别"].stored.pop_back();
  auto missing = Translate("INSERT INTO 类别 VALUES(7,'框',2,0)", kJet, Target::Sqlite, &hints);
  EXPECT_EQ(missing.status().number(), ErrorCode::kNoSuchField);
  EXPECT_NE(missing.status().text().find("KuangType"), std::string::npos);
}

TEST(AlterColumn, BecomesATableRebuild) {
  struct {
    Source source;
    const char* sql;
    AlterColumn expected;
  } cases[] = {
      {kJet, "ALTER TABLE SaleDan ALTER  DingHuoRiQi TEXT ",
       {"SaleDan", "DingHuoRiQi", "VARCHAR(255) COLLATE NOCASE"}},
      {kJet, "ALTER TABLE ShuZhi ALTER ValZhi Single", {"ShuZhi", "ValZhi", "REAL"}},
      {kSql, "ALTER TABLE [t] ALTER COLUMN [a b] varchar(50) NULL", {"t", "a b", "VARCHAR(50) COLLATE NOCASE"}},
  };
  for (const auto& c : cases) {
    auto t = Translate(c.sql, c.source, Target::Sqlite);
    ASSERT_TRUE(t.ok() && t->alter_column.has_value()) << c.sql << ": " << t.status().ToString();
    EXPECT_TRUE(t->statements.empty());
    EXPECT_EQ(t->alter_column->table + "|" + t->alter_column->column + "|" + t->alter_column->declared_type,
              c.expected.table + "|" + c.expected.column + "|" + c.expected.declared_type);
  }
}

// What the connection must forget after a statement: tables and columns,
// whose names and types the translations and result sets rely on; an index
// changes neither.
TEST(SchemaChanges, TablesAndColumnsButNotIndexes) {
  const std::pair<const char*, bool> cases[] = {
      {"CREATE TABLE t (a Long)", true},   {"ALTER TABLE t ADD b Text", true},
      {"DROP TABLE t", true},              {"CREATE UNIQUE INDEX ix ON t (a)", false},
      {"DROP INDEX ix ON t", false},       {"SELECT a FROM t", false},
  };
  for (const auto& [sql, changes] : cases)
    for (Target target : {Target::Sqlite, Target::Postgres}) {
      auto t = Translate(sql, kJet, target);
      ASSERT_TRUE(t.ok()) << sql << ": " << t.status().ToString();
      EXPECT_EQ(t->changes_schema, changes) << sql;
    }
}

TEST(Refusals, NameTheToken) {
  struct {
    Source source;
    std::string sql;
    const char* message_part;
  } cases[] = {
      {kJet, "TRANSFORM Sum(a) SELECT b FROM t PIVOT c", "near 'TRANSFORM'"},
      {kJet, "SELECT DISTINCTROW a FROM t", "near 'DISTINCTROW'"},
      {kJet, "SELECT #2026-13-45# FROM t", "Invalid date literal '#2026-13-45#'"},
      {kJet, "SELECT a FROM t WHERE d = #yesterday#", "'#yesterday#'"},
      {kJet, "SELECT a FROM t WHERE d > #2026-1-1", "Unterminated date literal"},
      {kJet, "SELECT 'abc FROM t", "Unterminated string"},
      {kJet, "SELECT [abc FROM t", "Unterminated bracketed name"},
      {kSql, "SELECT a /* never closed", "Unterminated comment"},
      {kJet, "SELECT a FROM t WHERE b = 1)", "Unbalanced parenthesis"},
      {kJet, "SELECT (a FROM t", "Unbalanced parenthesis"},
      {kJet, "SELECT TOP 5 a FROM t UNION SELECT b FROM u", "near 'TOP 5'"},
      {kJet, "SELECT TOP 5 PERCENT a FROM t", "near 'TOP 5 PERCENT'"},
      {kJet, "SELECT TOP -16 * FROM t", "near 'TOP -'"},
      {kJet, "SELECT a INTO newt FROM t", "near 'INTO'"},
      {kJet, "UPDATE a INNER JOIN b ON a.id=b.id SET a.x = b.y", "near 'INNER'"},
      {kJet, "SELECT IsNull(a, 0) FROM t", "Wrong number of arguments"},
      {kSql, "SELECT ISNULL(a) FROM t", "Wrong number of arguments"},
      {kJet, "SELECT #1/1/2026# + 1 FROM t", "near '+' (arithmetic on a date)"},
      {kSql, "SELECT a FROM t WHERE d < GETDATE() - 1", "arithmetic on a date"},
      {kSql, "(SELECT a FROM t) UNION (SELECT b FROM u)", "a SELECT in parentheses"},
      {kJet, "SELECT a Xor b FROM t", "near 'Xor'"},
      {kSql, "SELECT a FROM t WITH (NOLOCK)", "near 'WITH'"},
      {kSql, "SELECT c ^ 2 FROM t", "near '^'"},
      {kSql, "SELECT @@IDENTITY", "near '@@IDENTITY'"},
      {kSql, "UPDATE t SET a = b FROM t INNER JOIN u ON t.id = u.id", "near 'FROM'"},
      {kSql, "EXEC sp_who", "near 'EXEC'"},
      {kSql, "SELECT convert(varchar(30), d, 103) FROM t", "style 103"},
      {kJet, "SELECT {fn NOW()} FROM t", "near '{'"},
      {kJet, "CREATE TABLE t (a Text(300))", "'Text(300)'"},
      {kJet, "CREATE TABLE t (a Text(99999999999))", "near 'Text(99999999999)'"},
      {kSql, "SELECT convert(varchar(10), d, 99999999999) FROM t", "near '99999999999'"},
      {kSql, "CREATE TABLE t (a varchar(8001))", "'varchar(8001)'"},
      {kJet, "CREATE TABLE t (a Counter, b Long, primary key(b))", "counter must be the primary key"},
      {kJet, "ALTER TABLE t ADD CONSTRAINT pk PRIMARY KEY (a)", "near 'CONSTRAINT'"},
      {kJet, "ALTER TABLE t ADD d Date DEFAULT Now()", "near 'DEFAULT Now()'"},
      {kJet, "ALTER TABLE t ALTER COLUMN a Long NOT NULL", "near 'NOT'"},
      {kSql, "ALTER TABLE t ALTER COLUMN a int; SELECT 1", "ALTER COLUMN"},
      {kJet, "GRANT SELECT ON t TO u", "near 'GRANT'"},
      {kJet, "   ", "Empty SQL statement"},
      {kJet, "SELECT " + std::string(500, '(') + "1" + std::string(500, ')'), "nested too deeply"},
      {kJet, "SELECT " + std::string(300, '-') + "1", "too many signs"},
  };
  for (const auto& c : cases) {
    auto t = Translate(c.sql, c.source, Target::Sqlite);
    ASSERT_FALSE(t.ok()) << c.sql;
    EXPECT_EQ(t.status().number(), ErrorCode::kSyntax) << c.sql;
    EXPECT_NE(t.status().text().find(c.message_part), std::string::npos)
        << c.sql << " gave " << t.status().text();
  }
}

TEST(Tokenizer, JoinsBackToTheSameTextAndReadsQuotedValues) {
  const std::string sql =
      "SELECT [a b], \"s\"\"t\", 'x''y', #1/2/2026#, 1.5e3, .5 FROM 图库 WHERE c<>d -- x";
  for (Source source : {kJet, kSql}) {
    auto tokens = Tokenize(sql, source);
    ASSERT_TRUE(tokens.ok());
    std::string joined;
    for (const Token& t : *tokens) joined += t.text;
    EXPECT_EQ(joined, sql);
  }
  EXPECT_EQ(Tokenize("a--b", kJet)->size(), 4u);  // a - - b: Jet has no comments
  EXPECT_EQ(Tokenize("a--b", kSql)->back().kind, TokenKind::kComment);
  auto t = Tokenize("[a]]b] 'it''s' \"x\"\"y\"", kJet);
  ASSERT_TRUE(t.ok());
  EXPECT_EQ(NameOf((*t)[0]), "a]b");
  EXPECT_EQ(StringValueOf((*t)[2]), "it's");
  EXPECT_EQ((*t)[4].kind, TokenKind::kString);  // a string on Jet, a name on SQL Server
  EXPECT_EQ(StringValueOf((*t)[4]), "x\"y");
  EXPECT_EQ((*Tokenize("\"x\"", kSql))[0].kind, TokenKind::kName);
}

TEST(ColumnTypes, MapAndReverseToTheAdoType) {
  struct {
    Source source;
    const char* name;
    std::vector<long> args;
    const char* definition;
    int ado;
  } cases[] = {
      {kJet, "Text", {}, "VARCHAR(255) COLLATE NOCASE", AdoType::kVarWChar},
      {kJet, "text", {10}, "VARCHAR(10) COLLATE NOCASE", AdoType::kVarWChar},
      {kJet, "Memo", {}, "TEXT COLLATE NOCASE", AdoType::kLongVarWChar},
      {kSql, "text", {}, "TEXT COLLATE NOCASE", AdoType::kLongVarWChar},
      {kSql, "varchar", {}, "VARCHAR(1) COLLATE NOCASE", AdoType::kVarWChar},
      {kSql, "nvarchar", {40}, "VARCHAR(40) COLLATE NOCASE", AdoType::kVarWChar},
      {kSql, "char", {3}, "CHAR(3) COLLATE NOCASE", AdoType::kWChar},
      {kJet, "Long", {}, "INTEGER", AdoType::kInteger},
      {kJet, "Short", {}, "SMALLINT", AdoType::kSmallInt},
      {kJet, "Byte", {}, "TINYINT", AdoType::kUnsignedTinyInt},
      {kJet, "Single", {}, "REAL", AdoType::kSingle},
      {kJet, "Double", {}, "DOUBLE", AdoType::kDouble},
      {kSql, "float", {}, "DOUBLE", AdoType::kDouble},
      {kJet, "Number", {}, "DOUBLE", AdoType::kDouble},
      {kJet, "Currency", {}, "CURRENCY", AdoType::kCurrency},
      {kJet, "Date", {}, "DATETIME COLLATE RTRIM", AdoType::kDate},
      {kJet, "YesNo", {}, "BIT", AdoType::kBoolean},
      {kSql, "decimal", {10, 2}, "DECIMAL(10,2)", AdoType::kNumeric},
      {kSql, "bigint", {}, "BIGINT", AdoType::kBigInt},
      {kJet, "Counter", {}, "INTEGER", AdoType::kInteger},
  };
  for (const auto& c : cases) {
    auto t = MapColumnType(c.name, c.args, c.source, Target::Sqlite);
    ASSERT_TRUE(t.ok()) << c.name << ": " << t.status().ToString();
    EXPECT_EQ(t->Definition(), c.definition) << c.name;
    EXPECT_EQ(t->ado_type, c.ado) << c.name;
    // What SQLite reports as the declared type has no collation.
    EXPECT_EQ(AdoTypeForDeclared(t->declared), c.ado) << c.name;
    EXPECT_EQ(AdoTypeForDeclared(t->Definition()), c.ado) << c.name;
  }
  EXPECT_EQ(AdoTypeForDeclared("long"), AdoType::kInteger);
  EXPECT_EQ(AdoTypeForDeclared(""), AdoType::kEmpty);
  EXPECT_EQ(AdoTypeForDeclared("GEOMETRY"), AdoType::kEmpty);
}

TEST(DateLiterals, AsJetReadsThem) {
  struct {
    const char* text;
    const char* canonical;  // nullptr: no date
  } cases[] = {
      {"2026-12-06", "2026-12-06 00:00:00"},
      {"2026/12/6", "2026-12-06 00:00:00"},
      {"12/6/2026", "2026-12-06 00:00:00"},    // month first
      {"13/6/2026", "2026-06-13 00:00:00"},    // day first when it cannot be a month
      {"12/6/26", "2026-12-06 00:00:00"},
      {"1/1/30", "1930-01-01 00:00:00"},
      {"2026-12-06T14:30:05", "2026-12-06 14:30:05"},
      {"12/6/2026 2:30:00 PM", "2026-12-06 14:30:00"},
      {"12/6/2026 12:00 am", "2026-12-06 00:00:00"},
      {" 2024-2-29 ", "2024-02-29 00:00:00"},
      {"10:30", "1899-12-30 10:30:00"},
      {"2026-02-29", nullptr},
      {"2026-12-06 24:00", nullptr},
      {"2026-12-06 13:00 PM", nullptr},
      {"2026-12/06", nullptr},
      {"", nullptr},
  };
  for (const auto& c : cases) {
    auto t = ParseDateText(c.text);
    if (!c.canonical) {
      EXPECT_FALSE(t.has_value()) << c.text;
      continue;
    }
    ASSERT_TRUE(t.has_value()) << c.text;
    EXPECT_EQ(CanonicalDate(*t), c.canonical) << c.text;
  }
}

TEST(DateLiterals, SerialRoundTrip) {
  CivilTime t{2026, 12, 6, 6, 0, 0};
  EXPECT_DOUBLE_EQ(ToSerial(t), 46362.25);
  auto back = FromSerial(46362.25);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(CanonicalDate(*back), "2026-12-06 06:00:00");
  auto before_zero = FromSerial(-1.25);  // the time still counts forward
  ASSERT_TRUE(before_zero.has_value());
  EXPECT_EQ(CanonicalDate(*before_zero), "1899-12-29 06:00:00");
  EXPECT_FALSE(FromSerial(1e9).has_value());
}

}  // namespace
}  // namespace dravmor::dialect
