// Operators: each expression at a level of the tree is parsed with the
// source's precedence, the operators whose meaning differs are rewritten,
// and the result is written with the parentheses the target's precedence
// needs. Only arithmetic and concatenation are parsed; comparisons, AND,
// OR and keywords bind looser in every dialect and end an expression.
#include <optional>
#include <string>
#include <vector>

#include "engine/dialect/calls.h"
#include "engine/dialect/passes.h"

namespace dravmor::dialect {

namespace {

enum class Op { kPow, kMul, kDiv, kIntDiv, kMod, kAdd, kSub, kConcat, kRemainder, kBitAnd };

struct OpInfo {
  Op op;
  int precedence;  // the source's
};

// Precedence of the target's rendering (SQLite).
constexpr int kAtomPrec = 100, kUnaryPrec = 90, kConcatPrec = 80, kMulPrec = 70,
              kAddPrec = 60, kBitPrec = 50;

std::optional<OpInfo> BinaryOp(const Node& n, Source source) {
  if (n.group || n.synthetic) return std::nullopt;
  if (source == Source::Jet) {
    // Jet (as VBA): ^, unary -, * /, \, Mod, + -, &.
    if (n.Is("MOD")) return OpInfo{Op::kMod, 8};
    if (n.token.kind != TokenKind::kOperator) return std::nullopt;
    const std::string& t = n.token.text;
    if (t == "^") return OpInfo{Op::kPow, 12};
    if (t == "*") return OpInfo{Op::kMul, 10};
    if (t == "/") return OpInfo{Op::kDiv, 10};
    if (t == "\\") return OpInfo{Op::kIntDiv, 9};
    if (t == "+") return OpInfo{Op::kAdd, 7};
    if (t == "-") return OpInfo{Op::kSub, 7};
    if (t == "&") return OpInfo{Op::kConcat, 6};
    return std::nullopt;
  }
  // SQL Server 2000: * / %, then + - & on one level.
  if (n.token.kind != TokenKind::kOperator) return std::nullopt;
  const std::string& t = n.token.text;
  if (t == "*") return OpInfo{Op::kMul, 10};
  if (t == "/") return OpInfo{Op::kDiv, 10};
  if (t == "%") return OpInfo{Op::kRemainder, 10};
  if (t == "+") return OpInfo{Op::kAdd, 7};
  if (t == "-") return OpInfo{Op::kSub, 7};
  if (t == "&") return OpInfo{Op::kBitAnd, 7};
  return std::nullopt;
}

bool IsOperatorOfNoSource(const Node& n, Source source) {
  if (n.group || n.token.kind != TokenKind::kOperator) return false;
  const std::string& t = n.token.text;
  if (source == Source::Jet) return t == "%" || t == "|" || t == "~" || t == "!=";
  return t == "\\";
}

struct Expr {
  enum Kind { kAtom, kUnary, kBinary } kind = kAtom;
  size_t first = 0, last = 0;  // node indices, inclusive
  size_t op = 0;               // the operator node (unary, binary)
  Op oper = Op::kMul;
  int lhs = -1, rhs = -1;      // operands (unary: rhs only)
  Hints hints;
  bool number = false;         // a plain number literal
  bool changed = false;        // renders differently from its source
  int prec = kAtomPrec;        // precedence of the rendered top operator
  Nodes replacement;           // an atom's rewritten form (calls)
};

class LevelRewriter {
 public:
  LevelRewriter(Nodes& nodes, const Context& ctx) : nodes_(nodes), ctx_(ctx) {}

  // Parses every expression of the level and writes back the changed ones.
  Status Run(Hints* single) {
    std::vector<int> roots;
    size_t pos = Next(nodes_, 0);
    while (pos < nodes_.size()) {
      size_t at = pos;
      auto root = ParseExpr(pos, 0);
      if (!root.ok()) return root.status();
      if (*root < 0) {
        if (IsOperatorOfNoSource(nodes_[at], ctx_.source)) return Unsupported(nodes_[at]);
        pos = Next(nodes_, at + 1);
        continue;
      }
      roots.push_back(*root);
      pos = Next(nodes_, pool_[*root].last + 1);
    }
    if (single) {
      size_t first = Next(nodes_, 0), last = Prev(nodes_, nodes_.size());
      if (roots.size() == 1 && pool_[roots[0]].first == first && pool_[roots[0]].last == last)
        *single = pool_[roots[0]].hints;
    }
    for (auto it = roots.rbegin(); it != roots.rend(); ++it) {
      const Expr& e = pool_[*it];
      if (!e.changed) continue;
      Nodes rendered = Render(*it);
      Erase(nodes_, e.first, e.last + 1);
      InsertAt(nodes_, e.first, rendered);
    }
    return Status::Ok();
  }

