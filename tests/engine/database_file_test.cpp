// What the embedded backend opens: a shop database, read-only when it
// cannot be written; never an empty or foreign file, which stays untouched.
#include <sqlite3.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <fstream>

#include "engine/schema/shipped_schema.h"
#include "engine/shared_connection.h"
#include "tests/support/test_database.h"

namespace dravmor {
namespace {

namespace fs = std::filesystem;

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class DatabaseFileTest : public ::testing::Test {
 protected:
  void SetUp() override { SharedConnection::ResetThisThread(); }
  void TearDown() override { SharedConnection::ResetThisThread(); }
  Status Bind(const std::string& file) {
    SharedConnection::ResetThisThread();
    return SharedConnection::ForThisThread()->Bind(file);
  }
  // A shop database with one factory, closed again.
  std::string Shop(const std::string& name) {
    std::string file = dir_.File(name);
    EXPECT_TRUE(CreateShippedDatabase(file).ok());
    EXPECT_TRUE(SharedConnection::ForThisThread()
                    ->Execute("INSERT INTO 厂家 (Cj_ID, BianMa) VALUES(1, 'A')", dialect::Source::Jet)
                    .ok());
    SharedConnection::ResetThisThread();
    return file;
  }
  testing::TempDir dir_;
};

TEST_F(DatabaseFileTest, EmptyAndForeignFilesAreRefusedUntouched) {
  std::ofstream(dir_.File("empty.db")).flush();
  std::ofstream(dir_.File("notes.db")) << "shopping list\n";
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(dir_.File("other.db").c_str(), &other), SQLITE_OK);
  sqlite3_exec(other, "CREATE TABLE bookmarks(url TEXT)", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  const std::pair<const char*, const char*> cases[] = {
      {"empty.db", "the file is empty"},
      {"notes.db", "the file is no SQLite database"},
      {"other.db", "it holds none of the shop's tables"},
  };
  for (const auto& [name, why] : cases) {
    const std::string file = dir_.File(name), before = Contents(file);
    Status s = Bind(file);
    EXPECT_EQ(s.number(), ErrorCode::kConnection) << name;
    EXPECT_NE(s.text().find("is not a shop database (" + std::string(why) + ")"), std::string::npos)
        << s.text();
    EXPECT_NE(s.text().find("dravmor init"), std::string::npos);
    EXPECT_EQ(Contents(file), before) << name;
    EXPECT_FALSE(fs::exists(file + "-wal")) << name;
  }
  EXPECT_NE(Bind(dir_.File("missing.db")).text().find("no such file"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir_.File("missing.db")));
}

TEST_F(DatabaseFileTest, AReadOnlyFileOrFolderIsReadNotWritten) {
  const std::string file = Shop("shop.db");
  auto count = [&] {
    auto rows = SharedConnection::ForThisThread()->Query("SELECT COUNT(*) FROM 厂家",
                                                         dialect::Source::Jet);
    return rows.ok() ? rows->cells.at(0).ToText() : rows.status().text();
  };
  ::chmod(file.c_str(), 0444);
  ASSERT_TRUE(Bind(file).ok());
  EXPECT_EQ(count(), "1");
  Status write = SharedConnection::ForThisThread()->Execute(
      "INSERT INTO 厂家 (Cj_ID, BianMa) VALUES(2, 'B')", dialect::Source::Jet);
  EXPECT_FALSE(write.ok());
  EXPECT_NE(write.text().find("readonly"), std::string::npos) << write.text();

  // A folder that cannot be written: no journal can be made beside the file.
  ::chmod(file.c_str(), 0644);
  SharedConnection::ResetThisThread();
  const fs::path folder = dir_.path() / "cd";
  fs::create_directory(folder);
  fs::copy_file(file, folder / "shop.db");
  ::chmod(folder.c_str(), 0555);
  Status opened = Bind((folder / "shop.db").string());
  EXPECT_TRUE(opened.ok()) << opened.text();
  EXPECT_EQ(count(), "1");
  SharedConnection::ResetThisThread();
  ::chmod(folder.c_str(), 0755);
}

}  // namespace
}  // namespace dravmor
