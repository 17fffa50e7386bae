// A live session's calls through the C entry point, on a small shop (20
// factories): a setter (the cost of the session alone: JSON in, dispatch,
// JSON out), and a listing of the factories, against the same listing run
// through the class directly and the same SELECT run straight on SQLite.
// Target: a simple call under 1 ms.
#include <sqlite3.h>

#include <string>

#include <benchmark/benchmark.h>

#include "bench/bench_shop.h"
#include "bench/raw_query.h"
#include "dravmor2/dravmor.h"
#include "engine/memory_form.h"
#include "engine/sqlite/functions.h"
#include "suppliers/server_for_factory.h"

namespace {

using namespace dravmor;

constexpr const char* kListSql =
    "SELECT Cj_id,BianMa,Quancheng,Jiancheng,cjType,CJSuoDing,OwnerList,UserList FROM 厂家"
    " WHERE cjlb=0 ORDER BY bianma,cjType,cj_id";

// A shop with 20 factories; the thread's connection is left closed.
std::string SmallShop(bench::ShopFile& file) {
  file.path = bench::NewShopPath("session");
  if (Status s = bench::CreateUpgradedShop(file.path); !s.ok()) throw std::runtime_error(s.ToString());
  ServerForFactory factory;
  std::string cs = file.path;
  factory.Connect(cs);
  auto form = std::make_shared<MemoryForm>();
  for (int i = 0; i < 20; ++i) {
    form->Set("txtfactoryinfo[0].Text", "F" + std::to_string(i));
    form->Set("txtfactoryinfo[1].Text", "Factory " + std::to_string(i));
    form->Set("txtfactoryinfo[2].Text", "厂" + std::to_string(i));
    factory.AddFactory(form, 0);
  }
  SharedConnection::ResetThisThread();
  return file.path;
}

// Opens a session with one factory object connected.
dravmor_session* OpenSession(const std::string& path) {
  dravmor_session* session = dravmor_open(path.c_str());
  if (!session) throw std::runtime_error(dravmor_errmsg());
  for (const char* request :
       {R"({"jsonrpc":"2.0","id":1,"method":"new","params":{"new":"f","class":"ServerForFactory"}})",
        R"({"jsonrpc":"2.0","id":2,"method":"call","params":{"call":"f.Connect","args":[""]}})"})
    dravmor_free(dravmor_request(session, request));
  return session;
}

void RunSessionCall(benchmark::State& state, const char* request) {
  bench::ShopFile file;
  dravmor_session* session = OpenSession(SmallShop(file));
  size_t bytes = 0;
  for (auto _ : state) {
    char* answer = dravmor_request(session, request);
    bytes += std::char_traits<char>::length(answer);
    dravmor_free(answer);
  }
  dravmor_close(session);
  state.counters["answer_bytes"] = benchmark::Counter(static_cast<double>(bytes),
                                                      benchmark::Counter::kAvgIterations);
}

void BM_SessionSetter(benchmark::State& state) {
  RunSessionCall(state,
                 R"({"jsonrpc":"2.0","id":3,"method":"call","params":{"call":"f.SetSQLSERVER","args":[false]}})");
}
BENCHMARK(BM_SessionSetter)->Unit(benchmark::kMicrosecond);

void BM_SessionListFactories(benchmark::State& state) {
  RunSessionCall(state,
                 R"({"jsonrpc":"2.0","id":3,"method":"call","params":{"call":"f.GetFactory","args":["",2,2]}})");
}
BENCHMARK(BM_SessionListFactories)->Unit(benchmark::kMicrosecond);

void BM_ClassListFactories(benchmark::State& state) {
  bench::ShopFile file;
  std::string cs = SmallShop(file);
  {
    ServerForFactory factory;
    factory.Connect(cs);
    std::string code;
    uint8_t both = 2;
    for (auto _ : state) benchmark::DoNotOptimize(factory.GetFactory(code, 2, both));
  }
  SharedConnection::ResetThisThread();
}
BENCHMARK(BM_ClassListFactories)->Unit(benchmark::kMicrosecond);

void BM_RawListFactories(benchmark::State& state) {
  bench::ShopFile file;
  SmallShop(file);
  sqlite3* db = nullptr;
  sqlite3_open_v2(file.path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  RegisterJetFunctions(db);  // the schema's text columns use its collation
  std::string error;
  for (auto _ : state) {
    if (bench::ReadAllRows(db, kListSql, &error) < 0) {
      state.SkipWithError(error.c_str());
      break;
    }
  }
  sqlite3_close(db);
}
BENCHMARK(BM_RawListFactories)->Unit(benchmark::kMicrosecond);

}  // namespace