 private:
  int Add(Expr e) {
    pool_.push_back(std::move(e));
    return static_cast<int>(pool_.size()) - 1;
  }

  // The end of a SQL Server CASE ... END block that starts at `at`.
  size_t CaseEnd(size_t at) const {
    int depth = 0;
    for (size_t i = at; i < nodes_.size(); ++i) {
      if (nodes_[i].Is("CASE")) ++depth;
      if (nodes_[i].Is("END") && --depth == 0) return i;
    }
    return std::string::npos;
  }

  bool IsKeywordWord(const Node& n) const {
    if (n.group || n.token.kind != TokenKind::kWord) return false;
    if (n.synthetic) return true;  // LIMIT
    if (n.Is("NULL")) return false;
    return IsSourceKeyword(n.token.text, ctx_.source) || n.Is("MOD");
  }

  // A primary at `pos`, or -1 when the node cannot start an operand.
  Result<int> ParsePrimary(size_t& pos) {
    const Node& n = nodes_[pos];
    Expr e;
    e.first = e.last = pos;
    if (n.group) {
      e.hints = n.hints;
    } else if (n.token.kind == TokenKind::kString) {
      e.hints = n.hints;
      e.hints.text = true;
    } else if (n.token.kind == TokenKind::kNumber) {
      e.number = true;
      const std::string& t = n.token.text;
      e.hints.real = t.rfind("0x", 0) != 0 && t.rfind("0X", 0) != 0 &&
                     t.find_first_of(".eE") != std::string::npos;
    } else if (n.IsOp("*")) {
      // SELECT *, COUNT(*): a star where an operand is expected.
    } else if (n.IsOp("-") || n.IsOp("+") || (ctx_.source == Source::SqlServer && n.IsOp("~"))) {
      size_t next = Next(nodes_, pos + 1);
      if (next >= nodes_.size()) return -1;
      if (++unary_depth_ > kMaxUnary) return Unsupported(n, "too many signs");
      // Jet's unary minus binds looser than ^ (-2^2 is -4).
      auto operand = ParseExpr(next, ctx_.source == Source::Jet ? 11 : 12);
      --unary_depth_;
      if (!operand.ok() || *operand < 0) return operand;
      Expr& o = pool_[*operand];
      e.kind = Expr::kUnary;
      e.op = pos;
      e.rhs = *operand;
      e.last = o.last;
      e.hints.real = o.hints.real;
      e.prec = kUnaryPrec;
      e.changed = o.changed || o.prec < kUnaryPrec;
      if (o.hints.date) return Unsupported(n, "arithmetic on a date");
      pos = e.last;
      return Add(std::move(e));
    } else if (n.Is("CASE") && ctx_.source == Source::SqlServer) {
      size_t end = CaseEnd(pos);
      if (end == std::string::npos) return Unsupported(n);
      e.last = end;
    } else if (n.token.kind == TokenKind::kWord || n.token.kind == TokenKind::kName) {
      size_t next = Next(nodes_, pos + 1);
      bool called = next < nodes_.size() && nodes_[next].group;
      // CAST( and CONVERT( are calls although SQL Server reserves the words.
      if (n.token.kind == TokenKind::kWord && IsKeywordWord(n) &&
          !(called && (n.Is("CAST") || n.Is("CONVERT"))))
        return -1;
      size_t before = Prev(nodes_, pos);
      bool after_into = before != std::string::npos && nodes_[before].Is("INTO");
      if (next < nodes_.size() && nodes_[next].group && !after_into) {
        auto call = RewriteCall(n, nodes_[next], ctx_);
        if (!call.ok()) return call.status();
        e.last = next;
        e.hints = call->hints;
        if (call->changed) {
          e.changed = true;
          e.replacement = std::move(call->replacement);
        }
      } else {
        // a.b.c, t.*
        while (next + 1 < nodes_.size() && nodes_[next].IsPunct('.')) {
          size_t part = Next(nodes_, next + 1);
          if (part >= nodes_.size()) break;
          e.last = part;
          next = Next(nodes_, part + 1);
        }
      }
    } else {
      return -1;
    }
    pos = e.last;
    return Add(std::move(e));
  }

