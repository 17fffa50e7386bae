// The token tree the rewriter works on: a statement's tokens with every
// parenthesised part as one node holding its own tokens, so that a rewrite
// at one level never disturbs another and rendering the tree gives back the
// text. Internal to the dialect layer.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/dialect/tokenizer.h"
#include "engine/status.h"

namespace dravmor::dialect {

// What the rewriter learnt about the value a node stands for.
struct Hints {
  bool text = false;  // a string (literal, concatenation, text function)
  bool date = false;  // a Jet date literal
  bool real = false;  // certainly floating point
};

struct Node {
  Token token;              // the token, or "(" for a group
  std::vector<Node> kids;   // a group's contents, without its parentheses
  bool group = false;
  bool synthetic = false;   // written by the rewriter, not from the source
  Hints hints;

  static Node Leaf(TokenKind kind, std::string text, bool synthetic = true) {
    return Node{Token{kind, std::move(text)}, {}, false, synthetic, {}};
  }
  static Node Group(std::vector<Node> kids) {
    return Node{Token{TokenKind::kPunct, "("}, std::move(kids), true, true, {}};
  }

  bool IsSpace() const {
    return !group && (token.kind == TokenKind::kSpace || token.kind == TokenKind::kComment);
  }
  bool Is(std::string_view keyword) const { return !group && IsKeyword(token, keyword); }
  bool IsPunct(char c) const {
    return !group && token.kind == TokenKind::kPunct && token.text.size() == 1 &&
           token.text[0] == c;
  }
  bool IsOp(std::string_view op) const {
    return !group && token.kind == TokenKind::kOperator && token.text == op;
  }
};

using Nodes = std::vector<Node>;

// Fails on a ")" without "(" or a "(" never closed.
Result<Nodes> BuildTree(const std::vector<Token>& tokens);

std::string Render(const Nodes& nodes);
void RenderTo(const Nodes& nodes, std::string& out);

// Index of the first node at or after `i` (before `i`, for Prev) that is
// not blank or comment; nodes.size() when there is none (Prev: npos).
size_t Next(const Nodes& nodes, size_t i);
size_t Prev(const Nodes& nodes, size_t i);

// nodes[from, to) appended to `out`; as a new vector; removed.
void Append(Nodes& out, const Nodes& nodes, size_t from, size_t to);
Nodes Slice(const Nodes& nodes, size_t from, size_t to);
void Erase(Nodes& nodes, size_t from, size_t to);
void InsertAt(Nodes& nodes, size_t at, const Nodes& part);

// The value of a number token of at most 9 digits and no sign, point or
// exponent; nullopt for anything else.
std::optional<long> WholeNumber(const Node& node);

// Same name, ASCII letter case ignored, quotes removed: [Tk] and TK.
bool SameName(const Node& a, const Node& b);

// The source text of a node, for error messages.
std::string TextOf(const Node& node);

// "Unsupported syntax near '<text>'", with the reason when one is given.
Status Unsupported(const Node& node, std::string_view reason = {});
Status Unsupported(std::string_view text, std::string_view reason = {});

}  // namespace dravmor::dialect
