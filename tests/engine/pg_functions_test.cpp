// The helper functions on PostgreSQL: every call resolves whatever the
// argument types, and the results are those of the SQLite functions.
#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <sqlite3.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/postgres/jet_functions.h"
#include "engine/sqlite/functions.h"
#include "tests/support/pg_cluster.h"

namespace dravmor {
namespace {

// The script's NOTICEs ("extension citext already exists") are expected.
void Quiet(PGconn* conn) { PQsetNoticeProcessor(conn, [](void*, const char*) {}, nullptr); }

class PgFunctions : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    auto* pg = testing::PgCluster::Shared();
    if (!pg->available()) return;
    Status s = pg->CreateDatabase("jet_functions");
    ASSERT_TRUE(s.ok()) << s.ToString();
    conn_ = PQconnectdb(pg->ConnectionString("jet_functions").c_str());
    ASSERT_EQ(PQstatus(conn_), CONNECTION_OK) << PQerrorMessage(conn_);
    Quiet(conn_);
    ASSERT_EQ(Exec(std::string(JetFunctionsSql())), "");
    // One column of each type the backend reads and writes, a row of
    // values and a row of Nulls.
    ASSERT_EQ(Exec("CREATE TABLE kinds (tx text, ci citext, vc varchar(20), i2 smallint, "
                   "i4 integer, i8 bigint, nu numeric(12,4), r4 real, f8 double precision, "
                   "ts timestamp, tz timestamptz, d date, b boolean);"
                   "INSERT INTO kinds VALUES ('12', 'Ab', '3', 2, 3, 4, 12.5, 1.4, 2.5, "
                   "'2026-12-06 14:30', '2026-12-06 14:30+00', '2026-12-06', true);"
                   "INSERT INTO kinds DEFAULT VALUES"),
              "");
  }
  static void TearDownTestSuite() {
    if (conn_) PQfinish(conn_);
    conn_ = nullptr;
  }
  void SetUp() override {
    auto* pg = testing::PgCluster::Shared();
    if (!pg->available()) GTEST_SKIP() << pg->why_unavailable();
    ASSERT_NE(conn_, nullptr);
  }

  // "" on success, else the SQLSTATE and message.
  static std::string Exec(const std::string& sql) {
    PGresult* res = PQexec(conn_, sql.c_str());
    std::string error;
    if (PQresultStatus(res) != PGRES_COMMAND_OK && PQresultStatus(res) != PGRES_TUPLES_OK)
      error = Field(res, PG_DIAG_SQLSTATE) + " " + Field(res, PG_DIAG_MESSAGE_PRIMARY);
    PQclear(res);
    return error;
  }

  // The one value of the query: its text, "NULL", or "error: MESSAGE".
  static std::string One(const std::string& sql) {
    PGresult* res = PQexec(conn_, sql.c_str());
    std::string out;
    if (PQresultStatus(res) != PGRES_TUPLES_OK)
      out = "error: " + Field(res, PG_DIAG_MESSAGE_PRIMARY);
    else if (PQntuples(res) != 1 || PQnfields(res) != 1)
      out = "<" + std::to_string(PQntuples(res)) + " rows>";
    else
      out = PQgetisnull(res, 0, 0) ? "NULL" : PQgetvalue(res, 0, 0);
    PQclear(res);
    return out;
  }

  static std::string Field(const PGresult* res, int field) {
    const char* v = PQresultErrorField(res, field);
    return v ? v : "";
  }

  static PGconn* conn_;
};

PGconn* PgFunctions::conn_ = nullptr;

const std::vector<std::string> kKinds = {
    "'abc'", "NULL", "tx", "ci", "vc", "i2", "i4",   "i8",          "nu",    "r4",
    "f8",    "ts",   "tz", "d",  "b",  "12", "12.5", "'x'::citext", "now()", "current_date"};

