// A ledger listing: GetDetail over 100,000 ledger rows of one profile
// (receipts and issues, spread over two years), for the whole period and
// for one month, through the engine (translation, backend, record set,
// rsResult) beside the same translated SELECT sent straight to SQLite and
// read cell by cell. The date filter scans the table either way; the
// difference is the engine's own share.
#include <sqlite3.h>

#include <filesystem>
#include <random>
#include <string>

#include <benchmark/benchmark.h>

#include "bench/bench_shop.h"

#include "bench/raw_query.h"

#include "engine/dialect/rewriter.h"
#include "engine/schema/shipped_schema.h"
#include "engine/settings_store.h"
#include "engine/sqlite/functions.h"
#include "users/server_for_login.h"
#include "warehouse/server_for_chu_ru_ming_xi.h"

namespace {

using namespace dravmor;

constexpr int kRows = 100000;

struct Period {
  const char* from;
  const char* to;
};
constexpr Period kPeriods[] = {{"2024-01-01", "2025-12-31"}, {"2025-03-01", "2025-03-31"}};

// One upgraded database with the ledger rows, made on first use.
const std::string& LedgerDatabase() {
  static const bench::ShopFile file{[] {
    const std::string path = bench::NewShopPath("ledger");
    if (Status s = bench::CreateUpgradedShop(path); !s.ok()) throw std::runtime_error(s.ToString());
    auto connection = SharedConnection::ForThisThread();
    connection->Execute("INSERT INTO 型材 (Xc_ID, MingChengXC, DaiMa, ChangDu, JiaGe) "
                        "VALUES(5, 'Frame 60', 'KF60', 6000, 12.5)",
                        dialect::Source::Jet);
    ServerForChuRuMingXi ledger;
    std::string cs = path;
    ledger.Connect(cs);
    ledger.SetSQLSERVER(false);
    const Date first = Date::FromCivil(2024, 1, 1);
    Transaction bulk(*connection);
    for (int i = 0; i < kRows; ++i) {
      ledger.SetMaxCiShu(i / 20 + 1);
      ledger.Add(i % 3 == 0 ? 0 : 1, 0, Currency::FromWhole(5), static_cast<float>(i % 17 + 1),
                 Currency::FromWhole(i % 3 == 0 ? 2 : 0), Date{first.serial + i % 730});
    }
    bulk.Commit();
    SharedConnection::ResetThisThread();
    UseSettings(nullptr);
    return path;
  }()};
  return file.path;
}

void BM_LedgerDetailThroughEngine(benchmark::State& state) {
  const Period& period = kPeriods[state.range(0)];
  const std::string& file = LedgerDatabase();
  SharedConnection::ResetThisThread();
  ServerForChuRuMingXi ledger;
  std::string cs = file;
  ledger.Connect(cs);
  ledger.SetSQLSERVER(false);
  // The listing arrives through rsResult.
  struct Counter : EventSink {
    size_t rows = 0;
    void OnEvent(const ServerObject&, std::string_view event, std::vector<Variant>& args) override {
      if (event == "rsResult") rows = args[0].ObjectAs<Recordset>()->RowCount();
    }
  } sink;
  ledger.SetEventSink(&sink);
  for (auto _ : state) {
    ledger.GetDetail(period.from, period.to, 2, Currency{}, 0);
    benchmark::DoNotOptimize(sink.rows);
  }
  state.counters["rows"] = static_cast<double>(sink.rows);
  SharedConnection::ResetThisThread();
}

void BM_LedgerDetailRawSqlite(benchmark::State& state) {
  const Period& period = kPeriods[state.range(0)];
  const std::string& file = LedgerDatabase();
  // The statement GetDetail builds, as the dialect layer gives it to SQLite.
  const std::string jet =
      std::string("SELECT DaiMa,mingchengxc,WuJianNum,ChuRu,RiQi,CiShu,JiaGe,MiZhong,ChangDu,YS "
                  "FROM (ChuRuDetail INNER JOIN 型材 ON  ChuRuDetail.WuJianID=型材.xc_ID)") +
      " WHERE WuJianType=0  AND RiQi>=#" + period.from + "# AND RiQi<=#" + period.to +
      "#  ORDER BY id";
  auto translation = dialect::Translate(jet, dialect::Source::Jet, dialect::Target::Sqlite);
  if (!translation.ok()) {
    state.SkipWithError(translation.status().ToString().c_str());
    return;
  }
  const std::string sql = translation->statements.at(0);
  sqlite3* db = nullptr;
  sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  // The stored columns use the engine's collations, so even a plain client
  // registers them.
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

BENCHMARK(BM_LedgerDetailThroughEngine)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LedgerDetailRawSqlite)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
