// Whether preparing a repeated statement once pays: n rows inserted into a
// formula table in one transaction, as a copy loop writes them, on both
// backends, three ways:
//   Engine    distinct Jet texts through the engine (translated, then run)
//   RawText   the same distinct texts sent straight to the backend
//   Prepared  one statement prepared once, the values bound on each run
//   Pipelined (server only) the prepared runs sent without waiting for each
//             result
// Engine - RawText is the translation's share, RawText - Prepared what the
// backend spends parsing and planning each text: together, what reusing a
// prepared statement could save the engine at best. Prepared - Pipelined is
// what the round trip per statement costs.
//
//   build/dravmor_bench --benchmark_filter=BM_InsertLoop
#include <libpq-fe.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/backend_shop.h"
#include "engine/sqlite/functions.h"

namespace {

using namespace dravmor;

std::string Values(int i) {
  return std::to_string(i) + "," + std::to_string(100 + i % 50) + ",7," + std::to_string(i) +
         ",'L-2*a+" + std::to_string(i) + "','2'," + std::to_string(i % 5) + ",'45'";
}

// Whether every row written arrived (the raw loops do not look).
void CheckRows(benchmark::State& state, const std::string& cs, int expected) {
  SharedConnection check;
  auto rows = check.Bind(cs).ok() ? check.Query("SELECT COUNT(*) FROM 型材组合公式",
                                                 dialect::Source::Jet)
                                   : Result<RowData>(Status::Error(0, "no connection"));
  if (!rows.ok() || rows->cells[0].ToText() != std::to_string(expected))
    state.SkipWithError("rows are missing");
}

// The shop, or a skipped benchmark.
bool Ready(benchmark::State& state, bench::BackendShop& shop) {
  if (!shop.ok()) state.SkipWithError(shop.why.c_str());
  return shop.ok();
}

void BM_InsertLoopEngine(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(1));
  bench::BackendShop shop(bench::EngineOf(state), "loop_engine");
  if (!Ready(state, shop)) return;
  SharedConnection& c = shop.connection();
  int base = 0;
  for (auto _ : state) {
    c.Begin();
    for (int i = 1; i <= rows; ++i)
      c.Execute("INSERT INTO  型材组合公式 Values(" + Values(base + i) + ")", dialect::Source::Jet);
    c.Commit();
    base += rows;
  }
  CheckRows(state, shop.connection_string(), base);
}

void BM_InsertLoopRawText(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(1));
  bench::BackendShop shop(bench::EngineOf(state), "loop_text");
  if (!Ready(state, shop)) return;
  const std::string cs = shop.connection_string();
  SharedConnection::ResetThisThread();
  int base = 0;
  if (bench::EngineOf(state) == bench::Engine::Sqlite) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(cs.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    RegisterJetFunctions(db);
    for (auto _ : state) {
      sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
      for (int i = 1; i <= rows; ++i)
        sqlite3_exec(db, ("INSERT INTO 型材组合公式 VALUES(" + Values(base + i) + ")").c_str(),
                     nullptr, nullptr, nullptr);
      sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
      base += rows;
    }
    sqlite3_close(db);
    CheckRows(state, cs, base);
    return;
  }
  PGconn* conn = PQconnectdb(cs.c_str());
  for (auto _ : state) {
    PQclear(PQexec(conn, "BEGIN"));
    for (int i = 1; i <= rows; ++i)
      PQclear(PQexec(conn, ("INSERT INTO 型材组合公式 VALUES(" + Values(base + i) + ")").c_str()));
    PQclear(PQexec(conn, "COMMIT"));
    base += rows;
  }
  PQfinish(conn);
  CheckRows(state, cs, base);
}

