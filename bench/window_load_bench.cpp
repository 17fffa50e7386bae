// Paging through a library of 10,000 window templates: the page count, then
// every page in turn through ServerForWindowLoad (each page raised through
// rsResult), against the same statements, already translated, sent
// straight to SQLite and every cell read.
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "engine/dialect/rewriter.h"
#include "engine/events.h"
#include "engine/schema/shipped_schema.h"
#include "engine/sqlite/functions.h"
#include "templates/server_for_window_load.h"

namespace {

using namespace dravmor;

const int kTemplates = std::getenv("DRAVMOR_BENCH_TEMPLATES")
                           ? std::atoi(std::getenv("DRAVMOR_BENCH_TEMPLATES"))
                           : 10000;
constexpr int16_t kPageSize = 20;

// One library for every run: paging only reads. Templates of type 2, whose
// order is not their id order. Removed when the program ends.
struct LibraryFile {
  std::string path;
  LibraryFile() {
    std::random_device rd;
    path = (std::filesystem::temp_directory_path() /
            ("dravmor-bench-templates-" + std::to_string(rd()) + ".db"))
               .string();
    SharedConnection::ResetThisThread();
    Status s = CreateShippedDatabase(path);
    if (!s.ok()) throw std::runtime_error(s.ToString());
    auto connection = SharedConnection::ForThisThread();
    Transaction fill(*connection);
    for (int i = 0; i < kTemplates; ++i) {
      const int id = i + 2;
      const int ord = (i * 7919) % kTemplates + 2;  // a permutation of 2 ..
      s = connection->Execute("INSERT INTO 图库 VALUES(" + std::to_string(id) + ",'" +
                                  std::to_string(id) + "','模板" + std::to_string(id) +
                                  "',2,0,0,'管理员','管理员'," + std::to_string(ord) + ",0)",
                              dialect::Source::Jet);
      if (!s.ok()) throw std::runtime_error(s.ToString());
    }
    if (Status c = fill.Commit(); !c.ok()) throw std::runtime_error(c.ToString());
    SharedConnection::ResetThisThread();
  }
  ~LibraryFile() {
    std::error_code ec;
    for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(path + suffix, ec);
  }
};

const std::string& Library() {
  static const LibraryFile library;
  return library.path;
}

struct CountRows : EventSink {
  size_t rows = 0;
  void OnEvent(const ServerObject&, std::string_view event, std::vector<Variant>& args) override {
    if (event == "rsResult") rows += args[0].ObjectAs<Recordset>()->RowCount();
  }
};

void BM_PageTemplatesThroughEngine(benchmark::State& state) {
  const std::string file = Library();
  size_t rows = 0;
  for (auto _ : state) {
    SharedConnection::ResetThisThread();
    ServerForWindowLoad lib;
    CountRows sink;
    lib.SetEventSink(&sink);
    std::string cs = file;
    lib.Connect(cs);
    lib.SetCaoZuoYuan("管理员");
    lib.SetWindowType(2);
    const int16_t pages = lib.GetWindowPage(kPageSize);
    for (int16_t p = 1; p <= pages; ++p) lib.GetEveryPageWindow(p, kPageSize);
    rows = sink.rows;
  }
  SharedConnection::ResetThisThread();
  if (rows != static_cast<size_t>(kTemplates)) state.SkipWithError("not every template paged");
  state.counters["pages"] = (kTemplates + kPageSize - 1) / kPageSize;
  state.counters["rows"] = static_cast<double>(rows);
}

// The statements the engine sends for the page count and page p, as built
// for type 2 with the administrator's scope, translated once beforehand.
std::vector<std::string> RawStatements() {
  std::vector<std::string> jet;
  jet.push_back("SELECT COUNT(*) FROM 图库 WHERE Tklb=2 ");
  const int pages = (kTemplates + kPageSize - 1) / kPageSize;
  const std::string n = std::to_string(kPageSize);
  jet.push_back("SELECT TOP  " + n + " * FROM 图库 WHERE tklb=2  AND tk_ID<>1 ORDER BY Ord");
  for (int p = 2; p <= pages; ++p)
    jet.push_back("SELECT TOP " + n + " * FROM 图库 WHERE  tklb=2  AND tk_ID<>1 AND  tk_ID NOT IN " +
                  "(SELECT TOP " + std::to_string((p - 1) * kPageSize) +
                  " tk_ID FROM 图库 WHERE tklb=2  AND tk_ID<>1  ORDER BY Ord) ORDER BY Ord");
  std::vector<std::string> native;
  for (const std::string& sql : jet) {
    auto t = dialect::Translate(sql, dialect::Source::Jet, dialect::Target::Sqlite);
    if (!t.ok() || t->statements.size() != 1) throw std::runtime_error(sql);
    native.push_back(t->statements.front());
  }
  return native;
}

void BM_PageTemplatesRawSqlite(benchmark::State& state) {
  const std::string file = Library();
  const std::vector<std::string> statements = RawStatements();
  size_t rows = 0, cells = 0;
  for (auto _ : state) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    // The text columns use the engine's collation, so a plain client
    // registers it too.
    RegisterJetFunctions(db);
    rows = 0;
    for (size_t i = 0; i < statements.size(); ++i) {
      sqlite3_stmt* stmt = nullptr;
      if (sqlite3_prepare_v2(db, statements[i].c_str(), -1, &stmt, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db));
      const int width = sqlite3_column_count(stmt);
      while (sqlite3_step(stmt) == SQLITE_ROW) {
        if (i > 0) ++rows;
        for (int c = 0; c < width; ++c)
          cells += sqlite3_column_type(stmt, c) == SQLITE_TEXT
                       ? static_cast<size_t>(sqlite3_column_bytes(stmt, c))
                       : static_cast<size_t>(sqlite3_column_int64(stmt, c) & 1);
      }
      sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
  }
  benchmark::DoNotOptimize(cells);
  if (rows != static_cast<size_t>(kTemplates)) state.SkipWithError("not every template paged");
  state.counters["rows"] = static_cast<double>(rows);
}

BENCHMARK(BM_PageTemplatesThroughEngine)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PageTemplatesRawSqlite)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
