// The secondary indexes: made with the shipped and upgraded schema, added
// to an older database once, and made with a table a class creates later.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "engine/schema/indexes.h"
#include "engine/text.h"
#include "records/server_for_money.h"
#include "tests/support/test_database.h"

namespace dravmor {
namespace {

class Indexes : public testing::UpgradedDatabase {
 protected:
  std::set<std::pair<std::string, std::string>> Indexed() {
    auto pairs = connection_->IndexedColumns();
    EXPECT_TRUE(pairs.ok()) << pairs.status().ToString();
    return pairs.ok() ? std::set<std::pair<std::string, std::string>>(pairs->begin(), pairs->end())
                      : std::set<std::pair<std::string, std::string>>{};
  }
  static std::pair<std::string, std::string> Key(std::string_view table, std::string_view column) {
    return {ToLowerAscii(table), ToLowerAscii(column)};
  }
  bool HasTable(std::string_view table) {
    auto tables = connection_->TableNames();
    if (!tables.ok()) return false;
    for (const std::string& name : *tables)
      if (EqualsIgnoreCase(name, table)) return true;
    return false;
  }
};

TEST_P(Indexes, EveryListedColumnOfAnExistingTableIsIndexed) {
  const auto indexed = Indexed();
  int present = 0;
  for (const SecondaryIndex& index : SecondaryIndexes()) {
    if (!HasTable(index.table)) continue;
    ++present;
    // A misspelt column would be passed over silently by the upgrade.
    auto column = connection_->Query(
        "SELECT " + std::string(index.column) + " FROM " + std::string(index.table) + " WHERE 1=0",
        dialect::Source::Jet);
    EXPECT_TRUE(column.ok()) << index.table << "." << index.column;
    EXPECT_TRUE(indexed.count(Key(index.table, index.column))) << IndexName(index);
  }
  // The shipped tables and those the upgrade makes on this path.
  EXPECT_GE(present, 70);
}

TEST_P(Indexes, AnOlderDatabaseGetsWhatItLacksOnce) {
  Exec("DROP INDEX ix_型材_XL_ID ON 型材");
  Exec("DROP INDEX XiLie_xllb ON 系列");
  // An index of its own name on a listed column serves as well.
  Exec("DROP INDEX ix_型材组合公式_XL_ID ON 型材组合公式");
  Exec("CREATE INDEX OldFormulaSeries ON 型材组合公式 (XL_ID, tk_id)");
  const size_t before = Indexed().size();

  Status s = AddMissingIndexes(*connection_);
  ASSERT_TRUE(s.ok()) << s.ToString();
  auto indexed = Indexed();
  EXPECT_EQ(indexed.size(), before + 2);
  EXPECT_TRUE(indexed.count(Key("型材", "XL_ID")));
  EXPECT_TRUE(indexed.count(Key("系列", "xllb")));

  s = AddMissingIndexes(*connection_);  // nothing left to make, nothing fails
  ASSERT_TRUE(s.ok()) << s.ToString();
  EXPECT_EQ(Indexed().size(), before + 2);
}

TEST_P(Indexes, ATableMadeByItsClassComesWithItsIndex) {
  ASSERT_FALSE(HasTable("GcMoney"));
  ServerForMoney money;
  std::string cs = connection_string_;
  money.Connect(cs);
  ASSERT_TRUE(HasTable("GcMoney"));
  EXPECT_TRUE(Indexed().count(Key("GcMoney", "GcxxID")));
  EXPECT_TRUE(Indexed().count(Key("MoneyGc", "GcxxID")));
}

INSTANTIATE_TEST_SUITE_P(Backends, Indexes, testing::BothBackends(), testing::BackendName);

}  // namespace
}  // namespace dravmor
