// The passes of the dialect layer over one statement's token tree, in the
// order the rewriter runs them: literals and names, then the statement's
// own shape (TOP, DELETE *, ...), then operators and functions. Each pass
// changes the tree in place and fails with ErrorCode::kSyntax naming the
// token it cannot translate. Internal to the dialect layer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>
#include <string_view>

#include "engine/dialect/rewriter.h"
#include "engine/dialect/syntax.h"
#include "engine/dialect/target.h"

namespace dravmor::dialect {

struct Context {
  Source source;
  Target target;
  const TargetSyntax& syntax;
  const SchemaHints* hints = nullptr;
};

inline Translation OneStatement(std::string text) {
  Translation t;
  t.statements.push_back(std::move(text));
  return t;
}

// True for words the source dialect's DML uses as keywords; such words are
// never quoted as names.
bool IsSourceKeyword(std::string_view word, Source source);

// The name as the target must see it: a reserved word or an awkward quote
// style re-quoted, anything else unchanged.
Node TargetName(const Node& name, const Context& ctx);

// Jet #dates# and "strings", True and False, N'..' strings, reserved words
// used as names, and the tokens no target can take. Recursive.
Status RewriteLiterals(Nodes& nodes, const Context& ctx);

// SELECT TOP n -> LIMIT n at the end of that SELECT; SELECT ... INTO is
// refused. Recursive.
Status RewriteTop(Nodes& nodes, const Context& ctx);

// The statement-level forms of DELETE, INSERT and UPDATE.
Status RewriteDelete(Nodes& nodes, const Context& ctx);
Status RewriteInsert(Nodes& nodes, const Context& ctx);
Status RewriteUpdate(Nodes& nodes, const Context& ctx);

// Values written by INSERT (with a column list) and UPDATE converted to
// their column's type as Jet converts them; needs the schema hints.
Status RewriteAssignments(Nodes& nodes, const Context& ctx);

// A Yes/No column compared (= or <>) with a nonzero number becomes a test
// for nonzero, so -1 and 1 both mean True; assignments in SET stay.
// Recursive.
Status RewriteBooleanTests(Nodes& nodes, const Context& ctx);

// Operators and functions whose meaning differs on the target. Recursive;
// also sets the hints of the groups it passes.
Status RewriteExpressions(Nodes& nodes, const Context& ctx);

// LIKE on PostgreSQL: ILIKE ... ESCAPE '', or ~* with the pattern as a
// regular expression where it may hold a set ([a-c]); nothing on SQLite,
// whose LIKE function is replaced instead. Recursive.
Status RewriteLikeForPostgres(Nodes& nodes, const Context& ctx);

// A Jet or SQL Server LIKE pattern as an anchored regular expression of
// PostgreSQL (% -> .*, _ -> ., [!a-c] -> [^a-c], other characters
// literal); the escape character, when given, makes the next one literal.
// dravmor_like_regex() on the server makes the same text.
std::string LikePatternToRegex(std::string_view pattern, std::optional<uint32_t> escape);

// The result names of a SELECT statement (see Translation::result_names),
// read from the statement as written; empty when it is no SELECT.
std::vector<std::optional<std::string>> SelectListNames(const Nodes& nodes, Source source);

// A top-level SELECT ordered to the end, so that rows left in no order by
// the statement come in the same order on both backends: the primary key
// of its first table after its own ORDER BY (or as its ORDER BY), its
// groups, or its columns when DISTINCT. Needs the schema hints.
Status RewriteRowOrder(Nodes& nodes, const Context& ctx);

// ORDER BY items get NULLS FIRST (ascending) or NULLS LAST (descending) on
// PostgreSQL, where Nulls would otherwise sort as the largest value.
// Recursive.
Status RewriteNullOrder(Nodes& nodes, const Context& ctx);

// On PostgreSQL, a Jet Boolean value used as a condition (IsNull(x), a
// Yes/No column, -1) becomes a test for nonzero: "WHERE IsNull(a) OR b"
// -> "WHERE (IsNull(a) <> 0) OR (b <> 0)". Recursive.
Status RewriteConditions(Nodes& nodes, const Context& ctx);

// CREATE TABLE, ALTER TABLE, CREATE INDEX, DROP ...: the statement starts
// with CREATE, ALTER or DROP.
Result<Translation> TranslateDdl(Nodes& nodes, const Context& ctx);

}  // namespace dravmor::dialect
