#include "tests/support/test_database.h"

#include <random>

#include "engine/schema/shipped_schema.h"

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

void ShippedDatabase::SetUp() {
  SharedConnection::ResetThisThread();
  connection_string_ = dir_.File("shop.db");
  Status s = CreateShippedDatabase(connection_string_);
  ASSERT_TRUE(s.ok()) << s.ToString();
  connection_ = SharedConnection::ForThisThread();
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

void EventRecorder::OnEvent(std::string_view, std::string_view event,
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
