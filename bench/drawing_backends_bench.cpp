// The drawing editor registering n window templates (ServerForDrawing.
// AddWindow, each a look-up and an insert through the editor's own
// connection) on SQLite and on PostgreSQL, at n = 500 and 1,000. The
// server should stay within twice the file's time, and both linear in n.
//
//   build/dravmor_bench --benchmark_filter=BM_RegisterTemplatesOnBoth
#include <string>

#include <benchmark/benchmark.h>

#include "bench/backend_shop.h"
#include "templates/server_for_drawing.h"

namespace {

using namespace dravmor;

void BM_RegisterTemplatesOnBoth(benchmark::State& state) {
  const int templates = static_cast<int>(state.range(1));
  bench::BackendShop shop(bench::EngineOf(state), "drawing_" + std::to_string(templates));
  if (!shop.ok()) {
    state.SkipWithError(shop.why.c_str());
    return;
  }
  std::string cs = shop.connection_string();
  ServerForDrawing drawing;
  drawing.Connect(cs);
  int next = 1000;
  for (auto _ : state)
    for (int i = 0; i < templates; ++i)
      drawing.AddWindow(Currency::FromWhole(++next), Currency::FromWhole(2), "窗 " + std::to_string(next),
                        1, "", cs, Variant());
  auto rows = shop.connection().Query("SELECT COUNT(*) FROM 图库 WHERE TK_ID>1000",
                                      dialect::Source::Jet);
  if (!rows.ok() || rows->cells[0].ToText() != std::to_string(next - 1000))
    state.SkipWithError("the templates were not all registered");
  state.counters["templates"] = templates;
}
BENCHMARK(BM_RegisterTemplatesOnBoth)->Apply([](auto* b) { bench::BothBackendsAt(b, 500, 1000); })
    ->Iterations(1);

}  // namespace
