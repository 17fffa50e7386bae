// CopyNew of a series with n profiles and 23·n/7 formula rows (for n =
// 3,500: 7,000 profile, 3,500 accessory and 1,000 glass formulas, 11,500
// in all) and AddTree of a node under it, which copies the same formula
// rows, on SQLite and on PostgreSQL with the same data, at n = 1,750 and
// 3,500: the server should stay within twice the file's time and both
// should double, not quadruple, with n.
//
//   build/dravmor_bench --benchmark_filter='BM_(CopyNew|AddTree)OnBoth'
#include <string>

#include <benchmark/benchmark.h>

#include "bench/backend_shop.h"
#include "series/server_for_xi_lie.h"

namespace {

using namespace dravmor;

// Series 1 of factory 1 with its profiles, formulas and category values.
Status FillSeries(bench::BackendShop& shop, int profiles) {
  return shop.Load([&](const auto& exec) {
    exec("INSERT INTO 系列  VALUES(1,1,'60',0,0,-1,0,'a','a')");
    const int glass = profiles * 2 / 7;
    int formula = 0;
    for (int p = 1; p <= profiles; ++p) {
      const std::string id = std::to_string(p);
      exec("INSERT INTO 型材 VALUES(" + id + ",1,'profile " + id + "','C-" + id +
           "',6000,1.25,0,'d.wmf',12.5,3,1,1,4,'G',0,'white',1.4,100,50,1)");
      for (int f = 0; f < 2; ++f)
        exec("INSERT INTO 型材组合公式 VALUES(" + std::to_string(++formula) + "," +
             std::to_string(100 + p % 50) + ",1," + id + ",'L-2*a','2'," + std::to_string(f) +
             ",'45')");
      exec("INSERT INTO 配件组合公式 VALUES(" + id + "," + std::to_string(100 + p % 50) +
           ",1,55,'2',1,'A')");
      if (p <= glass)
        exec("INSERT INTO 玻璃组合公式 VALUES(" + id + "," + std::to_string(100 + p % 50) +
             ",1,'L-10','W-10','1',1,'G1')");
      if (p % 10 == 0)
        exec("INSERT INTO ShuZhi (ID,Xl_ID,Para_ID,ValZhi) VALUES (" + id + ",1," + id + ",2.5)");
    }
  });
}

// The shop for one run; skipped with the reason when it cannot be made.
bool Prepare(benchmark::State& state, bench::BackendShop& shop, ServerForXiLie& series) {
  if (!shop.ok()) {
    state.SkipWithError(shop.why.c_str());
    return false;
  }
  if (Status s = FillSeries(shop, static_cast<int>(state.range(1))); !s.ok()) {
    state.SkipWithError(s.ToString().c_str());
    return false;
  }
  std::string cs = shop.connection_string();
  series.Connect(cs);
  series.SetCJID(1);
  series.SetCaoZuoYuan("管理员");
  return true;
}

void BM_CopyNewOnBoth(benchmark::State& state) {
  bench::BackendShop shop(bench::EngineOf(state), "copy_" + std::to_string(state.range(1)));
  ServerForXiLie series;
  if (!Prepare(state, shop, series)) return;
  int copy = 0;
  for (auto _ : state) series.CopyNew(Currency::FromWhole(1), "copy " + std::to_string(++copy), 0);
  auto rows = shop.connection().Query("SELECT COUNT(*) FROM 型材组合公式 WHERE XL_ID<>1",
                                      dialect::Source::Jet);
  if (!rows.ok() || rows->cells[0].ToText() != std::to_string(2 * state.range(1) * copy))
    state.SkipWithError("the profile formulas were not all copied");
}
BENCHMARK(BM_CopyNewOnBoth)->Apply([](auto* b) { bench::BothBackendsAt(b, 1750, 3500); })
    ->Iterations(1);

void BM_AddTreeOnBoth(benchmark::State& state) {
  bench::BackendShop shop(bench::EngineOf(state), "tree_" + std::to_string(state.range(1)));
  ServerForXiLie series;
  if (!Prepare(state, shop, series)) return;
  int node = 0;
  for (auto _ : state)
    series.AddTree(Currency::FromWhole(1), Currency::FromWhole(1), "node " + std::to_string(++node));
  auto rows = shop.connection().Query("SELECT COUNT(*) FROM 型材组合公式 WHERE XL_ID<>1",
                                      dialect::Source::Jet);
  if (!rows.ok() || rows->cells[0].ToText() != std::to_string(2 * state.range(1) * node))
    state.SkipWithError("the node's formulas were not all copied");
}
BENCHMARK(BM_AddTreeOnBoth)->Apply([](auto* b) { bench::BothBackendsAt(b, 1750, 3500); })
    ->Iterations(1);

}  // namespace
