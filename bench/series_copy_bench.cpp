// Copying a series with CopyNew: P profiles and 5·P profile formulas (plus
// one accessory and one glass formula per profile, so 7·P formula rows in
// all), against the raw statement stream of the same copy: the same
// number of single-row INSERTs and reads executed straight on SQLite, each
// in its own commit as the engine's are. The copy should grow linearly
// with P; at P = 2000 (14,000 formula rows) it should take under 2 s.
#include <sqlite3.h>

#include <filesystem>
#include <random>
#include <string>

#include <benchmark/benchmark.h>

#include "bench/bench_shop.h"

#include "engine/schema/shipped_schema.h"
#include "engine/settings_store.h"
#include "series/server_for_xi_lie.h"
#include "users/server_for_login.h"

namespace {

using namespace dravmor;

// An upgraded database whose series 1 has `profiles` profiles and the
// formulas on them.
Status BuildShop(const std::filesystem::path& file, int profiles) {
  if (Status s = bench::CreateUpgradedShop(file.string()); !s.ok()) return s;
  auto connection = SharedConnection::ForThisThread();
  Transaction bulk(*connection);
  auto exec = [&](const std::string& sql) { return connection->Execute(sql, dialect::Source::Jet); };
  if (Status s = exec("INSERT INTO 系列  VALUES(1,1,'60',0,0,-1,0,'a','a')"); !s.ok()) return s;
  int formula = 0;
  for (int p = 1; p <= profiles; ++p) {
    const std::string id = std::to_string(p);
    exec("INSERT INTO 型材 VALUES(" + id + ",1,'profile " + id + "','C-" + id +
         "',6000,1.25,0,'d.wmf',12.5,3,1,1,4,'G',0,'white',1.4,100,50,1)");
    for (int f = 0; f < 5; ++f) {
      ++formula;
      exec("INSERT INTO 型材组合公式 VALUES(" + std::to_string(formula) + "," +
           std::to_string(100 + f) + ",1," + id + ",'L-2*a','2'," + std::to_string(f) + ",'45')");
    }
    exec("INSERT INTO 配件组合公式 VALUES(" + id + ",100,1,55,'2',1,'A')");
    exec("INSERT INTO 玻璃组合公式 VALUES(" + id + ",100,1,'L-10','W-10','1',1,'G1')");
  }
  return bulk.Commit();
}

void BM_CopyNew(benchmark::State& state) {
  const int profiles = static_cast<int>(state.range(0));
  std::filesystem::path file = bench::NewShopPath("copy");
  if (Status s = BuildShop(file, profiles); !s.ok()) {
    state.SkipWithError(s.ToString().c_str());
    return;
  }
  auto connection = SharedConnection::ForThisThread();
  ServerForXiLie series;
  std::string cs = file.string();
  series.Connect(cs);
  series.SetCJID(1);
  int copy = 0;
  uint64_t statements = 0;
  for (auto _ : state) {
    uint64_t before = connection->StatementCount();
    series.CopyNew(Currency::FromWhole(1), "copy " + std::to_string(++copy), 0);
    statements = connection->StatementCount() - before;
  }
  state.counters["statements"] = static_cast<double>(statements);
  SharedConnection::ResetThisThread();
  UseSettings(nullptr);
  bench::RemoveShop(file.string());
}
BENCHMARK(BM_CopyNew)->Arg(500)->Arg(1000)->Arg(2000)->Iterations(3)->Unit(benchmark::kMillisecond);

// The raw stream: the reads of the source rows and one INSERT per copied
// row, as literal texts, executed directly in autocommit.
void BM_CopyNewRawStream(benchmark::State& state) {
  const int profiles = static_cast<int>(state.range(0));
  std::filesystem::path file = bench::NewShopPath("copy-raw");
  if (Status s = BuildShop(file, profiles); !s.ok()) {
    state.SkipWithError(s.ToString().c_str());
    return;
  }
  SharedConnection::ResetThisThread();
  sqlite3* db = nullptr;
  sqlite3_open(file.string().c_str(), &db);
  sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
  auto exec = [&](const std::string& sql) { sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr); };
  int series = 1;
  int64_t next_profile = profiles, next_formula = 5 * profiles, next_other = profiles;
  uint64_t statements = 0;
  for (auto _ : state) {
    const std::string X = std::to_string(++series);
    statements = 0;
    auto run = [&](const std::string& sql) {
      exec(sql);
      ++statements;
    };
    run("SELECT * FROM 系列 WHERE xl_ID=1");
    run("INSERT INTO 系列 VALUES(" + X + ",1,'raw " + X + "',0,0,1,0,'a','a')");
    run("SELECT * FROM 型材 WHERE xl_ID=1 ORDER BY xc_ID");
    for (int p = 1; p <= profiles; ++p)
      run("INSERT INTO 型材 VALUES(" + std::to_string(++next_profile) + "," + X + ",'profile','C'," +
          "6000,1.25,0,'d.wmf',12.5,3,1,1,4,'G'," + std::to_string(p) +
          ",'white',1.4,100,50,1)");
    run("SELECT * FROM 型材组合公式 WHERE xl_ID=1 ORDER BY xczhgs_ID");
    for (int f = 0; f < 5 * profiles; ++f)
      run("INSERT INTO 型材组合公式 VALUES(" + std::to_string(++next_formula) + ",100," + X + "," +
          std::to_string(next_profile - profiles + 1 + f / 5) + ",'L-2*a','2',1,'45')");
    run("SELECT * FROM 配件组合公式 WHERE xl_ID=1 ORDER BY pjzhgs_ID");
    run("SELECT * FROM 玻璃组合公式 WHERE xl_ID=1 ORDER BY blzhgs_ID");
    for (int o = 0; o < profiles; ++o) {
      ++next_other;
      run("INSERT INTO 配件组合公式 VALUES(" + std::to_string(next_other) + ",100," + X +
          ",55,'2','1','A')");
      run("INSERT INTO 玻璃组合公式 VALUES(" + std::to_string(next_other) + ",100," + X +
          ",'L-10','W-10','1',1,'G1')");
    }
  }
  state.counters["statements"] = static_cast<double>(statements);
  sqlite3_close(db);
  UseSettings(nullptr);
  bench::RemoveShop(file.string());
}
BENCHMARK(BM_CopyNewRawStream)->Arg(500)->Arg(1000)->Arg(2000)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
