// Exchange packages and price lists end to end on an upgraded database:
// a factory's data set exported and imported back row for row, imported
// over a workshop's own rows of the same keys, damaged packages refused
// without a change, and the suppliers' comma-separated price lists.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "engine/archive.h"
#include "engine/id_allocator.h"
#include "engine/memory_form.h"
#include "engine/schema/shipped_schema.h"
#include "engine/table_file.h"
#include "exchange/server_for_export_factory.h"
#include "exchange/server_for_import.h"
#include "exchange/package.h"
#include "tests/exchange/row_checker.h"
#include "tests/support/test_database.h"

namespace dravmor {
namespace {

namespace fs = std::filesystem;

const std::vector<std::pair<std::string, std::string>> kTables = {
    {"厂家", "Cj_ID"}, {"类别", "LB_ID"}, {"系列", "XL_ID"}, {"型材", "Xc_ID"},
    {"绑定", "Bang_ID"}, {"型材组合公式", "xczhgs_id"}, {"玻璃组合公式", "blzhgs_id"}};

void WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}
std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class Exchange : public testing::UpgradedDatabase {
 protected:
  void SetUp() override {
    UpgradedDatabase::SetUp();
    if (IsSkipped()) return;
    std::string cs = connection_string_;
    exporter_.SetEventSink(&export_events_);
    exporter_.Connect(cs);
    exporter_.SetAppPath(dir_.File("app"));
    importer_.SetEventSink(&events_);
    importer_.Connect(cs);
    for (const auto& [table, key] : kTables) Exec("DELETE FROM " + table);
  }

  // A factory with a series and a tree node, two categories, profiles with
  // awkward texts, a binding and formulas of both kinds; a second factory
  // stays out of the export.
  void MakeCatalogue() {
    Exec("INSERT INTO 厂家 VALUES(5,'O''Brien/华建:铝业..','华建',0,1,'HJ',1,0,'','张三')");
    Exec("INSERT INTO 厂家 VALUES(6,'Other','O',0,1,'OT',0,0,'','')");
    Exec("INSERT INTO 类别 VALUES(10,'框',2,1,1,0,1,0,0,1,0,0,0)");
    Exec("INSERT INTO 类别 VALUES(11,'扇',2,1,0,1,0,1,0,0,1,0,0)");
    Exec("INSERT INTO 类别 VALUES(12,'不导出',5,1,0,0,0,0,0,0,0,0,0)");
    Exec("INSERT INTO 系列 VALUES(7,5,'60系列',2,0,-1,0,'','')");
    Exec("INSERT INTO 系列 VALUES(8,5,'节点',7,7,1,0,'','')");
    // A sliding series 1 with a node, and a "框" of the sliding kind.
    Exec("INSERT INTO 类别 VALUES(13,'框',0,1,1,0,0,0,0,1,0,0,0)");
    Exec("INSERT INTO 系列 VALUES(1,5,'推拉系列',0,0,0,0,'','')");
    Exec("INSERT INTO 系列 VALUES(2,5,'推拉节点',1,1,1,0,'','')");
    Exec("INSERT INTO 型材 VALUES(30,1,'推拉框','T1',6000,1,0,'',9,13,5,1,4,'型材',0,'',1,1,1,1)");
    Exec("INSERT INTO 型材 VALUES(31,2,'推拉扇','T2',6000,1,0,'',9,11,5,1,0,'型材',30,'',1,1,1,1)");
    Exec("INSERT INTO 绑定 VALUES(2,30,31,10,1,1)");
    Exec("INSERT INTO 型材组合公式 VALUES(3,9,2,31,'W/2','2',1,'')");
    Exec("INSERT INTO 系列 VALUES(9,6,'别家',2,0,0,0,'','')");
    Exec("INSERT INTO 型材 VALUES(3,7,'框''料 \"A\"','K60',6000,1.25,0,Null,12.3456,10,5,1,-2.5,'型材',0,'',1.4,100,50,1)");
    Exec("INSERT INTO 型材 VALUES(4,7,'','K61',5800,0.1,-1,'图',0.0001,11,5,1,0,'型材',3,'白',1.4,100,50,1)");
    Exec("INSERT INTO 型材 VALUES(20,9,'别家料','X',6000,1,0,'',1,10,6,1,0,'型材',0,'',1,1,1,1)");
    Exec("INSERT INTO 绑定 VALUES(1,3,4,100.5,5,2)");
    Exec("INSERT INTO 型材组合公式 VALUES(1,9,7,3,'L-2*30','2',1,Null)");
    Exec("INSERT INTO 型材组合公式 VALUES(2,9,8,4,'(W+H)/2','IIF(a>1,2,1)',2,'')");
    Exec("INSERT INTO 玻璃组合公式 VALUES(1,9,7,'L-50','H-50','1',1,'5+9A+5')");
  }

  std::shared_ptr<MemoryForm> Form(Currency factory, const std::vector<int>& series) {
    auto form = std::make_shared<MemoryForm>();
    form->Set("lstfac.ListIndex", int32_t{0});
    form->Set("lstfac.ItemData(0)", factory);
    form->Set("lstxilie.ListCount", static_cast<int32_t>(series.size() + 1));
    form->Set("lstxilie.Selected(0)", false);  // listed, not picked
    form->Set("lstxilie.ItemData(0)", int32_t{9});
    for (size_t i = 0; i < series.size(); ++i) {
      form->Set("lstxilie.Selected(" + std::to_string(i + 1) + ")", true);
      form->Set("lstxilie.ItemData(" + std::to_string(i + 1) + ")", int32_t{series[i]});
    }
    return form;
  }

  std::string ExportPackage(const std::vector<int>& series = {7, 8, 1, 2}) {
    const std::string package = dir_.File("pkg.rar");
    exporter_.SetPath(package);
    exporter_.ExportFactory(Form(Currency::FromWhole(5), series));
    EXPECT_EQ(export_events_.Last("Accesserror"), nullptr)
        << export_events_.Last("Accesserror")->args[2].ToText();
    return package;
  }

  std::map<std::string, RowData> Snapshot() {
    std::map<std::string, RowData> all;
    for (const auto& [table, key] : kTables)
      all[table] = Query("SELECT * FROM " + table + " ORDER BY " + key);
    return all;
  }
  static void ExpectSame(const RowData& a, const RowData& b, const std::string& table) {
    ASSERT_EQ(a.cells.size(), b.cells.size()) << table;
    for (size_t i = 0; i < a.cells.size(); ++i)
      EXPECT_TRUE(a.cells[i] == b.cells[i])
          << table << " cell " << i << ": " << a.cells[i].ToText() << " / " << b.cells[i].ToText();
  }
  void ExpectSame(const std::map<std::string, RowData>& a, const std::map<std::string, RowData>& b) {
    for (const auto& [table, rows] : a) ExpectSame(rows, b.at(table), table);
  }
  std::vector<std::string> Messages() {
    std::vector<std::string> texts;
    for (const auto& e : events_.events)
      if (e.name == "Msg") texts.push_back(e.args[0].ToText());
    return texts;
  }

  ServerForExportFactory exporter_;
  ServerForImport importer_;
  testing::EventRecorder export_events_, events_;
};

TEST_P(Exchange, ExportWritesTheKeysInOrderAndAnArchiveOfEveryFile) {
  MakeCatalogue();
  ExportPackage();
  const fs::path folder = exporter_.export_directory();
  // The name keeps its letters; the separators become "_" and nothing is
  // written outside the export folder.
  const fs::path list = folder / "O'Brien_华建_铝业__.Exp";
  ASSERT_TRUE(fs::exists(list));
  EXPECT_EQ(ReadBytes(list),
            "厂家@CJ_ID@0\r\n类别@MingCheng@1\r\n系列@XL_ID@0\r\n型材@XC_ID@0\r\n"
            "绑定@Bang_ID@0\r\n型材组合公式@xczhgs_ID@0\r\n玻璃组合公式@blzhgs_ID@0\r\n");
  EXPECT_EQ(*CheckTableFile((folder / "型材@XC_ID@0.dat").string(), nullptr), 4u);
  EXPECT_EQ(*CheckTableFile((folder / "类别@MingCheng@1.dat").string(), nullptr), 3u);
  testing::TempDir out;
  auto names = UnpackArchive(dir_.File("pkg.rar"), out.path().string());
  ASSERT_TRUE(names.ok());
  EXPECT_EQ(names->size(), 8u);
  EXPECT_EQ(export_events_.Names().back(), "Ok");

  // No series picked: the factory file alone; a second export leaves only
  // what it wrote.
  ExportPackage({});
  EXPECT_EQ(ReadBytes(list), "厂家@CJ_ID@0\r\n");
  size_t files = 0;
  for (auto& e : fs::directory_iterator(folder)) files += e.is_regular_file();
  EXPECT_EQ(files, 3u);  // the factory file, the list file, the archive

  // Nothing picked in the factory list: nothing happens.
  auto none = std::make_shared<MemoryForm>();
  none->Set("lstfac.ListIndex", int32_t{-1});
  export_events_.events.clear();
  exporter_.ExportFactory(none);
  EXPECT_TRUE(export_events_.events.empty());
}

// The workshop's own catalogue on the package's keys everywhere, with rows
// of other tables that refer to it, and series whose window type and
// joining mode read 1 like the package's series 1.
void MakeCollidingWorkshop(const std::function<void(const std::string&)>& exec) {
  for (const char* sql : {
           "INSERT INTO 厂家 VALUES(5,'Own','O',0,1,'OWN',0,0,'','')",
           "INSERT INTO 类别 VALUES(20,'框',2,1,1,0,1,0,0,1,0,0,0)",    // the package's 框
           "INSERT INTO 类别 VALUES(10,'自有',2,1,0,0,0,0,0,0,0,0,0)",  // the package's id
           "INSERT INTO 类别 VALUES(13,'自有2',0,1,0,0,0,0,0,0,0,0,0)",
           "INSERT INTO 系列 VALUES(7,5,'own series',2,0,0,0,'','')",
           "INSERT INTO 系列 VALUES(8,5,'own node',7,7,1,0,'','')",
           "INSERT INTO 系列 VALUES(1,5,'own sliding',0,0,0,0,'','')",
           "INSERT INTO 系列 VALUES(2,5,'own top of type 1',1,0,0,0,'','')",
           "INSERT INTO 系列 VALUES(40,5,'own joined of type 1',1,1,0,0,'','')",
           "INSERT INTO 型材 VALUES(3,7,'own','OWN',6000,1,0,'',1,20,5,1,7,'型材',0,'',1,1,1,1)",
           "INSERT INTO 型材 VALUES(4,8,'own2','OWN2',6000,1,0,'',1,10,5,1,0,'型材',3,'',1,1,1,1)",
           "INSERT INTO 型材 VALUES(30,1,'own3','OWN3',6000,1,0,'',1,13,5,1,0,'型材',0,'',1,1,1,1)",
           "INSERT INTO 绑定 VALUES(1,3,4,1,1,1)",
           "INSERT INTO 型材组合公式 VALUES(1,9,8,3,'own formula','1',1,'')",
           "INSERT INTO 玻璃组合公式 VALUES(1,9,7,'own','glass','1',1,'')",
           "INSERT INTO 颜色价格 VALUES(1,5,'白',3)",
           "INSERT INTO TongYong VALUES(1,3,1)",
           "INSERT INTO ShuZhi VALUES(1,7,10,2.5)",
           "INSERT INTO ChuRuDetail VALUES(1,1,0,3,5,1,#2024-01-02#,1)",
           "INSERT INTO BaoDanDetail VALUES(1,0,4,6000,1,1,1,'','',#2024-01-02#,'',1,0)",
           "INSERT INTO McColor VALUES(1,1,30,1)",
           "INSERT INTO FormulaV VALUES(1,9,8,4,'','','','','','','','','','','','',1,1,'')"})
    exec(sql);
}

TEST_P(Exchange, RoundTripsLoseMergeAndMisplaceNothing) {
  MakeCatalogue();
  Exec("DELETE FROM 型材 WHERE Xc_ID=20");
  Exec("DELETE FROM 系列 WHERE XL_ID=9");
  Exec("DELETE FROM 厂家 WHERE Cj_ID=6");
  // A category of a window kind no exported series has still travels
  // with the profile that uses it.
  Exec("UPDATE 型材 SET LB_ID=12 WHERE Xc_ID=4");
  const auto source = testing::DescribeRows(*connection_);
  const std::string package = ExportPackage();
  auto clear = [&] {
    for (const char* t : {"厂家", "类别", "系列", "型材", "绑定", "型材组合公式", "玻璃组合公式",
                          "颜色价格", "TongYong", "ShuZhi", "ChuRuDetail", "BaoDanDetail", "McColor",
                          "FormulaV"})
      Exec(std::string("DELETE FROM ") + t);
  };
  std::string missing;

  // Into an empty database: the same rows, the same keys.
  const auto before = Snapshot();
  clear();
  importer_.SetPath(package);
  EXPECT_EQ(events_.Last("Accesserror"), nullptr);
  EXPECT_TRUE(Messages().empty()) << Messages()[0];
  EXPECT_EQ(events_.Last("Ok")->args[0].ToText(), "成功导入19条数据 ！");
  ExpectSame(before, Snapshot());

  // Again: the factory is brought up to date in place, nothing doubles.
  Exec("UPDATE 型材 SET num=17 WHERE Xc_ID=3");  // the workshop's stock
  Exec("UPDATE 型材 SET JiaGe=1 WHERE Xc_ID=4");  // a price the package restores
  importer_.SetPath(package);
  EXPECT_EQ(Scalar("SELECT num FROM 型材 WHERE Xc_ID=3").ToText(), "17");
  Exec("UPDATE 型材 SET num=-2.5 WHERE Xc_ID=3");
  ExpectSame(before, Snapshot());

  // Into a workshop whose keys collide everywhere: every package row and
  // every workshop row is there once, and every reference finds its row.
  clear();
  MakeCollidingWorkshop([&](const std::string& sql) { Exec(sql); });
  const auto workshop = testing::DescribeRows(*connection_);
  events_.events.clear();
  importer_.SetPath(package);
  EXPECT_TRUE(Messages().empty()) << Messages()[0];
  const auto after = testing::DescribeRows(*connection_);
  EXPECT_EQ(testing::MissingFrom(source, after, &missing), 0u) << missing;
  EXPECT_EQ(testing::MissingFrom(workshop, after, &missing), 0u) << missing;
  // Only the category 框 of the casement kind is the same row in both.
  EXPECT_EQ(after.size(), source.size() + workshop.size() - 1);
  for (const std::string& row : after) EXPECT_EQ(row.find("<dangling>"), std::string::npos) << row;
  // The package's rows hold their own keys; the workshop's moved.
  EXPECT_EQ(Scalar("SELECT QuanCheng FROM 厂家 WHERE Cj_ID=5").ToText(), "O'Brien/华建:铝业..");
  EXPECT_EQ(Scalar("SELECT MingCheng FROM 系列 WHERE XL_ID=1").ToText(), "推拉系列");
  EXPECT_EQ(Scalar("SELECT MingCheng FROM 类别 WHERE LB_ID=10").ToText(), "框");
  // The look-alikes of the moved series 1 kept their type and mode.
  EXPECT_EQ(Scalar("SELECT xllb FROM 系列 WHERE MingCheng='own top of type 1'").ToText(), "1");
  EXPECT_EQ(Scalar("SELECT PinJieFangShi FROM 系列 WHERE MingCheng='own joined of type 1'").ToText(), "1");
}

// From the server to a SQLite file and back (a thread of its own has a
// connection of its own): the same rows arrive each way.
TEST_P(Exchange, CrossesBackends) {
  if (!OnServer()) GTEST_SKIP() << "runs from the server side";
  MakeCatalogue();
  Exec("DELETE FROM 型材 WHERE Xc_ID=20");
  Exec("DELETE FROM 系列 WHERE XL_ID=9");
  Exec("DELETE FROM 厂家 WHERE Cj_ID=6");
  Exec("DELETE FROM 类别 WHERE LB_ID=12");
  const auto source = testing::DescribeRows(*connection_);
  const std::string package = ExportPackage();
  const std::string back = dir_.File("back.rar");
  std::vector<std::string> on_file;
  std::thread([&] {
    const std::string file = dir_.File("other.db");
    ASSERT_TRUE(CreateShippedDatabase(file).ok());
    ServerForImport importer;
    std::string cs = file;
    importer.Connect(cs);
    importer.SetPath(package);
    EXPECT_EQ(importer.outcome().skipped, 0u);
    on_file = testing::DescribeRows(*SharedConnection::ForThisThread());
    ServerForExportFactory exporter;
    exporter.Connect(cs);
    exporter.SetAppPath(dir_.File("app2"));
    exporter.SetPath(back);
    exporter.ExportFactory(Form(Currency::FromWhole(5), {7, 8, 1, 2}));
    SharedConnection::ResetThisThread();
  }).join();
  std::string missing;
  EXPECT_EQ(testing::MissingFrom(source, on_file, &missing), 0u) << missing;
  EXPECT_EQ(on_file.size(), source.size());
  for (const auto& [table, key] : kTables) Exec("DELETE FROM " + table);
  importer_.SetPath(back);
  const auto again = testing::DescribeRows(*connection_);
  EXPECT_EQ(testing::MissingFrom(source, again, &missing), 0u) << missing;
  EXPECT_EQ(again.size(), source.size());
}

TEST_P(Exchange, HostilePackagesChangeNothing) {
  MakeCatalogue();
  const std::string good = ExportPackage();
  testing::TempDir parts;
  auto files = UnpackArchive(good, parts.path().string());
  ASSERT_TRUE(files.ok());
  Exec("DELETE FROM 型材 WHERE Xc_ID=3");  // so that a package would change something
  const auto before = Snapshot();
  const std::string list_name = "O'Brien_华建_铝业__.Exp";

  auto repack = [&](const std::string& name, std::function<void(const fs::path&)> change) {
    testing::TempDir copy;
    for (const std::string& f : *files) fs::copy_file(parts.path() / f, copy.path() / f);
    change(copy.path());
    std::vector<std::string> names;
    for (auto& e : fs::directory_iterator(copy.path())) names.push_back(e.path().filename().string());
    const std::string path = dir_.File(name);
    EXPECT_TRUE(PackArchive(path, copy.path().string(), names).ok());
    return path;
  };
  auto list_line = [&](const std::string& line) {
    return [&, line](const fs::path& p) { std::ofstream(p / list_name, std::ios::app) << line << "\r\n"; };
  };
  auto data_copy = [&](const std::string& from, const std::string& line) {
    return [&, from, line](const fs::path& p) {
      std::ofstream(p / list_name, std::ios::app) << line << "\r\n";
      fs::copy_file(p / (from + ".dat"), p / (line + ".dat"));
    };
  };
  const std::string whole = ReadBytes(good);
  WriteBytes(dir_.File("cut.rar"), whole.substr(0, whole.size() * 2 / 3));
  // Limits: entries counted from the headers, bytes as they come out.
  {
    testing::TempDir out;
    EXPECT_FALSE(ListArchive(good, {3, 1000}).ok());
    EXPECT_FALSE(UnpackArchive(good, out.path().string(), nullptr, {100, 1000}).ok());
    EXPECT_TRUE(fs::is_empty(out.path()));
    const std::vector<std::string> one{list_name};
    ASSERT_TRUE(UnpackArchive(good, out.path().string(), &one, {100, 1000}).ok());
    EXPECT_EQ(std::distance(fs::directory_iterator(out.path()), fs::directory_iterator()), 1);
  }
  const std::vector<std::pair<std::string, std::string>> cases = {
      {dir_.File("cut.rar"), "damaged"},
      {repack("nolist.rar", [&](const fs::path& p) { fs::remove(p / list_name); }), "列表文件"},
      {repack("operators.rar", data_copy("厂家@CJ_ID@0", "用户管理@YongHu_id@0")), "用户管理"},
      {repack("unknown.rar", data_copy("绑定@Bang_ID@0", "NoSuchTable@ID@0")), "NoSuchTable"},
      {repack("injection.rar", list_line("厂家@JianCheng=JianCheng OR 1@0")), "JianCheng=JianCheng"},
      {repack("notakey.rar", list_line("厂家@JianCheng@0")), "厂家@JianCheng@0"},
      {repack("twice.rar", list_line("厂家@CJ_ID@1")), "两次"},
      {repack("nodata.rar", [&](const fs::path& p) { fs::remove(p / "绑定@Bang_ID@0.dat"); }),
       "绑定@Bang_ID@0.dat"},
      {repack("cutdata.rar",
              [&](const fs::path& p) {
                const std::string data = ReadBytes(p / "玻璃组合公式@blzhgs_ID@0.dat");
                WriteBytes(p / "玻璃组合公式@blzhgs_ID@0.dat", data.substr(0, data.size() - 3));
              }),
       "玻璃组合公式"},
      {repack("escape.rar", list_line("../型材@XC_ID@0")), "../型材"},
      {repack("othercolumn.rar",
              [&](const fs::path& p) {
                TableFileWriter w;
                ASSERT_TRUE(w.Open((p / "绑定@Bang_ID@0.dat").string(),
                                   {{"Bang_ID", FieldType::kInteger}, {"MiMa", FieldType::kVarWChar}})
                                .ok());
                ASSERT_TRUE(w.Finish().ok());
              }),
       "MiMa"},
      {dir_.File("no-such-file.rar"), "no-such-file"},
  };
  testing::RecordingPrompter prompter;
  for (const auto& [package, why] : cases) {
    prompter.asked.clear();
    events_.events.clear();
    importer_.SetPath(package);
    ExpectSame(before, Snapshot());
    ASSERT_EQ(prompter.asked.size(), 1u) << package;
    EXPECT_EQ(prompter.asked[0].text, "这个文件不是有效的厂家数据文件或者已经遭到破坏 ！");
    EXPECT_EQ(events_.Last("Ok"), nullptr) << package;
    ASSERT_FALSE(Messages().empty()) << package;
    EXPECT_NE(Messages().back().find(why), std::string::npos) << Messages().back();
    EXPECT_FALSE(importer_.outcome().finished);
  }
}

TEST_P(Exchange, ColumnsAreTakenByName) {
  MakeCatalogue();
  const std::string package = ExportPackage();
  testing::TempDir parts;
  auto files = UnpackArchive(package, parts.path().string());
  ASSERT_TRUE(files.ok());
  // The factory file with its columns in another order and other letter case.
  const fs::path data = parts.path() / "厂家@CJ_ID@0.dat";
  TableFileReader reader;
  ASSERT_TRUE(reader.Open(data.string()).ok());
  std::vector<Variant> row;
  ASSERT_TRUE(*reader.Next(row));
  std::vector<FieldInfo> fields = reader.fields();
  std::reverse(fields.begin(), fields.end());
  std::reverse(row.begin(), row.end());
  fields[fields.size() - 3].name = "jiancheng";
  TableFileWriter writer;
  ASSERT_TRUE(writer.Open((parts.path() / "x.dat").string(), fields).ok());
  ASSERT_TRUE(writer.WriteRow(row.data(), row.size()).ok());
  ASSERT_TRUE(writer.Finish().ok());
  fs::rename(parts.path() / "x.dat", data);
  ASSERT_TRUE(PackArchive(dir_.File("reordered.rar"), parts.path().string(), *files).ok());
  for (const auto& [table, key] : kTables) Exec("DELETE FROM " + table);
  importer_.SetPath(dir_.File("reordered.rar"));
  EXPECT_EQ(Scalar("SELECT QuanCheng FROM 厂家 WHERE Cj_ID=5").ToText(), "O'Brien/华建:铝业..");
  EXPECT_EQ(Scalar("SELECT JianCheng FROM 厂家 WHERE Cj_ID=5").ToText(), "华建");
}

TEST_P(Exchange, ARefusedRowTakesItsChildrenAlong) {
  MakeCatalogue();
  const std::string package = ExportPackage();
  Exec("DELETE FROM 型材 WHERE Xc_ID IN (3,4,30,31)");
  Exec("DELETE FROM 绑定");
  Exec("DELETE FROM 型材组合公式");
  // Profile 3 cannot be written (its code is taken under a unique index):
  // its binding and its formula go nowhere, the rest arrives.
  Exec("CREATE UNIQUE INDEX OneCode ON 型材 (DaiMa)");
  Exec("INSERT INTO 型材 VALUES(99,9,'别家','K60',6000,1,0,'',1,10,6,1,0,'型材',0,'',1,1,1,1)");
  importer_.SetPath(package);
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM 型材 WHERE Xc_ID IN (4,30,31)").ToText(), "3");
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM 绑定").ToText(), "1");  // 30 -> 31
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM 型材组合公式").ToText(), "2");
  EXPECT_EQ(importer_.outcome().skipped, 3u);
  ASSERT_EQ(Messages().size(), 1u);
  const std::string text = Messages()[0];
  EXPECT_EQ(text.rfind("跳过3条数据：型材 Xc_ID=3：", 0), 0u) << text;
  EXPECT_NE(text.find("绑定 Bang_ID=1：它所属的型材 3未能导入"), std::string::npos) << text;
  EXPECT_NE(text.find("型材组合公式 xczhgs_id=1：它所属的型材 3未能导入"), std::string::npos) << text;
}

class PriceLists : public Exchange {
 protected:
  std::string File(const std::string& name, const std::string& text) {
    WriteBytes(dir_.path() / name, text);
    return dir_.File(name);
  }
  std::string LastOk() { return events_.Last("Ok") ? events_.Last("Ok")->args[0].ToText() : ""; }
};

TEST_P(PriceLists, ProfilesWithQuotesEmptyFieldsBomAndCrlf) {
  testing::RecordingPrompter prompter;
  const std::string text =
      "\xEF\xBB\xBF" "0\r\n华建铝业,O'B,HJ\r\n60系列,2\r\nK'60,框'料 \"宽\",12.5\r\n,空代码,3\r\n"
      "broken line\r\nA,B,notanumber\r\nA,B,1,2\r\nK2,扇料,7\r\n";
  importer_.ImportXc(File("xc.txt", text));
  EXPECT_TRUE(prompter.asked.empty());
  EXPECT_EQ(LastOk(), "成功导入3条型材数据 ！");
  EXPECT_EQ(events_.Last("Ok")->args[1].ToText(), "0");
  ASSERT_FALSE(Messages().empty());
  EXPECT_NE(Messages().back().find("跳过3行"), std::string::npos);
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM 厂家 WHERE QuanCheng='华建铝业' AND JianCheng='O''B'").ToText(), "1");
  EXPECT_EQ(Scalar("SELECT MingChengXC & '|' & JiaGe FROM 型材 WHERE DaiMa='K''60'").ToText(),
            "框'料 \"宽\"|12.5");
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM 型材 WHERE DaiMa='' AND LB_ID=33").ToText(), "1");

  // Again, keep: no duplicates, the series reused.
  importer_.ImportXc(File("xc.txt", text));
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM 型材").ToText() + Scalar("SELECT COUNT(*) FROM 系列").ToText() +
                Scalar("SELECT COUNT(*) FROM 厂家").ToText(), "311");
  // Replace: the rows of the listed codes take the new values under their
  // own ids, with their stock; a code listed twice is two rows.
  Exec("UPDATE 型材 SET num=8");
  importer_.ImportXc(File("xc1.txt", "1\n华建铝业,O'B,HJ\n60系列,2\nK2,新扇料,7.5\nK2,第二根,1\n"));
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM 型材").ToText(), "4");
  EXPECT_EQ(Scalar("SELECT MingChengXC & '|' & JiaGe & '|' & num FROM 型材 WHERE Xc_ID=3").ToText(),
            "新扇料|7.5|8");
  EXPECT_EQ(Scalar("SELECT MingChengXC FROM 型材 WHERE Xc_ID=4").ToText(), "第二根");
  EXPECT_TRUE(importer_.outcome().finished);
}

