// Filling the series tree: one series with N tree nodes over five levels
// (each level five times wider than the one above, as far as N allows),
// listed into an in-memory tree control through GetXiLieByTree. The fill
// issues one query per node, so its time should grow linearly with N.
#include <filesystem>
#include <random>
#include <string>

#include <benchmark/benchmark.h>

#include "bench/bench_shop.h"

#include "engine/memory_form.h"
#include "engine/schema/shipped_schema.h"
#include "engine/settings_store.h"
#include "series/server_for_xi_lie.h"
#include "users/server_for_login.h"

namespace {

using namespace dravmor;

void BM_FillSeriesTree(benchmark::State& state) {
  const int nodes = static_cast<int>(state.range(0));
  std::filesystem::path file = bench::NewShopPath("tree");
  if (Status s = bench::CreateUpgradedShop(file.string()); !s.ok()) {
    state.SkipWithError(s.ToString().c_str());
    return;
  }
  auto connection = SharedConnection::ForThisThread();
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
  bench::RemoveShop(file.string());
}
BENCHMARK(BM_FillSeriesTree)->Arg(500)->Arg(1000)->Arg(2000)->Unit(benchmark::kMillisecond);

}  // namespace
