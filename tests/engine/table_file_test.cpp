// Table files and package archives: values come back exactly, and damaged
// or hostile files are reported, never half read.
#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "engine/archive.h"
#include "engine/table_file.h"
#include "tests/support/test_database.h"

namespace dravmor {
namespace {

namespace fs = std::filesystem;

RowData Sample() {
  RowData data;
  data.fields = {{"ID", FieldType::kInteger}, {"名称", FieldType::kVarWChar},
                 {"JiaGe", FieldType::kCurrency}, {"RiQi", FieldType::kDate},
                 {"L", FieldType::kSingle}, {"D", FieldType::kDouble}, {"B", FieldType::kBoolean}};
  const std::string binary("a\0b\xff'\"\r\n", 8);
  data.cells = {Variant(int32_t{1}), Variant("框料"), Variant(Currency{-123456789012345}),
                Variant(Date::FromCivil(2026, 12, 7, 13, 5, 9)), Variant(0.1f), Variant(1.0 / 3),
                Variant(true),
                Variant(int32_t{2}), Variant(""), Variant(Currency{1}), Variant(Null{}),
                Variant(int16_t{-7}), Variant(uint8_t{200}), Variant(false),
                Variant(int32_t{3}), Variant(Null{}), Variant(Null{}), Variant(Date{45999.123456789}),
                Variant(-0.0f), Variant(1e300), Variant(binary)};
  return data;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}
std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(TableFile, KeepsNamesTypesAndEveryValueExactly) {
  testing::TempDir dir;
  const std::string path = dir.File("t.dat");
  ASSERT_TRUE(SaveTableFile(path, Recordset(Sample())).ok());
  TableFileReader reader;
  ASSERT_TRUE(reader.Open(path).ok());
  const RowData expected = Sample();
  ASSERT_EQ(reader.fields().size(), expected.fields.size());
  for (size_t i = 0; i < expected.fields.size(); ++i) {
    EXPECT_EQ(reader.fields()[i].name, expected.fields[i].name);
    EXPECT_EQ(reader.fields()[i].type, expected.fields[i].type);
  }
  std::vector<Variant> row, all;
  while (true) {
    auto more = reader.Next(row);
    ASSERT_TRUE(more.ok()) << more.status().ToString();
    if (!*more) break;
    all.insert(all.end(), row.begin(), row.end());
  }
  ASSERT_EQ(all.size(), expected.cells.size());
  for (size_t i = 0; i < all.size(); ++i) {
    EXPECT_EQ(all[i].type(), expected.cells[i].type()) << i;
    EXPECT_TRUE(all[i] == expected.cells[i]) << i << " " << all[i].ToText();
  }
  EXPECT_TRUE(all[8].IsEmpty() == false && all[8].str().empty());  // "" is not Null
  EXPECT_TRUE(all[15].IsNull());
  EXPECT_EQ(all[2].currency().scaled, -123456789012345);
  EXPECT_TRUE(std::signbit(all[18].single()));
}

TEST(TableFile, DamageAnywhereIsReported) {
  testing::TempDir dir;
  const std::string path = dir.File("t.dat");
  ASSERT_TRUE(SaveTableFile(path, Recordset(Sample())).ok());
  const std::string whole = ReadBytes(path);
  ASSERT_TRUE(CheckTableFile(path, nullptr).ok());
  EXPECT_EQ(*CheckTableFile(path, nullptr), 3u);
  // Every cut is seen, at any length.
  for (size_t cut = 0; cut < whole.size(); ++cut) {
    WriteBytes(path, whole.substr(0, cut));
    EXPECT_FALSE(CheckTableFile(path, nullptr).ok()) << cut;
  }
  // A huge text length does not allocate it.
  std::string bad = whole;
  const size_t at = bad.find("框料") - 4;
  bad[at + 3] = '\x7f';
  WriteBytes(path, bad);
  EXPECT_FALSE(CheckTableFile(path, nullptr).ok());
  WriteBytes(path, "not a table file at all");
  EXPECT_FALSE(CheckTableFile(path, nullptr).ok());
  EXPECT_EQ(CheckTableFile(dir.File("missing.dat"), nullptr).status().number(),
            ErrorCode::kFileNotFound);
}

// An archive made by hand, for entries our packer never writes.
void MakeArchive(const std::string& path, const std::vector<std::pair<std::string, std::string>>& files,
                 bool symlink = false) {
  archive* a = archive_write_new();
  archive_write_set_format_zip(a);
  archive_write_open_filename(a, path.c_str());
  for (const auto& [name, content] : files) {
    archive_entry* e = archive_entry_new();
    archive_entry_set_pathname_utf8(e, name.c_str());
    archive_entry_set_filetype(e, symlink ? AE_IFLNK : AE_IFREG);
    if (symlink) archive_entry_set_symlink(e, "/etc/passwd");
    archive_entry_set_perm(e, 0644);
    archive_entry_set_size(e, symlink ? 0 : static_cast<la_int64_t>(content.size()));
    archive_write_header(a, e);
    if (!symlink) archive_write_data(a, content.data(), content.size());
    archive_entry_free(e);
  }
  archive_write_close(a);
  archive_write_free(a);
}

TEST(Archive, PacksAndUnpacksChineseNamesAndBinaryContent) {
  testing::TempDir dir;
  fs::create_directories(dir.path() / "in");
  fs::create_directories(dir.path() / "out");
  const std::string binary("\0\x01\xfe\xff", 4);
  WriteBytes((dir.path() / "in" / "型材@XC_ID@0.dat").string(), binary + std::string(200000, 'x'));
  WriteBytes((dir.path() / "in" / "华建.Exp").string(), "型材@XC_ID@0\r\n");
  const std::string zgl = dir.File("zgl.rar");
  ASSERT_TRUE(PackArchive(zgl, (dir.path() / "in").string(), {"型材@XC_ID@0.dat", "华建.Exp"}).ok());
  EXPECT_EQ(ReadBytes(zgl).substr(0, 2), "PK");  // zip, whatever its name
  auto names = UnpackArchive(zgl, (dir.path() / "out").string());
  ASSERT_TRUE(names.ok()) << names.status().ToString();
  EXPECT_EQ(*names, (std::vector<std::string>{"型材@XC_ID@0.dat", "华建.Exp"}));
  EXPECT_EQ(ReadBytes((dir.path() / "out" / "型材@XC_ID@0.dat").string()),
            binary + std::string(200000, 'x'));
}

TEST(Archive, HostileOrDamagedArchivesWriteNothing) {
  testing::TempDir dir;
  const fs::path out = dir.path() / "out";
  fs::create_directories(out);
  auto refused = [&](const std::string& archive) {
    auto r = UnpackArchive(archive, out.string());
    EXPECT_FALSE(r.ok()) << archive;
    EXPECT_TRUE(fs::is_empty(out)) << archive;
    fs::remove_all(out);
    fs::create_directories(out);
  };
  MakeArchive(dir.File("dots.zip"), {{"a.Exp", "x"}, {"../../evil.txt", "x"}});
  refused(dir.File("dots.zip"));
  EXPECT_FALSE(fs::exists(dir.path() / "evil.txt"));
  MakeArchive(dir.File("abs.zip"), {{"a.Exp", "x"}, {"/tmp/evil-dravmor.txt", "x"}});
  refused(dir.File("abs.zip"));
  MakeArchive(dir.File("link.zip"), {{"a.Exp", ""}}, /*symlink=*/true);
  refused(dir.File("link.zip"));
  MakeArchive(dir.File("twice.zip"), {{"a/x.dat", "1"}, {"b/x.dat", "2"}});
  refused(dir.File("twice.zip"));

  MakeArchive(dir.File("good.zip"), {{"a.Exp", std::string(100000, 'q')}, {"b.dat", "y"}});
  const std::string whole = ReadBytes(dir.File("good.zip"));
  WriteBytes(dir.File("cut.zip"), whole.substr(0, whole.size() / 2));
  refused(dir.File("cut.zip"));
  WriteBytes(dir.File("junk.zip"), "this is no archive");
  refused(dir.File("junk.zip"));
  refused(dir.File("missing.zip"));
  // A sub-folder is flattened, as the package archiver extracted.
  MakeArchive(dir.File("sub.zip"), {{"Export/a.Exp", "x"}});
  auto names = UnpackArchive(dir.File("sub.zip"), out.string());
  ASSERT_TRUE(names.ok());
  EXPECT_TRUE(fs::exists(out / "a.Exp"));
}

}  // namespace
}  // namespace dravmor