void BM_InsertLoopPrepared(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(1));
  bench::BackendShop shop(bench::EngineOf(state), "loop_prepared");
  if (!Ready(state, shop)) return;
  const std::string cs = shop.connection_string();
  SharedConnection::ResetThisThread();
  int base = 0;
  auto texts = [](int i) {
    return std::vector<std::string>{std::to_string(i), std::to_string(100 + i % 50), "7",
                                    std::to_string(i), "L-2*a+" + std::to_string(i), "2",
                                    std::to_string(i % 5), "45"};
  };
  if (bench::EngineOf(state) == bench::Engine::Sqlite) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(cs.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    RegisterJetFunctions(db);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO 型材组合公式 VALUES(?,?,?,?,?,?,?,?)", -1, &stmt, nullptr);
    for (auto _ : state) {
      sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
      for (int i = 1; i <= rows; ++i) {
        const std::vector<std::string> v = texts(base + i);
        for (int k = 0; k < 8; ++k) {
          if (k == 4 || k == 5 || k == 7)
            sqlite3_bind_text(stmt, k + 1, v[k].c_str(), -1, SQLITE_TRANSIENT);
          else
            sqlite3_bind_int64(stmt, k + 1, std::stoll(v[k]));
        }
        sqlite3_step(stmt);
        sqlite3_reset(stmt);
      }
      sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
      base += rows;
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    CheckRows(state, cs, base);
    return;
  }
  PGconn* conn = PQconnectdb(cs.c_str());
  PQclear(PQprepare(conn, "loop", "INSERT INTO 型材组合公式 VALUES($1,$2,$3,$4,$5,$6,$7,$8)", 8,
                    nullptr));
  for (auto _ : state) {
    PQclear(PQexec(conn, "BEGIN"));
    for (int i = 1; i <= rows; ++i) {
      const std::vector<std::string> v = texts(base + i);
      const char* params[8];
      for (int k = 0; k < 8; ++k) params[k] = v[k].c_str();
      PQclear(PQexecPrepared(conn, "loop", 8, params, nullptr, nullptr, 0));
    }
    PQclear(PQexec(conn, "COMMIT"));
    base += rows;
  }
  PQfinish(conn);
  CheckRows(state, cs, base);
}

// The server only: the prepared statement's runs sent without waiting for
// each result (libpq's pipeline mode), so that the round trip is paid once
// per batch instead of once per row.
void BM_InsertLoopPipelined(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(1));
  bench::BackendShop shop(bench::Engine::Postgres, "loop_pipelined");
  if (!Ready(state, shop)) return;
  const std::string cs = shop.connection_string();
  SharedConnection::ResetThisThread();
  PGconn* conn = PQconnectdb(cs.c_str());
  PQclear(PQprepare(conn, "loop", "INSERT INTO 型材组合公式 VALUES($1,$2,$3,$4,$5,$6,$7,$8)", 8,
                    nullptr));
  int base = 0;
  for (auto _ : state) {
    PQclear(PQexec(conn, "BEGIN"));
    PQenterPipelineMode(conn);
    for (int i = 1; i <= rows; ++i) {
      const int n = base + i;
      const std::vector<std::string> v = {std::to_string(n), std::to_string(100 + n % 50), "7",
                                          std::to_string(n), "L-2*a+" + std::to_string(n), "2",
                                          std::to_string(n % 5), "45"};
      const char* params[8];
      for (int k = 0; k < 8; ++k) params[k] = v[k].c_str();
      PQsendQueryPrepared(conn, "loop", 8, params, nullptr, nullptr, 0);
    }
    PQpipelineSync(conn);
    // One result and its end marker per row, then the sync's.
    for (int i = 0; i < rows; ++i) {
      PQclear(PQgetResult(conn));
      PQclear(PQgetResult(conn));
    }
    PQclear(PQgetResult(conn));
    PQexitPipelineMode(conn);
    PQclear(PQexec(conn, "COMMIT"));
    base += rows;
  }
  PQfinish(conn);
  CheckRows(state, cs, base);
}

void Sizes(benchmark::internal::Benchmark* b) { bench::BothBackendsAt(b, 10000, 20000); }
BENCHMARK(BM_InsertLoopEngine)->Apply(Sizes)->Iterations(2);
BENCHMARK(BM_InsertLoopRawText)->Apply(Sizes)->Iterations(2);
BENCHMARK(BM_InsertLoopPrepared)->Apply(Sizes)->Iterations(2);
BENCHMARK(BM_InsertLoopPipelined)
    ->ArgNames({"pg", "n"})
    ->Args({1, 10000})
    ->Args({1, 20000})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

}  // namespace
