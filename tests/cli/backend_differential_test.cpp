// The backend differential test: every example script and every scenario
// script (tests/data/scenarios, one per business area, with hostile texts,
// fractions, Nulls, Chinese and Vietnamese text, large numbers) is run
// through the driver on a fresh SQLite file and on a fresh PostgreSQL
// database; the two outputs, the connection string replaced by
// "$connection", must be the same byte for byte, save the lines that
// tests/data/differential_exceptions.tsv lists, each with its reason.
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include <gtest/gtest.h>

#include "tests/support/pg_cluster.h"
#include "tests/support/test_database.h"

namespace dravmor {
namespace {

namespace fs = std::filesystem;

const fs::path kSourceRoot = fs::path(DRAVMOR_TEST_DATA).parent_path().parent_path();

struct Exception {
  std::string script;
  std::regex lines;
  std::string reason;
};

// script TAB regular expression of the lines left out TAB reason.
std::vector<Exception> ReadExceptions() {
  std::vector<Exception> out;
  std::ifstream in(std::string(DRAVMOR_TEST_DATA) + "/differential_exceptions.tsv");
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    size_t a = line.find('\t'), b = line.find('\t', a + 1);
    if (a == std::string::npos || b == std::string::npos || b + 1 >= line.size())
      ADD_FAILURE() << "an exception needs script, lines and reason: " << line;
    else
      out.push_back({line.substr(0, a), std::regex(line.substr(a + 1, b - a - 1)), line.substr(b + 1)});
  }
  return out;
}

std::vector<std::string> Scripts() {
  std::vector<std::string> scripts;
  for (const fs::path& dir : {kSourceRoot / "examples", fs::path(DRAVMOR_TEST_DATA) / "scenarios"})
    for (const auto& entry : fs::directory_iterator(dir))
      if (entry.path().extension() == ".json") scripts.push_back(fs::relative(entry.path(), kSourceRoot));
  std::sort(scripts.begin(), scripts.end());
  return scripts;
}

std::string Quoted(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// The driver's output (stdout and stderr), run from the source folder as
// the examples expect, with a settings store of its own.
std::string Run(const std::string& args, const testing::TempDir& dir, int* code) {
  std::string command = "cd " + Quoted(kSourceRoot.string()) + " && " + DRAVMOR_CLI_PATH +
                        " --settings " + Quoted(dir.File("settings.json")) + " " + args + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  std::string out;
  std::array<char, 4096> buf;
  size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), pipe)) > 0) out.append(buf.data(), n);
  *code = WEXITSTATUS(pclose(pipe));
  return out;
}

std::vector<std::string> Normalised(std::string out, const std::string& connection) {
  for (size_t at; (at = out.find(connection)) != std::string::npos;)
    out.replace(at, connection.size(), "$connection");
  std::vector<std::string> lines;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The script's output on a fresh database of the backend.
std::vector<std::string> Output(testing::TestBackend backend, const std::string& script,
                                const testing::TempDir& dir, std::string* why) {
  std::string connection = testing::NewDatabase(backend, dir, why);
  if (connection.empty()) return {};
  int code = 0;
  std::string init = Run("init " + Quoted(connection), dir, &code);
  if (code != 0) {
    *why = "init failed: " + init;
    return {};
  }
  std::string out = Run("run " + Quoted(connection) + " " + Quoted(script), dir, &code);
  std::vector<std::string> lines = Normalised(out, connection);
  lines.push_back("exit code " + std::to_string(code));
  return lines;
}

class BackendDifferential : public ::testing::TestWithParam<std::string> {};

TEST_P(BackendDifferential, SameOutputOnBothBackends) {
  const std::string& script = GetParam();
  testing::TempDir sqlite_dir, pg_dir;
  std::string why;
  std::vector<std::string> sqlite = Output(testing::TestBackend::Sqlite, script, sqlite_dir, &why);
  ASSERT_FALSE(sqlite.empty()) << why;
  std::vector<std::string> pg = Output(testing::TestBackend::Postgres, script, pg_dir, &why);
  if (pg.empty()) {
    if (!testing::PgCluster::Shared()->available()) GTEST_SKIP() << why;
    FAIL() << why;
  }
  // Lines an exception names are left out on both sides; the rest must be
  // the same, line for line.
  std::vector<Exception> exceptions = ReadExceptions();
  auto kept = [&](const std::vector<std::string>& lines) {
    std::vector<std::string> out;
    for (const std::string& line : lines) {
      bool excepted = false;
      for (const Exception& e : exceptions)
        excepted = excepted || (e.script == script && std::regex_search(line, e.lines));
      if (!excepted) out.push_back(line);
    }
    return out;
  };
  sqlite = kept(sqlite);
  pg = kept(pg);
  for (size_t i = 0; i < std::max(sqlite.size(), pg.size()); ++i) {
    const std::string none = "(no line)";
    const std::string& a = i < sqlite.size() ? sqlite[i] : none;
    const std::string& b = i < pg.size() ? pg[i] : none;
    if (a != b) {
      ADD_FAILURE() << script << " line " << i + 1 << "\n  SQLite:     " << a
                    << "\n  PostgreSQL: " << b;
      break;  // the lines after the first difference follow from it
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Scripts, BackendDifferential, ::testing::ValuesIn(Scripts()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string name = fs::path(info.param).parent_path().filename().string() +
                                              "_" + fs::path(info.param).stem().string();
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

// Every exception names a script that exists and says why.
TEST(BackendDifferentialExceptions, NameRealScripts) {
  std::vector<std::string> scripts = Scripts();
  for (const Exception& e : ReadExceptions()) {
    EXPECT_NE(std::find(scripts.begin(), scripts.end(), e.script), scripts.end()) << e.script;
    EXPECT_FALSE(e.reason.empty());
  }
}

}  // namespace
}  // namespace dravmor
