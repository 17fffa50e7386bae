// ServerForXiLie on an upgraded database: series lists, the tree with ids
// small enough to look like window types, the deletion cascades and the
// template filters.
#include <gtest/gtest.h>

#include "engine/memory_form.h"
#include "series/server_for_xi_lie.h"
#include "tests/support/test_database.h"

namespace dravmor {
namespace {

class Series : public testing::UpgradedDatabase {
 protected:
  void SetUp() override {
    UpgradedDatabase::SetUp();
    if (IsSkipped()) return;
    Exec("INSERT INTO 厂家 VALUES(7,'Guangya','广亚',0,0,'GL',0,0,'alice','alice')");
    series_.SetEventSink(&events_);
    std::string cs = connection_string_;
    series_.Connect(cs);
    series_.SetCJID(7);
    series_.SetCaoZuoYuan("alice");
  }
  void Add(const std::string& name, int type, bool single = true) {
    auto form = std::make_shared<MemoryForm>();
    form->Set("optcha[0].Value", single);
    form->Set("cmbSeries.ListIndex", static_cast<int32_t>(type));
    form->Set("txtxiliename.Text", name);
    series_.AddXiLie(form);
  }
  Currency Id(long id) { return Currency::FromWhole(id); }
  long Count(const std::string& sql) { return Scalar(sql).long_value(); }
  std::vector<std::string> Names(const RecordsetPtr& rs) {
    std::vector<std::string> names;
    for (size_t r = 0; r < rs->RowCount(); ++r)
      names.push_back(rs->Data().cells[r * rs->Count() + 2].ToText());
    return names;
  }
  // "text[tag](children)" of the whole tree, depth first.
  static std::string Shape(const std::vector<std::shared_ptr<MemoryTreeNode>>& nodes) {
    std::string out;
    for (const auto& n : nodes) {
      if (!out.empty()) out += " ";
      out += n->Text() + "[" + n->Tag() + "]";
      if (!n->children.empty()) out += "(" + Shape(n->children) + ")";
    }
    return out;
  }
  // Series 1 "60" (sliding window, type 0) and 2 "50" (casement window,
  // type 2: its id equals its type), a joined series 3 of type 1, and a
  // tree below series 1: node 4, its child 5, and node 6 below series 2.
  void BuildShop() {
    Add("60", 0);
    Add("50", 2);
    Add("J", 1, false);
    series_.AddTree(Id(1), Id(1), "A");
    series_.AddTree(Id(4), Id(1), "A1");
    series_.AddTree(Id(2), Id(2), "B");
    events_.events.clear();
  }

  ServerForXiLie series_;
  testing::EventRecorder events_;
};

TEST_P(Series, ListsOnlyTopLevelSeriesAndRefusesDuplicates) {
  BuildShop();
  EXPECT_EQ(Names(series_.GetXiLie()), (std::vector<std::string>{"60", "50"}));
  EXPECT_EQ(Names(series_.GetXiLie(2)), std::vector<std::string>{"50"});
  Add("60", 0);
  EXPECT_EQ(events_.Names().back(), "ChongFu");
  Add("60", 1);  // another window type: a different series
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 系列 WHERE MingCheng='60'"), 2);
  Add("O'Neill", 4);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 系列 WHERE MingCheng='O''Neill' AND OwnerList='alice'"), 1);

  // Renaming onto another series' name is refused; onto its own is not.
  auto form = std::make_shared<MemoryForm>();
  form->Set("optcha[0].Value", true);
  form->Set("cmbSeries.ListIndex", int32_t{0});
  form->Set("txtxiliename.Text", "60");
  events_.events.clear();
  series_.EditXiLie(Id(1), form);
  EXPECT_EQ(events_.Names(), std::vector<std::string>{"rsResult"});
  form->Set("cmbSeries.ListIndex", int32_t{-1});  // nothing chosen
  events_.events.clear();
  series_.EditXiLie(Id(1), form);
  ASSERT_EQ(events_.Names(), std::vector<std::string>{"Accesserror"});
  EXPECT_EQ(events_.events[0].args[0].ToText(), "ServerForXiLie.EditXiLie");
  EXPECT_EQ(Scalar("SELECT xllb FROM 系列 WHERE XL_ID=1").ToText(), "0");
}

TEST_P(Series, TreeShowsSeriesWithTypeNamesAndOnlyRealNodes) {
  BuildShop();
  auto tree = std::make_shared<MemoryTree>();
  series_.GetXiLieByTree(tree, nullptr);
  // Series 2 of type 2 does not list itself, and below series 1 no series
  // of window type 1 appears.
  EXPECT_EQ(Shape(tree->roots()),
            "60推拉窗[1;0;0;0](A[4;1;1;1](A1[5;4;1;1])) 50平开窗[2;2;0;0](B[6;2;2;1])");
  EXPECT_TRUE(tree->roots()[0]->Expanded());
  EXPECT_EQ(series_.GetTreeYuanLB(Id(5)), 0);  // root series 1 is a sliding window
  EXPECT_EQ(series_.GetTreeYuanLB(Id(6)), 2);
  EXPECT_EQ(series_.GetTreeYuanLB(Id(1)), 0);  // a series has no root above it

  auto plain = std::make_shared<MemoryTree>();
  auto top = plain->AddNode(nullptr, TreeRelation::kLast, "", "root", 1);
  ASSERT_TRUE(top.ok());
  bool formula = false;
  series_.FillTree(Id(1), plain, *top, formula);
  EXPECT_EQ(Shape(plain->roots()), "root[](A[4;1;1](A1[5;4;1]))");
}

TEST_P(Series, DeletingASeriesTakesItsTreeAndRowsAndNothingElse) {
  BuildShop();
  Exec("INSERT INTO DetailBlock VALUES(1,1,0,'a','b','c')");
  Exec("INSERT INTO DetailBlock VALUES(2,2,0,'a','b','c')");
  Exec("INSERT INTO WinFilter VALUES(1,1,9)");
  Exec("INSERT INTO 型材组合公式 VALUES(1,9,1,3,'L','1',1,'')");
  series_.DelXiLie(Id(1));
  EXPECT_EQ(events_.Names(), std::vector<std::string>{"rsResult"});
  // Gone: the series, its nodes, its blocks and filters. Kept: series 3
  // joined (its joining mode 1 equals the deleted id) and series 2's tree.
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 系列 WHERE XL_ID IN (1,4,5)"), 0);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 系列 WHERE XL_ID IN (2,3,6)"), 3);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM DetailBlock"), 1);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM WinFilter"), 0);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 型材组合公式"), 1);  // formulas are not touched

  series_.DelTree(Id(6));
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 系列 WHERE XL_ID IN (2,3)"), 2);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 系列 WHERE XL_ID=6"), 0);
}

