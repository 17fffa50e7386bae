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

// The server the tests use (fsync off: the engine's and the protocol's
// share of the time, steady on a busy machine); with DRAVMOR_BENCH_PG_DURABLE=1
// one that writes through to the disk at each commit, as PostgreSQL does by
// default. The first benchmark to start the server decides for the run.
inline testing::PgCluster::Durability ServerDurability() {
  const char* v = std::getenv("DRAVMOR_BENCH_PG_DURABLE");
  return v && std::string(v) == "1" ? testing::PgCluster::Durability::kDefault
                                    : testing::PgCluster::Durability::kThrowaway;
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

}  // namespace dravmor::bench
