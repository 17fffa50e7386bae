// The callers reach the engine by name only: every class, method and event
// they name must be in the dispatch tables, events with their ids in order.
// The expected names are kept in tests/data/interface.tsv.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "api/all_classes.h"

namespace dravmor {
namespace {

struct Expected {
  std::vector<std::string> methods;
  std::vector<std::pair<std::string, int>> events;
};

std::map<std::string, Expected> ReadInterface() {
  std::map<std::string, Expected> classes;
  std::ifstream in(std::string(DRAVMOR_TEST_DATA) + "/interface.tsv");
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string cls, kind, name, id;
    std::getline(fields, cls, '\t');
    std::getline(fields, kind, '\t');
    std::getline(fields, name, '\t');
    std::getline(fields, id, '\t');
    if (kind == "method") classes[cls].methods.push_back(name);
    else classes[cls].events.emplace_back(name, std::stoi(id));
  }
  return classes;
}

TEST(Interface, EveryClassMethodAndEventIsInTheDispatchTables) {
  const auto expected = ReadInterface();
  ASSERT_EQ(expected.size(), 24u);
  const ClassRegistry& registry = AllClasses();
  EXPECT_EQ(registry.All().size(), 24u);
  for (const auto& [name, want] : expected) {
    const ClassInfo* info = registry.Find(name);
    if (!info) {
      ADD_FAILURE() << "no class " << name;
      continue;
    }
    for (const std::string& method : want.methods)
      EXPECT_NE(info->FindMethod(method), nullptr) << name << "." << method;
    std::vector<std::pair<std::string, int>> events;
    for (const EventInfo& e : info->events) events.emplace_back(e.name, e.dispatch_id);
    EXPECT_EQ(events, want.events) << name;
  }
}

TEST(Interface, MethodNamesAreUniqueWithinAClass) {
  for (const ClassInfo& info : AllClasses().All()) {
    std::set<std::string> seen;
    for (const MethodInfo& m : info.methods)
      EXPECT_TRUE(seen.insert(m.name).second) << info.name << "." << m.name << " twice";
  }
}

}  // namespace
}  // namespace dravmor
