// The package import of a factory of n profiles and 4·n profile formulas
// (5·n rows; n = 6,000 gives the 30,000-row package), into an empty shop
// and into one that already holds the same keys (every row then makes room
// for itself), and a supplier's price list of n profile lines (n = 20,000),
// each on SQLite and on PostgreSQL at two sizes. The server should stay
// within twice the file's time, and each should grow linearly with n.
//
//   build/dravmor_bench --benchmark_filter='BM_Import.*OnBoth'
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>

#include <benchmark/benchmark.h>

#include "bench/backend_shop.h"
#include "engine/memory_form.h"
#include "exchange/server_for_export_factory.h"
#include "exchange/server_for_import.h"

namespace {

using namespace dravmor;
namespace fs = std::filesystem;

fs::path Scratch() {
  static const fs::path dir = [] {
    std::random_device rd;
    fs::path d = fs::temp_directory_path() / ("dravmor-xboth-" + std::to_string(rd()));
    fs::create_directories(d);
    return d;
  }();
  return dir;
}

// The package of a factory with two series, n profiles and 4·n formulas,
// exported once per size from a SQLite shop.
const std::string& Package(int profiles) {
  static std::map<int, std::string> made;
  if (auto it = made.find(profiles); it != made.end()) return it->second;
  const std::string package = (Scratch() / ("package-" + std::to_string(profiles) + ".rar")).string();
  bench::BackendShop source(bench::Engine::Sqlite, "package-source");
  Status s = source.Load([&](const auto& exec) {
    exec("INSERT INTO 厂家 VALUES(1,'华建铝业','华建',0,1,'HJ',1,0,'','')");
    exec("INSERT INTO 类别 VALUES(1,'框',2,1,1,0,1,0,0,1,0,0,0)");
    exec("INSERT INTO 系列 VALUES(1,1,'60系列',2,0,-1,0,'','')");
    exec("INSERT INTO 系列 VALUES(2,1,'70系列',2,0,-1,0,'','')");
    for (int i = 1; i <= profiles; ++i)
      exec("INSERT INTO 型材 VALUES(" + std::to_string(i) + "," + std::to_string(1 + i % 2) +
           ",'型材 " + std::to_string(i) + "','K" + std::to_string(i) +
           "',6000,1.25,0,'截面',12.3456,1,1,1,0,'型材',0,'',1.4,100,50,1)");
    for (int i = 1; i <= 4 * profiles; ++i)
      exec("INSERT INTO 型材组合公式 VALUES(" + std::to_string(i) + "," + std::to_string(i % 300) +
           "," + std::to_string(1 + i % 2) + "," + std::to_string(1 + i % profiles) +
           ",'(W-2*30)/2+" + std::to_string(i) + "','2',1,'')");
  });
  if (!s.ok()) throw std::runtime_error(s.ToString());
  auto form = std::make_shared<MemoryForm>();
  form->Set("lstfac.ListIndex", int32_t{0});
  form->Set("lstfac.ItemData(0)", int32_t{1});
  form->Set("lstxilie.ListCount", int32_t{2});
  for (int i = 0; i < 2; ++i) {
    form->Set("lstxilie.Selected(" + std::to_string(i) + ")", true);
    form->Set("lstxilie.ItemData(" + std::to_string(i) + ")", int32_t{i + 1});
  }
  ServerForExportFactory exporter;
  std::string cs = source.connection_string();
  exporter.Connect(cs);
  exporter.SetAppPath((Scratch() / "app").string());
  exporter.SetPath(package);
  exporter.ExportFactory(form);
  return made[profiles] = package;
}

std::string Count(bench::BackendShop& shop, const std::string& sql) {
  auto rows = shop.connection().Query(sql, dialect::Source::Jet);
  return rows.ok() && !rows->cells.empty() ? rows->cells[0].ToText() : "?";
}

void ImportPackage(benchmark::State& state, bool colliding) {
  const int profiles = static_cast<int>(state.range(1));
  const std::string& package = Package(profiles);
  bench::BackendShop shop(bench::EngineOf(state),
                          (colliding ? "again_" : "package_") + std::to_string(profiles));
  if (!shop.ok()) {
    state.SkipWithError(shop.why.c_str());
    return;
  }
  std::string cs = shop.connection_string();
  ServerForImport importer;
  importer.Connect(cs);
  if (colliding) importer.SetPath(package);
  for (auto _ : state) importer.SetPath(package);
  const std::string expected = std::to_string(4 * profiles * (colliding ? 2 : 1));
  if (Count(shop, "SELECT COUNT(*) FROM 型材组合公式") != expected)
    state.SkipWithError("the formulas did not all arrive");
  state.counters["rows"] = 5 * profiles;
}

void BM_ImportPackageOnBoth(benchmark::State& state) { ImportPackage(state, false); }
BENCHMARK(BM_ImportPackageOnBoth)->Apply([](auto* b) { bench::BothBackendsAt(b, 3000, 6000); })
    ->Iterations(1);

void BM_ImportCollidingPackageOnBoth(benchmark::State& state) { ImportPackage(state, true); }
BENCHMARK(BM_ImportCollidingPackageOnBoth)
    ->Apply([](auto* b) { bench::BothBackendsAt(b, 1500, 3000); })
    ->Iterations(1);

void BM_ImportPriceListOnBoth(benchmark::State& state) {
  const int lines = static_cast<int>(state.range(1));
  const fs::path file = Scratch() / ("prices-" + std::to_string(lines) + ".txt");
  {
    std::ofstream out(file, std::ios::binary);
    out << "0\r\n华建铝业,华建,HJ\r\n60系列,2\r\n";
    for (int i = 0; i < lines; ++i) out << "K" << i << ",框料 " << i << "," << (i % 97) + 0.5 << "\r\n";
  }
  bench::BackendShop shop(bench::EngineOf(state), "prices_" + std::to_string(lines));
  if (!shop.ok()) {
    state.SkipWithError(shop.why.c_str());
    return;
  }
  std::string cs = shop.connection_string();
  ServerForImport importer;
  importer.Connect(cs);
  for (auto _ : state) importer.ImportXc(file.string());
  if (Count(shop, "SELECT COUNT(*) FROM 型材") != std::to_string(lines))
    state.SkipWithError("the profiles did not all arrive");
  state.counters["lines"] = lines;
}
BENCHMARK(BM_ImportPriceListOnBoth)->Apply([](auto* b) { bench::BothBackendsAt(b, 10000, 20000); })
    ->Iterations(1);

}  // namespace
