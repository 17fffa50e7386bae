#include "engine/memory_form.h"

#include <algorithm>

#include "engine/text.h"

namespace dravmor {

namespace {

std::string CanonicalKey(std::string_view control, std::optional<int> index,
                         std::string_view property, std::optional<int> item) {
  std::string key = ToLowerAscii(control);
  if (index) key += "[" + std::to_string(*index) + "]";
  key += "." + ToLowerAscii(property);
  if (item) key += "(" + std::to_string(*item) + ")";
  return key;
}

// Splits "name[3].Prop(2)" into its parts; false when malformed.
bool ParseKey(const std::string& key, std::string& control, std::optional<int>& index,
              std::string& property, std::optional<int>& item) {
  size_t dot = key.find('.');
  if (dot == std::string::npos || dot == 0) return false;
  std::string head = key.substr(0, dot), tail = key.substr(dot + 1);
  auto number_in = [](const std::string& s, char open, char close, std::string& rest,
                      std::optional<int>& n) {
    size_t o = s.find(open);
    if (o == std::string::npos) { rest = s; return true; }
    if (s.back() != close) return false;
    try {
      n = std::stoi(s.substr(o + 1, s.size() - o - 2));
    } catch (...) {
      return false;
    }
    rest = s.substr(0, o);
    return !rest.empty();
  };
  return number_in(head, '[', ']', control, index) &&
         number_in(tail, '(', ')', property, item) && !property.empty();
}

}  // namespace

void MemoryForm::Set(const std::string& key, Variant value) {
  std::string control, property;
  std::optional<int> index, item;
  if (ParseKey(key, control, index, property, item))
    values_[CanonicalKey(control, index, property, item)] = std::move(value);
  else
    values_[ToLowerAscii(key)] = std::move(value);
}

Result<Variant> MemoryForm::Read(std::string_view control, std::optional<int> index,
                                 std::string_view property,
                                 std::optional<int> item) const {
  auto it = values_.find(CanonicalKey(control, index, property, item));
  if (it != values_.end()) return it->second;
  std::string where(control);
  if (index) where += "(" + std::to_string(*index) + ")";
  where += "." + std::string(property);
  if (item) where += "(" + std::to_string(*item) + ")";
  return Status::Error(ErrorCode::kNoSuchMember,
                       "Object doesn't support this property or method: " + where);
}

Result<std::shared_ptr<TreeNode>> MemoryTree::AddNode(
    const std::shared_ptr<TreeNode>& relative, int relationship, const std::string& key,
    const std::string& text, int /*image*/) {
  auto node = std::make_shared<MemoryTreeNode>(text);
  node->key = key;
  auto rel = std::dynamic_pointer_cast<MemoryTreeNode>(relative);
  if (relative && !rel)
    return Status::Error(ErrorCode::kBadArgument, "Invalid object: not a node of this tree");
  if (!rel) {
    roots_.push_back(node);
  } else if (relationship == TreeRelation::kChild) {
    node->parent = rel.get();
    rel->children.push_back(node);
  } else {
    auto& siblings = rel->parent ? rel->parent->children : roots_;
    auto pos = std::find(siblings.begin(), siblings.end(), rel);
    node->parent = rel->parent;
    switch (relationship) {
      case TreeRelation::kFirst: siblings.insert(siblings.begin(), node); break;
      case TreeRelation::kLast: siblings.push_back(node); break;
      case TreeRelation::kNext: siblings.insert(pos + 1, node); break;
      case TreeRelation::kPrevious: siblings.insert(pos, node); break;
      default:
        return Status::Error(ErrorCode::kBadArgument,
                             "Invalid relationship " + std::to_string(relationship));
    }
  }
  ++count_;
  return std::shared_ptr<TreeNode>(node);
}

namespace {
nlohmann::ordered_json NodesToJson(const std::vector<std::shared_ptr<MemoryTreeNode>>& nodes) {
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const auto& n : nodes)
    list.push_back({{"text", n->Text()},
                    {"tag", n->Tag()},
                    {"expanded", n->Expanded()},
                    {"children", NodesToJson(n->children)}});
  return list;
}
}  // namespace

nlohmann::ordered_json MemoryTree::ToJson() const { return NodesToJson(roots_); }

}  // namespace dravmor
