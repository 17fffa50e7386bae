// Filling the series tree: one series with N tree nodes over five levels
// (each level five times wider than the one above, as far as N allows),
// listed into an in-memory tree control through GetXiLieByTree. The fill
// issues one query per node, so its time should grow linearly with N.
#include <filesystem>
#include <random>
#include <string>

#include <benchmark/benchmark.h>

#include "engine/memory_form.h"
#include "engine/schema/shipped_schema.h"
#include "engine/settings_store.h"
#include "series/server_for_xi_lie.h"
#include "users/server_for_login.h"

namespace {

using namespace dravmor;

void BM_FillSeriesTree(benchmark::State& state) {
  const int nodes = static_cast<int>(state.range(0));
  std::random_device rd;
  auto file = std::filesystem::temp_directory_path() / ("dravmor-tree-" + std::to_string(rd()) + ".db");
  SharedConnection::ResetThisThread();
  if (Status s = CreateShippedDatabase(file.string()); !s.ok()) {
    state.SkipWithError(s.ToString().c_str());
    return;
  }
  auto connection = SharedConnection::ForThisThread();
  {
    // A current database, as the log-in upgrade leaves it.
    UseSettings(std::make_shared<FileSettingsStore>(file.string() + ".settings"));
    ServerForLogin login;
    std::string cs = file.string();
    login.Connect(cs);
    login.SetSQLSERVER(false);
    login.AddField();
  }
  {
    Transaction bulk(*connection);
    connection->Execute("INSERT INTO 系列  VALUES(10,1,'60',0,0,0,0,'a','a')", dialect::Source::Jet);
    // Breadth first: node i's parent is node (i - 1) / 5, the series for the first five.
    for (int i = 0; i < nodes; ++i) {
      int parent = i < 5 ? 10 : 11 + (i - 5) / 5;
      connection->Execute("INSERT INTO 系列  VALUES(" + std::to_string(11 + i) + ",1,'n" +
                              std::to_string(i) + "'," + std::to_string(parent) + ",10,1,0,'a','a')",
                          dialect::Source::Jet);
    }
    bulk.Commit();
  }
  ServerForXiLie series;
  std::string cs = file.string();
  series.Connect(cs);
  series.SetCJID(1);
  size_t filled = 0;
  uint64_t statements = 0;
  for (auto _ : state) {
    auto tree = std::make_shared<MemoryTree>();
    uint64_t before = connection->StatementCount();
    series.GetXiLieByTree(tree, nullptr);
    statements = connection->StatementCount() - before;
    filled = tree->NodeCount();
  }
  state.counters["nodes"] = static_cast<double>(filled);
  state.counters["statements"] = static_cast<double>(statements);
  SharedConnection::ResetThisThread();
  UseSettings(nullptr);
  for (const char* suffix : {"", "-wal", "-shm", ".settings"}) std::filesystem::remove(file.string() + suffix);
}
BENCHMARK(BM_FillSeriesTree)->Arg(500)->Arg(1000)->Arg(2000)->Unit(benchmark::kMillisecond);

}  // namespace