TEST_P(Series, CopiesOfANodeAreSeriesAndTheTreeEndsOnAnyData) {
  // Copies of a node are top-level series that keep its formula flag; with
  // ids 5 and 6 of window types 6 and 5 they must not read as each other's
  // children, nor be deleted as a tree below a series or node of that id.
  Add("60", 0);
  for (const char* name : {"A", "B", "C"}) series_.AddTree(Id(1), Id(1), name);
  series_.CopyNew(Id(2), "c6", 6);
  series_.CopyNew(Id(2), "c5", 5);
  auto tree = std::make_shared<MemoryTree>();
  series_.GetXiLieByTree(tree, nullptr);
  EXPECT_EQ(Shape(tree->roots()),
            "60推拉窗[1;0;0;0](A[2;1;1;1] B[3;1;1;1] C[4;1;1;1]) c5百叶窗[6;5;0;1] "
            "c6铝网[5;6;0;1]");
  series_.DelXiLie(Id(5));
  series_.DelTree(Id(6));
  Exec("INSERT INTO 系列 VALUES(9,8,'other',4,0,-1,0,'x','x')");  // another factory's copy
  series_.DelTree(Id(4));
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 系列 WHERE XL_ID IN (5,6)"), 0);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 系列 WHERE XL_ID IN (1,2,3,9)"), 4);

  // Damaged links: a parent cycle 20 <-> 21, a node that is its own parent,
  // and a chain thousands deep. Each fill ends, each row shown once.
  Exec("INSERT INTO 系列 VALUES(20,7,'x20',21,1,-1,0,'a','a')");
  Exec("INSERT INTO 系列 VALUES(21,7,'x21',20,1,-1,0,'a','a')");
  Exec("INSERT INTO 系列 VALUES(22,7,'x22',22,1,-1,0,'a','a')");
  bool formula = false;
  auto plain = std::make_shared<MemoryTree>();
  series_.FillTree(Id(20), plain, nullptr, formula);
  series_.FillTree(Id(22), plain, nullptr, formula);
  EXPECT_EQ(Shape(plain->roots()), "x21[21;20;1]");
  const int depth = 3000;
  {
    Transaction batch(*connection_);
    for (int i = 0; i < depth; ++i)
      Exec("INSERT INTO 系列 VALUES(" + std::to_string(100 + i) + ",7,'n'," +
           std::to_string(i ? 99 + i : 3) + ",1,-1,0,'a','a')");
    ASSERT_TRUE(batch.Commit().ok());
  }
  tree = std::make_shared<MemoryTree>();
  series_.GetXiLieByTree(tree, nullptr, 0);
  auto node = tree->roots()[0]->children[1];  // B, id 3
  int levels = 0;
  for (; !node->children.empty(); node = node->children[0]) ++levels;
  EXPECT_EQ(levels, depth);
}

