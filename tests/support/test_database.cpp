#include "tests/support/test_database.h"

#include <atomic>
#include <random>
#include <thread>

#include "engine/schema/shipped_schema.h"
#include "engine/settings_store.h"
#include "users/server_for_login.h"
#include "tests/support/pg_cluster.h"

namespace dravmor::testing {

TempDir::TempDir() {
  std::random_device rd;
  path_ = std::filesystem::temp_directory_path() /
          ("dravmor-test-" + std::to_string(rd()) + std::to_string(rd()));
  std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string BackendName(const ::testing::TestParamInfo<TestBackend>& info) {
  return info.param == TestBackend::Sqlite ? "Sqlite" : "Postgres";
}

namespace {

// A new server database, empty or a copy of the server-wide one `from`.
std::string NewServerDatabase(const std::string& from, std::string* why) {
  PgCluster* cluster = PgCluster::Shared();
  if (!cluster->available()) {
    *why = "PostgreSQL tests skipped: " + cluster->why_unavailable();
    return "";
  }
  // The cluster keeps the names of different processes apart.
  static std::atomic<int> counter = 0;
  std::string name = "t" + std::to_string(++counter);
  if (Status s = cluster->CreateDatabase(name, from); !s.ok()) {
    *why = "cannot create a test database: " + s.ToString();
    return "";
  }
  return cluster->ConnectionString(name);
}

// The server's shipped database, made once by the first test that needs
// it; each test then gets a copy, which costs a fraction of making one.
constexpr const char* kShippedOnServer = "dravmor_shipped";

Status MakeShippedOnServer() {
  // Made on a thread of its own: the connection it opens there is closed
  // with the thread (a copy needs its source unconnected), and this
  // thread's connection, which the test's objects hold, stays unopened.
  return PgCluster::Shared()->MakeOnce(kShippedOnServer, [](const std::string& cs) {
    Status made = Status::Ok();
    std::thread([&] {
      made = CreateShippedDatabase(cs);
      SharedConnection::ResetThisThread();
    }).join();
    return made;
  });
}

}  // namespace

std::string NewDatabase(TestBackend backend, const TempDir& dir, std::string* why) {
  if (backend == TestBackend::Sqlite) return dir.File("shop.db");
  return NewServerDatabase("", why);
}

void ShippedDatabase::SetUp() {
  // The test's server objects, made before SetUp, hold this thread's
  // unopened connection: the database is opened in it, so that they and the
  // test share one connection (and one catalogue), as a thread's objects do.
  if (SharedConnection::ForThisThread()->IsOpen()) SharedConnection::ResetThisThread();
  std::string why;
  if (!OnServer()) {
    connection_string_ = dir_.File("shop.db");
    Status s = CreateShippedDatabase(connection_string_);
    ASSERT_TRUE(s.ok()) << s.ToString();
  } else {
    if (!PgCluster::Shared()->available())
      GTEST_SKIP() << "PostgreSQL tests skipped: " << PgCluster::Shared()->why_unavailable();
    Status s = MakeShippedOnServer();
    ASSERT_TRUE(s.ok()) << s.ToString();
    connection_string_ = NewServerDatabase(kShippedOnServer, &why);
    ASSERT_FALSE(connection_string_.empty()) << why;
    s = SharedConnection::ForThisThread()->Bind(connection_string_);
    ASSERT_TRUE(s.ok()) << s.ToString();
  }
  connection_ = SharedConnection::ForThisThread();
}

void UpgradedDatabase::SetUp() {
  ShippedDatabase::SetUp();
  if (IsSkipped()) return;
  UseSettings(std::make_shared<FileSettingsStore>(dir_.File("settings.json")));
  ServerForLogin login;
  EventRecorder failures;
  login.SetEventSink(&failures);
  std::string cs = connection_string_;
  login.Connect(cs);
  login.SetSQLSERVER(UpgradeOnSqlServerPath());
  login.SetAppPath(dir_.path().string());
  login.SetWZSB(true);
  login.SetFSZhao(true);
  login.AddField();
  ASSERT_TRUE(failures.events.empty()) << failures.events[0].args[2].ToText();
}

void UpgradedDatabase::TearDown() {
  UseSettings(nullptr);
  ShippedDatabase::TearDown();
}

void ShippedDatabase::TearDown() {
  connection_.reset();
  SharedConnection::ResetThisThread();
}

void ShippedDatabase::Exec(const std::string& sql) {
  Status s = connection_->Execute(sql, dialect::Source::Jet);
  ASSERT_TRUE(s.ok()) << s.ToString() << " in " << sql;
}

RowData ShippedDatabase::Query(const std::string& sql) {
  auto rows = connection_->Query(sql, dialect::Source::Jet);
  EXPECT_TRUE(rows.ok()) << rows.status().ToString() << " in " << sql;
  return rows.ok() ? *rows : RowData{};
}

Variant ShippedDatabase::Scalar(const std::string& sql) {
  RowData rows = Query(sql);
  if (rows.cells.empty()) return Variant();
  return rows.cells[0];
}

void EventRecorder::OnEvent(const ServerObject&, std::string_view event,
                            std::vector<Variant>& args) {
  events.push_back({std::string(event), args});
  if (handler) handler(std::string(event), args);
}

std::vector<std::string> EventRecorder::Names() const {
  std::vector<std::string> names;
  for (const auto& e : events) names.push_back(e.name);
  return names;
}

const RecordedEvent* EventRecorder::Last(const std::string& name) const {
  for (auto it = events.rbegin(); it != events.rend(); ++it)
    if (it->name == name) return &*it;
  return nullptr;
}

}  // namespace dravmor::testing
