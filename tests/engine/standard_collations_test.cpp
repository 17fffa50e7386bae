// A shop's SQLite file and the standard tools: what the engine makes must
// filter and sort in a plain SQLite connection (no functions of ours), and
// a file made by an earlier version (COLLATE JETTEXT / JETDATE) keeps
// working in the engine and becomes usable by the tools once converted.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include "engine/schema/shipped_schema.h"
#include "engine/shared_connection.h"
#include "engine/sqlite/functions.h"
#include "engine/sqlite/standard_collations.h"
#include "tests/support/test_database.h"
#include "users/login_sequence.h"

namespace dravmor {
namespace {

// The rows of a query in a plain connection, as the sqlite3 shell or
// Python's sqlite3 would run it; the error text when it fails.
std::vector<std::string> Plain(const std::string& file, const std::string& sql) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  std::vector<std::string> rows;
  char* error = nullptr;
  sqlite3_exec(
      db, sql.c_str(),
      [](void* out, int n, char** values, char**) {
        std::string row;
        for (int i = 0; i < n; ++i) row += (i ? "|" : "") + std::string(values[i] ? values[i] : "NULL");
        static_cast<std::vector<std::string>*>(out)->push_back(row);
        return 0;
      },
      &rows, &error);
  if (error) {
    rows = {std::string("error: ") + error};
    sqlite3_free(error);
  }
  sqlite3_close(db);
  return rows;
}

TEST(StandardTools, FilterAndSortTheEnginesFile) {
  testing::TempDir dir;
  const std::string file = dir.File("shop.db");
  SharedConnection::ResetThisThread();
  ASSERT_TRUE(CreateShippedDatabase(file).ok());
  auto c = SharedConnection::ForThisThread();
  for (const char* sql : {"INSERT INTO 厂家 (CJ_ID, BianMa) VALUES (1, 'b2')",
                          "INSERT INTO 厂家 (CJ_ID, BianMa) VALUES (2, 'A1')",
                          "INSERT INTO 厂家 (CJ_ID, BianMa) VALUES (3, 'Ư3')"})
    ASSERT_TRUE(c->Execute(sql, dialect::Source::Jet).ok()) << sql;
  // The engine ignores the letter case of every script...
  auto rows = c->Query("SELECT CJ_ID FROM 厂家 WHERE BianMa = 'ư3'", dialect::Source::Jet);
  ASSERT_TRUE(rows.ok());
  EXPECT_EQ(rows->RowCount(), 1u);
  SharedConnection::ResetThisThread();
  // ... the tools, of ASCII letters.
  EXPECT_EQ(Plain(file, "SELECT CJ_ID FROM 厂家 WHERE BianMa = 'a1' ORDER BY BianMa"),
            std::vector<std::string>{"2"});
  EXPECT_EQ(Plain(file, "SELECT BianMa FROM 厂家 ORDER BY BianMa"),
            (std::vector<std::string>{"A1", "b2", "Ư3"}));
}

TEST(StandardTools, OlderFilesKeepWorkingAndAreConverted) {
  testing::TempDir dir;
  const std::string file = dir.File("old.db");
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
  ASSERT_EQ(RegisterJetFunctions(db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db,
                         "CREATE TABLE t (id INTEGER PRIMARY KEY, code VARCHAR(10) COLLATE JETTEXT, "
                         "d DATETIME COLLATE JETDATE);"
                         "CREATE INDEX t_code ON t (code);"
                         "INSERT INTO t VALUES (1, 'ƯA', '2026-12-6'), (2, 'b', '2026-01-02 00:00:00');",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  EXPECT_EQ(Plain(file, "SELECT id FROM t ORDER BY code")[0].rfind("error: no such collation", 0), 0u);
  int changed = 0;
  ASSERT_TRUE(UseStandardCollations(db, &changed).ok());
  EXPECT_EQ(changed, 1);
  // The engine's meaning is unchanged: letter case of every script, dates
  // as dates.
  int found = 0;
  sqlite3_exec(db, "SELECT COUNT(*) FROM t WHERE code = 'ưa' AND d = '2026-12-06 00:00:00'",
               [](void* out, int, char** v, char**) { *static_cast<int*>(out) = std::stoi(v[0]); return 0; },
               &found, nullptr);
  EXPECT_EQ(found, 1);
  ASSERT_TRUE(UseStandardCollations(db, &changed).ok());  // again: nothing to do
  EXPECT_EQ(changed, 0);
  sqlite3_close(db);
  EXPECT_EQ(Plain(file, "SELECT id FROM t ORDER BY code"), (std::vector<std::string>{"2", "1"}));
  EXPECT_EQ(Plain(file, "PRAGMA integrity_check"), std::vector<std::string>{"ok"});
}

TEST(StandardTools, TheLogInUpgradeConvertsAnOlderFile) {
  testing::TempDir dir;
  const std::string file = dir.File("shop.db");
  ASSERT_TRUE(CreateShippedDatabase(file).ok());
  SharedConnection::ResetThisThread();
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
  ASSERT_EQ(RegisterJetFunctions(db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db,
                         "CREATE TABLE older (code VARCHAR(10) COLLATE JETTEXT);"
                         "INSERT INTO older VALUES ('b'), ('A');",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(db);
  LoginResult login = RunLoginSequence(file, LoginOptions{});
  EXPECT_TRUE(login.connection.ok());
  EXPECT_TRUE(login.failed_steps.empty());
  SharedConnection::ResetThisThread();
  EXPECT_EQ(Plain(file, "SELECT code FROM older ORDER BY code"), (std::vector<std::string>{"A", "b"}));
}

}  // namespace
}  // namespace dravmor
