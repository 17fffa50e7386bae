// What the rewriter writes differently per target database: quoting of
// names, the words the target reserves, and the names of the helper
// functions that carry Jet and SQL Server meanings the target lacks. One
// immutable instance per supported target. Internal to the dialect layer.
#pragma once

#include <string>
#include <string_view>

#include "engine/dialect/rewriter.h"

namespace dravmor::dialect {

// Helpers the target must provide (on SQLite: RegisterJetFunctions).
enum class Helper {
  kConcat,    // Jet &: Null counts as "" unless both sides are Null
  kIntDiv,    // Jet \: operands rounded to whole numbers, quotient truncated
  kMod,       // Jet Mod: operands rounded to whole numbers
  kPower,     // Jet ^
  kLenTrimmed,  // SQL Server LEN: trailing blanks not counted
  kToDate,    // CONVERT(datetime, x): text or serial number to a date
};

class TargetSyntax {
 public:
  virtual ~TargetSyntax() = default;
  virtual std::string QuoteName(std::string_view name) const = 0;
  // True when the word (any letter case) cannot stand bare as a name, or,
  // with as_call, as the name of a called function.
  virtual bool IsReserved(std::string_view word, bool as_call) const = 0;
  virtual std::string_view HelperName(Helper helper) const = 0;
};

const TargetSyntax* SyntaxFor(Target target);

}  // namespace dravmor::dialect