TEST_P(Series, AFailingCascadeLeavesTheSeriesWhole) {
  BuildShop();
  Exec("DROP TABLE DetailBlock");
  series_.DelXiLie(Id(1));
  ASSERT_EQ(events_.Names(), std::vector<std::string>{"Accesserror"});
  EXPECT_EQ(events_.events[0].args[0].ToText(), "ServerForXiLie.DelXiLie");
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 系列 WHERE XL_ID IN (1,4,5)"), 3);
}

TEST_P(Series, NewNodeCopiesItsParentsFormulasWithFreshIds) {
  Add("60", 0);
  Exec("INSERT INTO 型材组合公式 VALUES(10,9,1,3,'L-2*''a''','2',1,NULL)");
  Exec("INSERT INTO 型材组合公式 VALUES(11,9,1,4,'W',NULL,NULL,'x')");
  Exec("INSERT INTO 配件组合公式 VALUES(5,9,1,3,'4',1,'f')");
  Exec("INSERT INTO 玻璃组合公式 VALUES(3,9,1,'L','W','1',1,'g')");
  Exec("INSERT INTO ShuZhi VALUES(8,1,12,2.5)");
  events_.events.clear();
  series_.AddTree(Id(1), Id(1), "node");
  ASSERT_TRUE(events_.events.empty());
  // The first copy is the old maximum plus two.
  EXPECT_EQ(Scalar("SELECT Gs FROM 型材组合公式 WHERE xczhgs_id=13 AND XL_ID=2").ToText(), "L-2*'a'");
  EXPECT_TRUE(Scalar("SELECT ShunXu FROM 型材组合公式 WHERE xczhgs_id=14").IsNull());
  EXPECT_EQ(Scalar("SELECT Fa FROM 配件组合公式 WHERE pjzhgs_id=7 AND XL_ID=2").ToText(), "f");
  EXPECT_EQ(Scalar("SELECT zhBLDH FROM 玻璃组合公式 WHERE blzhgs_id=5 AND XL_ID=2").ToText(), "g");
  EXPECT_EQ(Scalar("SELECT ValZhi FROM ShuZhi WHERE ID=10 AND Xl_ID=2 AND Para_ID=12").ToText(), "2.5");
}

TEST_P(Series, FiltersHideSeriesFromATemplate) {
  BuildShop();
  Add("55", 2);
  events_.events.clear();
  series_.AddFilter(Id(30), Id(2));
  series_.AddFilter(Id(30), Id(2));
  EXPECT_EQ(events_.Names(), (std::vector<std::string>{"rsResultFilter", "rsResultFilter"}));
  EXPECT_EQ(Count("SELECT COUNT(*) FROM WinFilter"), 1);
  RecordsetPtr filters = series_.GetFilterXiLie(Id(30));
  ASSERT_EQ(filters->RowCount(), 1u);
  EXPECT_EQ(filters->Data().cells[2].ToText(), "广亚");
  EXPECT_EQ(Names(series_.GetFormulaXiLie(2, Id(30))), std::vector<std::string>{"55"});

  series_.SetTKID(Id(30));
  auto tree = std::make_shared<MemoryTree>();
  series_.GetXiLieByTree(tree, nullptr, 2);
  EXPECT_EQ(Shape(tree->roots()), "55平开窗[7;2;0;0]");
  // The filter holds at the level below a series too, and no deeper.
  series_.AddFilter(Id(30), Id(4));
  tree = std::make_shared<MemoryTree>();
  series_.GetXiLieByTree(tree, nullptr, 0);
  EXPECT_EQ(Shape(tree->roots()), "60推拉窗[1;0;0;0]");

  Currency filter_id = *filters->Data().cells[0].ToCurrency();
  series_.DelFiler(filter_id);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM WinFilter WHERE XL_ID=2"), 0);
}

TEST_P(Series, LockOwnerAndRenamesOfNodes) {
  BuildShop();
  series_.SetXLSuo(Id(1), 1);
  EXPECT_EQ(Scalar("SELECT XLSuoDing FROM 系列 WHERE XL_ID=1").ToText(), "1");
  EXPECT_EQ(series_.GetOwner(), "alice");
  series_.EditTree(Id(4), "it's");
  EXPECT_EQ(Scalar("SELECT MingCheng FROM 系列 WHERE XL_ID=4").ToText(), "it's");
  EXPECT_TRUE(events_.events.empty());
}

INSTANTIATE_TEST_SUITE_P(Backends, Series, testing::BothBackends(), testing::BackendName);

}  // namespace
}  // namespace dravmor
