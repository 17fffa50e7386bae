// A shop coming from an older installation: a database generated as an
// early installation left it (fewer columns, some tables missing), brought
// up by the log-in sequence, then holds what a new database holds, and the
// add operations of every class (the example sessions) store their values in
// the same columns as on a new database, although its columns stand in the
// order the upgrade added them.
#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>

#include <gtest/gtest.h>

#include "cli/script_runner.h"
#include "engine/schema/shipped_schema.h"
#include "engine/settings_store.h"
#include "engine/text.h"
#include "tests/support/older_database.h"
#include "tests/support/test_database.h"
#include "users/login_sequence.h"

namespace dravmor {
namespace {

const char* const kExamples[] = {"factories", "operators", "series",  "customers",
                                 "projects",  "categories", "profiles", "warehouse",
                                 "records",   "templates",  "formulas"};

std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

// Every table's columns (by name, letter case ignored, with their field
// types) and rows (as column -> text), in an order that does not depend on
// the columns' stored order.
struct Contents {
  std::map<std::string, std::map<std::string, int>> columns;
  std::map<std::string, std::vector<std::string>> rows;
};

Contents Read(SharedConnection& connection) {
  Contents out;
  for (const CatalogueTable& table : (*connection.GetCatalogue())->Tables()) {
    const std::string name = ToLowerAscii(table.name);
    auto rows = connection.Query("SELECT * FROM " + table.name, dialect::Source::Jet);
    EXPECT_TRUE(rows.ok()) << table.name << ": " << rows.status().ToString();
    if (!rows.ok()) continue;
    for (const FieldInfo& f : rows->fields) out.columns[name][ToLowerAscii(f.name)] = f.type;
    for (size_t r = 0; r < rows->RowCount(); ++r) {
      std::map<std::string, std::string> row;
      for (size_t c = 0; c < rows->fields.size(); ++c) {
        const Variant& v = rows->cells[r * rows->fields.size() + c];
        row[ToLowerAscii(rows->fields[c].name)] = v.IsNull() ? "<null>" : v.ToText();
      }
      std::ostringstream text;
      for (const auto& [column, value] : row) text << column << "=" << value << "; ";
      out.rows[name].push_back(text.str());
    }
    std::sort(out.rows[name].begin(), out.rows[name].end());
  }
  return out;
}

void ExpectSame(const Contents& fresh, const Contents& older, const std::string& when) {
  for (const auto& [table, columns] : fresh.columns) {
    auto it = older.columns.find(table);
    if (it == older.columns.end()) {
      ADD_FAILURE() << when << ": the older database lacks " << table;
      continue;
    }
    EXPECT_EQ(it->second, columns) << when << ": columns of " << table;
    EXPECT_EQ(older.rows.at(table), fresh.rows.at(table)) << when << ": rows of " << table;
  }
  for (const auto& [table, columns] : older.columns)
    EXPECT_TRUE(fresh.columns.count(table)) << when << ": the older database has " << table;
}

class OlderDatabase : public ::testing::TestWithParam<testing::TestBackend> {
 protected:
  void TearDown() override {
    UseSettings(nullptr);
    SharedConnection::ResetThisThread();
  }
  // A database of the backend in its own folder, bound as this thread's
  // connection, made by `make`; then the log-in sequence on the Jet path.
  std::string Make(const testing::TempDir& dir, const std::function<Status(const std::string&)>& make) {
    SharedConnection::ResetThisThread();
    std::string why;
    std::string cs = testing::NewDatabase(GetParam(), dir, &why);
    if (cs.empty()) return "";
    Status made = make(cs);
    EXPECT_TRUE(made.ok()) << made.ToString();
    UseSettings(std::make_shared<FileSettingsStore>(dir.File("settings.json")));
    LoginResult login = RunLoginSequence(cs, LoginOptions{});
    EXPECT_TRUE(login.connection.ok()) << login.connection.ToString();
    for (const FailedStep& step : login.failed_steps)
      ADD_FAILURE() << step.statement << ": " << step.error.ToString();
    return cs;
  }
  // Runs the example sessions on the thread's connection.
  void RunExamples(const std::string& cs) {
    for (const char* name : kExamples) {
      auto script = nlohmann::ordered_json::parse(
          ReadFile(std::string(DRAVMOR_TEST_DATA) + "/../../examples/" + name + ".json"));
      std::ostringstream out;
      cli::ScriptResult result = cli::RunScript(script, cs, out);
      EXPECT_TRUE(result.status.ok()) << name << ": " << result.status.ToString();
    }
  }
  testing::TempDir fresh_dir_, older_dir_;
};

TEST_P(OlderDatabase, UpgradesToWhatANewOneHoldsAndStoresAddsInTheSameColumns) {
  std::string fresh = Make(fresh_dir_, CreateShippedDatabase);
  if (fresh.empty()) GTEST_SKIP() << "no database server here";
  Contents fresh_before = Read(*SharedConnection::ForThisThread());
  RunExamples(fresh);
  Contents fresh_after = Read(*SharedConnection::ForThisThread());

  std::string older = Make(older_dir_, testing::CreateOlderDatabase);
  ASSERT_FALSE(HasFailure());
  // The issue a shop met: an older 类别 keeps its upgraded columns in step
  // order, and a category added there must still be a frame of kind 2.
  auto connection = SharedConnection::ForThisThread();
  auto categories = (*connection->GetCatalogue())->Find("类别");
  ASSERT_NE(categories, nullptr);
  EXPECT_EQ(categories->columns.back().name, "ShanType");
  ExpectSame(fresh_before, Read(*connection), "after the upgrade");
  RunExamples(older);
  ExpectSame(fresh_after, Read(*connection), "after the example sessions");
}

INSTANTIATE_TEST_SUITE_P(Backends, OlderDatabase, testing::BothBackends(), testing::BackendName);

}  // namespace
}  // namespace dravmor
