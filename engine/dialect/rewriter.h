// The SQL dialect layer: a pure text-to-text translation of the SQL texts
// the server classes build (Jet or SQL Server 2000, as the dialect flag
// says) into texts the database behind the connection runs with the same
// meaning. No state, no database access; safe from any thread. Whatever it
// cannot translate faithfully is refused with ErrorCode::kSyntax and a text
// naming the token ("Unsupported syntax near 'PIVOT'"), never guessed.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "engine/status.h"

namespace dravmor::dialect {

enum class Source { Jet, SqlServer };
enum class Target { Sqlite, Postgres };

// A change of one column's type, which the backend carries out itself
// (SQLite has no statement for it; PostgreSQL needs the value conversion
// chosen from the column's current type). declared_type is the text that
// follows the column name in the column's new definition on the target,
// collation included where the type has one (for example
// "VARCHAR(200) COLLATE NOCASE", "REAL", "CITEXT"); canonical_type is the
// same type in the engine's own spelling ("VARCHAR(200)"), from which
// AdoTypeForDeclared gives the field type.
struct AlterColumn {
  std::string table, column, declared_type, canonical_type;
};

// The statements to run, in order. Contract: when alter_column is set,
// statements is empty and the backend itself changes that column's type,
// rebuilding the table so that every row is kept and its value converted
// (and failing without change when a value cannot take the new type).
struct Translation {
  std::vector<std::string> statements;
  std::optional<AlterColumn> alter_column;
  bool changes_schema = false;  // CREATE, ALTER or DROP of a table or view
  bool changes_indexes = false;  // CREATE or DROP of an index
  // A SELECT's result column names as the statement wrote them, one per
  // item of its select list (of its first SELECT, for a UNION): the alias,
  // else the column's name (DaiMa for t.DaiMa), else the expression's text
  // ("COUNT(*)"). nullopt stands for a * or t.*, whose columns keep the
  // names they were declared with. Empty for other statements. Both
  // backends name result columns from this, so that the names do not
  // depend on how the target folds or spells them.
  std::vector<std::optional<std::string>> result_names;
};

// The name each of `width` result columns gets from `items` (a
// Translation's result_names): nullopt for the columns a star brought in,
// whose declared names the backend gives. When the items cannot be laid
// over the columns (more than one star, or a count that does not fit),
// every column is nullopt.
std::vector<std::optional<std::string>> ResultColumnNames(
    const std::vector<std::optional<std::string>>& items, size_t width);

// The columns of one table as a positional INSERT (no column list) sees
// them: stored, the table's columns in their stored order; canonical, the
// order the engine's own statements give their values in (the shipped
// schema after the log-in upgrade), empty for a table the engine does not
// know. An older database that the upgrade extended keeps its columns in
// the order they were added, so the two may differ.
struct TableLayout {
  std::vector<std::string> stored;
  std::vector<std::string> canonical;
};

// What the rewriter may know of the database's schema. Yes/No columns hold
// -1 for True where Jet wrote them and 1 where SQL Server did (and any
// nonzero value a caller stored), so a comparison of such a column with a
// true literal is a test for nonzero on the target.
// The field type (AdoType) of each column of each table, names in lower
// case, tells the rewriter what a value assigned to a column must become
// (a fraction into a Long is rounded, a number into a Text gets Jet's
// text of it). A positional INSERT into a table of `tables` is given the
// column list its values mean.
struct SchemaHints {
  std::unordered_set<std::string> boolean_columns;  // names in lower case
  std::unordered_map<std::string, std::unordered_map<std::string, int>> column_types;
  // table (lower case) -> its primary key's columns, in key order.
  std::unordered_map<std::string, std::vector<std::string>> primary_keys;
  std::unordered_map<std::string, TableLayout> tables;  // by name in lower case

  // The field type of table.column, 0 when unknown.
  int ColumnType(std::string_view table, std::string_view column) const;
  // Records one column (names in any letter case).
  void AddColumn(std::string_view table, std::string_view column, int ado_type);
};

// hints may be null: no schema knowledge.
Result<Translation> Translate(std::string_view sql, Source source, Target target,
                              const SchemaHints* hints = nullptr);

// The table and the column names, in order, that a CREATE TABLE statement
// declares (table constraints left out).
struct DeclaredTable {
  std::string name;
  std::vector<std::string> columns;
};
Result<DeclaredTable> DeclaredColumns(std::string_view create_table, Source source);

}  // namespace dravmor::dialect
