// What the four project-record classes (payments, installation, problems,
// documents) share: the current project and the Connect step that creates
// a class's tables when they are missing.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "engine/server_object.h"

namespace dravmor {

class ProjectRecordObject : public ServerObject {
 public:
  void SetGccID(Currency ID) { project_ = ID; }

 protected:
  // tables: (name, CREATE TABLE statement), created in this order.
  ProjectRecordObject(std::string class_name,
                      std::vector<std::pair<std::string, std::string>> tables)
      : ServerObject(std::move(class_name)), tables_(std::move(tables)) {}

  void AfterConnect() override {
    for (const auto& [table, create] : tables_)
      if (!HasTable(table)) Exec(create);
  }
  std::string project() const { return SqlNumber(project_); }

 private:
  Currency project_{};
  std::vector<std::pair<std::string, std::string>> tables_;
};

}  // namespace dravmor
