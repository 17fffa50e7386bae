#include "engine/dialect/syntax.h"

namespace dravmor::dialect {

constexpr size_t kMaxNesting = 200;

Result<Nodes> BuildTree(const std::vector<Token>& tokens) {
  std::vector<Nodes> stack(1);
  for (const Token& t : tokens) {
    if (t.kind == TokenKind::kPunct && t.text == "(") {
      // The passes recurse per level; no real statement nests this deep.
      if (stack.size() > kMaxNesting)
        return Status::Error(ErrorCode::kSyntax, "Parentheses nested too deeply");
      stack.emplace_back();
    } else if (t.kind == TokenKind::kPunct && t.text == ")") {
      if (stack.size() == 1)
        return Status::Error(ErrorCode::kSyntax, "Unbalanced parenthesis near ')'");
      Node group{Token{TokenKind::kPunct, "("}, std::move(stack.back()), true, false, {}};
      stack.pop_back();
      stack.back().push_back(std::move(group));
    } else {
      stack.back().push_back(Node{t, {}, false, false, {}});
    }
  }
  if (stack.size() != 1)
    return Status::Error(ErrorCode::kSyntax, "Unbalanced parenthesis near '('");
  return std::move(stack.front());
}

void RenderTo(const Nodes& nodes, std::string& out) {
  for (const Node& n : nodes) {
    if (n.group) {
      out += '(';
      RenderTo(n.kids, out);
      out += ')';
    } else {
      out += n.token.text;
    }
  }
}

std::string Render(const Nodes& nodes) {
  std::string out;
  RenderTo(nodes, out);
  return out;
}

size_t Next(const Nodes& nodes, size_t i) {
  while (i < nodes.size() && nodes[i].IsSpace()) ++i;
  return i;
}

size_t Prev(const Nodes& nodes, size_t i) {
  while (i-- > 0)
    if (!nodes[i].IsSpace()) return i;
  return std::string::npos;
}

void Append(Nodes& out, const Nodes& nodes, size_t from, size_t to) {
  out.insert(out.end(), nodes.begin() + static_cast<long>(from),
             nodes.begin() + static_cast<long>(to));
}

Nodes Slice(const Nodes& nodes, size_t from, size_t to) {
  Nodes out;
  Append(out, nodes, from, to);
  return out;
}

void Erase(Nodes& nodes, size_t from, size_t to) {
  nodes.erase(nodes.begin() + static_cast<long>(from), nodes.begin() + static_cast<long>(to));
}

void InsertAt(Nodes& nodes, size_t at, const Nodes& part) {
  nodes.insert(nodes.begin() + static_cast<long>(at), part.begin(), part.end());
}

std::optional<long> WholeNumber(const Node& node) {
  const std::string& t = node.token.text;
  if (node.group || node.token.kind != TokenKind::kNumber || t.empty() || t.size() > 9 ||
      t.find_first_not_of("0123456789") != std::string::npos)
    return std::nullopt;
  return std::stol(t);
}

bool SameName(const Node& a, const Node& b) {
  if (a.group || b.group) return false;
  std::string x = NameOf(a.token), y = NameOf(b.token);
  if (x.size() != y.size()) return false;
  for (size_t i = 0; i < x.size(); ++i) {
    char c = x[i], d = y[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    if (d >= 'a' && d <= 'z') d = static_cast<char>(d - 32);
    if (c != d) return false;
  }
  return true;
}

std::string TextOf(const Node& node) {
  if (!node.group) return node.token.text;
  std::string out = "(";
  RenderTo(node.kids, out);
  return out + ")";
}

Status Unsupported(std::string_view text, std::string_view reason) {
  std::string message = "Unsupported syntax near '" + std::string(text.substr(0, 40)) + "'";
  if (!reason.empty()) message += " (" + std::string(reason) + ")";
  return Status::Error(ErrorCode::kSyntax, message);
}

Status Unsupported(const Node& node, std::string_view reason) {
  return Unsupported(TextOf(node), reason);
}

}  // namespace dravmor::dialect