// The ids a list counts on from its first one are handed out too: the
// newest, once deleted, is not given again.
TEST_P(PriceLists, IdsOfImportedRowsNeverComeBack) {
  testing::RecordingPrompter prompter;
  importer_.ImportXc(File("xc.txt", "0\nF,F,F\n60,2\nA,a,1\nB,b,1\nC,c,1\n"));
  const int64_t newest = *Scalar("SELECT MAX(Xc_ID) FROM 型材").ToInt64();
  ASSERT_EQ(newest, 3);
  Exec("DELETE FROM 型材 WHERE Xc_ID=3");
  auto next = AllocateIds(*connection_, "型材", "Xc_ID");
  ASSERT_TRUE(next.ok()) << next.status().ToString();
  EXPECT_EQ(next->scaled / Currency::kScale, 4);
}

TEST_P(PriceLists, BrokenHeadersStopBeforeAnyWrite) {
  testing::RecordingPrompter prompter;
  importer_.ImportXc(File("a.txt", "2\r\nF,F,F\r\n60,2\r\nK,N,1\r\n"));
  importer_.ImportXc(File("b.txt", "0\r\nF,F\r\n60,2\r\nK,N,1\r\n"));
  importer_.ImportXc(File("c.txt", "0\r\nF,F,F\r\n60,7\r\nK,N,1\r\n"));
  importer_.ImportXc(File("d.txt", ""));
  ASSERT_EQ(prompter.asked.size(), 4u);
  EXPECT_EQ(prompter.asked[0].text, "数据的第一行不符合格式：0 或者 1 ！导入终止 ！");
  EXPECT_EQ(prompter.asked[1].text, "数据的第二行不符合格式：全称,简称,编码 ！导入终止 ！");
  EXPECT_EQ(prompter.asked[2].text, "数据的第三行不符合格式：名称,类别号(从0到4) ！导入终止 ！");
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM 厂家").ToText() + Scalar("SELECT COUNT(*) FROM 型材").ToText(), "00");
  EXPECT_EQ(events_.Last("Ok"), nullptr);
}

