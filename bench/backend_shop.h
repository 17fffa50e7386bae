// What the backend comparison benchmarks share: an upgraded shop database
// on either backend (a SQLite file in the temporary folder, or a database
// of the throwaway PostgreSQL server reached over its Unix socket), bound
// as the thread's connection, and a bulk loader that fills both with the
// same Jet statements. A benchmark takes the backend as its first argument
// (0 SQLite, 1 PostgreSQL) and the workload size as its second, so that
// one run shows both backends and both sizes side by side.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include "bench/bench_shop.h"
#include "engine/schema/shipped_schema.h"
#include "engine/settings_store.h"
#include "engine/shared_connection.h"
#include "tests/support/pg_cluster.h"
#include "users/server_for_login.h"

namespace dravmor::bench {

enum class Engine { Sqlite = 0, Postgres = 1 };

// A server that writes through to the disk, as a real one does; or, with
// DRAVMOR_BENCH_PG_THROWAWAY=1, one that does not (fsync off), which leaves
// the engine's and the protocol's share of the time alone.
inline testing::PgCluster::Durability ServerDurability() {
  const char* v = std::getenv("DRAVMOR_BENCH_PG_THROWAWAY");
  return v && std::string(v) == "1" ? testing::PgCluster::Durability::kThrowaway
                                    : testing::PgCluster::Durability::kDefault;
}

inline Engine EngineOf(const benchmark::State& state) {
  return state.range(0) == 0 ? Engine::Sqlite : Engine::Postgres;
}

// A shop on the backend, removed (file) or dropped with the server when it
// goes out of scope. Empty connection string when it could not be made;
// the reason is then in `why`.
class BackendShop {
 public:
  BackendShop(Engine engine, const std::string& tag) {
    SharedConnection::ResetThisThread();
    if (engine == Engine::Sqlite) {
      file_ = NewShopPath(tag);
      connection_string_ = file_;
    } else {
      auto* cluster = testing::PgCluster::Shared(ServerDurability());
      if (!cluster->available()) {
        why = cluster->why_unavailable();
        return;
      }
      if (Status s = cluster->CreateDatabase(tag); !s.ok()) {
        why = s.ToString();
        return;
      }
      connection_string_ = cluster->ConnectionString(tag);
    }
    settings_ = NewShopPath(tag) + ".settings";
    if (Status s = CreateShippedDatabase(connection_string_); !s.ok()) {
      why = s.ToString();
      connection_string_.clear();
      return;
    }
    UseSettings(std::make_shared<FileSettingsStore>(settings_));
    ServerForLogin login;
    std::string cs = connection_string_;
    login.Connect(cs);
    login.SetSQLSERVER(false);
    login.AddField();
  }
  ~BackendShop() {
    SharedConnection::ResetThisThread();
    UseSettings(nullptr);
    if (!file_.empty()) RemoveShop(file_);
    std::filesystem::remove(settings_);
  }
  BackendShop(const BackendShop&) = delete;
  BackendShop& operator=(const BackendShop&) = delete;

  bool ok() const { return !connection_string_.empty(); }
  const std::string& connection_string() const { return connection_string_; }
  SharedConnection& connection() { return *SharedConnection::ForThisThread(); }

  // Runs Jet statements in one transaction; the first failure ends it.
  Status Load(const std::function<void(const std::function<void(const std::string&)>&)>& fill) {
    SharedConnection& c = connection();
    Transaction bulk(c);
    if (!bulk.status().ok()) return bulk.status();
    Status failure;
    fill([&](const std::string& sql) {
      if (failure.ok()) failure = c.Execute(sql, dialect::Source::Jet);
    });
    if (!failure.ok()) return failure;
    return bulk.Commit();
  }

  std::string why;

 private:
  std::string file_;
  std::string settings_;
  std::string connection_string_;
};

// The two backends at two sizes: {0, small}, {0, large}, {1, small}, {1, large}.
inline void BothBackendsAt(benchmark::internal::Benchmark* b, int small, int large) {
  b->ArgNames({"pg", "n"});
  for (int engine : {0, 1})
    for (int n : {small, large}) b->Args({engine, n});
  b->Unit(benchmark::kMillisecond);
}

// The same, each also run inside one transaction (third argument "tx" 1):
// what the engine gives an operation that commits once instead of once per
// statement. Where the operation already runs in one, both are the same.
inline void BothBackendsAtWithAndWithoutTransaction(benchmark::internal::Benchmark* b, int small,
                                                    int large) {
  b->ArgNames({"pg", "n", "tx"});
  for (int engine : {0, 1})
    for (int n : {small, large})
      for (int tx : {0, 1}) b->Args({engine, n, tx});
  b->Unit(benchmark::kMillisecond);
}

// Runs the operation, in one transaction when the benchmark says "tx" 1.
template <typename F>
void RunOperation(benchmark::State& state, F&& operation) {
  SharedConnection& c = *SharedConnection::ForThisThread();
  const bool one = state.range(2) == 1 && !c.InTransaction() && c.Begin().ok();
  operation();
  if (one && !c.Commit().ok()) state.SkipWithError("the transaction did not commit");
}

}  // namespace dravmor::bench
