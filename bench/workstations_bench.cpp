// Several workstations adding factories to one database at once: 1, 2 and 4
// threads, each with its own connection, each adding DRAVMOR_BENCH_STATION_ADDS
// factories (default 150) through AddFactory. Every add takes the database's
// write lock for its duplicate test, next id, INSERT and refreshed list, so
// the figure to watch is how throughput holds as workstations are added.
// Reports rows/s (wall time) and fails the run when a row is missing.
//
//   build/dravmor_bench --benchmark_filter=Workstations
#include <cstdlib>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <mutex>
#include <thread>
#include <vector>

#include <benchmark/benchmark.h>

#include "engine/memory_form.h"
#include "engine/schema/shipped_schema.h"
#include "suppliers/server_for_factory.h"
#include "tests/support/pg_cluster.h"

namespace {

using namespace dravmor;

int AddsPerStation() {
  const char* n = std::getenv("DRAVMOR_BENCH_STATION_ADDS");
  return n ? std::atoi(n) : 150;
}

// A new shipped database: a file, or a database of the throwaway server.
std::string NewDatabase(benchmark::State& state, bool server) {
  std::string where;
  if (server) {
    auto* cluster = testing::PgCluster::Shared();
    if (!cluster->available()) {
      state.SkipWithError(("no PostgreSQL server: " + cluster->why_unavailable()).c_str());
      return "";
    }
    if (Status s = cluster->CreateDatabase("bench_stations"); !s.ok()) {
      state.SkipWithError(s.ToString().c_str());
      return "";
    }
    where = cluster->ConnectionString("bench_stations");
  } else {
    std::random_device rd;
    where = (std::filesystem::temp_directory_path() /
             ("dravmor-stations-" + std::to_string(rd()) + ".db"))
                .string();
  }
  SharedConnection::ResetThisThread();
  if (Status s = CreateShippedDatabase(where); !s.ok()) {
    state.SkipWithError(s.ToString().c_str());
    return "";
  }
  SharedConnection::ResetThisThread();
  return where;
}

class CountingSink : public EventSink {
 public:
  void OnEvent(const ServerObject&, std::string_view event, std::vector<Variant>& args) override {
    if (event != "Accesserror") return;
    if (++errors == 1 && args.size() > 2) first = args[0].ToText() + ": " + args[2].ToText();
  }
  int errors = 0;
  std::string first;  // the first error's operation and text
};

void AddOnStations(benchmark::State& state, bool server) {
  const int stations = static_cast<int>(state.range(0)), adds = AddsPerStation();
  int64_t rows = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const std::string where = NewDatabase(state, server);
    if (where.empty()) return;
    std::vector<int> errors(static_cast<size_t>(stations));
    std::mutex first_error_mutex;
    std::string first_error;
    state.ResumeTiming();
    std::vector<std::thread> threads;
    for (int s = 0; s < stations; ++s)
      threads.emplace_back([&, s] {
        CountingSink sink;
        {
          ServerForFactory factory;
          factory.SetEventSink(&sink);
          std::string cs = where;
          factory.Connect(cs);
          auto form = std::make_shared<MemoryForm>();
          for (int i = 0; i < adds; ++i) {
            const std::string code = "S" + std::to_string(s) + "-" + std::to_string(i);
            form->Set("txtfactoryinfo[0].Text", code);
            form->Set("txtfactoryinfo[1].Text", "Factory " + code);
            form->Set("txtfactoryinfo[2].Text", code);
            factory.AddFactory(form, 0);
          }
        }
        errors[static_cast<size_t>(s)] = sink.errors;
        if (sink.errors) {
          std::lock_guard<std::mutex> lock(first_error_mutex);
          if (first_error.empty()) first_error = sink.first;
        }
        SharedConnection::ResetThisThread();
      });
    for (std::thread& t : threads) t.join();
    state.PauseTiming();
    auto connection = SharedConnection::ForThisThread();
    if (!connection->Bind(where).ok()) throw std::runtime_error("cannot reopen " + where);
    auto count = connection->Query("SELECT COUNT(*) FROM 厂家", dialect::Source::Jet);
    const int64_t stored = count.ok() ? *count->cells[0].ToInt64() : -1;
    int failed = 0;
    for (int e : errors) failed += e;
    if (stored != int64_t{stations} * adds || failed != 0)
      state.SkipWithError(("stored " + std::to_string(stored) + " of " +
                           std::to_string(stations * adds) + ", " + std::to_string(failed) +
                           " failures " + first_error)
                              .c_str());
    rows += stored;
    SharedConnection::ResetThisThread();
    if (!server)
      for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(where + suffix);
    if (state.error_occurred()) break;
    state.ResumeTiming();
  }
  state.counters["rows/s"] = benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
}

void BM_WorkstationsAddingSqlite(benchmark::State& state) { AddOnStations(state, false); }
void BM_WorkstationsAddingPostgres(benchmark::State& state) { AddOnStations(state, true); }

BENCHMARK(BM_WorkstationsAddingSqlite)->Arg(1)->Arg(2)->Arg(4)->Iterations(1)->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WorkstationsAddingPostgres)->Arg(1)->Arg(2)->Arg(4)->Iterations(1)->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
