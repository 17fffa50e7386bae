// Moving a formula from the bottom to the top of a list of 500 window
// profile formulas, through ServerForFormulaDanYuan.UpDown (one query, two
// updates in one transaction, then the re-listing of the 500 rows), beside
// the same statements sent straight to the connection and the listing
// alone. Every move renumbers the 499 rows it passes.
#include <deque>
#include <filesystem>
#include <random>
#include <string>

#include <benchmark/benchmark.h>

#include "bench/bench_shop.h"

#include "engine/schema/shipped_schema.h"
#include "engine/settings_store.h"
#include "formulas/server_for_formula_dan_yuan.h"
#include "users/server_for_login.h"

namespace {

using namespace dravmor;

constexpr int kFormulas = 500;
constexpr auto kJet = dialect::Source::Jet;

// An upgraded SQLite database with kFormulas profile formulas of template
// 9, series 1, ids and order values 1..kFormulas.
struct FormulaDatabase {
  std::filesystem::path file;
  std::shared_ptr<SharedConnection> connection;
  Status status;

  FormulaDatabase() {
    file = bench::NewShopPath("formula");
    status = bench::CreateUpgradedShop(file.string());
    if (!status.ok()) return;
    connection = SharedConnection::ForThisThread();
    Transaction bulk(*connection);
    connection->Execute("INSERT INTO 型材 (Xc_ID, XL_ID, MingChengXC, DaiMa) VALUES(3,1,'框','K')",
                        kJet);
    for (int i = 1; i <= kFormulas; ++i)
      connection->Execute("INSERT INTO 型材组合公式 VALUES(" + std::to_string(i) + ",9,1,3,'L-" +
                              std::to_string(i) + "','2'," + std::to_string(i) + ",'x')",
                          kJet);
    bulk.Commit();
  }
  ~FormulaDatabase() {
    SharedConnection::ResetThisThread();
    UseSettings(nullptr);
    bench::RemoveShop(file.string());
  }
};

// Counts the failures a run reports, so a broken move cannot pass for a fast one.
struct ErrorCounter : EventSink {
  void OnEvent(const ServerObject&, std::string_view event, std::vector<Variant>&) override {
    if (event == "Accesserror") ++errors;
  }
  int errors = 0;
};

// Ids from top to bottom; a move takes the last to the front.
std::deque<int> InitialOrder() {
  std::deque<int> order;
  for (int i = 1; i <= kFormulas; ++i) order.push_back(i);
  return order;
}

void BM_MoveBottomToTop(benchmark::State& state) {
  FormulaDatabase db;
  if (!db.status.ok()) return state.SkipWithError(db.status.ToString().c_str());
  ServerForFormulaDanYuan formulas;
  ErrorCounter counter;
  formulas.SetEventSink(&counter);
  std::string cs = db.file.string();
  formulas.Connect(cs);
  formulas.GetDanChuang(true);
  formulas.GetTuID(Currency::FromWhole(9));
  formulas.GetXLID(Currency::FromWhole(1));
  formulas.GetFormula(1);
  auto order = InitialOrder();
  for (auto _ : state) {
    formulas.SetWeiShu(kFormulas - 1);
    formulas.UpDown(Currency::FromWhole(kFormulas), 4, Currency::FromWhole(order.back()), true);
    order.push_front(order.back());
    order.pop_back();
  }
  auto top = db.connection->Query(
      "SELECT xczhgs_id FROM 型材组合公式 WHERE ShunXu=1 AND tk_id=9", kJet);
  if (counter.errors || !top.ok() || top->RowCount() != 1 ||
      top->cells[0].ToText() != std::to_string(order.front()))
    state.SkipWithError("the moves did not keep the order");
}
BENCHMARK(BM_MoveBottomToTop)->Unit(benchmark::kMillisecond);

void BM_MoveBottomToTopRawStatements(benchmark::State& state) {
  FormulaDatabase db;
  if (!db.status.ok()) return state.SkipWithError(db.status.ToString().c_str());
  SharedConnection& c = *db.connection;
  const std::string scope = "  WHERE xl_ID=1 AND tk_ID= 9";
  auto order = InitialOrder();
  for (auto _ : state) {
    Transaction move(c);
    auto rows = c.Query("SELECT Shunxu FROM  型材组合公式" + scope +
                            " AND Shunxu< 500 ORDER BY Shunxu DESC",
                        kJet);
    benchmark::DoNotOptimize(rows);
    c.Execute(" UPDATE 型材组合公式  SET Shunxu=Shunxu+1" + scope + " AND Shunxu>=1 AND Shunxu< 500",
              kJet);
    c.Execute(" UPDATE 型材组合公式 SET Shunxu=1 WHERE xczhgs_id=" + std::to_string(order.back()),
              kJet);
    move.Commit();
    order.push_front(order.back());
    order.pop_back();
  }
}
BENCHMARK(BM_MoveBottomToTopRawStatements)->Unit(benchmark::kMillisecond);

void BM_ListFormulas(benchmark::State& state) {
  FormulaDatabase db;
  if (!db.status.ok()) return state.SkipWithError(db.status.ToString().c_str());
  ServerForFormulaDanYuan formulas;
  std::string cs = db.file.string();
  formulas.Connect(cs);
  formulas.GetDanChuang(true);
  formulas.GetTuID(Currency::FromWhole(9));
  formulas.GetXLID(Currency::FromWhole(1));
  for (auto _ : state) benchmark::DoNotOptimize(formulas.GetFormula(1));
}
BENCHMARK(BM_ListFormulas)->Unit(benchmark::kMillisecond);

}  // namespace
