// Deleting one project of 1,000 windows and 20,000 window details (with a
// finished product per window, a cutting value per detail, a sash per
// window and a payment, installation and problem record) beside a second
// project of the same size that must stay: DelProject through the engine
// against the same DELETE statements sent straight to SQLite.
#include <sqlite3.h>

#include <filesystem>
#include <functional>
#include <random>
#include <stdexcept>
#include <string>

#include <benchmark/benchmark.h>

#include "customers/server_for_ke_hu.h"
#include "engine/schema/shipped_schema.h"
#include "engine/settings_store.h"
#include "engine/sqlite/functions.h"
#include "users/server_for_login.h"

namespace {

using namespace dravmor;

constexpr int kWindows = 1000;
constexpr int kDetailsPerWindow = 20;

struct Raw {
  sqlite3* db = nullptr;
  explicit Raw(const std::string& file) {
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
      throw std::runtime_error(sqlite3_errmsg(db));
    // The text columns use the engine's collation.
    RegisterJetFunctions(db);
    Exec("PRAGMA journal_mode=WAL");
    Exec("PRAGMA synchronous=NORMAL");
  }
  ~Raw() { sqlite3_close(db); }
  void Exec(const std::string& sql) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
      std::string text = message ? message : "?";
      sqlite3_free(message);
      throw std::runtime_error(text + " in " + sql);
    }
  }
  // Runs a statement once per row of values (all integers).
  void Each(const std::string& sql, int rows, const std::function<void(sqlite3_stmt*, int)>& bind) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
      throw std::runtime_error(sqlite3_errmsg(db));
    for (int r = 0; r < rows; ++r) {
      bind(stmt, r);
      if (sqlite3_step(stmt) != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db));
      sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
  }
};

// Project p's rows: ids of windows p*10^6 + w, of details p*10^7 + n.
void FillProject(Raw& raw, int p) {
  raw.Exec("INSERT INTO ProjectInfo VALUES(" + std::to_string(p) + ",'P" + std::to_string(p) +
           "','Project',5,NULL,NULL,-1,0,0,0,'管理员','管理员','是','是')");
  raw.Exec("INSERT INTO ProjectInfo VALUES(" + std::to_string(p + 50) + ",'P" +
           std::to_string(p) + "-1','Batch',5,NULL,NULL,-1," + std::to_string(p) +
           ",0,0,'管理员','管理员','是','是')");
  const int64_t window0 = int64_t{p} * 1000000, detail0 = int64_t{p} * 10000000;
  raw.Each("INSERT INTO ProjectWindow (gcmc_ID,gcxx_ID) VALUES (?,?)", kWindows,
           [&](sqlite3_stmt* s, int w) {
             sqlite3_bind_int64(s, 1, window0 + w);
             sqlite3_bind_int(s, 2, p);
           });
  raw.Each("INSERT INTO ChengPinKu (ID,GCDM,MCDM,SL,XL,MCID) VALUES (?,'g','m',1,'x',?)",
           kWindows, [&](sqlite3_stmt* s, int w) {
             sqlite3_bind_int64(s, 1, window0 + w);
             sqlite3_bind_int64(s, 2, window0 + w);
           });
  raw.Each("INSERT INTO ProjectShan (ID,gcmc_ID,MianJi,IsShaShan,gcxx_ID) VALUES (?,?,1,0,?)",
           kWindows, [&](sqlite3_stmt* s, int w) {
             sqlite3_bind_int64(s, 1, window0 + w);
             sqlite3_bind_int64(s, 2, window0 + w);
             sqlite3_bind_int(s, 3, p);
           });
  const int details = kWindows * kDetailsPerWindow;
  raw.Each("INSERT INTO ProjectWindowDetail (mcmx_ID,gcmc_ID,TK_ID) VALUES (?,?,1)", details,
           [&](sqlite3_stmt* s, int d) {
             sqlite3_bind_int64(s, 1, detail0 + d);
             sqlite3_bind_int64(s, 2, window0 + d / kDetailsPerWindow);
           });
  raw.Each("INSERT INTO XiaV (ID,Mcmx_ID,XcGS_ID) VALUES (?,?,1)", details,
           [&](sqlite3_stmt* s, int d) {
             sqlite3_bind_int64(s, 1, detail0 + d);
             sqlite3_bind_int64(s, 2, detail0 + d);
           });
  const std::string id = std::to_string(p);
  raw.Exec("INSERT INTO 工程实施 (pici_ID,gcxxID) VALUES (" + id + "," + id + ")");
  raw.Exec("INSERT INTO 批次明细 (pici_ID) VALUES (" + id + ")");
  raw.Exec("INSERT INTO GcMoney VALUES (" + id + "," + id + ",100,'2026-1-1','Li')");
  raw.Exec("INSERT INTO MoneyGc VALUES (" + id + "," + id + ",1000,50)");
  raw.Exec("INSERT INTO GcInstall VALUES (" + id + "," + id + ",'fitted','Li','2026-1-2')");
  raw.Exec("INSERT INTO Problem VALUES (" + id + "," + id + ",'leak','Li','2026-1-3','fixed')");
}

