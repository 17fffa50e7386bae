// The shared routines: next id, table existence, adding a column, emptying
// a directory, waiting for a process.
#include <unistd.h>

#include <fstream>

#include <gtest/gtest.h>

#include "engine/id_allocator.h"
#include "engine/routines.h"
#include "tests/support/test_database.h"

namespace dravmor {
namespace {

class Routines : public testing::ShippedDatabase {};

TEST_P(Routines, NextIdIsAboveEveryStoredAndHandedOutId) {
  Exec("CREATE TABLE ids (id Long, cur Currency)");
  EXPECT_EQ(GetMaxID(*connection_, "ids", "id").ToText(), "1");
  Exec("INSERT INTO ids VALUES(41, 1)");  // written by another program
  Exec("INSERT INTO ids VALUES(7, 2)");
  EXPECT_EQ(GetMaxID(*connection_, "ids", "id").ToText(), "42");
  // The newest row deleted: its id, and the one handed out, never come back.
  Exec("DELETE FROM ids WHERE id=41");
  EXPECT_EQ(GetMaxID(*connection_, "ids", "id").ToText(), "43");
  // Ids are whole: a stored fraction counts as its whole part.
  Exec("INSERT INTO ids VALUES(9, 12.5)");
  EXPECT_EQ(GetMaxID(*connection_, "ids", "cur").ToText(), "13");
  // Marks are per table and column, whatever the letter case.
  EXPECT_EQ(GetMaxID(*connection_, "IDS", "CUR").ToText(), "14");
  EXPECT_EQ(*AllocateCopyBase(*connection_, "ids", "id", 3), 44);  // 45..47 for the copies
  EXPECT_EQ(GetMaxID(*connection_, "ids", "id").ToText(), "48");
  // A table that does not exist: 0 without any report; NextId keeps why.
  EXPECT_EQ(GetMaxID(*connection_, "nope", "id").ToText(), "0");
  EXPECT_FALSE(NextId(*connection_, "nope", "id").ok());
}

TEST_P(Routines, TableExistsIsExact) {
  EXPECT_TRUE(*TableExists(*connection_, "sys"));
  EXPECT_TRUE(*TableExists(*connection_, "厂家"));
  EXPECT_FALSE(*TableExists(*connection_, "SYS"));
  EXPECT_FALSE(*TableExists(*connection_, "WZSBGT"));
}

TEST_P(Routines, AddFieldIfMissingAltersOnceAndNeverOverwrites) {
  Exec("CREATE TABLE pics (tk_ID Long, name Text(10))");
  Exec("INSERT INTO pics VALUES(5, 'a')");
  AddFieldIfMissing(*connection_, "pics", "Ord", "Long", "0", "UPDATE pics SET Ord = tk_ID");
  EXPECT_EQ(Scalar("SELECT Ord FROM pics").ToText(), "5");
  Exec("UPDATE pics SET Ord = 99");
  AddFieldIfMissing(*connection_, "pics", "Ord", "Long", "0", "UPDATE pics SET Ord = tk_ID");
  EXPECT_EQ(Scalar("SELECT Ord FROM pics").ToText(), "99");
  // Empty default and follow-up: only the column, Null in existing rows.
  AddFieldIfMissing(*connection_, "pics", "Note", "Text(20)", "", "");
  EXPECT_TRUE(Scalar("SELECT Note FROM pics").IsNull());
  // The default is a quoted text that the column's type takes.
  AddFieldIfMissing(*connection_, "pics", "Who", "Text(20)", "O'Brien", "");
  EXPECT_EQ(Scalar("SELECT Who FROM pics").ToText(), "O'Brien");
  // A missing table: the ADD fails, and nothing else is tried.
  std::vector<std::string> ran;
  AddFieldIfMissing(*connection_, "nope", "x", "Long", "1", "", dialect::Source::Jet,
                    [&](const std::string& sql) {
                      ran.push_back(sql);
                      return connection_->Execute(sql, dialect::Source::Jet);
                    });
  EXPECT_EQ(ran, std::vector<std::string>{"ALTER TABLE nope Add x Long"});
  EXPECT_FALSE(*TableExists(*connection_, "nope"));
}

// Tables and columns are answered from the connection's catalogue: no
// statement runs to learn them, whatever the rows, and the engine's own
// schema changes (and a rollback that undoes one) are seen at once.
TEST_P(Routines, ColumnsAndTablesComeFromTheKeptCatalogue) {
  Exec("CREATE TABLE pics (tk_ID Long, name Text(10))");
  const uint64_t before = connection_->StatementCount();
  // Column names are matched without letter case, as SQL matches them.
  AddFieldIfMissing(*connection_, "PICS", "NAME", "Long", "1", "UPDATE pics SET tk_ID=0");
  EXPECT_TRUE(*TableExists(*connection_, "pics"));
  EXPECT_EQ(connection_->StatementCount(), before);

  AddFieldIfMissing(*connection_, "pics", "Ord", "Long", "", "");
  EXPECT_TRUE((*connection_->GetCatalogue())->HasColumn("pics", "ord"));
  {
    Transaction undone(*connection_);
    Exec("CREATE TABLE gone (a Long)");
    EXPECT_TRUE(*TableExists(*connection_, "gone"));
  }
  EXPECT_FALSE(*TableExists(*connection_, "gone"));
}

TEST(EmptyDirectory, DeletesFilesAndKeepsSubdirectories) {
  testing::TempDir dir;
  std::ofstream(dir.File("a.dat")) << "x";
  std::ofstream(dir.File("b.Exp")) << "y";
  std::filesystem::create_directory(dir.path() / "sub");
  std::ofstream(dir.File("sub/c.dat")) << "z";
  EXPECT_TRUE(EmptyDirectory(dir.path().string()).ok());
  EXPECT_FALSE(std::filesystem::exists(dir.File("a.dat")));
  EXPECT_FALSE(std::filesystem::exists(dir.File("b.Exp")));
  EXPECT_TRUE(std::filesystem::exists(dir.File("sub/c.dat")));
  EXPECT_TRUE(EmptyDirectory(dir.path().string()).ok());  // already empty
  EXPECT_FALSE(EmptyDirectory(dir.File("missing")).ok());
}

TEST(WaitForProcess, WaitsForAChildAndFailsForNoProcess) {
  pid_t child = fork();
  if (child == 0) {
    usleep(50 * 1000);
    _exit(0);
  }
  EXPECT_TRUE(WaitForProcess(child, -1));
  EXPECT_EQ(kill(child, 0), -1);  // reaped, gone
  EXPECT_FALSE(WaitForProcess(child, -1));
  EXPECT_FALSE(WaitForProcess(0, 10));
}

INSTANTIATE_TEST_SUITE_P(Backends, Routines, testing::BothBackends(), testing::BackendName);

}  // namespace
}  // namespace dravmor
