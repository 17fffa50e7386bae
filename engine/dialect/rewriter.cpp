// The rewrite rules, pass by pass (each pass's file says why):
//  literals.cpp    Jet #dates# -> 'YYYY-MM-DD HH:MM:SS'; Jet "text" -> 'text';
//                  True/False -> -1/0 (Jet), 1/0 (SQL Server); N'x' -> 'x';
//                  names SQLite reserves (Limit, Case, IsNull(, Left() quoted.
//  dml.cpp         DELETE * / DELETE t.* / DELETE t -> DELETE FROM t;
//                  INSERT t -> INSERT INTO t; SET t.c = -> SET c =;
//                  SELECT TOP n -> LIMIT n at the end of that SELECT.
//  expressions.cpp Jet & \ Mod ^ -> helper calls; Jet / divides in floating
//                  point; + beside a text joins texts; parentheses where the
//                  target's precedence differs.
//  booleans.cpp    Yes/No column = true literal -> column <> 0.
//  calls.cpp       CONVERT, CAST, LEN, CHARINDEX of SQL Server; IsNull counts.
//  postgres_like.cpp  LIKE -> ILIKE ... ESCAPE '' (PostgreSQL only).
//  ddl.cpp         column types (types.cpp), ADD of several columns split,
//                  ALTER COLUMN handed to the backend, counters, defaults.
// Known limits: TOP returns exactly n rows (Jet adds rows tied with the
// last); + between two text columns stays an addition (their types are not
// known here); arithmetic on date columns is not translated (on date
// literals and date functions it is refused).
#include "engine/dialect/rewriter.h"

#include <cctype>

#include "engine/dialect/passes.h"
#include "engine/dialect/syntax.h"
#include "engine/dialect/target.h"
#include "engine/dialect/tokenizer.h"
#include "engine/text.h"

namespace dravmor::dialect {

namespace {

// True when a word would run on from the number before it.
bool StartsWord(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  return std::isalpha(u) || u == '_' || u >= 0x80;
}

// Renders the tree, keeping apart two tokens that would otherwise fuse on
// the target: Jet's 5--3 is 5 minus -3 (not a comment), and Jet and SQL
// Server read 5AND as 5 AND, where the targets see one bad token.
void RenderSeparated(const Nodes& nodes, std::string& out) {
  auto append = [&out](const std::string& text) {
    if (!out.empty() && !text.empty() &&
        ((out.back() == '-' && text.front() == '-') || (out.back() == '/' && text.front() == '*') ||
         (std::isdigit(static_cast<unsigned char>(out.back())) && StartsWord(text.front()))))
      out += ' ';
    out += text;
  };
  for (const Node& n : nodes) {
    if (n.group) {
      append("(");
      RenderSeparated(n.kids, out);
      out += ')';
    } else {
      append(n.token.text);
    }
  }
}

Result<Translation> TranslateDml(Nodes& nodes, const Node& verb, const Context& ctx) {
  if (Status s = RewriteLiterals(nodes, ctx); !s.ok()) return s;
  Status shape;
  if (verb.Is("DELETE")) shape = RewriteDelete(nodes, ctx);
  else if (verb.Is("INSERT")) shape = RewriteInsert(nodes, ctx);
  else if (verb.Is("UPDATE")) shape = RewriteUpdate(nodes, ctx);
  if (!shape.ok()) return shape;
  if (Status s = RewriteAssignments(nodes, ctx); !s.ok()) return s;
  if (Status s = RewriteTop(nodes, ctx); !s.ok()) return s;
  if (Status s = RewriteRowOrder(nodes, ctx); !s.ok()) return s;
  if (Status s = RewriteBooleanTests(nodes, ctx); !s.ok()) return s;
  if (Status s = RewriteExpressions(nodes, ctx); !s.ok()) return s;
  if (Status s = RewriteConditions(nodes, ctx); !s.ok()) return s;
  if (Status s = RewriteLikeForPostgres(nodes, ctx); !s.ok()) return s;
  if (Status s = RewriteNullOrder(nodes, ctx); !s.ok()) return s;
  std::string text;
  RenderSeparated(nodes, text);
  return OneStatement(std::move(text));
}

Result<Translation> TranslateStatement(Nodes& nodes, const Context& ctx) {
  size_t first = Next(nodes, 0);
  const Node& verb = nodes[first];
  // SQLite takes no parentheses around the SELECTs of a UNION.
  if (verb.group) return Unsupported(verb, "a SELECT in parentheses");
  if (verb.Is("SELECT") || verb.Is("INSERT") || verb.Is("UPDATE") ||
      verb.Is("DELETE"))
    return TranslateDml(nodes, Node(verb), ctx);
  if (verb.Is("CREATE") || verb.Is("ALTER") || verb.Is("DROP")) {
    // An index changes no table or column: what is known of them stays.
    const size_t what = Next(nodes, first + 1);
    const bool index = what < nodes.size() &&
                       (nodes[what].Is("INDEX") || nodes[what].Is("UNIQUE") ||
                        nodes[what].Is("CLUSTERED") || nodes[what].Is("NONCLUSTERED"));
    auto ddl = TranslateDdl(nodes, ctx);
    if (ddl.ok()) {
      ddl->changes_schema = !index;
      ddl->changes_indexes = index;
    }
    return ddl;
  }
  return Unsupported(verb);
}

}  // namespace

Result<Translation> Translate(std::string_view sql, Source source, Target target,
                              const SchemaHints* hints) {
  const TargetSyntax* syntax = SyntaxFor(target);
  auto tokens = Tokenize(sql, source);
  if (!tokens.ok()) return tokens.status();
  auto tree = BuildTree(*tokens);
  if (!tree.ok()) return tree.status();

  // SQL Server runs a batch of statements; each is translated on its own.
  std::vector<Nodes> statements(1);
  for (Node& n : *tree) {
    if (n.IsPunct(';')) statements.emplace_back();
    else statements.back().push_back(std::move(n));
  }
  const Context ctx{source, target, *syntax, hints};
  Translation out;
  for (Nodes& statement : statements) {
    if (Next(statement, 0) == statement.size()) continue;  // blanks around ";"
    out.result_names = SelectListNames(statement, source);
    auto t = TranslateStatement(statement, ctx);
    if (!t.ok()) return t.status();
    out.changes_schema = out.changes_schema || t->changes_schema;
    out.changes_indexes = out.changes_indexes || t->changes_indexes;
    if (t->alter_column) {
      if (statements.size() > 1) return Unsupported("ALTER COLUMN", "not alone in a batch");
      return t;
    }
    for (std::string& s : t->statements) {
      // Statements of a batch lose the blanks around their ";".
      if (statements.size() > 1) {
        size_t first = s.find_first_not_of(" \t\r\n"), last = s.find_last_not_of(" \t\r\n");
        s = s.substr(first, last - first + 1);
      }
      out.statements.push_back(std::move(s));
    }
  }
  if (out.statements.empty()) return Status::Error(ErrorCode::kSyntax, "Empty SQL statement");
  return out;
}

}  // namespace dravmor::dialect
