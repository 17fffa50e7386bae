// Adding factories on the server backend: AddFactory through the engine
// against the same statement stream sent straight through libpq, each on a
// new database of a throwaway PostgreSQL server over its Unix socket.
#include <libpq-fe.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

#include <benchmark/benchmark.h>

#include "bench/factory_stream.h"

#include "engine/memory_form.h"
#include "engine/schema/shipped_schema.h"
#include "suppliers/server_for_factory.h"
#include "tests/support/pg_cluster.h"

namespace {

using namespace dravmor;

int Factories() {
  const char* n = std::getenv("DRAVMOR_BENCH_PG_FACTORIES");
  if (!n) n = std::getenv("DRAVMOR_BENCH_FACTORIES");
  return n ? std::atoi(n) : 10000;
}

// A new server database with the shipped schema; empty when no server runs.
std::string NewServerDatabase(benchmark::State& state, const std::string& name) {
  auto* cluster = testing::PgCluster::Shared();
  if (!cluster->available()) {
    state.SkipWithError(("no PostgreSQL server: " + cluster->why_unavailable()).c_str());
    return "";
  }
  if (Status s = cluster->CreateDatabase(name); !s.ok()) {
    state.SkipWithError(s.ToString().c_str());
    return "";
  }
  std::string conninfo = cluster->ConnectionString(name);
  SharedConnection::ResetThisThread();
  if (Status s = CreateShippedDatabase(conninfo); !s.ok()) {
    state.SkipWithError(s.ToString().c_str());
    return "";
  }
  SharedConnection::ResetThisThread();
  return conninfo;
}

void BM_AddFactoryThroughEnginePg(benchmark::State& state) {
  const int count = Factories();
  for (auto _ : state) {
    state.PauseTiming();
    std::string conninfo = NewServerDatabase(state, "bench_engine");
    if (conninfo.empty()) break;
    auto form = std::make_shared<MemoryForm>();
    state.ResumeTiming();
    {
      ServerForFactory factory;
      factory.Connect(conninfo);
      factory.SetSQLSERVER(true);
      factory.SetCZYName("管理员");
      for (int i = 0; i < count; ++i) {
        form->Set("txtfactoryinfo[0].Text", bench::FactoryCode(i));
        form->Set("txtfactoryinfo[1].Text", "Factory " + bench::FactoryCode(i));
        form->Set("txtfactoryinfo[2].Text", "厂" + std::to_string(i));
        factory.AddFactory(form, 0);
      }
      benchmark::DoNotOptimize(factory.GetFactory()->RowCount());
    }
    state.PauseTiming();
    SharedConnection::ResetThisThread();
    state.ResumeTiming();
  }
  state.counters["adds"] = count;
}

// A plain libpq client: every statement sent as text, every cell of every
// row read.
struct RawClient {
  PGconn* conn = nullptr;
  size_t cells = 0;
  std::string text;

  void Run(const std::string& sql) {
    PGresult* r = PQexec(conn, sql.c_str());
    ExecStatusType status = PQresultStatus(r);
    if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) {
      std::string message = PQresultErrorMessage(r);
      PQclear(r);
      throw std::runtime_error(message);
    }
    for (int row = 0; row < PQntuples(r); ++row)
      for (int c = 0; c < PQnfields(r); ++c) {
        text.assign(PQgetvalue(r, row, c), static_cast<size_t>(PQgetlength(r, row, c)));
        cells += text.size();
      }
    PQclear(r);
  }
};

void BM_AddFactoryRawLibpq(benchmark::State& state) {
  const int count = Factories();
  for (auto _ : state) {
    state.PauseTiming();
    std::string conninfo = NewServerDatabase(state, "bench_raw");
    if (conninfo.empty()) break;
    state.ResumeTiming();
    RawClient client;
    client.conn = PQconnectdb(conninfo.c_str());
    for (int i = 0; i < count; ++i)
      for (const std::string& sql : bench::FactoryStatements(i)) client.Run(sql);
    PQfinish(client.conn);
    benchmark::DoNotOptimize(client.cells);
  }
  state.counters["adds"] = count;
}

BENCHMARK(BM_AddFactoryThroughEnginePg)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_AddFactoryRawLibpq)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