  // An expression at `pos` binding at least as tight as `min_prec`; `pos`
  // ends on its last node. -1 when there is none.
  Result<int> ParseExpr(size_t& pos, int min_prec) {
    auto lhs = ParsePrimary(pos);
    if (!lhs.ok() || *lhs < 0) return lhs;
    int left = *lhs;
    while (true) {
      size_t op_at = Next(nodes_, pos + 1);
      if (op_at >= nodes_.size()) break;
      auto info = BinaryOp(nodes_[op_at], ctx_.source);
      if (!info || info->precedence < min_prec) break;
      size_t rhs_at = Next(nodes_, op_at + 1);
      Result<int> rhs = -1;
      if (rhs_at < nodes_.size()) {
        size_t p = rhs_at;
        rhs = ParseExpr(p, info->precedence + 1);
        if (!rhs.ok()) return rhs;
        if (*rhs >= 0) pos = p;
      }
      if (*rhs < 0) {
        if (NeedsRewrite(info->op)) return Unsupported(nodes_[op_at]);
        break;
      }
      auto combined = Combine(left, op_at, info->op, *rhs);
      if (!combined.ok()) return combined;
      left = *combined;
    }
    return left;
  }

  bool NeedsRewrite(Op op) const {
    return op == Op::kPow || op == Op::kIntDiv || op == Op::kMod || op == Op::kConcat;
  }

  Result<int> Combine(int lhs, size_t op_at, Op op, int rhs) {
    const Expr& l = pool_[lhs];
    const Expr& r = pool_[rhs];
    Expr e;
    e.kind = Expr::kBinary;
    e.first = l.first;
    e.last = r.last;
    e.op = op_at;
    e.oper = op;
    e.lhs = lhs;
    e.rhs = rhs;
    const bool jet = ctx_.source == Source::Jet;
    // Dates are text on the target: date + 1 would not add a day.
    if ((l.hints.date || r.hints.date) && op != Op::kConcat)
      return Unsupported(nodes_[op_at], "arithmetic on a date");
    switch (op) {
      case Op::kPow:
      case Op::kIntDiv:
      case Op::kMod:
      case Op::kConcat:
        e.prec = kAtomPrec;  // written as a call
        e.changed = true;
        e.hints.text = op == Op::kConcat;
        e.hints.real = op == Op::kPow;
        break;
      case Op::kDiv:
        e.prec = kMulPrec;
        e.hints.real = jet || l.hints.real || r.hints.real;
        // Jet's / always divides in floating point; SQLite's int/int does not.
        e.changed = jet && !l.hints.real && !r.hints.real;
        break;
      case Op::kMul:
      case Op::kRemainder:
        e.prec = kMulPrec;
        e.hints.real = op == Op::kMul && (l.hints.real || r.hints.real);
        break;
      case Op::kAdd:
        // + joins texts when one side is certainly a text and the other is
        // not a number literal ('1' + 2 adds in both dialects). Columns are
        // of unknown type: two text columns added stay an addition.
        if ((l.hints.text || r.hints.text) && !(l.hints.text ? r.number : l.number)) {
          e.prec = kConcatPrec;
          e.changed = true;
          e.hints.text = true;
        } else {
          e.prec = kAddPrec;
          e.hints.real = l.hints.real || r.hints.real;
        }
        break;
      case Op::kSub:
        e.prec = kAddPrec;
        e.hints.real = l.hints.real || r.hints.real;
        break;
      case Op::kBitAnd:
        e.prec = kBitPrec;
        break;
    }
    if (e.prec != kAtomPrec && (l.prec < e.prec || (r.prec <= e.prec && r.kind != Expr::kAtom)))
      e.changed = true;  // the target's precedence needs parentheses
    e.changed = e.changed || l.changed || r.changed;
    return Add(std::move(e));
  }

  Nodes Slice(size_t from, size_t to_exclusive) const {
    return dialect::Slice(nodes_, from, to_exclusive);
  }

  // The operand's rendering, in parentheses when it binds looser than the
  // operator it stands beside.
  Nodes Operand(int index, int prec, bool right) {
    const Expr& o = pool_[index];
    Nodes out = Render(index);
    bool wrap = o.prec < prec || (right && o.prec == prec && o.kind != Expr::kAtom);
    if (wrap) return Nodes{Node::Group(std::move(out))};
    return out;
  }

