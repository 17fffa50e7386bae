// DEL_ALL_Pro of n projects, each with a batch row, 10 windows, 20 window
// details and what hangs from them (a finished product and a sash per
// window, a cutting value per detail, an implementation and batch-detail
// row, a payment, contract, installation and problem record), on SQLite and
// on PostgreSQL with the same data, at n = 150 and 300. The deletion
// should grow linearly with n on both, the server within twice the file.
//
//   build/dravmor_bench --benchmark_filter=BM_DeleteAllProjectsOnBoth
#include <string>

#include <benchmark/benchmark.h>

#include "bench/backend_shop.h"
#include "customers/server_for_ke_hu.h"
#include "records/server_for_install.h"
#include "records/server_for_money.h"
#include "records/server_for_problem.h"

namespace {

using namespace dravmor;

constexpr int kWindows = 10, kDetailsPerWindow = 2;

Status FillProjects(bench::BackendShop& shop, int projects) {
  return shop.Load([&](const auto& exec) {
    for (int p = 2; p < 2 + projects; ++p) {
      const std::string id = std::to_string(p), batch = std::to_string(100000 + p);
      const std::string columns =
          "INSERT INTO ProjectInfo (Gcxx_ID,DaiMa,MingCheng,Kehu_id,ShifouShigong,pici) VALUES(";
      exec(columns + id + ",'P" + id + "','Project',5,-1,0)");
      exec(columns + batch + ",'P" + id + "-1','Batch',5,-1," + id + ")");
      exec("INSERT INTO 工程实施 (pici_ID,gcxxID) VALUES(" + id + "," + id + ")");
      exec("INSERT INTO 批次明细 (pici_ID) VALUES(" + id + ")");
      exec("INSERT INTO GcMoney (ID,GcxxID,Kuan,RiQi,Ren) VALUES(" + id + "," + id + ",100,'d','r')");
      exec("INSERT INTO MoneyGc (ID,GcxxID,Kuan,ZhiBao) VALUES(" + id + "," + id + ",1000,50)");
      exec("INSERT INTO GcInstall (ID,GcxxID,MiaoShu,Ren,RiQi) VALUES(" + id + "," + id +
           ",'m','r','d')");
      exec("INSERT INTO Problem (ID,GcxxID,MiaoShu,Ren,RiQi,JieJue) VALUES(" + id + "," + id +
           ",'m','r','d','j')");
      for (int w = 0; w < kWindows; ++w) {
        const std::string window = std::to_string(p * 1000 + w);
        exec("INSERT INTO ProjectWindow (gcmc_ID,gcxx_ID) VALUES(" + window + "," + id + ")");
        exec("INSERT INTO ChengPinKu (ID,GCDM,MCDM,SL,XL,MCID) VALUES(" + window +
             ",'g','m',1,'x'," + window + ")");
        exec("INSERT INTO ProjectShan (ID,gcmc_ID,MianJi,IsShaShan,gcxx_ID) VALUES(" + window +
             "," + window + ",1,0," + id + ")");
        for (int d = 0; d < kDetailsPerWindow; ++d) {
          const std::string detail = std::to_string((p * 1000 + w) * 10 + d);
          exec("INSERT INTO ProjectWindowDetail (mcmx_ID,gcmc_ID,TK_ID) VALUES(" + detail + "," +
               window + ",1)");
          exec("INSERT INTO XiaV (ID,Mcmx_ID,XcGS_ID) VALUES(" + detail + "," + detail + ",1)");
        }
      }
    }
  });
}

void BM_DeleteAllProjectsOnBoth(benchmark::State& state) {
  const int projects = static_cast<int>(state.range(1));
  bench::BackendShop shop(bench::EngineOf(state), "projects_" + std::to_string(projects));
  if (!shop.ok()) {
    state.SkipWithError(shop.why.c_str());
    return;
  }
  std::string cs = shop.connection_string();
  // The project-record tables, made as their classes make them.
  ServerForMoney money;
  money.Connect(cs);
  ServerForInstall install;
  install.Connect(cs);
  ServerForProblem problem;
  problem.Connect(cs);
  ServerForKeHu customers;
  customers.Connect(cs);
  for (auto _ : state) {
    state.PauseTiming();
    if (Status s = FillProjects(shop, projects); !s.ok()) {
      state.SkipWithError(s.ToString().c_str());
      break;
    }
    state.ResumeTiming();
    customers.DEL_ALL_Pro();
  }
  auto rows = shop.connection().Query("SELECT COUNT(*) FROM XiaV", dialect::Source::Jet);
  if (!rows.ok() || rows->cells[0].ToText() != "0") state.SkipWithError("projects were left");
  state.counters["projects"] = projects;
}
BENCHMARK(BM_DeleteAllProjectsOnBoth)->Apply([](auto* b) { bench::BothBackendsAt(b, 150, 300); })
    ->Iterations(1);

}  // namespace
