// The map of references against the whole schema (every table the upgrade
// and the classes make), and key moves that carry references along while
// look-alike values stay where they are.
#include <gtest/gtest.h>

#include <set>

#include "engine/dispatch.h"
#include "engine/references.h"
#include "engine/text.h"
#include "tests/support/test_database.h"

namespace dravmor {
namespace {

class References : public testing::UpgradedDatabase {};

// A column that may hold a row's id: named ...id, or one of the columns
// known to keep ids under another name.
bool LooksLikeAnId(const std::string& column) {
  const std::string c = ToLowerAscii(column);
  return (c.size() >= 2 && c.compare(c.size() - 2, 2, "id") == 0) || c == "xllb" ||
         c == "pinjiefangshi" || c == "pici" || c == "dalei";
}

TEST_P(References, EveryIdColumnOfTheSchemaIsPlaced) {
  // Every class makes the tables it owns when it connects.
  for (const ClassInfo& info : ClassRegistry::Instance().All()) {
    auto object = info.create();
    std::string cs = connection_string_;
    object->Connect(cs);
  }
  DatabaseColumns columns(*connection_);
  auto tables = connection_->TableNames();
  ASSERT_TRUE(tables.ok());
  auto placed = [](const std::string& table, const std::string& column) {
    const KeyOwner* owner = FindKeyOwner(table);
    if (owner && EqualsIgnoreCase(owner->key, column)) return true;
    if (!KeysHeldBy(table, column).empty()) return true;
    for (const NotAReference& n : NotReferences())
      if (EqualsIgnoreCase(n.table, table) && EqualsIgnoreCase(n.column, column)) return true;
    return false;
  };
  std::set<std::string> seen_tables;
  for (const std::string& table : *tables) {
    seen_tables.insert(ToLowerAscii(table));
    for (const std::string& column : columns.Columns(table))
      if (LooksLikeAnId(column))
        EXPECT_TRUE(placed(table, column)) << table << "." << column << " is not in the map";
  }
  // And the map names nothing that is not there (a misspelt name would
  // silently move nothing).
  for (const KeyOwner& owner : ReferenceMap()) {
    if (!seen_tables.count(ToLowerAscii(owner.table))) continue;  // made on another path
    EXPECT_TRUE(columns.Has(owner.table, owner.key)) << owner.table << "." << owner.key;
    for (const Reference& ref : owner.held_by) {
      if (!seen_tables.count(ToLowerAscii(ref.table))) continue;
      EXPECT_TRUE(columns.Has(ref.table, ref.column)) << ref.table << "." << ref.column;
      for (const RowTest& t : ref.only_when) EXPECT_TRUE(columns.Has(ref.table, t.column));
    }
  }
  for (const NotAReference& n : NotReferences())
    if (seen_tables.count(ToLowerAscii(n.table)))
      EXPECT_TRUE(columns.Has(n.table, n.column)) << n.table << "." << n.column;
}

TEST_P(References, MovesCarryReferencesAndLeaveLookAlikes) {
  // Series 1 with a tree node below it, and top-level and joined series of
  // window type 1 whose xllb and PinJieFangShi hold 1 as a type and a mode.
  Exec("INSERT INTO 系列 VALUES(1,5,'root',2,0,0,0,'','')");
  Exec("INSERT INTO 系列 VALUES(2,5,'node',1,1,1,0,'','')");
  Exec("INSERT INTO 系列 VALUES(3,5,'top of type 1',1,0,0,0,'','')");
  Exec("INSERT INTO 系列 VALUES(4,5,'joined of type 1',1,1,0,0,'','')");
  Exec("INSERT INTO 型材 VALUES(1,1,'p','P',6000,1,0,'',1,7,5,1,0,'型材',0,'',1,1,1,1)");
  Exec("INSERT INTO 型材 VALUES(2,2,'q','Q',6000,1,0,'',1,7,5,1,0,'型材',1,'',1,1,1,1)");
  Exec("INSERT INTO 配件 VALUES(1,5,'A','a','','',1,1,7,0)");
  // Ledger rows of profile 1 and of accessory 1.
  Exec("INSERT INTO ChuRuDetail VALUES(1,1,0,1,5,1,#2024-01-02#,1)");
  Exec("INSERT INTO ChuRuDetail VALUES(2,1,1,1,5,1,#2024-01-02#,1)");
  Exec("INSERT INTO TongYong VALUES(1,1,3)");

  DatabaseColumns columns(*connection_);
  connection_->Begin();
  ASSERT_TRUE(MoveKeys(*connection_, columns, "系列", {{1, 100}}).ok());
  ASSERT_TRUE(MoveKeys(*connection_, columns, "型材", {{1, 50}, {2, 51}}).ok());
  ASSERT_TRUE(connection_->Commit().ok());

  std::vector<std::string> series;
  for (const Variant& v : Query("SELECT XL_ID,xllb,PinJieFangShi FROM 系列 ORDER BY XL_ID").cells)
    series.push_back(v.ToText());
  EXPECT_EQ(series, (std::vector<std::string>{"2", "100", "100", "3", "1", "0", "4", "1", "1",
                                              "100", "2", "0"}));
  EXPECT_EQ(Scalar("SELECT XL_ID FROM 型材 WHERE Xc_ID=50").ToText(), "100");
  EXPECT_EQ(Scalar("SELECT YuanID FROM 型材 WHERE Xc_ID=51").ToText(), "50");  // a copy of 1
  EXPECT_EQ(Scalar("SELECT xc_ID FROM TongYong").ToText(), "50");
  EXPECT_EQ(Scalar("SELECT WuJianID FROM ChuRuDetail WHERE ID=1").ToText(), "50");
  EXPECT_EQ(Scalar("SELECT WuJianID FROM ChuRuDetail WHERE ID=2").ToText(), "1");  // an accessory
  EXPECT_FALSE(MoveKeys(*connection_, columns, "NoSuchTable", {{1, 2}}).ok());
}

INSTANTIATE_TEST_SUITE_P(Backends, References, testing::BothBackends(), testing::BackendName);

}  // namespace
}  // namespace dravmor
