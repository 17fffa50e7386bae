// The exchange commands of the driver: a price list read, the factory
// exported and imported into another database, a bar on stderr, a refused
// package failing the command.
#include <sys/wait.h>

#include <signal.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <sstream>
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

// Runs the driver and kills it after it has written `lines` progress lines;
// false when it ended on its own first. What it leaves unpacked goes to
// scratch_dir, not the machine's temporary folder.
bool KillAfter(const std::vector<std::string>& args, int lines, const std::string& scratch_dir) {
  int pipe_fds[2];
  if (pipe(pipe_fds) != 0) return false;
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(pipe_fds[1], STDERR_FILENO);
    setenv("TMPDIR", scratch_dir.c_str(), 1);
    freopen("/dev/null", "w", stdout);
    close(pipe_fds[0]);
    std::vector<char*> argv{const_cast<char*>(DRAVMOR_CLI_PATH)};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(DRAVMOR_CLI_PATH, argv.data());
    _exit(127);
  }
  close(pipe_fds[1]);
  FILE* err = fdopen(pipe_fds[0], "r");
  char buf[512];
  int seen = 0;
  bool killed = false;
  while (fgets(buf, sizeof buf, err)) {
    if (++seen == lines) {
      killed = kill(pid, SIGKILL) == 0;
      break;
    }
  }
  fclose(err);
  int status = 0;
  waitpid(pid, &status, 0);
  return killed && WIFSIGNALED(status);
}

// A maker's catalogue of a few thousand profiles, imported into a shop
// that has a catalogue of its own, killed at several moments: each time the
// shop is as before, and a run to the end gives what an uninterrupted one
// gives. The progress comes as plain lines, rising to 100%.
TEST(ExchangeDriver, AnImportKilledHalfwayLeavesNothingAndRunsAgainCleanly) {
  testing::TempDir dir;
  const std::string maker = dir.File("maker.db"), shop = dir.File("shop.db"), err = dir.File("err");
  ASSERT_EQ(Driver("init " + maker, err).code, 0);
  ASSERT_EQ(Driver("init " + shop, err).code, 0);
  {
    std::ofstream list(dir.File("xc.txt"));
    list << "0\r\n华建,HJ,H1\r\n60系列,2\r\n";
    for (int i = 0; i < 3000; ++i) list << "K" << i << ",框" << i << "," << i % 50 << "\r\n";
  }
  ASSERT_EQ(Driver("import-csv " + maker + " xc " + dir.File("xc.txt"), err).code, 0);
  std::ofstream(dir.File("own.txt")) << "0\r\nOwn,O,OWN\r\n70系列,0\r\nA,a,1\r\nB,b,2\r\n";
  ASSERT_EQ(Driver("import-csv " + shop + " xc " + dir.File("own.txt"), err).code, 0);
  ASSERT_EQ(Driver("export " + maker + " 1 " + dir.File("out"), err).code, 0);
  const std::string package = dir.File("out/zgl.rar");
  auto rows = [&](const std::string& db) {
    return Driver("sql " + db + " \"SELECT Xc_ID,XL_ID,CJ_ID,DaiMa FROM 型材 ORDER BY Xc_ID\"", err)
        .line["rows"];
  };
  const nlohmann::json before = rows(shop);

  for (int lines : {1, 3, 8}) {
    ASSERT_TRUE(KillAfter({"import", shop, package}, lines, dir.path().string())) << lines;
    EXPECT_EQ(rows(shop), before) << "killed after line " << lines;
  }
  std::filesystem::copy_file(shop, dir.File("clean.db"));
  const std::string bar = dir.File("bar");
  DriverRun done = Driver("import " + shop + " " + package, bar);
  EXPECT_EQ(done.code, 0) << done.line.dump();
  EXPECT_EQ(done.line["written"], 3002);
  ASSERT_EQ(Driver("import " + dir.File("clean.db") + " " + package, err).code, 0);
  EXPECT_EQ(rows(shop), rows(dir.File("clean.db")));

  // The bar as plain lines, each higher than the one before, ending at 100%.
  std::istringstream progress(ReadAll(bar));
  std::string line;
  int last = -1, count = 0;
  while (std::getline(progress, line)) {
    const int percent = std::stoi(line);
    EXPECT_GT(percent, last) << line;
    last = percent;
    ++count;
  }
  EXPECT_EQ(last, 100);
  EXPECT_GT(count, 5);
}

}  // namespace
}  // namespace dravmor
