// The exchange commands of the driver: a price list read, the factory
// exported and imported into another database, a bar on stderr, a refused
// package failing the command.
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <fstream>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/support/test_database.h"

namespace dravmor {
namespace {

struct DriverRun {
  int code;
  nlohmann::json line;  // the last line printed
};

DriverRun Driver(const std::string& args, const std::string& err_file) {
  const std::string command = std::string(DRAVMOR_CLI_PATH) + " " + args + " 2>" + err_file;
  FILE* pipe = popen(command.c_str(), "r");
  std::string out;
  std::array<char, 4096> buf;
  size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), pipe)) > 0) out.append(buf.data(), n);
  const int status = pclose(pipe);
  while (!out.empty() && out.back() == '\n') out.pop_back();
  const size_t last = out.rfind('\n');
  return {WEXITSTATUS(status),
          nlohmann::json::parse(last == std::string::npos ? out : out.substr(last + 1), nullptr, false)};
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(ExchangeDriver, PriceListExportAndImportBetweenDatabases) {
  testing::TempDir dir;
  const std::string maker = dir.File("maker.db"), shop = dir.File("shop.db"), err = dir.File("err");
  ASSERT_EQ(Driver("init " + maker, err).code, 0);
  ASSERT_EQ(Driver("init " + shop, err).code, 0);
  std::ofstream(dir.File("xc.txt")) << "0\r\n华建,HJ,H1\r\n60系列,2\r\nK1,框,1.5\r\nK2,扇,2\r\n";
  DriverRun csv = Driver("import-csv " + maker + " xc " + dir.File("xc.txt"), err);
  EXPECT_EQ(csv.code, 0);
  EXPECT_EQ(csv.line["status"], "成功导入2条型材数据 ！");

  DriverRun exported = Driver("export " + maker + " 1 " + dir.File("out"), err);
  EXPECT_EQ(exported.code, 0) << exported.line.dump();
  EXPECT_NE(ReadAll(err).find("100% 导出完成"), std::string::npos);
  DriverRun imported = Driver("import " + shop + " " + dir.File("out/zgl.rar"), err);
  EXPECT_EQ(imported.code, 0) << imported.line.dump();
  EXPECT_EQ(imported.line["status"], "成功导入4条数据 ！");
  DriverRun rows = Driver("sql " + shop + " \"SELECT DaiMa FROM 型材 ORDER BY Xc_ID\"", err);
  EXPECT_EQ(rows.line["rows"], nlohmann::json::parse(R"([["K1"],["K2"]])"));

  std::ofstream(dir.File("junk.rar")) << "no archive";
  DriverRun refused = Driver("import " + shop + " " + dir.File("junk.rar"), err);
  EXPECT_EQ(refused.code, 1);
  EXPECT_EQ(refused.line["ok"], false);
  EXPECT_EQ(Driver("import " + shop, err).code, 2);
}

}  // namespace
}  // namespace dravmor
