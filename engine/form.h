// The caller's form and tree control, reached late-bound. A form value is
// read by control name, an optional index (controls that form an array), a
// property name ("Text", "Value", "ListIndex", "ListCount", "ItemData",
// "Selected", "Tag", "Expanded") and, for list properties, an optional item
// number. A missing control, index or property is a failure (438), never a
// default value. Trees are filled through nodes().Add and the node's Tag and
// Expanded.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "engine/status.h"
#include "engine/variant.h"

namespace dravmor {

class FormRecord : public Object {
 public:
  std::string_view TypeName() const override { return "Form"; }
  virtual Result<Variant> Read(std::string_view control, std::optional<int> index,
                               std::string_view property,
                               std::optional<int> item = std::nullopt) const = 0;
};

class TreeNode : public Object {
 public:
  std::string_view TypeName() const override { return "Node"; }
  virtual std::string Text() const = 0;
  virtual std::string Tag() const = 0;
  virtual void SetTag(std::string tag) = 0;
  virtual bool Expanded() const = 0;
  virtual void SetExpanded(bool expanded) = 0;
};

// Relationship codes of a tree's Add, as tree controls number them.
namespace TreeRelation {
constexpr int kFirst = 0, kLast = 1, kNext = 2, kPrevious = 3, kChild = 4;
}

class TreeControl : public Object {
 public:
  std::string_view TypeName() const override { return "TreeView"; }
  // nodes.Add(relative, relationship, key, text, image): a null relative
  // adds a top-level node.
  virtual Result<std::shared_ptr<TreeNode>> AddNode(
      const std::shared_ptr<TreeNode>& relative, int relationship,
      const std::string& key, const std::string& text, int image) = 0;
};

}  // namespace dravmor