// A call that cannot be resolved fails with a 42xxx state; a value the
// function refuses (Type mismatch, Overflow) is a 22xxx one, which is fine.
TEST_F(PgFunctions, EveryArgumentKindResolves) {
  std::vector<std::string> calls;
  for (const char* f : {"val", "len", "mssql_len", "isnull", "nz", "ucase", "lcase", "cstr", "cint",
                        "clng", "cdbl", "cdate"})
    for (const std::string& k : kKinds) calls.push_back(std::string(f) + "(" + k + ")");
  for (const std::string& k : kKinds) {
    calls.push_back("mid(" + k + ", 2)");
    calls.push_back("mid(" + k + ", 1, 2)");
  }
  for (const char* n : {"'2'", "NULL", "i2", "i4", "i8", "nu", "r4", "f8", "2", "2.5"})
    calls.push_back(std::string("mid('abcdef', ") + n + ", " + n + ")");
  for (const char* f : {"jet_concat", "jet_idiv", "jet_mod"})
    for (const std::string& a : kKinds)
      for (const std::string& b : kKinds)
        calls.push_back(std::string(f) + "(" + a + ", " + b + ")");
  for (const std::string& call : calls) {
    std::string error = Exec("SELECT " + call + " FROM kinds");
    EXPECT_TRUE(error.empty() || error.rfind("22", 0) == 0) << call << ": " << error;
  }
}

