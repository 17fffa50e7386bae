// A package of about 30,000 rows (a factory, its categories, 20 series,
// 10,000 profiles, 2,000 bindings, 15,000 profile and 3,000 glass
// formulas) imported on SQLite and on PostgreSQL: into an empty database,
// and into one whose keys all collide with the package's (a workshop
// catalogue of the same shape under another factory code, so every package
// row keeps its key and a workshop row moves away for it). Beside them, the
// same rows written raw: multi-row INSERTs straight to the backend in one
// transaction, the floor any import stands on.
//   DRAVMOR_BENCH_PACKAGE_PROFILES  profiles (default 10000; the other
//                                   tables scale with it)
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include <benchmark/benchmark.h>

#include "engine/memory_form.h"
#include "engine/schema/shipped_schema.h"
#include "engine/shared_connection.h"
#include "engine/table_file.h"
#include "engine/text.h"
#include "engine/archive.h"
#include "exchange/server_for_export_factory.h"
#include "exchange/server_for_import.h"
#include "tests/support/pg_cluster.h"

namespace {

using namespace dravmor;
namespace fs = std::filesystem;

const int kProfiles = [] {
  const char* v = std::getenv("DRAVMOR_BENCH_PACKAGE_PROFILES");
  return v ? std::atoi(v) : 10000;
}();
constexpr int kSeries = 20;

fs::path Scratch() {
  static const fs::path dir = [] {
    std::random_device rd;
    fs::path d = fs::temp_directory_path() / ("dravmor-pkgbench-" + std::to_string(rd()));
    fs::create_directories(d);
    return d;
  }();
  return dir;
}

void Must(const Status& s) {
  if (!s.ok()) throw std::runtime_error(s.ToString());
}

// The maker's catalogue on a connection (factory code and names given, so
// that a workshop of the same shape matches nothing of the package).
void FillCatalogue(SharedConnection& c, const std::string& code, const std::string& tag) {
  const auto jet = dialect::Source::Jet;
  Must(c.Begin());
  auto batch = [&](const std::string& head, int count, const std::function<std::string(int)>& row) {
    for (int at = 0; at < count; at += 200) {
      std::string sql = head;
      for (int i = at; i < std::min(count, at + 200); ++i) sql += (i == at ? "" : ",") + row(i + 1);
      Must(c.Execute(sql, jet));
    }
  };
  Must(c.Execute("INSERT INTO 厂家 VALUES(1,'" + tag + "铝业','" + tag + "',0,1,'" + code + "',1,0,'','')", jet));
  batch("INSERT INTO 类别 VALUES", 4, [&](int i) {
    return "(" + std::to_string(i) + ",'" + tag + "类" + std::to_string(i) + "'," + std::to_string(i % 3) +
           ",1,1,0,1,0,0,0,0,0,0)";
  });
  batch("INSERT INTO 系列 VALUES", kSeries, [&](int i) {
    return "(" + std::to_string(i) + ",1,'" + tag + "系列" + std::to_string(i) + "'," +
           std::to_string(i % 3) + ",0,0,0,'','')";
  });
  batch("INSERT INTO 型材 VALUES", kProfiles, [&](int i) {
    return "(" + std::to_string(i) + "," + std::to_string(1 + i % kSeries) + ",'型材 " +
           std::to_string(i) + "','K" + std::to_string(i) + "',6000,1.25,0,'截面',12.3456," +
           std::to_string(1 + i % 4) + ",1,1,0,'型材',0,'',1.4,100,50,1)";
  });
  batch("INSERT INTO 绑定 VALUES", kProfiles / 5, [&](int i) {
    return "(" + std::to_string(i) + "," + std::to_string(i) + "," + std::to_string(i + 1) + ",100,5,2)";
  });
  batch("INSERT INTO 型材组合公式 VALUES", kProfiles * 3 / 2, [&](int i) {
    const int profile = 1 + i % kProfiles;
    return "(" + std::to_string(i) + "," + std::to_string(i % 300) + "," +
           std::to_string(1 + profile % kSeries) + "," + std::to_string(profile) + ",'(W-2*30)/2+" +
           std::to_string(i) + "','2',1,'')";
  });
  batch("INSERT INTO 玻璃组合公式 VALUES", kProfiles * 3 / 10, [&](int i) {
    return "(" + std::to_string(i) + "," + std::to_string(i % 300) + "," +
           std::to_string(1 + i % kSeries) + ",'L-50','H-50','1',1,'5+9A+5')";
  });
  Must(c.Commit());
}

// The package, exported once from a SQLite source.
const std::string& Package() {
  static const std::string package = [] {
    const std::string source = (Scratch() / "source.db").string();
    SharedConnection::ResetThisThread();
    Must(CreateShippedDatabase(source));
    FillCatalogue(*SharedConnection::ForThisThread(), "HJ", "华建");
    SharedConnection::ResetThisThread();
    ServerForExportFactory exporter;
    std::string cs = source;
    exporter.Connect(cs);
    exporter.SetAppPath((Scratch() / "app").string());
    const std::string path = (Scratch() / "package.rar").string();
    exporter.SetPath(path);
    auto form = std::make_shared<MemoryForm>();
    form->Set("lstfac.ListIndex", int32_t{0});
    form->Set("lstfac.ItemData(0)", int32_t{1});
    form->Set("lstxilie.ListCount", int32_t{kSeries});
    for (int i = 0; i < kSeries; ++i) {
      form->Set("lstxilie.Selected(" + std::to_string(i) + ")", true);
      form->Set("lstxilie.ItemData(" + std::to_string(i) + ")", int32_t{i + 1});
    }
    exporter.ExportFactory(form);
    SharedConnection::ResetThisThread();
    return path;
  }();
  return package;
}

// A new database with the shipped schema on the backend (argument 0
// SQLite, 1 PostgreSQL), optionally holding the colliding workshop; bound
// as this thread's connection. Empty when the backend cannot run here.
std::string NewTarget(benchmark::State& state, bool postgres, bool colliding) {
  SharedConnection::ResetThisThread();
  std::string cs;
  if (postgres) {
    auto* cluster = testing::PgCluster::Shared();
    if (!cluster->available()) {
      state.SkipWithError(("no PostgreSQL server: " + cluster->why_unavailable()).c_str());
      return "";
    }
    Must(cluster->CreateDatabase("pkgbench"));
    cs = cluster->ConnectionString("pkgbench");
  } else {
    cs = (Scratch() / "target.db").string();
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) fs::remove(cs + suffix);
  }
  Must(CreateShippedDatabase(cs));
  if (colliding) FillCatalogue(*SharedConnection::ForThisThread(), "OWN", "自有");
  return cs;
}

