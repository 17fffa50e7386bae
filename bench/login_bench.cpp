// The log-in cost as the shop grows, on both backends: the log-in sequence
// (what `dravmor upgrade` runs) on a current database, empty and with
// 1,000,000 detail rows and 600,000 cutting rows; and ServerForFactory's
// Connect on 100,000 profiles. Each is timed from opening the connection,
// as a workstation starts, against the raw floor of the same run: opening
// the database and reading its catalogue in one transaction (the least an
// upgrade that tests before it changes can do; for the factory's column
// count, more than it needs).
//
//   build/dravmor_bench --benchmark_filter='Login|FactoryConnect'
#include <libpq-fe.h>
#include <sqlite3.h>

#include <string>

#include <benchmark/benchmark.h>

#include "bench/bench_shop.h"
#include "engine/schema/shipped_schema.h"
#include "engine/text.h"
#include "suppliers/server_for_factory.h"
#include "tests/support/pg_cluster.h"
#include "users/login_sequence.h"

namespace {

using namespace dravmor;

constexpr long kDetailRows = 1000000, kCuttingRows = 600000, kProfiles = 100000;

// Native statements that fill a current database with n generated rows.
std::string FillSqlite(const std::string& table, const std::string& columns,
                       const std::string& values, long n) {
  return "WITH RECURSIVE s(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM s WHERE i<" +
         std::to_string(n) + ") INSERT INTO \"" + table + "\" (" + columns + ") SELECT " +
         values + " FROM s";
}
std::string FillPostgres(const std::string& table, const std::string& columns,
                         const std::string& values, long n) {
  return "INSERT INTO \"" + ToLowerAscii(table) + "\" (" + ToLowerAscii(columns) + ") SELECT " +
         values + " FROM generate_series(1," + std::to_string(n) + ") AS s(i)";
}

struct Fill {
  const char* table;
  const char* columns;
  const char* values;
  long rows;
};

std::vector<Fill> ShopRows(bool details, bool profiles) {
  std::vector<Fill> fills;
  if (details) {
    fills.push_back({"ProjectWindowDetail", "mcmx_ID,gcmc_ID,TK_ID,BoLiZhongLei",
                     "i, i/5, i%300, '5+12A+5'", kDetailRows});
    fills.push_back({"XingCaiXiaLiao", "Changdu,ShuLiang,Dir,XcGs_ID", "i%6000, 2, 'H', i",
                     kCuttingRows});
  }
  if (profiles)
    fills.push_back({"型材", "Xc_ID,XL_ID,MingChengXC,DaiMa,ChangDu,LB_ID,CJ_ID,GangChen",
                     "i, i%50, 'P', 'XC' || i, 6000, 1, 1, '型材'", kProfiles});
  return fills;
}

// A current SQLite shop with the rows; "" and the benchmark skipped on failure.
std::string SqliteShop(benchmark::State& state, const std::vector<Fill>& fills) {
  std::string path = bench::NewShopPath("login");
  Status s = bench::CreateUpgradedShop(path);
  for (const Fill& f : fills)
    if (s.ok())
      s = SharedConnection::ForThisThread()->backend()->Execute(
          FillSqlite(f.table, f.columns, f.values, f.rows));
  SharedConnection::ResetThisThread();
  if (!s.ok()) {
    state.SkipWithError(s.ToString().c_str());
    bench::RemoveShop(path);
    return "";
  }
  return path;
}

// The same on a new database of a throwaway PostgreSQL server.
std::string PostgresShop(benchmark::State& state, const std::string& name,
                         const std::vector<Fill>& fills) {
  auto* cluster = testing::PgCluster::Shared();
  if (!cluster->available()) {
    state.SkipWithError(("no PostgreSQL server: " + cluster->why_unavailable()).c_str());
    return "";
  }
  Status s = cluster->CreateDatabase(name);
  std::string conninfo = cluster->ConnectionString(name);
  SharedConnection::ResetThisThread();
  if (s.ok()) s = CreateShippedDatabase(conninfo);
  // The profile-code back-fill runs once per settings store, here.
  static const std::string settings = bench::NewShopPath("pg") + ".settings";
  UseSettings(std::make_shared<FileSettingsStore>(settings));
  if (s.ok()) {
    LoginResult first = RunLoginSequence(conninfo, LoginOptions{});
    s = first.connection;
  }
  for (const Fill& f : fills)
    if (s.ok())
      s = SharedConnection::ForThisThread()->backend()->Execute(
          FillPostgres(f.table, f.columns, f.values, f.rows));
  if (s.ok()) s = SharedConnection::ForThisThread()->backend()->Execute("VACUUM ANALYZE");
  SharedConnection::ResetThisThread();
  if (!s.ok()) {
    state.SkipWithError(s.ToString().c_str());
    return "";
  }
  return conninfo;
}

// The log-in sequence from a new connection; failed steps are counted.
void TimeLogin(benchmark::State& state, const std::string& connection) {
  size_t failed = 0;
  uint64_t statements = 0;
  for (auto _ : state) {
    SharedConnection::ResetThisThread();
    LoginResult result = RunLoginSequence(connection, LoginOptions{});
    failed = result.failed_steps.size() + (result.connection.ok() ? 0 : 1000);
    statements = SharedConnection::ForThisThread()->StatementCount();
  }
  SharedConnection::ResetThisThread();
  state.counters["failed_steps"] = static_cast<double>(failed);
  state.counters["statements"] = static_cast<double>(statements);
}

void TimeFactoryConnect(benchmark::State& state, const std::string& connection) {
  for (auto _ : state) {
    SharedConnection::ResetThisThread();
    ServerForFactory factory;
    std::string cs = connection;
    factory.Connect(cs);
  }
  SharedConnection::ResetThisThread();
}

const char* kCatalogueSqlite =
    "SELECT t.name, c.name, c.type FROM sqlite_master AS t, pragma_table_info(t.name) AS c "
    "WHERE t.type IN ('table','view')";
const char* kCataloguePostgres =
    "SELECT c.relname, a.attname, col_description(c.oid, a.attnum) FROM pg_class c "
    "JOIN pg_attribute a ON a.attrelid = c.oid AND a.attnum > 0 "
    "WHERE c.relnamespace = current_schema()::regnamespace AND c.relkind IN ('r','v')";

void RawFloorSqlite(benchmark::State& state, const std::string& path) {
  for (auto _ : state) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    sqlite3_exec(db, kCatalogueSqlite, [](void*, int, char**, char**) { return 0; }, nullptr,
                 nullptr);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }
}

