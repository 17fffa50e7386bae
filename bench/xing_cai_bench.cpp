// A series' profile list: GetXingCai over a series of 20,000 profiles (a
// few of them shared in from another series), through the engine
// (translation, backend, record set, rsResult) beside the same translated
// SELECT sent straight to SQLite and read cell by cell.
#include <sqlite3.h>

#include <filesystem>
#include <random>
#include <string>

#include <benchmark/benchmark.h>

#include "bench/bench_shop.h"

#include "bench/raw_query.h"

#include "catalogue/server_for_xing_cai.h"
#include "engine/dialect/rewriter.h"
#include "engine/schema/shipped_schema.h"
#include "engine/settings_store.h"
#include "engine/sqlite/functions.h"
#include "users/server_for_login.h"

namespace {

using namespace dravmor;

constexpr int kProfiles = 20000;

const std::string& CatalogueDatabase() {
  static const bench::ShopFile file{[] {
    const std::string path = bench::NewShopPath("profiles");
    if (Status s = bench::CreateUpgradedShop(path); !s.ok()) throw std::runtime_error(s.ToString());
    auto connection = SharedConnection::ForThisThread();
    auto exec = [&](const std::string& sql) { connection->Execute(sql, dialect::Source::Jet); };
    Transaction bulk(*connection);
    for (int lb = 1; lb <= 40; ++lb)
      exec("INSERT INTO 类别 (LB_ID, MingCheng) VALUES(" + std::to_string(lb) + ", 'Category " +
           std::to_string(lb) + "')");
    for (int i = 1; i <= kProfiles + 200; ++i) {
      // The last 200 belong to series 11; every other one of them is shared
      // into series 10.
      const bool own = i <= kProfiles;
      const std::string id = std::to_string(i);
      exec("INSERT INTO 型材  VALUES(" + id + "," + (own ? "10" : "11") + ",'Profile " + id +
           "','P-" + id + "',6000,1.25," + (own ? "0" : "1") + ",' ',18.5," +
           std::to_string(i % 40 + 1) + ",1,1,0,'型材',0,'白色',1.4,100,50,1)");
      if (!own && i % 2 == 0)
        exec("INSERT INTO TongYong (TY_ID,xc_ID,xl_ID) VALUES( " + id + "," + id + ",10)");
    }
    bulk.Commit();
    SharedConnection::ResetThisThread();
    UseSettings(nullptr);
    return path;
  }()};
  return file.path;
}

void BM_GetXingCaiThroughEngine(benchmark::State& state) {
  const std::string& file = CatalogueDatabase();
  SharedConnection::ResetThisThread();
  ServerForXingCai xc;
  std::string cs = file;
  xc.Connect(cs);
  xc.SetSQLSERVER(false);
  xc.SetXLID(10, 1);
  struct Counter : EventSink {
    size_t rows = 0;
    void OnEvent(const ServerObject&, std::string_view event, std::vector<Variant>& args) override {
      if (event == "rsResult") rows = args[0].ObjectAs<Recordset>()->RowCount();
    }
  } sink;
  xc.SetEventSink(&sink);
  for (auto _ : state) {
    std::string all;
    xc.GetXingCai(all);
    benchmark::DoNotOptimize(sink.rows);
  }
  state.counters["rows"] = static_cast<double>(sink.rows);
  SharedConnection::ResetThisThread();
}

void BM_GetXingCaiRawSqlite(benchmark::State& state) {
  const std::string& file = CatalogueDatabase();
  // The statement GetXingCai builds for series 10 on Jet, as the dialect
  // layer gives it to SQLite.
  const std::string jet =
      "SELECT xc_id,Daima,MingchengXC,Mizhong,Changdu,JiaGe,mingcheng,ShifouTongyong,DuanMianTu,"
      "GangChen,YS,BiHou,BaoJing,GcGuiZheng, xcDalei.DaLei  FROM ( 型材 INNER JOIN 类别 ON "
      "型材.LB_ID=类别.LB_ID) INNER JOIN XcDalei ON 型材.Dalei=xcDalei.ID   WHERE ( xl_id= 10 OR "
      "( xc_ID IN (SELECT xc_ID FROM TongYong WHERE xl_ID= 10) AND ShifouTongyong=-1 ))  ORDER BY "
      "型材.lb_id, Xc_id";
  // With the schema's Yes/No columns known, as the engine translates it.
  dialect::SchemaHints hints;
  {
    SharedConnection::ResetThisThread();
    ServerForXingCai xc;
    std::string cs = file;
    xc.Connect(cs);
    auto loaded = SharedConnection::ForThisThread()->GetSchemaHints();
    if (loaded.ok()) hints = **loaded;
    SharedConnection::ResetThisThread();
  }
  auto translation =
      dialect::Translate(jet, dialect::Source::Jet, dialect::Target::Sqlite, &hints);
  if (!translation.ok()) {
    state.SkipWithError(translation.status().ToString().c_str());
    return;
  }
  const std::string sql = translation->statements.at(0);
  sqlite3* db = nullptr;
  sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  RegisterJetFunctions(db);
  long rows = 0;
  for (auto _ : state) {
    std::string error;
    rows = bench::ReadAllRows(db, sql, &error);
    if (rows < 0) {
      state.SkipWithError(error.c_str());
      break;
    }
  }
  sqlite3_close(db);
  state.counters["rows"] = static_cast<double>(rows);
}

BENCHMARK(BM_GetXingCaiThroughEngine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetXingCaiRawSqlite)->Unit(benchmark::kMillisecond);

}  // namespace