// Lists in the old Chinese code page as older installations wrote them;
// "幕墙" and "片" in GB18030 happen to be valid UTF-8 bytes on their own
// line, so the file as a whole decides.
TEST_P(PriceLists, AGb18030ListIsDecodedWhole) {
  const std::string gbk = "0\r\n\xBB\xAA\xBD\xA8,\xBB\xAA,HJ\r\n60\xCF\xB5\xC1\xD0,2\r\n"
                          "K1,\xC4\xBB\xC7\xBD,3\r\nK2,\xC6\xAC,4\r\n";
  importer_.ImportXc(File("gbk2.txt", gbk));
  EXPECT_EQ(LastOk(), "成功导入2条型材数据 ！");
  EXPECT_EQ(Scalar("SELECT QuanCheng FROM 厂家").ToText(), "华建");
  EXPECT_EQ(Scalar("SELECT MingCheng FROM 系列").ToText(), "60系列");
  EXPECT_EQ(Scalar("SELECT MingChengXC FROM 型材 WHERE DaiMa='K1'").ToText(), "幕墙");
  EXPECT_EQ(Scalar("SELECT MingChengXC FROM 型材 WHERE DaiMa='K2'").ToText(), "片");
  // Neither UTF-8 nor GB18030: refused, nothing written.
  events_.events.clear();
  importer_.ImportXc(File("bad.txt", "0\r\nF,F,F\r\n60,2\r\nK,\xFF\xFF,1\r\n"));
  EXPECT_EQ(events_.Last("Ok"), nullptr);
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM 厂家").ToText(), "1");
}

