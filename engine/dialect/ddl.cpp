// CREATE TABLE, ALTER TABLE, CREATE INDEX, CREATE VIEW and DROP: names
// re-quoted where the target reserves them, column types mapped, and the
// forms SQLite lacks (ALTER COLUMN, several columns in one ADD) reshaped.
#include <optional>
#include <string>
#include <vector>

#include "engine/dialect/passes.h"
#include "engine/dialect/types.h"
#include "engine/text.h"

namespace dravmor::dialect {

namespace {

Node Word(std::string text) { return Node::Leaf(TokenKind::kWord, std::move(text)); }
Node Space() { return Node::Leaf(TokenKind::kSpace, " "); }

bool IsName(const Node& n) {
  return !n.group && (n.token.kind == TokenKind::kName || n.token.kind == TokenKind::kWord);
}

// Splits a group's contents at its commas; each part keeps its blanks.
std::vector<Nodes> SplitAtCommas(const Nodes& kids) {
  std::vector<Nodes> parts(1);
  for (const Node& k : kids) {
    if (k.IsPunct(',')) parts.emplace_back();
    else parts.back().push_back(k);
  }
  return parts;
}

Nodes Trimmed(const Nodes& nodes) {
  size_t first = Next(nodes, 0);
  size_t last = Prev(nodes, nodes.size());
  if (first >= nodes.size() || last == std::string::npos) return {};
  return Slice(nodes, first, last + 1);
}

// A name at `i` (one part: owner-qualified names are refused).
Result<size_t> NameAt(const Nodes& nodes, size_t i) {
  if (i >= nodes.size()) return Unsupported(nodes.empty() ? "" : TextOf(nodes.back()));
  if (!IsName(nodes[i])) return Unsupported(nodes[i]);
  size_t next = Next(nodes, i + 1);
  if (next < nodes.size() && nodes[next].IsPunct('.')) return Unsupported(nodes[i]);
  return i;
}

// The names in a column list "(a, b DESC)", re-quoted in place.
Status QuoteNamesInList(Node& group, const Context& ctx) {
  for (Node& k : group.kids) {
    if (k.group) return Unsupported(k);
    if (IsName(k) && !k.Is("ASC") && !k.Is("DESC")) k = TargetName(k, ctx);
  }
  return Status::Ok();
}

Status RewriteDmlPart(Nodes& nodes, const Context& ctx) {
  if (Status s = RewriteLiterals(nodes, ctx); !s.ok()) return s;
  if (Status s = RewriteTop(nodes, ctx); !s.ok()) return s;
  return RewriteExpressions(nodes, ctx);
}

bool IsLiteral(const Nodes& value) {
  if (value.size() == 1)
    return !value[0].group && (value[0].token.kind == TokenKind::kNumber ||
                               value[0].token.kind == TokenKind::kString || value[0].Is("NULL"));
  size_t sign = Next(value, 0), number = Next(value, sign + 1);
  return value.size() >= 2 && (value[sign].IsOp("-") || value[sign].IsOp("+")) &&
         number < value.size() && !value[number].group &&
         value[number].token.kind == TokenKind::kNumber && Next(value, number + 1) == value.size();
}

bool StartsConstraint(const Node& n) {
  return n.Is("NOT") || n.Is("NULL") || n.Is("PRIMARY") || n.Is("UNIQUE") ||
         n.Is("CONSTRAINT") || n.Is("CHECK") || n.Is("REFERENCES") || n.Is("IDENTITY") ||
         n.Is("COLLATE") || n.Is("DEFAULT") || n.Is("WITH");
}

// Where a column definition stands: SQLite's ADD COLUMN takes no key and
// only literal defaults; a changed type takes nothing but the type.
enum class Use { kCreate, kAdd, kAlter };

struct Column {
  Nodes nodes;        // the definition as written for the target
  Node name;
  std::string canonical_type;
  bool primary_key = false;
  bool counter = false;
};

// One column definition: name, type, constraints.
Result<Column> TranslateColumn(const Nodes& item, const Context& ctx, Use use) {
  const bool adding = use != Use::kCreate;
  Column col;
  size_t f = Next(item, 0);
  auto name_at = NameAt(item, f);
  if (!name_at.ok()) return name_at.status();
  col.name = item[f];
  size_t t = Next(item, f + 1);
  if (t >= item.size() || item[t].group || item[t].token.kind != TokenKind::kWord)
    return Unsupported(t < item.size() ? item[t] : item[f]);
  std::string type_name = item[t].token.text;
  size_t k = t + 1;  // the first node after the type, blanks kept
  size_t probe = Next(item, k);
  if (item[t].Is("DOUBLE") && probe < item.size() && item[probe].Is("PRECISION")) {
    type_name += " PRECISION";
    k = probe + 1;
    probe = Next(item, k);
  }
  std::vector<long> args;
  if (probe < item.size() && item[probe].group) {
    k = probe;
    for (const Nodes& part : SplitAtCommas(item[k].kids)) {
      Nodes p = Trimmed(part);
      std::optional<long> n = p.size() == 1 ? WholeNumber(p[0]) : std::nullopt;
      if (!n) return Unsupported(type_name + TextOf(item[k]));
      args.push_back(*n);
    }
    ++k;
  }
  auto type = MapColumnType(type_name, args, ctx.source, ctx.target);
  if (!type.ok()) return type.status();
  col.counter = type->auto_increment;

  Nodes rest;  // the constraints, as the target takes them
  bool has_default = false;
  while (k < item.size()) {
    const Node& n = item[k];
    if (n.IsSpace()) {
      rest.push_back(n);
      ++k;
      continue;
    }
    size_t next = Next(item, k + 1);
    if (n.Is("NOT") && next < item.size() && item[next].Is("NULL")) {
      Append(rest, item, k, next + 1);
      k = next + 1;
    } else if (n.Is("NULL")) {
      rest.push_back(n);
      k = next;
    } else if (n.Is("CONSTRAINT")) {
      auto cname = NameAt(item, next);
      if (!cname.ok()) return cname.status();
      rest.push_back(n);
      Append(rest, item, k + 1, next);
      rest.push_back(TargetName(item[next], ctx));
      k = next + 1;
    } else if (n.Is("PRIMARY") || n.Is("UNIQUE")) {
      if (adding) return Unsupported(n);
      size_t end = k;
      if (n.Is("PRIMARY")) {
        if (next >= item.size() || !item[next].Is("KEY")) return Unsupported(n);
        end = next;
        col.primary_key = true;
      }
      Append(rest, item, k, end + 1);
      k = end + 1;
      for (size_t j = Next(item, k); j < item.size(); j = Next(item, k)) {
        if (item[j].Is("CLUSTERED") || item[j].Is("NONCLUSTERED")) {
          k = j + 1;  // storage detail of SQL Server
        } else if (item[j].Is("ASC") || item[j].Is("DESC")) {
          Append(rest, item, k, j + 1);
          k = j + 1;
        } else {
          break;
        }
      }
      if (col.primary_key && col.counter && ctx.target == Target::Sqlite) {
        rest.push_back(Space());
        rest.push_back(Word("AUTOINCREMENT"));
      }
    } else if (n.Is("DEFAULT")) {
      // The value runs to the next constraint; a NULL right after DEFAULT is
      // the value itself.
      size_t end = next < item.size() ? next + 1 : next;
      while (end < item.size() && !StartsConstraint(item[end])) ++end;
      Nodes value = Trimmed(Slice(item, next, end));
      if (value.empty()) return Unsupported(n);
      if (Status s = RewriteDmlPart(value, ctx); !s.ok()) return s;
      Append(rest, item, k, next);
      if (IsLiteral(value) || (value.size() == 1 && value[0].group)) {
        if (adding && !IsLiteral(value)) return Unsupported("DEFAULT " + Render(value));
        rest.insert(rest.end(), value.begin(), value.end());
      } else {
        // SQLite wants an expression default in parentheses; ADD COLUMN
        // takes none at all.
        if (adding) return Unsupported("DEFAULT " + Render(value));
        rest.push_back(Node::Group(value));
      }
      has_default = true;
      k = end;
      // keep the blanks that followed the value
      while (k > next && item[k - 1].IsSpace()) --k;
    } else if (n.Is("IDENTITY")) {
      // SQL Server's counter property; only the plain (1, 1) is SQLite's.
      size_t end = k;
      if (next < item.size() && item[next].group) {
        std::string seed = Render(Trimmed(item[next].kids));
        if (seed != "1,1" && seed != "1, 1") return Unsupported("IDENTITY" + TextOf(item[next]));
        end = next;
      }
      if (type->ado_type != AdoType::kInteger && type->ado_type != AdoType::kSmallInt &&
          type->ado_type != AdoType::kUnsignedTinyInt && type->ado_type != AdoType::kBigInt)
        return Unsupported(n);
      col.counter = true;
      k = end + 1;
      while (k < item.size() && item[k].IsSpace() && !rest.empty() && rest.back().IsSpace()) ++k;
    } else if (n.Is("REFERENCES")) {
      auto table = NameAt(item, next);
      if (!table.ok()) return table.status();
      Append(rest, item, k, next);
      rest.push_back(TargetName(item[next], ctx));
      k = next + 1;
      size_t list = Next(item, k);
      if (list < item.size() && item[list].group) {
        Node g = item[list];
        if (Status s = QuoteNamesInList(g, ctx); !s.ok()) return s;
        Append(rest, item, k, list);
        rest.push_back(g);
        k = list + 1;
      }
    } else if (n.Is("CHECK") && next < item.size() && item[next].group) {
      Node g = item[next];
      if (Status s = RewriteDmlPart(g.kids, ctx); !s.ok()) return s;
      Append(rest, item, k, next);
      rest.push_back(g);
      k = next + 1;
    } else if (n.Is("COLLATE") && ctx.source == Source::SqlServer && next < item.size() &&
               IsName(item[next])) {
      // A SQL Server collation: _CS_ ones compare letter case, the rest do not.
      if (NameOf(item[next].token).find("_CS_") != std::string::npos) type->collation.clear();
      k = next + 1;
      while (k < item.size() && item[k].IsSpace() && !rest.empty() && rest.back().IsSpace()) ++k;
    } else {
      return Unsupported(n);
    }
  }
  if (col.counter && adding) return Unsupported(TextOf(item[t]));
  // Jet gives a Yes/No column No, never Null, where no value is written.
  if (type->ado_type == AdoType::kBoolean && ctx.source == Source::Jet && !has_default &&
      use != Use::kAlter) {
    size_t end = Prev(rest, rest.size());
    Nodes tail = {Space(), Word("DEFAULT"), Space(), Node::Leaf(TokenKind::kNumber, "0")};
    InsertAt(rest, end == std::string::npos ? 0 : end + 1, tail);
  }
  col.canonical_type = type->canonical;
  col.nodes = Slice(item, 0, f);
  col.nodes.push_back(TargetName(item[f], ctx));
  Append(col.nodes, item, f + 1, t);
  col.nodes.push_back(Node::Leaf(TokenKind::kWord, type->Definition()));
  col.nodes.insert(col.nodes.end(), rest.begin(), rest.end());
  return col;
}

// PRIMARY KEY (...), UNIQUE (...), FOREIGN KEY (...) REFERENCES t (...),
// CHECK (...), each optionally after CONSTRAINT name.
Result<Nodes> TranslateTableConstraint(const Nodes& item, const Context& ctx,
                                       std::vector<std::string>* key_columns) {
  Nodes out;
  for (size_t i = 0; i < item.size(); ++i) {
    const Node& n = item[i];
    if (n.Is("CLUSTERED") || n.Is("NONCLUSTERED")) {
      if (!out.empty() && out.back().IsSpace() && i + 1 < item.size() && item[i + 1].IsSpace()) ++i;
      continue;
    }
    if (n.group) {
      Node g = n;
      size_t prev = Prev(out, out.size());
      if (prev != std::string::npos && out[prev].Is("CHECK")) {
        if (Status s = RewriteDmlPart(g.kids, ctx); !s.ok()) return s;
      } else {
        if (Status s = QuoteNamesInList(g, ctx); !s.ok()) return s;
        if (prev != std::string::npos && out[prev].Is("KEY") && key_columns && key_columns->empty()) {
          size_t p2 = Prev(out, prev);
          if (p2 != std::string::npos && out[p2].Is("PRIMARY"))
            for (const Nodes& part : SplitAtCommas(g.kids)) {
              Nodes p = Trimmed(part);
              key_columns->push_back(p.size() == 1 ? NameOf(p[0].token) : "");
            }
        }
      }
      out.push_back(std::move(g));
      continue;
    }
    if (IsName(n) && !n.Is("CONSTRAINT") && !n.Is("PRIMARY") && !n.Is("KEY") && !n.Is("UNIQUE") &&
        !n.Is("FOREIGN") && !n.Is("REFERENCES") && !n.Is("CHECK") && !n.Is("ON") &&
        !n.Is("DELETE") && !n.Is("UPDATE") && !n.Is("CASCADE") && !n.Is("SET") &&
        !n.Is("NULL") && !n.Is("NO") && !n.Is("ACTION")) {
      out.push_back(TargetName(n, ctx));  // the constraint's or referenced table's name
      continue;
    }
    out.push_back(n);
  }
  return out;
}

// PostgreSQL keeps names in lower case: each table and column carries its
// declared name (and the column its type in the engine's spelling) as a
// comment, from which the backend gives result columns and table lists their
// declared spelling and field type back.
std::string TableComment(const Context& ctx, const std::string& table) {
  return "COMMENT ON TABLE " + ctx.syntax.QuoteName(table) + " IS '" + SqlQuote(table) + "'";
}
std::string ColumnComment(const Context& ctx, const std::string& table, const std::string& column,
                          const std::string& canonical_type) {
  return "COMMENT ON COLUMN " + ctx.syntax.QuoteName(table) + "." + ctx.syntax.QuoteName(column) +
         " IS '" + SqlQuote(column + "\t" + canonical_type) + "'";
}

bool IsTableConstraint(const Nodes& item) {
  size_t f = Next(item, 0);
  if (f >= item.size()) return false;
  const Node& n = item[f];
  return n.Is("CONSTRAINT") || n.Is("PRIMARY") || n.Is("UNIQUE") || n.Is("FOREIGN") ||
         n.Is("CHECK");
}

Result<Translation> CreateTable(Nodes& nodes, size_t table_kw, const Context& ctx) {
  auto name = NameAt(nodes, Next(nodes, table_kw + 1));
  if (!name.ok()) return name.status();
  size_t g = Next(nodes, *name + 1);
  if (g >= nodes.size() || !nodes[g].group) return Unsupported(g < nodes.size() ? nodes[g] : nodes[*name]);
  if (size_t after = Next(nodes, g + 1); after < nodes.size()) return Unsupported(nodes[after]);
  const std::string table = NameOf(nodes[*name].token);
  nodes[*name] = TargetName(nodes[*name], ctx);

  std::vector<Nodes> items = SplitAtCommas(nodes[g].kids);
  std::vector<std::optional<Column>> columns(items.size());
  std::vector<std::string> key_columns;
  size_t key_item = items.size();
  std::vector<Nodes> out(items.size());
  for (size_t i = 0; i < items.size(); ++i) {
    if (Trimmed(items[i]).empty()) return Unsupported(TextOf(nodes[g]));
    if (IsTableConstraint(items[i])) {
      size_t before = key_columns.size();
      auto c = TranslateTableConstraint(items[i], ctx, &key_columns);
      if (!c.ok()) return c.status();
      if (key_columns.size() != before) key_item = i;
      out[i] = std::move(*c);
    } else {
      auto c = TranslateColumn(items[i], ctx, Use::kCreate);
      if (!c.ok()) return c.status();
      out[i] = c->nodes;
      columns[i] = std::move(*c);
    }
  }
  // A counter is SQLite's INTEGER PRIMARY KEY AUTOINCREMENT: it must be the
  // one key column.
  size_t counters = 0;
  for (const auto& c : columns) counters += c && c->counter;
  for (size_t i = 0; i < items.size() && ctx.target == Target::Sqlite; ++i) {
    if (!columns[i] || !columns[i]->counter) continue;
    if (counters > 1) return Unsupported(TextOf(columns[i]->name), "a second counter");
    if (columns[i]->primary_key) break;
    Node key = Node::Leaf(TokenKind::kWord, key_columns.empty() ? "" : key_columns[0]);
    if (key_columns.size() != 1 || !SameName(key, columns[i]->name))
      return Unsupported(TextOf(columns[i]->name), "a counter must be the primary key");
    Nodes& c = out[i];
    size_t end = Prev(c, c.size());
    Nodes tail = {Space(), Word("PRIMARY"), Space(), Word("KEY"), Space(), Word("AUTOINCREMENT")};
    InsertAt(c, end + 1, tail);
    out.erase(out.begin() + static_cast<long>(key_item));
    columns.erase(columns.begin() + static_cast<long>(key_item));
    break;
  }
  Nodes kids;
  for (size_t i = 0; i < out.size(); ++i) {
    if (i) kids.push_back(Node::Leaf(TokenKind::kPunct, ","));
    kids.insert(kids.end(), out[i].begin(), out[i].end());
  }
  nodes[g].kids = std::move(kids);
  Translation t = OneStatement(Render(nodes));
  if (ctx.target == Target::Postgres) {
    t.statements.push_back(TableComment(ctx, table));
    for (const auto& c : columns)
      if (c) t.statements.push_back(ColumnComment(ctx, table, NameOf(c->name.token), c->canonical_type));
  }
  return t;
}

Result<Translation> AlterTable(Nodes& nodes, size_t table_kw, const Context& ctx) {
  auto name = NameAt(nodes, Next(nodes, table_kw + 1));
  if (!name.ok()) return name.status();
  size_t action = Next(nodes, *name + 1);
  if (action >= nodes.size()) return Unsupported(nodes[*name]);
  const Node target_name = TargetName(nodes[*name], ctx);
  Nodes prefix = Slice(nodes, 0, *name);
  prefix.push_back(target_name);
  Append(prefix, nodes, *name + 1, action);
  size_t k = Next(nodes, action + 1);
  if (k < nodes.size() && nodes[k].Is("COLUMN")) k = Next(nodes, k + 1);
  if (k >= nodes.size()) return Unsupported(nodes[action]);
  Nodes rest = Slice(nodes, k, nodes.size());

  if (nodes[action].Is("ADD")) {
    if (IsTableConstraint(rest)) return Unsupported(rest[0]);  // SQLite adds no key
    Translation t;
    for (const Nodes& item : SplitAtCommas(rest)) {
      auto col = TranslateColumn(item, ctx, Use::kAdd);
      if (!col.ok()) return col.status();
      Nodes statement = prefix;
      statement.push_back(Word("ADD"));
      statement.push_back(Space());
      statement.push_back(Word("COLUMN"));
      statement.push_back(Space());
      Nodes def = Trimmed(col->nodes);
      statement.insert(statement.end(), def.begin(), def.end());
      t.statements.push_back(Render(statement));
      if (ctx.target == Target::Postgres)
        t.statements.push_back(ColumnComment(ctx, NameOf(nodes[*name].token),
                                             NameOf(col->name.token), col->canonical_type));
    }
    return t;
  }
  if (nodes[action].Is("DROP")) {
    if (rest[0].Is("CONSTRAINT")) return Unsupported(rest[0]);
    Translation t;
    for (const Nodes& item : SplitAtCommas(rest)) {
      Nodes column = Trimmed(item);
      if (column.size() != 1 || !IsName(column[0])) return Unsupported(Render(item));
      Nodes statement = prefix;
      Nodes tail = {Word("DROP"), Space(), Word("COLUMN"), Space(), TargetName(column[0], ctx)};
      statement.insert(statement.end(), tail.begin(), tail.end());
      t.statements.push_back(Render(statement));
    }
    return t;
  }
  if (nodes[action].Is("ALTER")) {
    // SQLite has no ALTER COLUMN: the backend rebuilds the table.
    auto col = TranslateColumn(rest, ctx, Use::kAlter);
    if (!col.ok()) return col.status();
    size_t type_at = Next(col->nodes, Next(col->nodes, 0) + 1);
    // NULL is what the rebuilt column allows anyway; NOT NULL would need
    // every row checked and is not taken.
    for (size_t i = Next(col->nodes, type_at + 1); i < col->nodes.size();
         i = Next(col->nodes, i + 1))
      if (!col->nodes[i].Is("NULL")) return Unsupported(col->nodes[i]);
    Translation t;
    t.alter_column = AlterColumn{NameOf(nodes[*name].token), NameOf(col->name.token),
                                 col->nodes[type_at].token.text, col->canonical_type};
    return t;
  }
  return Unsupported(nodes[action]);
}

Result<Translation> CreateIndex(Nodes& nodes, size_t create, const Context& ctx) {
  for (size_t i = Next(nodes, create + 1); i < nodes.size(); i = Next(nodes, i + 1)) {
    Node& n = nodes[i];
    if (n.Is("CLUSTERED") || n.Is("NONCLUSTERED")) {
      size_t end = Next(nodes, i + 1);
      Erase(nodes, i, end);
      --i;
      continue;
    }
    if (n.Is("UNIQUE") || n.Is("INDEX") || n.Is("ON") || n.Is("ASC") || n.Is("DESC")) continue;
    if (n.group) {
      if (Status s = QuoteNamesInList(n, ctx); !s.ok()) return s;
      if (size_t after = Next(nodes, i + 1); after < nodes.size()) return Unsupported(nodes[after]);
      continue;
    }
    if (!IsName(n) || n.Is("WITH")) return Unsupported(n);  // Jet's WITH PRIMARY ...
    auto at = NameAt(nodes, i);
    if (!at.ok()) return at.status();
    n = TargetName(n, ctx);
  }
  return OneStatement(Render(nodes));
}

Result<Translation> Drop(Nodes& nodes, size_t drop, const Context& ctx) {
  size_t what = Next(nodes, drop + 1);
  if (what >= nodes.size()) return Unsupported(nodes[drop]);
  size_t n1 = Next(nodes, what + 1);
  if (nodes[what].Is("TABLE") || nodes[what].Is("VIEW")) {
    auto name = NameAt(nodes, n1);
    if (!name.ok()) return name.status();
    if (size_t after = Next(nodes, n1 + 1); after < nodes.size()) return Unsupported(nodes[after]);
    nodes[n1] = TargetName(nodes[n1], ctx);
    return OneStatement(Render(nodes));
  }
  if (!nodes[what].Is("INDEX") || n1 >= nodes.size() || !IsName(nodes[n1]))
    return Unsupported(nodes[what]);
  // Jet's DROP INDEX i ON t and SQL Server's DROP INDEX t.i: SQLite index
  // names are per database.
  size_t index = n1;
  size_t n2 = Next(nodes, n1 + 1);
  if (n2 < nodes.size() && nodes[n2].IsPunct('.')) {
    index = Next(nodes, n2 + 1);
    if (index >= nodes.size() || !IsName(nodes[index])) return Unsupported(nodes[n1]);
    if (Next(nodes, index + 1) < nodes.size()) return Unsupported(nodes[Next(nodes, index + 1)]);
  } else if (n2 < nodes.size()) {
    size_t table = Next(nodes, n2 + 1);
    if (!nodes[n2].Is("ON") || table >= nodes.size() || !IsName(nodes[table]) ||
        Next(nodes, table + 1) < nodes.size())
      return Unsupported(nodes[n2]);
  }
  Nodes out = Slice(nodes, 0, n1);
  out.push_back(TargetName(nodes[index], ctx));
  return OneStatement(Render(out));
}

Result<Translation> CreateView(Nodes& nodes, size_t view, const Context& ctx) {
  auto name = NameAt(nodes, Next(nodes, view + 1));
  if (!name.ok()) return name.status();
  nodes[*name] = TargetName(nodes[*name], ctx);
  size_t as = Next(nodes, *name + 1);
  if (as < nodes.size() && nodes[as].group) {
    if (Status s = QuoteNamesInList(nodes[as], ctx); !s.ok()) return s;
    as = Next(nodes, as + 1);
  }
  if (as >= nodes.size() || !nodes[as].Is("AS")) return Unsupported(as < nodes.size() ? nodes[as] : nodes[*name]);
  Nodes body = Slice(nodes, as + 1, nodes.size());
  if (Status s = RewriteDmlPart(body, ctx); !s.ok()) return s;
  nodes.resize(as + 1);
  nodes.insert(nodes.end(), body.begin(), body.end());
  return OneStatement(Render(nodes));
}

}  // namespace

Result<Translation> TranslateDdl(Nodes& nodes, const Context& ctx) {
  size_t verb = Next(nodes, 0);
  size_t what = Next(nodes, verb + 1);
  if (what >= nodes.size()) return Unsupported(nodes[verb]);
  if (nodes[verb].Is("DROP")) return Drop(nodes, verb, ctx);
  if (nodes[verb].Is("ALTER")) {
    if (!nodes[what].Is("TABLE")) return Unsupported(nodes[what]);
    return AlterTable(nodes, what, ctx);
  }
  // CREATE
  if (nodes[what].Is("TABLE")) return CreateTable(nodes, what, ctx);
  if (nodes[what].Is("VIEW")) return CreateView(nodes, what, ctx);
  if (nodes[what].Is("INDEX") || nodes[what].Is("UNIQUE") || nodes[what].Is("CLUSTERED") ||
      nodes[what].Is("NONCLUSTERED"))
    return CreateIndex(nodes, verb, ctx);
  return Unsupported(nodes[what]);
}

Result<DeclaredTable> DeclaredColumns(std::string_view create_table, Source source) {
  auto tokens = Tokenize(create_table, source);
  if (!tokens.ok()) return tokens.status();
  auto tree = BuildTree(*tokens);
  if (!tree.ok()) return tree.status();
  const Nodes& nodes = *tree;
  size_t create = Next(nodes, 0);
  size_t table = Next(nodes, create + 1);
  if (table >= nodes.size() || !nodes[create].Is("CREATE") || !nodes[table].Is("TABLE"))
    return Unsupported(create < nodes.size() ? TextOf(nodes[create]) : "", "not a CREATE TABLE");
  auto name = NameAt(nodes, Next(nodes, table + 1));
  if (!name.ok()) return name.status();
  size_t g = Next(nodes, *name + 1);
  if (g >= nodes.size() || !nodes[g].group) return Unsupported(nodes[*name]);
  DeclaredTable out{NameOf(nodes[*name].token), {}};
  for (const Nodes& item : SplitAtCommas(nodes[g].kids)) {
    if (IsTableConstraint(item)) continue;
    auto column = NameAt(item, Next(item, 0));
    if (!column.ok()) return column.status();
    out.columns.push_back(NameOf(item[*column].token));
  }
  return out;
}

}  // namespace dravmor::dialect