// One upgraded database holding projects 2 and 3, copied for every round.
class Template {
 public:
  Template() {
    std::random_device rd;
    dir_ = std::filesystem::temp_directory_path() / ("dravmor-project-" + std::to_string(rd()));
    std::filesystem::create_directories(dir_);
    UseSettings(std::make_shared<FileSettingsStore>((dir_ / "settings.json").string()));
    file_ = (dir_ / "template.db").string();
    SharedConnection::ResetThisThread();
    Status s = CreateShippedDatabase(file_);
    if (!s.ok()) throw std::runtime_error(s.ToString());
    {
      ServerForLogin login;
      std::string cs = file_;
      login.Connect(cs);
      login.SetSQLSERVER(false);
      login.SetAppPath(dir_.string());
      login.AddField();
      // The record tables, as the payment and installation classes make them.
      for (const char* sql :
           {"CREATE TABLE GcMoney (ID Long,GcxxID Long,Kuan Number,RiQi Text,Ren Text, primary key(ID))",
            "CREATE TABLE MoneyGc (ID Long,GcxxID Long,Kuan Number,ZhiBao Number,  primary key(ID))",
            "CREATE TABLE GcInstall (ID Long,GcxxID Long,MiaoShu Text,Ren Text,RiQi Text,primary key(ID))",
            "CREATE TABLE Problem (ID Long,GcxxID Long,MiaoShu Text,Ren Text,RiQi Text,JieJue Text,primary key(ID))"}) {
        Status c = login.connection().Execute(sql, dialect::Source::Jet);
        if (!c.ok()) throw std::runtime_error(c.ToString());
      }
    }
    SharedConnection::ResetThisThread();
    Raw raw(file_);
    raw.Exec("BEGIN");
    FillProject(raw, 2);
    FillProject(raw, 3);
    raw.Exec("COMMIT");
    raw.Exec("PRAGMA wal_checkpoint(TRUNCATE)");
  }
  ~Template() {
    UseSettings(nullptr);
    std::filesystem::remove_all(dir_);
  }
  std::string Copy() {
    std::string copy = (dir_ / ("round" + std::to_string(round_++) + ".db")).string();
    std::filesystem::copy_file(file_, copy);
    return copy;
  }
  static void Remove(const std::string& file) {
    for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(file + suffix);
  }

 private:
  std::filesystem::path dir_;
  std::string file_;
  int round_ = 0;
};

Template& Database() {
  static Template t;
  return t;
}

void BM_DelProjectThroughEngine(benchmark::State& state) {
  Template& db = Database();
  for (auto _ : state) {
    state.PauseTiming();
    std::string file = db.Copy();
    SharedConnection::ResetThisThread();
    {
      ServerForKeHu kehu;
      std::string cs = file;
      kehu.Connect(cs);
      kehu.SetSQLSERVER(false);
      state.ResumeTiming();
      kehu.DelProject(Currency::FromWhole(2));
      state.PauseTiming();
      // Project 3's cutting values stay, project 2's are gone.
      auto left = kehu.connection().Query("SELECT COUNT(*) FROM XiaV", dialect::Source::Jet);
      if (!left.ok() || left->cells[0].ToText() != std::to_string(kWindows * kDetailsPerWindow))
        state.SkipWithError("DelProject left the wrong rows");
    }
    SharedConnection::ResetThisThread();
    Template::Remove(file);
    state.ResumeTiming();
  }
  state.counters["windows"] = kWindows;
  state.counters["details"] = kWindows * kDetailsPerWindow;
}

// The statements DelProject runs for project 2, and its refreshed list.
void BM_DelProjectRawSqlite(benchmark::State& state) {
  Template& db = Database();
  const char* statements[] = {
      "DELETE FROM ChengPinKu WHERE mcid IN (Select Gcmc_ID FROM  ProjectWindow WHERE gcxx_ID= 2)",
      "DELETE FROM XiaV WHERE mcmx_ID IN (SELECT mcmx_ID FROM ProjectWindowDetail INNER JOIN "
      "ProjectWindow ON ProjectWindow.gcmc_ID= ProjectWindowDetail.gcmc_ID  WHERE gcxx_ID= 2)",
      "DELETE FROM ProjectInfo WHERE gcxx_id=2",
      "DELETE FROM 批次明细 WHERE pici_ID IN (SELECT pici_ID FROM 工程实施 WHERE gcxxID= 2)",
      "DELETE FROM 工程实施 WHERE gcxxID= 2",
      "DELETE FROM ProjectInfo WHERE pici=2",
      "DELETE FROM ProjectShan WHERE gcxx_id=2",
      "DELETE FROM GcMoney WHERE GcxxID=2",
      "DELETE FROM MoneyGc WHERE GcxxID=2",
      "DELETE FROM GcInstall WHERE GcxxID=2",
      "DELETE FROM Problem WHERE GcxxID=2",
      "SELECT gcxx_id,Daima,Mingcheng,ShigongRiqi,JungongRiqi,GcSuoDing,OwnerList,UserList "
      "FROM ProjectInfo WHERE gcxx_Id<>1   AND pici=0  ORDER BY   Gcxx_ID ",
  };
  for (auto _ : state) {
    state.PauseTiming();
    std::string file = db.Copy();
    {
      Raw raw(file);
      state.ResumeTiming();
      for (const char* sql : statements) raw.Exec(sql);
      state.PauseTiming();
    }
    Template::Remove(file);
    state.ResumeTiming();
  }
  state.counters["windows"] = kWindows;
  state.counters["details"] = kWindows * kDetailsPerWindow;
}

BENCHMARK(BM_DelProjectThroughEngine)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_DelProjectRawSqlite)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
