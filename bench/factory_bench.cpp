// Adding factories: 10,000 AddFactory calls through the engine (duplicate
// test, next id, INSERT, refreshed list) against the same statement stream
// sent straight to SQLite, each on a new shipped database.
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include <benchmark/benchmark.h>

#include "bench/raw_query.h"

#include "bench/factory_stream.h"

#include "engine/memory_form.h"
#include "engine/schema/shipped_schema.h"
#include "engine/sqlite/functions.h"
#include "suppliers/server_for_factory.h"

namespace {

using namespace dravmor;

const int kFactories = std::getenv("DRAVMOR_BENCH_FACTORIES") ? std::atoi(std::getenv("DRAVMOR_BENCH_FACTORIES")) : 10000;

std::string NewDatabase() {
  std::random_device rd;
  auto path = std::filesystem::temp_directory_path() /
              ("dravmor-bench-" + std::to_string(rd()) + ".db");
  SharedConnection::ResetThisThread();
  Status s = CreateShippedDatabase(path.string());
  if (!s.ok()) throw std::runtime_error(s.ToString());
  SharedConnection::ResetThisThread();
  return path.string();
}

void RemoveDatabase(const std::string& file) {
  for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(file + suffix);
}

void BM_AddFactoryThroughEngine(benchmark::State& state) {
  size_t rows_listed = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::string file = NewDatabase();
    auto form = std::make_shared<MemoryForm>();
    state.ResumeTiming();
    {
      ServerForFactory factory;
      std::string cs = file;
      factory.Connect(cs);
      factory.SetSQLSERVER(false);
      factory.SetCZYName("管理员");
      for (int i = 0; i < kFactories; ++i) {
        form->Set("txtfactoryinfo[0].Text", bench::FactoryCode(i));
        form->Set("txtfactoryinfo[1].Text", "Factory " + bench::FactoryCode(i));
        form->Set("txtfactoryinfo[2].Text", "厂" + std::to_string(i));
        factory.AddFactory(form, 0);
      }
      rows_listed = factory.GetFactory()->RowCount();
    }
    state.PauseTiming();
    SharedConnection::ResetThisThread();
    RemoveDatabase(file);
    state.ResumeTiming();
  }
  benchmark::DoNotOptimize(rows_listed);
  state.counters["adds"] = kFactories;
}

// What a plain client of SQLite does for the same work: prepare, step and
// read every column of every row, finalize.
struct RawClient {
  sqlite3* db = nullptr;

  void Run(const std::string& sql) {
    std::string error;
    if (bench::ReadAllRows(db, sql, &error) < 0) throw std::runtime_error(error);
  }
};

void BM_AddFactoryRawSqlite(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    std::string file = NewDatabase();
    state.ResumeTiming();
    RawClient client;
    sqlite3_open_v2(file.c_str(), &client.db, SQLITE_OPEN_READWRITE, nullptr);
    // The database's text columns use the engine's collation, so even a
    // plain client registers it.
    RegisterJetFunctions(client.db);
    sqlite3_exec(client.db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    sqlite3_exec(client.db, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
    for (int i = 0; i < kFactories; ++i)
      for (const std::string& sql : bench::FactoryStatements(i)) client.Run(sql);
    sqlite3_close(client.db);
    state.PauseTiming();
    RemoveDatabase(file);
    state.ResumeTiming();
  }
  state.counters["adds"] = kFactories;
}

BENCHMARK(BM_AddFactoryThroughEngine)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_AddFactoryRawSqlite)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
