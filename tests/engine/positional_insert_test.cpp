// Every positional INSERT the server classes build ("INSERT INTO t
// VALUES(...)", no column list): on a new database of either dialect path
// each runs, and on an older database that the upgrade extended (its columns
// in the order the upgrade added them) each stores every value in the same
// column as on the new one.
#include <fstream>
#include <map>
#include <regex>
#include <set>

#include <gtest/gtest.h>

#include "engine/schema/shipped_schema.h"
#include "engine/settings_store.h"
#include "engine/text.h"
#include "tests/support/older_database.h"
#include "tests/support/test_database.h"
#include "users/login_sequence.h"

namespace dravmor {
namespace {

struct Line {
  std::string where, dialect, sql;
};

std::vector<Line> ReadPositionalInserts() {
  std::ifstream in(std::string(DRAVMOR_TEST_DATA) + "/statements.tsv");
  std::vector<Line> lines;
  std::regex positional(R"(^\s*INSERT\s+INTO\s+[^\s(]+\s+VALUES\s*\()", std::regex::icase);
  for (std::string text; std::getline(in, text);) {
    if (text.empty() || text[0] == '#') continue;
    size_t a = text.find('\t'), b = text.find('\t', a + 1);
    if (a == std::string::npos || b == std::string::npos) continue;
    Line line{text.substr(0, a), text.substr(a + 1, b - a - 1), text.substr(b + 1)};
    if (std::regex_search(line.sql, positional)) lines.push_back(line);
  }
  return lines;
}

std::string TableOf(const std::string& sql) {
  std::smatch m;
  std::regex table(R"(INTO\s+([^\s(]+))", std::regex::icase);
  return std::regex_search(sql, m, table) ? m[1].str() : "";
}

// The one row of the table as column (letter case ignored) -> text.
std::map<std::string, std::string> OnlyRow(SharedConnection& connection, const std::string& table) {
  std::map<std::string, std::string> row;
  auto rows = connection.Query("SELECT * FROM " + table, dialect::Source::Jet);
  EXPECT_TRUE(rows.ok() && rows->RowCount() == 1) << table;
  if (!rows.ok() || rows->RowCount() != 1) return row;
  for (size_t c = 0; c < rows->fields.size(); ++c)
    row[ToLowerAscii(rows->fields[c].name)] =
        rows->cells[c].IsNull() ? "<null>" : rows->cells[c].ToText();
  return row;
}

// Runs the statement on an emptied table and reads the row back, all
// rolled back: only where the values land is under test.
std::map<std::string, std::string> Stored(SharedConnection& connection, const Line& line,
                                          dialect::Source source) {
  const std::string table = TableOf(line.sql);
  Transaction scratch(connection);
  EXPECT_TRUE(connection.Execute("DELETE FROM " + table, source).ok()) << table;
  Status s = connection.Execute(line.sql, source);
  EXPECT_TRUE(s.ok()) << line.where << ": " << s.ToString() << "\n  " << line.sql;
  return s.ok() ? OnlyRow(connection, table) : std::map<std::string, std::string>{};
}

class PositionalInserts : public ::testing::TestWithParam<testing::TestBackend> {
 protected:
  void TearDown() override {
    UseSettings(nullptr);
    SharedConnection::ResetThisThread();
  }
  // A database made by `make` and brought up by the log-in sequence, open
  // on a connection of the test's own.
  std::unique_ptr<SharedConnection> Make(const testing::TempDir& dir, bool is2000,
                                         Status (*make)(const std::string&)) {
    SharedConnection::ResetThisThread();
    std::string why;
    std::string cs = testing::NewDatabase(GetParam(), dir, &why);
    if (cs.empty()) return nullptr;
    EXPECT_TRUE(make(cs).ok());
    UseSettings(std::make_shared<FileSettingsStore>(dir.File("settings.json")));
    LoginOptions options;
    options.sql_server = is2000;
    RunLoginSequence(cs, options);
    SharedConnection::ResetThisThread();
    auto own = std::make_unique<SharedConnection>();
    EXPECT_TRUE(own->Bind(cs).ok());
    return own;
  }
  testing::TempDir fresh_dir_, older_dir_;
};

// The tables a class's Connect creates, and the one insert whose column
// count its class knows to be short (it is given a column list).
const std::set<std::string> kCreatedByConnect = {"GcMoney", "MoneyGc", "GcInstall",
                                                 "Problem", "TouBiao", "HeTong"};
const std::set<std::string> kKnownShort = {"ServerForDrawing.AddWindow"};

TEST_P(PositionalInserts, LandInTheSameColumnsOnAnOlderDatabase) {
  auto fresh = Make(fresh_dir_, false, CreateShippedDatabase);
  if (!fresh) GTEST_SKIP() << "no database server here";
  auto older = Make(older_dir_, false, testing::CreateOlderDatabase);
  int compared = 0;
  for (const Line& line : ReadPositionalInserts()) {
    if (line.dialect == "sqlserver" || kCreatedByConnect.count(TableOf(line.sql)) ||
        kKnownShort.count(line.where))
      continue;
    EXPECT_EQ(Stored(*older, line, dialect::Source::Jet), Stored(*fresh, line, dialect::Source::Jet))
        << line.where << ": " << line.sql;
    ++compared;
  }
  EXPECT_GT(compared, 40);
}

TEST_P(PositionalInserts, RunOnTheSqlServerPath) {
  auto fresh = Make(fresh_dir_, true, CreateShippedDatabase);
  if (!fresh) GTEST_SKIP() << "no database server here";
  for (const Line& line : ReadPositionalInserts())
    if (line.dialect != "jet" && !kCreatedByConnect.count(TableOf(line.sql)) &&
        !kKnownShort.count(line.where))
      Stored(*fresh, line, dialect::Source::SqlServer);
}

INSTANTIATE_TEST_SUITE_P(Backends, PositionalInserts, testing::BothBackends(), testing::BackendName);

}  // namespace
}  // namespace dravmor
