// Column types of CREATE TABLE and ALTER TABLE: a type as Jet or SQL Server
// names it, mapped to the target's declared type that gives the same
// storage behaviour (affinity, letter-case rule of text) and from which
// AdoTypeForDeclared gives back the ADO field type. Pure functions; an
// unknown or out-of-range type is an ErrorCode::kSyntax error naming it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/dialect/rewriter.h"
#include "engine/status.h"

namespace dravmor::dialect {

// ADO field type numbers (DataTypeEnum).
namespace AdoType {
constexpr int kEmpty = 0;  // not one of ours: take the type from the values
constexpr int kSmallInt = 2;
constexpr int kInteger = 3;
constexpr int kSingle = 4;
constexpr int kDouble = 5;
constexpr int kCurrency = 6;
constexpr int kDate = 7;
constexpr int kBoolean = 11;
constexpr int kUnsignedTinyInt = 17;
constexpr int kBigInt = 20;
constexpr int kWChar = 130;
constexpr int kNumeric = 131;
constexpr int kVarWChar = 202;
constexpr int kLongVarWChar = 203;
constexpr int kLongVarBinary = 205;
}  // namespace AdoType

// The collations SQLite columns are declared with: collations every SQLite
// tool has, so that the standard tools can filter and sort the file. The
// engine's connections replace both (RegisterJetFunctions): NOCASE then
// ignores the letter case of every script, not of ASCII alone, and RTRIM
// compares dates as dates whatever their text form. On PostgreSQL text
// columns are CITEXT instead, and dates TIMESTAMP.
inline constexpr std::string_view kTextCollation = "NOCASE";
inline constexpr std::string_view kDateCollation = "RTRIM";
// What an older version declared instead; still understood.
inline constexpr std::string_view kOldTextCollation = "JETTEXT";
inline constexpr std::string_view kOldDateCollation = "JETDATE";

struct ColumnType {
  int ado_type = AdoType::kEmpty;
  std::string declared;    // "VARCHAR(10)", "TEXT", "INTEGER", ...
  std::string collation;   // empty, or one of the two above
  bool auto_increment = false;  // Counter / AutoIncrement / identity
  // The engine's own spelling of the type (the SQLite declared type), kept
  // with a PostgreSQL column so its field type reads the same there.
  std::string canonical;

  // What follows the column name: "VARCHAR(10) COLLATE NOCASE".
  std::string Definition() const;
};

// `name` is the type as written ("Text", "nvarchar", "double precision"),
// `args` the numbers between its parentheses (none, size, or precision and
// scale). Jet's Text without size is Text(255); SQL Server's text is a memo.
Result<ColumnType> MapColumnType(std::string_view name, const std::vector<long>& args,
                                 Source source, Target target);

// The ADO type of a SQLite declared type as the mapping writes it
// ("VARCHAR(10)" -> adVarWChar, "TEXT" -> adLongVarWChar). Jet type names
// ("Long", "Single", "Memo") are understood too; anything else is
// AdoType::kEmpty.
int AdoTypeForDeclared(std::string_view declared);

}  // namespace dravmor::dialect
