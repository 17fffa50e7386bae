// Test support: a fresh database in a temporary directory, made the way a
// user makes one (the shipped schema), and an event recorder.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/events.h"
#include "engine/prompt.h"
#include "engine/recordset.h"
#include "engine/shared_connection.h"

namespace dravmor::testing {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::filesystem::path& path() const { return path_; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// The two backends every database suite runs on.
enum class TestBackend { Sqlite, Postgres };
std::string BackendName(const ::testing::TestParamInfo<TestBackend>& info);
inline auto BothBackends() { return ::testing::Values(TestBackend::Sqlite, TestBackend::Postgres); }

// A new shipped database on the test's backend, bound as this thread's
// connection. On PostgreSQL it is a new database in the test cluster, a
// copy of the shipped one the first test made there; where no cluster can
// run the test is skipped with the reason.
class ShippedDatabase : public ::testing::TestWithParam<TestBackend> {
 protected:
  void SetUp() override;
  bool OnServer() const { return GetParam() == TestBackend::Postgres; }
  void TearDown() override;
  // Runs a Jet statement and fails the test when it fails.
  void Exec(const std::string& sql);
  RowData Query(const std::string& sql);
  // The single value of a one-row, one-column query.
  Variant Scalar(const std::string& sql);

  TempDir dir_;
  std::string connection_string_;  // a file path, or a libpq string
  std::shared_ptr<SharedConnection> connection_;
};

// A shipped database brought up to date by the log-in upgrade, as every
// user's database is: the Jet path unless the test says otherwise, with the
// optional tables, a settings store of its own and the drawing folders
// under the test directory. Events of the upgrade are not recorded.
class UpgradedDatabase : public ShippedDatabase {
 protected:
  void SetUp() override;
  void TearDown() override;
  virtual bool UpgradeOnSqlServerPath() const { return false; }
};

// A connection string to a new empty database on the backend: a file path
// in dir (the file not yet made) or a new server database. Empty, with
// `why` set, when the server half cannot run here.
std::string NewDatabase(TestBackend backend, const TempDir& dir, std::string* why);

struct RecordedEvent {
  std::string name;
  std::vector<Variant> args;
};

class EventRecorder : public EventSink {
 public:
  void OnEvent(const ServerObject&, std::string_view event, std::vector<Variant>& args) override;
  std::vector<RecordedEvent> events;
  // Names of the events in order, e.g. {"rsResult", "Accesserror"}.
  std::vector<std::string> Names() const;
  const RecordedEvent* Last(const std::string& name) const;
  // Called on each event; may change its arguments.
  std::function<void(const std::string&, std::vector<Variant>&)> handler;
};

// Answers the engine's Yes/No questions from a list (No once it runs out)
// and keeps every prompt it was shown. Installed for its lifetime.
class RecordingPrompter : public Prompter {
 public:
  explicit RecordingPrompter(std::vector<PromptAnswer> answers = {})
      : answers_(std::move(answers)), scope_(this) {}
  PromptAnswer Ask(const PromptRequest& request) override {
    asked.push_back(request);
    if (request.style != PromptStyle::YesNo) return PromptAnswer::Ok;
    if (next_ < answers_.size()) return answers_[next_++];
    return PromptAnswer::No;
  }
  std::vector<PromptRequest> asked;

 private:
  std::vector<PromptAnswer> answers_;
  size_t next_ = 0;
  ScopedPrompter scope_;
};

}  // namespace dravmor::testing
