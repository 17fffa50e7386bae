// The shape of SELECT, DELETE, INSERT and UPDATE statements.
#include <cctype>
#include <optional>
#include <string>
#include <vector>

#include "engine/dialect/passes.h"
#include "engine/text.h"

namespace dravmor::dialect {

namespace {

bool IsCompoundWord(const Node& n) {
  return n.Is("UNION") || n.Is("EXCEPT") || n.Is("INTERSECT");
}

// Removes nodes [from, to] and the blanks after them.
void EraseWithTrailingSpace(Nodes& nodes, size_t from, size_t to) {
  size_t end = Next(nodes, to + 1);
  Erase(nodes, from, end);
}

bool IsWholeNumber(const Node& n) {
  return !n.group && n.token.kind == TokenKind::kNumber &&
         n.token.text.find_first_not_of("0123456789") == std::string::npos;
}

// The count of a TOP at `top`; `last` is set to the node that ends it.
Result<std::string> TopCount(const Nodes& nodes, size_t top, size_t& last) {
  size_t k = Next(nodes, top + 1);
  if (k >= nodes.size()) return Unsupported(nodes[top]);
  const Node& count = nodes[k];
  std::string text;
  if (IsWholeNumber(count)) {
    text = count.token.text;
  } else if (count.group) {  // SQL Server's TOP (n)
    size_t inner = Next(count.kids, 0);
    if (inner >= count.kids.size() || !IsWholeNumber(count.kids[inner]) ||
        Next(count.kids, inner + 1) != count.kids.size())
      return Unsupported("TOP " + TextOf(count));
    text = count.kids[inner].token.text;
  } else {
    return Unsupported("TOP " + TextOf(count));
  }
  size_t after = Next(nodes, k + 1);
  if (after < nodes.size() && nodes[after].Is("PERCENT"))
    return Unsupported("TOP " + text + " PERCENT");
  last = k;
  return text;
}

Status RewriteTopAt(Nodes& nodes, size_t select) {
  size_t top = Next(nodes, select + 1);
  if (top < nodes.size() && (nodes[top].Is("DISTINCT") || nodes[top].Is("ALL")))
    top = Next(nodes, top + 1);
  if (top >= nodes.size() || !nodes[top].Is("TOP")) return Status::Ok();
  size_t last = 0;
  auto count = TopCount(nodes, top, last);
  if (!count.ok()) return count.status();
  // The limit of one member of a UNION cannot follow it on SQLite, and
  // wrapping it would change which ORDER BY applies: refused.
  for (const Node& n : nodes)
    if (IsCompoundWord(n)) return Unsupported("TOP " + *count, "TOP in one part of a " + n.token.text);
  EraseWithTrailingSpace(nodes, top, last);
  size_t end = Prev(nodes, nodes.size());
  // Jet's TOP also returns rows tied with the last one in ORDER BY order;
  // LIMIT returns exactly n. The engine orders on unique keys.
  Nodes limit = {Node::Leaf(TokenKind::kSpace, " "), Node::Leaf(TokenKind::kWord, "LIMIT"),
                 Node::Leaf(TokenKind::kSpace, " "), Node::Leaf(TokenKind::kNumber, *count)};
  InsertAt(nodes, end + 1, limit);
  return Status::Ok();
}

// The value groups of "INSERT INTO t VALUES (...)" at `values`: their
// value count, the same for each group; nullopt when there is none or they
// differ (left to the backend to refuse).
std::optional<size_t> ValueCount(const Nodes& nodes, size_t values) {
  std::optional<size_t> count;
  for (size_t i = Next(nodes, values + 1); i < nodes.size(); i = Next(nodes, i + 1)) {
    if (nodes[i].IsPunct(',')) continue;
    if (!nodes[i].group) return std::nullopt;
    size_t n = Next(nodes[i].kids, 0) == nodes[i].kids.size() ? 0 : 1;
    for (const Node& kid : nodes[i].kids) n += kid.IsPunct(',');
    if (count && *count != n) return std::nullopt;
    count = n;
  }
  return count;
}

bool IsPlainName(const std::string& name) {
  if (name.empty() || (name[0] >= '0' && name[0] <= '9')) return false;
  for (char c : name) {
    unsigned char u = static_cast<unsigned char>(c);
    if (!(std::isalnum(u) || u == '_' || u >= 0x80)) return false;
  }
  return true;
}

Node ColumnName(const std::string& name, const Context& ctx) {
  if (IsPlainName(name)) return TargetName(Node::Leaf(TokenKind::kWord, name), ctx);
  return Node::Leaf(TokenKind::kName, ctx.syntax.QuoteName(name));
}

const std::string* FindIgnoringCase(const std::vector<std::string>& names,
                                    const std::string& name) {
  for (const std::string& n : names)
    if (EqualsIgnoreCase(n, name)) return &n;
  return nullptr;
}

// The columns that the values of a positional INSERT into a table of this
// layout go to: the canonical order when there is one value per canonical
// column and the table has them all (columns it has beyond them keep their
// defaults); else the stored order when there is one value per stored
// column (a statement written for the table's own layout). Any other count
// is refused, as Jet and SQL Server refuse it (PostgreSQL would fill the
// first columns and leave the rest empty).
Result<std::vector<std::string>> InsertColumns(const std::string& table,
                                               const TableLayout& layout, size_t values) {
  const std::string* missing = nullptr;
  if (!layout.canonical.empty() && values == layout.canonical.size()) {
    std::vector<std::string> columns;
    for (const std::string& c : layout.canonical) {
      const std::string* stored = FindIgnoringCase(layout.stored, c);
      if (!stored) {
        missing = &c;
        break;
      }
      columns.push_back(*stored);
    }
    if (!missing) return columns;
  }
  if (values == layout.stored.size()) return layout.stored;
  if (missing)
    return Status::Error(ErrorCode::kNoSuchField, "INSERT INTO " + table + " gives a value for " +
                                                      *missing + ", a column the table does not have");
  return Status::Error(ErrorCode::kValueCount,
                       "Number of query values and destination fields are not the same. (" +
                           table + ": " + std::to_string(values) + " values, " +
                           std::to_string(layout.stored.size()) + " columns)");
}

// "INSERT INTO t VALUES (...)" without a column list: the list its values
// mean is written out, so that they land by meaning, not by position.
Status NameInsertColumns(Nodes& nodes, const Context& ctx) {
  if (!ctx.hints) return Status::Ok();
  size_t into = Next(nodes, Next(nodes, 0) + 1);
  size_t table = Next(nodes, into + 1);
  size_t values = Next(nodes, table + 1);
  if (values >= nodes.size() || nodes[table].group || !nodes[values].Is("VALUES"))
    return Status::Ok();  // a column list, INSERT ... SELECT, a qualified name
  const std::string name = NameOf(nodes[table].token);
  auto layout = ctx.hints->tables.find(ToLowerAscii(name));
  if (layout == ctx.hints->tables.end()) return Status::Ok();  // the backend says why
  auto count = ValueCount(nodes, values);
  if (!count) return Status::Ok();
  auto columns = InsertColumns(name, layout->second, *count);
  if (!columns.ok()) return columns.status();
  Nodes list;
  for (const std::string& column : *columns) {
    if (!list.empty()) list.push_back(Node::Leaf(TokenKind::kPunct, ","));
    list.push_back(ColumnName(column, ctx));
  }
  InsertAt(nodes, table + 1, {Node::Leaf(TokenKind::kSpace, " "), Node::Group(std::move(list))});
  return Status::Ok();
}

}  // namespace

Status RewriteTop(Nodes& nodes, const Context& ctx) {
  for (Node& n : nodes)
    if (n.group)
      if (Status s = RewriteTop(n.kids, ctx); !s.ok()) return s;
  bool in_select = false;
  for (size_t i = 0; i < nodes.size(); ++i) {
    if (nodes[i].synthetic) continue;
    if (nodes[i].Is("SELECT")) {
      if (Status s = RewriteTopAt(nodes, i); !s.ok()) return s;
      in_select = true;
    } else if (in_select && nodes[i].Is("INTO")) {
      return Unsupported(nodes[i], "SELECT ... INTO makes a table");
    } else if (nodes[i].Is("TOP")) {
      return Unsupported(nodes[i]);  // TOP anywhere but after SELECT
    }
  }
  return Status::Ok();
}

Status RewriteDelete(Nodes& nodes, const Context&) {
  size_t del = Next(nodes, 0);
  size_t k = Next(nodes, del + 1);
  if (k >= nodes.size()) return Unsupported(nodes[del]);
  if (nodes[k].IsOp("*")) {  // Jet's DELETE * FROM
    EraseWithTrailingSpace(nodes, k, k);
  } else if (!nodes[k].Is("FROM")) {
    // Jet's DELETE t.* FROM t, SQL Server's DELETE t FROM t and DELETE t.
    size_t name_end = k;
    size_t dot = Next(nodes, k + 1);
    if (dot < nodes.size() && nodes[dot].IsPunct('.')) {
      size_t star = Next(nodes, dot + 1);
      if (star >= nodes.size() || !nodes[star].IsOp("*")) return Unsupported(nodes[k]);
      name_end = star;
    }
    size_t from = Next(nodes, name_end + 1);
    if (from < nodes.size() && nodes[from].Is("FROM")) {
      size_t table = Next(nodes, from + 1);
      if (table >= nodes.size() || !SameName(nodes[table], nodes[k]))
        return Unsupported(nodes[k]);
      EraseWithTrailingSpace(nodes, k, name_end);
    } else if (name_end == k) {
      InsertAt(nodes, k, {Node::Leaf(TokenKind::kWord, "FROM"), Node::Leaf(TokenKind::kSpace, " ")});
    } else {
      return Unsupported(nodes[k]);
    }
  }
  // DELETE FROM a join, or SQL Server's second FROM: no SQLite form.
  size_t from = Next(nodes, del + 1);
  size_t table = Next(nodes, from + 1);
  size_t after = Next(nodes, table + 1);
  if (after < nodes.size()) {
    const Node& n = nodes[after];
    if (n.Is("INNER") || n.Is("LEFT") || n.Is("RIGHT") || n.Is("JOIN") || n.Is("FROM") ||
        n.IsPunct(','))
      return Unsupported(n);
  }
  return Status::Ok();
}

Status RewriteInsert(Nodes& nodes, const Context& ctx) {
  size_t ins = Next(nodes, 0);
  size_t k = Next(nodes, ins + 1);
  if (k < nodes.size() && !nodes[k].Is("INTO") && !nodes[k].group)
    InsertAt(nodes, k,  // SQL Server's INSERT t
             {Node::Leaf(TokenKind::kWord, "INTO"), Node::Leaf(TokenKind::kSpace, " ")});
  return NameInsertColumns(nodes, ctx);
}

Status RewriteUpdate(Nodes& nodes, const Context&) {
  size_t upd = Next(nodes, 0);
  size_t table = Next(nodes, upd + 1);
  size_t set = Next(nodes, table + 1);
  if (table >= nodes.size()) return Unsupported(nodes[upd]);
  if (set >= nodes.size() || !nodes[set].Is("SET"))
    return Unsupported(set < nodes.size() ? nodes[set] : nodes[table]);  // Jet's UPDATE a INNER JOIN b
  // SET t.c = ...: SQLite takes no qualifier on an assigned column.
  bool at_target = true;
  for (size_t i = Next(nodes, set + 1); i < nodes.size(); i = Next(nodes, i + 1)) {
    Node& n = nodes[i];
    if (n.Is("WHERE")) break;
    if (n.Is("FROM")) return Unsupported(n);  // SQL Server's UPDATE ... FROM
    if (n.IsPunct(',')) {
      at_target = true;
      continue;
    }
    if (!at_target) continue;
    at_target = false;
    size_t dot = Next(nodes, i + 1);
    if (dot < nodes.size() && nodes[dot].IsPunct('.')) {
      if (!SameName(n, nodes[table])) return Unsupported(n);
      size_t column = Next(nodes, dot + 1);
      Erase(nodes, i, column);
    }
  }
  return Status::Ok();
}

}  // namespace dravmor::dialect