void RawFloorPostgres(benchmark::State& state, const std::string& conninfo) {
  for (auto _ : state) {
    PGconn* conn = PQconnectdb(conninfo.c_str());
    for (const char* sql : {"BEGIN", kCataloguePostgres, "COMMIT"}) PQclear(PQexec(conn, sql));
    PQfinish(conn);
  }
}

void BM_LoginSqlite(benchmark::State& state) {
  std::string path = SqliteShop(state, ShopRows(state.range(0) != 0, false));
  if (path.empty()) return;
  TimeLogin(state, path);
  bench::RemoveShop(path);
}
BENCHMARK(BM_LoginSqlite)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(30);

void BM_LoginRawFloorSqlite(benchmark::State& state) {
  std::string path = SqliteShop(state, ShopRows(false, false));
  if (path.empty()) return;
  RawFloorSqlite(state, path);
  bench::RemoveShop(path);
}
BENCHMARK(BM_LoginRawFloorSqlite)->Unit(benchmark::kMillisecond)->Iterations(30);

void BM_LoginPostgres(benchmark::State& state) {
  std::string conninfo = PostgresShop(state, "bench_login", ShopRows(state.range(0) != 0, false));
  if (conninfo.empty()) return;
  TimeLogin(state, conninfo);
}
BENCHMARK(BM_LoginPostgres)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(30);

void BM_LoginRawFloorPostgres(benchmark::State& state) {
  std::string conninfo = PostgresShop(state, "bench_login_raw", ShopRows(false, false));
  if (conninfo.empty()) return;
  RawFloorPostgres(state, conninfo);
}
BENCHMARK(BM_LoginRawFloorPostgres)->Unit(benchmark::kMillisecond)->Iterations(30);

void BM_FactoryConnectSqlite(benchmark::State& state) {
  std::string path = SqliteShop(state, ShopRows(false, true));
  if (path.empty()) return;
  TimeFactoryConnect(state, path);
  bench::RemoveShop(path);
}
BENCHMARK(BM_FactoryConnectSqlite)->Unit(benchmark::kMillisecond)->Iterations(30);

void BM_FactoryConnectPostgres(benchmark::State& state) {
  std::string conninfo = PostgresShop(state, "bench_factory_connect", ShopRows(false, true));
  if (conninfo.empty()) return;
  TimeFactoryConnect(state, conninfo);
}
BENCHMARK(BM_FactoryConnectPostgres)->Unit(benchmark::kMillisecond)->Iterations(30);

}  // namespace