void BM_PackageImport(benchmark::State& state) {
  const bool postgres = state.range(0) == 1, colliding = state.range(1) == 1;
  const std::string& package = Package();
  uint64_t written = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::string cs = NewTarget(state, postgres, colliding);
    if (cs.empty()) break;
    state.ResumeTiming();
    ServerForImport importer;
    importer.Connect(cs);
    importer.SetPath(package);
    written = importer.outcome().written;
    state.PauseTiming();
    if (importer.outcome().skipped != 0 || !importer.outcome().finished)
      state.SkipWithError("the package did not arrive whole");
    SharedConnection::ResetThisThread();
    state.ResumeTiming();
  }
  state.counters["rows"] = static_cast<double>(written);
}
BENCHMARK(BM_PackageImport)
    ->ArgNames({"pg", "colliding"})
    ->Args({0, 0})->Args({0, 1})->Args({1, 0})->Args({1, 1})
    ->Unit(benchmark::kMillisecond)->Iterations(2);

// The package's rows written raw: read from its data files, multi-row
// INSERTs of 200 rows straight to the backend, one transaction.
void BM_RawInsert(benchmark::State& state) {
  const bool postgres = state.range(0) == 1;
  const std::string& package = Package();
  const fs::path files = Scratch() / "raw";
  fs::create_directories(files);
  auto names = UnpackArchive(package, files.string());
  Must(names.status());
  uint64_t rows = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::string cs = NewTarget(state, postgres, false);
    if (cs.empty()) break;
    auto connection = SharedConnection::ForThisThread();
    Backend* backend = connection->backend();
    state.ResumeTiming();
    rows = 0;
    Must(backend->Begin());
    for (const std::string& name : *names) {
      if (name.size() < 4 || name.substr(name.size() - 4) != ".dat") continue;
      TableFileReader reader;
      Must(reader.Open((files / name).string()));
      const std::string table = name.substr(0, name.find('@'));
      std::string head = "INSERT INTO \"" + table + "\" VALUES ", sql;
      std::vector<Variant> row;
      int in_batch = 0;
      auto flush = [&] {
        if (in_batch) Must(backend->Execute(head + sql));
        sql.clear();
        in_batch = 0;
      };
      while (*reader.Next(row)) {
        std::string values;
        for (size_t i = 0; i < row.size(); ++i) {
          const Variant& v = row[i];
          values += (i ? "," : "") +
                    (v.IsNull() ? std::string("NULL")
                     : v.type() == VarType::String ? "'" + SqlQuote(v.str()) + "'"
                     : v.type() == VarType::Boolean ? std::string(v.boolean() ? "-1" : "0")
                                                    : v.ToText());
        }
        sql += (in_batch ? ",(" : "(") + values + ")";
        ++rows;
        if (++in_batch == 200) flush();
      }
      flush();
    }
    Must(backend->Commit());
    state.PauseTiming();
    SharedConnection::ResetThisThread();
    state.ResumeTiming();
  }
  state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_RawInsert)->ArgNames({"pg"})->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