// The same calls on SQLite and on PostgreSQL. A Double on SQLite compares
// as a number (12.0 and 12 are one value); everything else as text, errors
// by their message.
TEST_F(PgFunctions, GiveWhatSqliteGives) {
  const char* calls[] = {
      // VAL: the leading number, blanks skipped, &H and &O
      "val('  12.5abc')", "val('abc')", "val('1 2 3')", "val('-3e2x')", "val('&H1F')",
      "val('&o17')", "val('&H')", "val(7)", "val(NULL)", "val('1,000')", "val('.5cm')", "val('1e')",
      "val('')", "val('2026-12-06')", "val('1e400')", "val('5.e3')",
      // characters, not bytes; Mid is 1-based, its counts rounded
      "len('门窗节点图')", "len(12.5)", "len(NULL)", "len('ab  ')", "mssql_len('ab  ')",
      "mssql_len('   ')", "mid('门窗节点图', 2, 2)", "mid('门窗节点图', 4)", "mid('abc', 5)",
      "mid(12345, 2, 2)", "mid('abc', 2.5)", "mid('abc', 1.5, 1)", "mid('abc', 0)",
      "mid('abc', 1, -1)", "mid(NULL, 0)",
      // Null tests and replacements, letter case
      "isnull(NULL)", "isnull(1)", "isnull('')", "isnull(NULL, 5)", "nz(NULL, 'x')", "nz('y', 'x')",
      "nz(NULL)", "iif(1 > 0, 'a', 'b')", "iif(NULL, 1, 2)", "iif(0, 1, 2)", "iif(2, 1.5, 2)",
      "iif(1 < 0, NULL, 3)", "iif('1', 'y', 'n')", "iif('abc', 'y', 'n')", "ucase('élan жук')", "lcase('ÉLAN ЖУК')", "ucase('straße ς')", "ucase(NULL)",
      // numbers as text: 15 digits, exponent form at the ends
      "cstr(12.0)", "cstr(1.5)", "cstr(0.1 + 0.2)", "cstr(1e20)", "cstr(1.0 / 3)",
      "cstr(0.0000123)", "cstr(123456789012345)", "cstr(-2.5e-7)", "cstr(NULL)",
      // conversions: half to even, range and text checks
      "cint(2.5)", "cint(3.5)", "cint(-2.5)", "clng('12')", "clng(-2.5)", "cdbl('1.5')",
      "cint(' 7 ')", "cint(40000)", "cint('abc')", "cint('')", "clng(2147483647.4)",
      "clng(2147483648)", "cdbl('1e3')",
      // date texts as Jet reads them, serial numbers
      "cdate('12/6/2026')", "cdate('2026-12-06 14:30')", "cdate('14:30')", "cdate('2:30 PM')",
      "cdate('12/6/2026 12:00 AM')", "cdate('13/12/2026')", "cdate('12/6/26')", "cdate('6-12-75')",
      "cdate('2026/12/6T08:05:09')", "cdate('2026-12-0614:30')", "cdate('2026-12-061:30')",
      "cdate('12/6/20261:30')", "cdate('2026-12/06')", "cdate('abc')", "cdate('')",
      "cdate('2026-02-30')", "cdate('2024-02-29')", "cdate('13:00 PM')", "cdate('24:00')",
      "cdate('2026-12-06 10:60')", "cdate('12/6/202')", "cdate('2026-12-06 10:00 x')",
      "cdate(46362.25)", "cdate(-1.25)", "cdate(0.99999999999)", "cdate(-1.99999999999)",
      "cdate(1e10)",
      // the operators & \ Mod
      "jet_concat('a', NULL)", "jet_concat(NULL, NULL)", "jet_concat('x', 1.5)", "jet_concat(1, 2)",
      "jet_idiv(7, 2)", "jet_mod(7, 3)", "jet_idiv(2.5, 1)", "jet_mod(3.5, 2)", "jet_idiv('7', 2)",
      "jet_mod(-7, 3)", "jet_idiv(-7, 2)", "jet_idiv(5, -1)", "jet_mod(5, -1)", "jet_idiv(1, 0)",
      "jet_mod(1, 0.4)", "jet_idiv(1e19, 1)", "jet_idiv(NULL, 0)"};
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
  ASSERT_EQ(RegisterJetFunctions(db), SQLITE_OK);
  for (const char* call : calls) {
    std::string sql = std::string("SELECT ") + call;
    // ISNULL is an operator word to SQLite; quoted, it names the function.
    std::string on_sqlite = sql;
    if (on_sqlite.rfind("SELECT isnull(", 0) == 0) on_sqlite.replace(7, 6, "\"isnull\"");
    sqlite3_stmt* stmt = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, on_sqlite.c_str(), -1, &stmt, nullptr), SQLITE_OK) << sql;
    std::string expected;
    bool real = false;
    if (sqlite3_step(stmt) == SQLITE_ROW) {
      real = sqlite3_column_type(stmt, 0) == SQLITE_FLOAT;
      const unsigned char* v = sqlite3_column_text(stmt, 0);
      expected = v ? reinterpret_cast<const char*>(v) : "NULL";
    } else {
      expected = std::string("error: ") + sqlite3_errmsg(db);
    }
    sqlite3_finalize(stmt);
    std::string actual = One(sql);
    if (real && actual.rfind("error", 0) != 0)
      EXPECT_EQ(std::strtod(actual.c_str(), nullptr), std::strtod(expected.c_str(), nullptr))
          << sql;
    else
      EXPECT_EQ(actual, expected) << sql;
  }
  sqlite3_close(db);
}

