// The dialect layer's part in giving a text one meaning on both backends:
// result names, Null order, LIKE sets, Jet Booleans as conditions, Jet date
// functions and values converted to their column's type. Running them on
// the databases is the backend differential test.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "engine/dialect/passes.h"
#include "engine/dialect/rewriter.h"
#include "engine/dialect/types.h"

namespace dravmor::dialect {
namespace {

constexpr Source kJet = Source::Jet;
constexpr Source kSql = Source::SqlServer;

using Names = std::vector<std::optional<std::string>>;

TEST(ResultNames, AsTheStatementWroteThem) {
  struct Case {
    Source source;
    std::string sql;
    Names names;
  } cases[] = {
      {kJet, "SELECT xllb, 系列.PinJieFangShi, [Changdu] FROM 系列", {"xllb", "PinJieFangShi", "Changdu"}},
      {kJet, "SELECT COUNT(*), Max(ID) AS Most FROM t", {"COUNT(*)", "Most"}},
      {kJet, "SELECT DISTINCT TOP 3 a & b, * FROM t", {"a & b", std::nullopt}},
      {kJet, "SELECT t.*, 5 FROM t UNION SELECT 1, 2 FROM u", {std::nullopt, "5"}},
      {kSql, "SELECT COUNT(*) n, a b, N'x' FROM t", {"n", "b", "N'x'"}},
      {kJet, "SELECT NOT a FROM t", {"NOT a"}},
      {kJet, "UPDATE t SET a=1", {}},
  };
  for (const Case& c : cases)
    for (Target target : {Target::Sqlite, Target::Postgres}) {
      auto t = Translate(c.sql, c.source, target);
      ASSERT_TRUE(t.ok()) << c.sql << ": " << t.status().ToString();
      EXPECT_EQ(t->result_names, c.names) << c.sql;
    }
}

TEST(ResultNames, LaidOverTheColumns) {
  Names items = {"a", std::nullopt, "z"};
  EXPECT_EQ(ResultColumnNames(items, 5), (Names{"a", std::nullopt, std::nullopt, std::nullopt, "z"}));
  EXPECT_EQ(ResultColumnNames({"a", "b"}, 2), (Names{"a", "b"}));
  // Cannot be laid over: every column keeps the backend's name.
  EXPECT_EQ(ResultColumnNames({"a", "b"}, 3), Names(3));
  EXPECT_EQ(ResultColumnNames({std::nullopt, std::nullopt}, 4), Names(4));
}


struct Case {
  Source source;
  std::string sql;
  std::string sqlite;    // expected text on SQLite
  std::string postgres;  // expected text on PostgreSQL
};

void ExpectTranslations(const std::vector<Case>& cases, const SchemaHints* hints = nullptr) {
  for (const Case& c : cases) {
    auto lite = Translate(c.sql, c.source, Target::Sqlite, hints);
    ASSERT_TRUE(lite.ok()) << c.sql << ": " << lite.status().ToString();
    EXPECT_EQ(lite->statements.at(0), c.sqlite) << c.sql;
    auto pg = Translate(c.sql, c.source, Target::Postgres, hints);
    ASSERT_TRUE(pg.ok()) << c.sql << ": " << pg.status().ToString();
    EXPECT_EQ(pg->statements.at(0), c.postgres) << c.sql;
  }
}

TEST(NullOrder, NullsFirstAscendingLastDescending) {
  ExpectTranslations({
      {kJet, "SELECT a FROM t ORDER BY a, b DESC", "SELECT a FROM t ORDER BY a, b DESC",
       "SELECT a FROM t ORDER BY a NULLS FIRST, b DESC NULLS LAST"},
      {kJet, "SELECT TOP 2 a FROM t WHERE a IN (SELECT TOP 1 a FROM u ORDER BY a ASC) ORDER BY 1",
       "SELECT a FROM t WHERE a IN (SELECT a FROM u ORDER BY a ASC LIMIT 1) ORDER BY 1 LIMIT 2",
       "SELECT a FROM t WHERE a IN (SELECT a FROM u ORDER BY a ASC NULLS FIRST LIMIT 1) ORDER BY 1 "
       "NULLS FIRST LIMIT 2"},
  });
}

TEST(LikeSets, CharacterClassesOnBothBackends) {
  ExpectTranslations({
      {kJet, "SELECT a FROM t WHERE a LIKE 'x%'", "SELECT a FROM t WHERE a LIKE 'x%'",
       "SELECT a FROM t WHERE a ILIKE 'x%' ESCAPE ''"},
      {kJet, "SELECT a FROM t WHERE a LIKE '[A-C]%' AND b NOT LIKE '[!x.]_'",
       "SELECT a FROM t WHERE a LIKE '[A-C]%' AND b NOT LIKE '[!x.]_'",
       "SELECT a FROM t WHERE a ~* ('^[A-C].*$') AND b !~* ('^[^x\\.].$')"},
      {kJet, "SELECT a FROM t WHERE a LIKE '[[]5%]' OR a LIKE '%' & b",
       "SELECT a FROM t WHERE a LIKE '[[]5%]' OR a LIKE JET_CONCAT('%', b)",
       "SELECT a FROM t WHERE a ~* ('^[\\[]5.*\\]$') OR a ~* (dravmor_like_regex(jet_concat('%', b)))"},
      {kSql, "SELECT a FROM t WHERE a LIKE '[a]!%' ESCAPE '!'", "SELECT a FROM t WHERE a LIKE '[a]!%' ESCAPE '!'",
       "SELECT a FROM t WHERE a ~* ('^[a]%$')"},
  });
  EXPECT_EQ(LikePatternToRegex("a[b", std::nullopt), "^a\\[b$");
  EXPECT_EQ(LikePatternToRegex("[]]", std::nullopt), "^[\\]]$");
}

TEST(Conditions, JetBooleansTestedOnPostgres) {
  ExpectTranslations({
      {kJet, "UPDATE 配件 SET Guige='普通' WHERE IsNull(Guige) OR Len(GuiGe)=0 ",
       "UPDATE 配件 SET Guige='普通' WHERE [IsNull](Guige) OR Len(GuiGe)=0 ",
       "UPDATE 配件 SET Guige='普通' WHERE (IsNull(Guige) <> 0) OR Len(GuiGe)=0 "},
      {kJet, "SELECT a FROM t WHERE NOT IsNull(a) AND (b OR c BETWEEN 1 AND 2) ORDER BY a",
       "SELECT a FROM t WHERE NOT [IsNull](a) AND (b OR c BETWEEN 1 AND 2) ORDER BY a",
       "SELECT a FROM t WHERE NOT (IsNull(a) <> 0) AND ((b <> 0) OR c BETWEEN 1 AND 2) ORDER BY a NULLS FIRST"},
      {kSql, "SELECT CASE x WHEN 1 THEN 2 END, CASE WHEN y THEN 3 END FROM t WHERE Left(a, 1) = 'x'",
       "SELECT CASE x WHEN 1 THEN 2 END, CASE WHEN y THEN 3 END FROM t WHERE [Left](a, 1) = 'x'",
       "SELECT CASE x WHEN 1 THEN 2 END, CASE WHEN (y <> 0) THEN 3 END FROM t WHERE Left(a, 1) = 'x'"},
  });
}

TEST(DateFunctions, TranslatedOrRefusedOnBothBackends) {
  ExpectTranslations({
      {kJet, "SELECT ID FROM t WHERE Year(RiQi) = 2026 AND DateDiff('d', RiQi, #2026-12-06#) < 7",
       "SELECT ID FROM t WHERE JET_DATEPART('yyyy', RiQi) = 2026 AND "
       "JET_DATEDIFF('d', RiQi, '2026-12-06 00:00:00') < 7",
       "SELECT ID FROM t WHERE jet_datepart('yyyy', cdate(RiQi)) = 2026 AND "
       "jet_datediff('d', cdate(RiQi), cdate('2026-12-06 00:00:00')) < 7"},
      {kJet, "SELECT Format(RiQi, \"yyyy-mm\"), DateAdd('m', 1, RiQi) FROM t",
       "SELECT JET_FORMAT(RiQi, 'yyyy-mm'), JET_DATEADD('m', 1, RiQi) FROM t",
       "SELECT to_char(cdate(RiQi), 'YYYY\"-\"MM'), jet_dateadd('m', 1, cdate(RiQi)) FROM t"},
      {kSql, "SELECT DATEDIFF(dd, a, GETDATE()), MONTH(a) FROM t",
       "SELECT JET_DATEDIFF('d', a, GETDATE()), JET_DATEPART('m', a) FROM t",
       "SELECT jet_datediff('d', cdate(a), cdate(GETDATE())), jet_datepart('m', cdate(a)) FROM t"},
  });
  for (const char* bad : {"SELECT Format(d, 'Long Date') FROM t", "SELECT Format(n, '0.00') FROM t",
                          "SELECT Format(d, x) FROM t", "SELECT DateAdd('fortnight', 1, d) FROM t",
                          "SELECT Weekday(d, 2) FROM t"})
    for (Target target : {Target::Sqlite, Target::Postgres}) {
      auto t = Translate(bad, kJet, target);
      EXPECT_FALSE(t.ok()) << bad;
      EXPECT_EQ(t.status().number(), ErrorCode::kSyntax) << bad;
    }
}

TEST(Assignments, ValuesTakeTheirColumnsType) {
  SchemaHints hints;
  hints.AddColumn("t", "n", AdoType::kInteger);
  hints.AddColumn("t", "b", AdoType::kUnsignedTinyInt);
  hints.AddColumn("t", "s", AdoType::kSingle);
  hints.AddColumn("t", "c", AdoType::kCurrency);
  hints.AddColumn("t", "x", AdoType::kVarWChar);
  hints.AddColumn("t", "d", AdoType::kDate);
  ExpectTranslations(
      {
          {kJet, "INSERT INTO t (n, b, s, c, x, d) VALUES (2.5, 3, 1.4, 1234.56789, 9.0, '2026-1-2')",
           "INSERT INTO t (n, b, s, c, x, d) VALUES (2, 3, 1.399999976158142, 1234.5679, '9', "
           "CDATE('2026-1-2'))",
           "INSERT INTO t (n, b, s, c, x, d) VALUES (2, 3, 1.399999976158142, 1234.5679, '9', "
           "CDATE('2026-1-2'))"},
          {kJet, "INSERT INTO t (n, x) VALUES (2.5, 9.0), (3.5, 1)",
           "INSERT INTO t (n, x) VALUES (2, '9'), (4, '1')",
           "INSERT INTO t (n, x) VALUES (2, '9'), (4, '1')"},
          {kJet, "UPDATE t SET t.n = n / 2, x = 'a', x = NULL, y = 2.5 WHERE n = 1.5",
           "UPDATE t SET n = CLNG(n * 1.0 / 2), x = 'a', x = NULL, y = 2.5 WHERE n = 1.5",
           "UPDATE t SET n = CLNG(n * 1.0 / 2), x = 'a', x = NULL, y = 2.5 WHERE n = 1.5"},
          {kJet, "INSERT INTO t (x, s) SELECT n, n FROM t", "INSERT INTO t (x, s) SELECT CSTR(n), CSNG(n) FROM t",
           "INSERT INTO t (x, s) SELECT CSTR(n), CSNG(n) FROM t"},
      },
      &hints);
  for (const char* overflow : {"INSERT INTO t (b) VALUES (300)", "UPDATE t SET n = 3000000000",
                               "UPDATE t SET c = 1e15", "INSERT INTO t (s) VALUES (1e39)"}) {
    auto t = Translate(overflow, kJet, Target::Sqlite, &hints);
    ASSERT_FALSE(t.ok()) << overflow;
    EXPECT_EQ(t.status().number(), ErrorCode::kOverflow) << overflow;
  }
}

TEST(RowOrder, TiesAndUnorderedRowsFollowTheKey) {
  SchemaHints hints;
  hints.AddColumn("配件", "PJ_ID", AdoType::kInteger);
  hints.primary_keys["配件"] = {"PJ_ID"};
  ExpectTranslations(
      {
          {kJet, "SELECT * FROM 配件 INNER JOIN 厂家 ON 配件.cj_id = 厂家.cj_id ORDER BY 厂家.cj_id",
           "SELECT * FROM 配件 INNER JOIN 厂家 ON 配件.cj_id = 厂家.cj_id ORDER BY 厂家.cj_id, 配件.[PJ_ID]",
           "SELECT * FROM 配件 INNER JOIN 厂家 ON 配件.cj_id = 厂家.cj_id ORDER BY 厂家.cj_id NULLS FIRST, "
           "配件.\"pj_id\" NULLS FIRST"},
          {kJet, "SELECT TOP 3 p.DaiMa FROM (配件 AS p INNER JOIN x ON p.a = x.a) WHERE 1=1",
           "SELECT p.DaiMa FROM (配件 AS p INNER JOIN x ON p.a = x.a) WHERE 1=1 ORDER BY p.[PJ_ID] LIMIT 3",
           "SELECT p.DaiMa FROM (配件 AS p INNER JOIN x ON p.a = x.a) WHERE 1=1 ORDER BY p.\"pj_id\" NULLS "
           "FIRST LIMIT 3"},
          {kJet, "SELECT DISTINCT a, b FROM 配件", "SELECT DISTINCT a, b FROM 配件 ORDER BY 1, 2",
           "SELECT DISTINCT a, b FROM 配件 ORDER BY 1 NULLS FIRST, 2 NULLS FIRST"},
          {kJet, "SELECT a, COUNT(*) FROM 配件 GROUP BY a", "SELECT a, COUNT(*) FROM 配件 GROUP BY a ORDER BY a",
           "SELECT a, COUNT(*) FROM 配件 GROUP BY a ORDER BY a NULLS FIRST"},
          {kJet, "SELECT COUNT(*) FROM 配件", "SELECT COUNT(*) FROM 配件", "SELECT COUNT(*) FROM 配件"},
      },
      &hints);
}

}  // namespace
}  // namespace dravmor::dialect
