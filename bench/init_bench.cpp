// A new current database, as `dravmor init` makes it: the shipped schema,
// then the whole log-in upgrade (dialect steps and every AddField step).
#include <filesystem>
#include <random>
#include <string>

#include <benchmark/benchmark.h>

#include "engine/schema/shipped_schema.h"
#include "engine/settings_store.h"
#include "users/server_for_login.h"

namespace {

using namespace dravmor;

void BM_InitCurrentDatabase(benchmark::State& state) {
  std::random_device rd;
  auto dir = std::filesystem::temp_directory_path() / ("dravmor-init-" + std::to_string(rd()));
  std::filesystem::create_directories(dir);
  UseSettings(std::make_shared<FileSettingsStore>((dir / "settings.json").string()));
  int round = 0;
  for (auto _ : state) {
    std::string file = (dir / ("shop" + std::to_string(round++) + ".db")).string();
    SharedConnection::ResetThisThread();
    Status s = CreateShippedDatabase(file);
    if (!s.ok()) {
      state.SkipWithError(s.ToString().c_str());
      break;
    }
    ServerForLogin login;
    login.Connect(file);
    login.SetSQLSERVER(false);
    login.SetAppPath(dir.string());
    login.SetWZSB(true);
    login.SetFSZhao(true);
    login.AddField();
  }
  SharedConnection::ResetThisThread();
  UseSettings(nullptr);
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_InitCurrentDatabase)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace
