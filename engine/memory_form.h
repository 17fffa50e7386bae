// In-memory form and tree control: what tests and the command-line driver
// hand to the engine in place of a real user interface. The form holds
// values under "control[index].Property" or "control.Property(item)" keys;
// the tree records every node added, and prints as nested JSON.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "engine/form.h"

namespace dravmor {

class MemoryForm : public FormRecord {
 public:
  // key: "txtinfo[0].Text", "cmbSeries.ListIndex", "lstxilie.Selected(2)".
  void Set(const std::string& key, Variant value);
  Result<Variant> Read(std::string_view control, std::optional<int> index,
                       std::string_view property,
                       std::optional<int> item) const override;

 private:
  std::map<std::string, Variant> values_;  // canonical key, lower case
};

class MemoryTreeNode : public TreeNode {
 public:
  explicit MemoryTreeNode(std::string text) : text_(std::move(text)) {}
  std::string Text() const override { return text_; }
  std::string Tag() const override { return tag_; }
  void SetTag(std::string tag) override { tag_ = std::move(tag); }
  bool Expanded() const override { return expanded_; }
  void SetExpanded(bool expanded) override { expanded_ = expanded; }

  std::vector<std::shared_ptr<MemoryTreeNode>> children;
  MemoryTreeNode* parent = nullptr;
  std::string key;

 private:
  std::string text_, tag_;
  bool expanded_ = false;
};

class MemoryTree : public TreeControl {
 public:
  Result<std::shared_ptr<TreeNode>> AddNode(const std::shared_ptr<TreeNode>& relative,
                                            int relationship, const std::string& key,
                                            const std::string& text, int image) override;
  const std::vector<std::shared_ptr<MemoryTreeNode>>& roots() const { return roots_; }
  size_t NodeCount() const { return count_; }
  // [{"text":..,"tag":..,"expanded":..,"children":[..]}, ...]
  nlohmann::ordered_json ToJson() const;

 private:
  std::vector<std::shared_ptr<MemoryTreeNode>> roots_;
  size_t count_ = 0;
};

}  // namespace dravmor