  Nodes Render(int index) {
    const Expr& e = pool_[index];
    if (!e.changed) return Slice(e.first, e.last + 1);
    if (e.kind == Expr::kAtom) return e.replacement;
    if (e.kind == Expr::kUnary) {
      Nodes out = Slice(e.first, pool_[e.rhs].first);
      Nodes operand = Operand(e.rhs, kUnaryPrec, true);
      out.insert(out.end(), operand.begin(), operand.end());
      return out;
    }
    const Expr& l = pool_[e.lhs];
    const Expr& r = pool_[e.rhs];
    Nodes space_before = Slice(l.last + 1, e.op);
    Nodes space_after = Slice(e.op + 1, r.first);
    Nodes out;
    auto append = [&out](const Nodes& part) { out.insert(out.end(), part.begin(), part.end()); };
    auto helper = [&](Helper h) {
      Nodes args = Render(e.lhs);
      args.push_back(Node::Leaf(TokenKind::kPunct, ","));
      args.insert(args.end(), space_after.begin(), space_after.end());
      Nodes right = Render(e.rhs);
      args.insert(args.end(), right.begin(), right.end());
      out.push_back(Node::Leaf(TokenKind::kWord, std::string(ctx_.syntax.HelperName(h))));
      out.push_back(Node::Group(std::move(args)));
    };
    switch (e.oper) {
      case Op::kPow: helper(Helper::kPower); return out;
      case Op::kIntDiv: helper(Helper::kIntDiv); return out;
      case Op::kMod: helper(Helper::kMod); return out;
      case Op::kConcat: helper(Helper::kConcat); return out;
      default: break;
    }
    append(Operand(e.lhs, e.prec, false));
    append(space_before);
    if (e.oper == Op::kDiv && ctx_.source == Source::Jet && !l.hints.real && !r.hints.real) {
      // a / b -> a * 1.0 / b, spaced as the source spaced the /.
      out.push_back(Node::Leaf(TokenKind::kOperator, "*"));
      append(space_before);
      out.push_back(Node::Leaf(TokenKind::kNumber, "1.0"));
      append(space_before);
    }
    Node op = nodes_[e.op];
    if (e.oper == Op::kAdd && e.prec == kConcatPrec) op = Node::Leaf(TokenKind::kOperator, "||");
    out.push_back(op);
    append(space_after);
    append(Operand(e.rhs, e.prec, true));
    return out;
  }

  static constexpr int kMaxUnary = 100;

  Nodes& nodes_;
  const Context& ctx_;
  std::vector<Expr> pool_;
  int unary_depth_ = 0;
};

Status RewriteFlat(Nodes& nodes, const Context& ctx, Hints* single);

// The insides of SQL Server CASE blocks are expressions of their own.
Status RewriteCaseBlocks(Nodes& nodes, const Context& ctx) {
  if (ctx.source != Source::SqlServer) return Status::Ok();
  for (size_t i = 0; i < nodes.size(); ++i) {
    if (!nodes[i].Is("CASE")) continue;
    int depth = 0;
    size_t end = i;
    for (; end < nodes.size(); ++end) {
      if (nodes[end].Is("CASE")) ++depth;
      if (nodes[end].Is("END") && --depth == 0) break;
    }
    if (end >= nodes.size()) return Unsupported(nodes[i]);
    Nodes inner = Slice(nodes, i + 1, end);
    if (Status s = RewriteFlat(inner, ctx, nullptr); !s.ok()) return s;
    Erase(nodes, i + 1, end);
    InsertAt(nodes, i + 1, inner);
    i += inner.size() + 1;
  }
  return Status::Ok();
}

Status RewriteFlat(Nodes& nodes, const Context& ctx, Hints* single) {
  if (Status s = RewriteCaseBlocks(nodes, ctx); !s.ok()) return s;
  return LevelRewriter(nodes, ctx).Run(single);
}

// The groups inside `nodes` first (deepest first), then `nodes` itself;
// a group learns the hints of the one expression it holds.
Status RewriteLevel(Nodes& nodes, const Context& ctx, Hints* single) {
  for (Node& n : nodes) {
    if (!n.group) continue;
    Hints hints;
    if (Status s = RewriteLevel(n.kids, ctx, &hints); !s.ok()) return s;
    n.hints = hints;
  }
  return RewriteFlat(nodes, ctx, single);
}

}  // namespace

Status RewriteExpressions(Nodes& nodes, const Context& ctx) {
  return RewriteLevel(nodes, ctx, nullptr);
}

}  // namespace dravmor::dialect
