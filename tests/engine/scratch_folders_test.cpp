// Leftover scratch folders of killed operations go; everything else stays.
#include <gtest/gtest.h>

#include <fstream>

#include "engine/scratch_folders.h"
#include "tests/support/test_database.h"

namespace dravmor {
namespace {

namespace fs = std::filesystem;

TEST(ScratchFolders, OnlyOldFoldersOfTheKindAreRemoved) {
  testing::TempDir dir;
  const auto old = fs::file_time_type::clock::now() - std::chrono::hours(30);
  auto folder = [&](const std::string& name, bool stale) {
    fs::create_directories(dir.path() / name / "inner");
    std::ofstream(dir.path() / name / "table.dat") << "rows";
    if (stale)
      for (const auto& p : {dir.path() / name, dir.path() / name / "inner",
                            dir.path() / name / "table.dat"})
        fs::last_write_time(p, old);
  };
  folder("dravmor-import-Ab12Cd", true);   // a killed import's: goes
  folder("dravmor-import-Xy34Zw", false);  // a running import's: stays
  folder("dravmor-import-old.bak", true);  // not a name the import makes
  folder("other-import-Ab12Cd", true);
  std::ofstream(dir.File("dravmor-import-file1")) << "a file, not a folder";
  fs::last_write_time(dir.File("dravmor-import-file1"), old);
  fs::create_directory_symlink(dir.path() / "other-import-Ab12Cd", dir.path() / "dravmor-import-Link99");

  EXPECT_EQ(RemoveStaleFolders(dir.path(), "dravmor-import-"), 1);
  EXPECT_FALSE(fs::exists(dir.path() / "dravmor-import-Ab12Cd"));
  for (const char* kept : {"dravmor-import-Xy34Zw", "dravmor-import-old.bak", "other-import-Ab12Cd",
                           "dravmor-import-file1", "dravmor-import-Link99"})
    EXPECT_TRUE(fs::exists(dir.path() / kept)) << kept;
  EXPECT_TRUE(fs::exists(dir.path() / "other-import-Ab12Cd" / "table.dat"));  // not through the link
  EXPECT_EQ(RemoveStaleFolders(dir.path() / "missing", "dravmor-import-"), 0);
}

}  // namespace
}  // namespace dravmor
