// What the four project-record classes (payments, installation, problems,
// documents) share: the current project and the Connect step that creates
// a class's tables when they are missing.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "engine/bind_method.h"
#include "engine/schema/indexes.h"
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
      if (CreateTableIfMissing(table, create)) Check(AddMissingIndexes(connection(), table));
  }
  std::string project() const { return SqlNumber(project_); }

 private:
  Currency project_{};
  std::vector<std::pair<std::string, std::string>> tables_;
};

// The list and change methods every record class offers, in their
// interface order, and the events they share.
template <typename C>
std::vector<MethodInfo> RecordListAndChangeMethods() {
  using V = VarType;
  return {
      Bind("GetDetail", &C::GetDetail, {}),
      Bind("Add", &C::Add, {In("frm", V::Object)}),
      Bind("Edit", &C::Edit, {In("ID", V::Currency), In("frm", V::Object)}),
      Bind("Del", &C::Del, {In("ID", V::Currency)}),
  };
}

inline std::vector<EventInfo> RecordEvents() {
  return {
      AccessErrorEvent(),
      {"ChongFu", 2, {}},
      {"rsResult", 3, {Ref("rs", VarType::Object)}},
  };
}

}  // namespace dravmor