TEST_P(PriceLists, AListWhoseFactoryCannotBeWrittenWritesNothing) {
  Exec("CREATE UNIQUE INDEX OneCode ON 厂家 (BianMa)");
  Exec("INSERT INTO 厂家 VALUES(1,'Other','O',1,0,'HJ',0,0,'','')");  // the code, as a supplier
  importer_.ImportXc(File("xc.txt", "0\nHuajian,HJ,HJ\n60系列,2\nK1,框,1\n"));
  EXPECT_EQ(events_.Last("Ok"), nullptr);
  EXPECT_FALSE(importer_.outcome().finished);
  ASSERT_FALSE(Messages().empty());
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM 系列").ToText(), "0");
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM 型材").ToText(), "0");
}

TEST_P(PriceLists, Accessories) {
  importer_.ImportPJ(File("pj.txt", "0\nHardware Co,HC,H1\nP1,合页,个,2.75\nP2,把手,,1\nP3,bad,x\n"));
  EXPECT_EQ(LastOk(), "成功导入2条配件数据 ！");
  EXPECT_EQ(Scalar("SELECT cjLB FROM 厂家").ToText(), "1");
  EXPECT_EQ(Scalar("SELECT DanJia & '|' & LB_ID FROM 配件 WHERE DaiMa='P1'").ToText(), "2.75|1926");
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM 配件 WHERE DaiMa='P2' AND DanWei=''").ToText(), "1");

  // A line the database refuses is lost alone, and not counted as imported.
  Exec("CREATE UNIQUE INDEX OneCode ON 配件 (DaiMa)");
  Exec("INSERT INTO 配件 VALUES(50,99,'Q2','别家','','个',1,1,1926,0)");
  events_.events.clear();
  importer_.ImportPJ(File("pj2.txt", "0\nHardware Co,HC,H1\nQ1,螺钉,个,0.05\nQ2,合页,个,3\nQ3,铆钉,个,0.02\n"));
  EXPECT_EQ(LastOk(), "成功导入2条配件数据 ！");
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].rfind("1行未能写入数据库 ！Q2,合页,个,3：", 0), 0u) << Messages()[0];
  EXPECT_EQ(importer_.outcome().skipped, 1u);
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM 配件 WHERE DaiMa IN ('Q1','Q3')").ToText(), "2");
}

INSTANTIATE_TEST_SUITE_P(Backends, Exchange, testing::BothBackends(), testing::BackendName);
INSTANTIATE_TEST_SUITE_P(Backends, PriceLists, testing::BothBackends(), testing::BackendName);

}  // namespace
}  // namespace dravmor
