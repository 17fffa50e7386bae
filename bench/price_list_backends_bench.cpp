// A supplier's price list of n profile lines (n = 10,000 and 20,000)
// imported on SQLite and on PostgreSQL: the server should stay within
// twice the file's time, and both should grow linearly with n. (The
// package import on both backends is package_import_bench.cpp.)
//
//   build/dravmor_bench --benchmark_filter=BM_ImportPriceListOnBoth
#include <filesystem>
#include <fstream>
#include <string>

#include <benchmark/benchmark.h>

#include "bench/backend_shop.h"
#include "exchange/server_for_import.h"

namespace {

using namespace dravmor;
namespace fs = std::filesystem;

std::string Count(bench::BackendShop& shop, const std::string& sql) {
  auto rows = shop.connection().Query(sql, dialect::Source::Jet);
  return rows.ok() && !rows->cells.empty() ? rows->cells[0].ToText() : "?";
}

void BM_ImportPriceListOnBoth(benchmark::State& state) {
  const int lines = static_cast<int>(state.range(1));
  bench::BackendShop shop(bench::EngineOf(state), "prices_" + std::to_string(lines));
  if (!shop.ok()) {
    state.SkipWithError(shop.why.c_str());
    return;
  }
  const fs::path file = bench::NewShopPath("prices") + ".txt";
  {
    std::ofstream out(file, std::ios::binary);
    out << "0\r\n华建铝业,华建,HJ\r\n60系列,2\r\n";
    for (int i = 0; i < lines; ++i) out << "K" << i << ",框料 " << i << "," << (i % 97) + 0.5 << "\r\n";
  }
  std::string cs = shop.connection_string();
  ServerForImport importer;
  importer.Connect(cs);
  for (auto _ : state) importer.ImportXc(file.string());
  if (Count(shop, "SELECT COUNT(*) FROM 型材") != std::to_string(lines))
    state.SkipWithError("the profiles did not all arrive");
  state.counters["lines"] = lines;
  fs::remove(file);
}
BENCHMARK(BM_ImportPriceListOnBoth)->Apply([](auto* b) { bench::BothBackendsAt(b, 10000, 20000); })
    ->Iterations(1);

}  // namespace
