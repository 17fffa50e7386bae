// Data exchange on SQLite: a factory of 20,000 profiles and 50,000 formula
// rows exported as a package and imported into a new database, and a
// supplier's price list of 100,000 lines.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include <benchmark/benchmark.h>

#include "engine/memory_form.h"
#include "engine/schema/shipped_schema.h"
#include "engine/shared_connection.h"
#include "exchange/server_for_export_factory.h"
#include "exchange/server_for_import.h"

namespace {

using namespace dravmor;
namespace fs = std::filesystem;

int Env(const char* name, int fallback) {
  const char* v = std::getenv(name);
  return v ? std::atoi(v) : fallback;
}
const int kProfiles = Env("DRAVMOR_BENCH_PROFILES", 20000);
const int kFormulas = Env("DRAVMOR_BENCH_FORMULAS", 50000);
const int kPriceLines = Env("DRAVMOR_BENCH_PRICE_LINES", 100000);

fs::path Scratch() {
  static const fs::path dir = [] {
    std::random_device rd;
    fs::path d = fs::temp_directory_path() / ("dravmor-xbench-" + std::to_string(rd()));
    fs::create_directories(d);
    return d;
  }();
  return dir;
}

std::string NewDatabase(const std::string& name) {
  const std::string path = (Scratch() / name).string();
  for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(path + suffix);
  SharedConnection::ResetThisThread();
  Status s = CreateShippedDatabase(path);
  if (!s.ok()) throw std::runtime_error(s.ToString());
  SharedConnection::ResetThisThread();
  return path;
}

void Must(const Status& s) {
  if (!s.ok()) throw std::runtime_error(s.ToString());
}

// The source database: one factory, two series, the profiles and formulas.
const std::string& SourceDatabase() {
  static const std::string path = [] {
    std::string file = NewDatabase("source.db");
    auto c = SharedConnection::ForThisThread();
    Must(c->Bind(file));
    const auto jet = dialect::Source::Jet;
    Must(c->Begin());
    Must(c->Execute("INSERT INTO 厂家 VALUES(1,'华建铝业','华建',0,1,'HJ',1,0,'','')", jet));
    Must(c->Execute("INSERT INTO 类别 VALUES(1,'框',2,1,1,0,1,0,0,1,0,0,0)", jet));
    Must(c->Execute("INSERT INTO 系列 VALUES(1,1,'60系列',2,0,-1,0,'','')", jet));
    Must(c->Execute("INSERT INTO 系列 VALUES(2,1,'70系列',2,0,-1,0,'','')", jet));
    for (int i = 1; i <= kProfiles; ++i)
      Must(c->Execute("INSERT INTO 型材 VALUES(" + std::to_string(i) + "," + std::to_string(1 + i % 2) +
                          ",'型材 " + std::to_string(i) + "','K" + std::to_string(i) +
                          "',6000,1.25,0,'截面',12.3456,1,1,1,0,'型材',0,'',1.4,100,50,1)",
                      jet));
    for (int i = 1; i <= kFormulas; ++i)
      Must(c->Execute("INSERT INTO 型材组合公式 VALUES(" + std::to_string(i) + "," +
                          std::to_string(i % 300) + "," + std::to_string(1 + i % 2) + "," +
                          std::to_string(1 + i % kProfiles) + ",'(W-2*30)/2+" + std::to_string(i) +
                          "','2',1,'')",
                      jet));
    Must(c->Commit());
    SharedConnection::ResetThisThread();
    return file;
  }();
  return path;
}

std::shared_ptr<MemoryForm> ExportForm() {
  auto form = std::make_shared<MemoryForm>();
  form->Set("lstfac.ListIndex", int32_t{0});
  form->Set("lstfac.ItemData(0)", int32_t{1});
  form->Set("lstxilie.ListCount", int32_t{2});
  for (int i = 0; i < 2; ++i) {
    form->Set("lstxilie.Selected(" + std::to_string(i) + ")", true);
    form->Set("lstxilie.ItemData(" + std::to_string(i) + ")", int32_t{i + 1});
  }
  return form;
}

std::string ExportPackage() {
  ServerForExportFactory exporter;
  std::string cs = SourceDatabase();
  exporter.Connect(cs);
  exporter.SetAppPath((Scratch() / "app").string());
  const std::string package = (Scratch() / "package.rar").string();
  exporter.SetPath(package);
  exporter.ExportFactory(ExportForm());
  return package;
}

void BM_ExportFactory(benchmark::State& state) {
  SourceDatabase();
  for (auto _ : state) {
    SharedConnection::ResetThisThread();
    ExportPackage();
  }
  state.counters["package_bytes"] = static_cast<double>(fs::file_size(Scratch() / "package.rar"));
}
BENCHMARK(BM_ExportFactory)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ImportPackage(benchmark::State& state) {
  SourceDatabase();
  SharedConnection::ResetThisThread();
  const std::string package = ExportPackage();
  for (auto _ : state) {
    state.PauseTiming();
    std::string target = NewDatabase("target.db");
    state.ResumeTiming();
    ServerForImport importer;
    importer.Connect(target);
    importer.SetPath(package);
    state.PauseTiming();
    auto rows = SharedConnection::ForThisThread()->Query("SELECT COUNT(*) FROM 型材组合公式",
                                                         dialect::Source::Jet);
    if (!rows.ok() || rows->cells[0].ToText() != std::to_string(kFormulas))
      state.SkipWithError("the formulas did not all arrive");
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ImportPackage)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ImportPriceList(benchmark::State& state) {
  const fs::path file = Scratch() / "prices.txt";
  {
    std::ofstream out(file, std::ios::binary);
    out << "\xEF\xBB\xBF" "0\r\n华建铝业,华建,HJ\r\n60系列,2\r\n";
    for (int i = 0; i < kPriceLines; ++i) out << "K" << i << ",框料 " << i << "," << (i % 97) + 0.5 << "\r\n";
  }
  for (auto _ : state) {
    state.PauseTiming();
    std::string target = NewDatabase("prices.db");
    state.ResumeTiming();
    ServerForImport importer;
    importer.Connect(target);
    importer.ImportXc(file.string());
  }
  state.counters["lines"] = kPriceLines;
}
BENCHMARK(BM_ImportPriceList)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