// Values of types SQLite does not have: single precision, exact numbers,
// dates, Yes/No and citext columns.
TEST_F(PgFunctions, TypedValuesActAsJetValues) {
  const std::string row = " FROM kinds WHERE tx IS NOT NULL";
  EXPECT_EQ(One("SELECT cstr(r4) || '|' || len(r4) || '|' || val(r4)" + row), "1.4|3|1.4");
  EXPECT_EQ(One("SELECT cstr(nu) || '|' || cstr(f8) || '|' || cstr(i8)" + row), "12.5|2.5|4");
  EXPECT_EQ(One("SELECT cstr(ts) || '|' || val(ts) || '|' || len(d) || '|' || cstr(d)" + row),
            "2026-12-06 14:30:00|2026|19|2026-12-06 00:00:00");
  EXPECT_EQ(One("SELECT cstr(b) || '|' || cint(b) || '|' || isnull(b)" + row), "-1|-1|0");
  EXPECT_EQ(One("SELECT cdate(d) || '|' || cdate(ts) || '|' || mid(ts, 12, 5)" + row),
            "2026-12-06 00:00:00|2026-12-06 14:30:00|14:30");
  EXPECT_EQ(One("SELECT jet_concat(ci, i4) || jet_concat(vc, nu) || jet_idiv(nu, r4)" + row),
            "Ab3"
            "312.5"
            "12");
  // Nz keeps the type: a citext stays case-insensitive, a number gets 0.
  EXPECT_EQ(One("SELECT nz(ci) = 'AB' AND pg_typeof(nz(ci)) = 'citext'::regtype" + row), "t");
  EXPECT_EQ(One("SELECT nz(i4) + nz(f8) || '|' || nz(ts) || '|' || nz(b) || '|' || "
                "isnull(ts) || nz(tx) || '|' || nz(d) FROM kinds WHERE tx IS NULL"),
            "0|1899-12-30 00:00:00|false|-1|1899-12-30");
  EXPECT_EQ(One("SELECT nz(i4, 7.5) FROM kinds WHERE tx IS NULL"), "7.5");
  EXPECT_EQ(One("SELECT pg_typeof(cint(1))::text || pg_typeof(val('1'))::text || "
                "pg_typeof(len('x'))::text || pg_typeof(jet_mod(1, 1))::text"),
            "integerdouble precisionintegerbigint");
}

// The backend turns the states back into Jet's error numbers.
TEST_F(PgFunctions, FailuresCarryTheirState) {
  EXPECT_EQ(Exec("SELECT cint('abc')"), "22P02 Type mismatch");
  EXPECT_EQ(Exec("SELECT cdate(now()::time)"), "22P02 Type mismatch");
  EXPECT_EQ(Exec("SELECT clng(3e9)"), "22003 Overflow");
  EXPECT_EQ(Exec("SELECT jet_mod(i4, 0) FROM kinds"), "22012 Division by zero");
  EXPECT_EQ(Exec("SELECT mid(tx, 0) FROM kinds"), "22023 Invalid procedure call or argument");
}

TEST_F(PgFunctions, ClockFunctionsGiveLocalTime) {
  // One statement outside a transaction starts when its transaction does,
  // so the clock functions agree with localtimestamp to the second.
  EXPECT_EQ(One("SELECT getdate() = date_trunc('second', localtimestamp)"), "t");
  EXPECT_EQ(One("SELECT date() = current_date::timestamp"), "t");
  EXPECT_EQ(
      One("SELECT \"time\"() = '1899-12-30'::date + date_trunc('second', localtimestamp)::time"),
      "t");
}

TEST_F(PgFunctions, ScriptRunsAgainAndNamesItsVersion) {
  EXPECT_EQ(Exec(std::string(JetFunctionsSql())), "");
  EXPECT_EQ(One("SELECT dravmor_functions_version()"), std::to_string(kJetFunctionsVersion));
}

// Connections that open a new database together all set it up.
TEST_F(PgFunctions, ScriptRunsOnSeveralConnectionsAtOnce) {
  auto* pg = testing::PgCluster::Shared();
  for (int round = 0; round < 3; ++round) {
    ASSERT_TRUE(pg->CreateDatabase("jet_functions_race").ok());
    std::vector<PGconn*> conns;
    for (int i = 0; i < 4; ++i) {
      conns.push_back(PQconnectdb(pg->ConnectionString("jet_functions_race").c_str()));
      Quiet(conns.back());
    }
    for (PGconn* c : conns) ASSERT_TRUE(PQsendQuery(c, std::string(JetFunctionsSql()).c_str()));
    for (PGconn* c : conns) {
      while (PGresult* res = PQgetResult(c)) {
        EXPECT_NE(PQresultStatus(res), PGRES_FATAL_ERROR) << PQresultErrorMessage(res);
        PQclear(res);
      }
      PQfinish(c);
    }
  }
}

}  // namespace
}  // namespace dravmor
