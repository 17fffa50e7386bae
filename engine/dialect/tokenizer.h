// Splits a SQL text of the Jet or SQL Server dialect into tokens that, joined
// in order, give back the text byte for byte (blanks and comments are tokens
// too). Pure and stateless. Fails only on a text that cannot be split: an
// unterminated quote, bracket, date literal or comment, named in the error
// (ErrorCode::kSyntax).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/dialect/rewriter.h"
#include "engine/status.h"

namespace dravmor::dialect {

enum class TokenKind {
  kSpace,     // blanks, tabs, line breaks
  kComment,   // -- to the end of the line, /* ... */ (SQL Server only)
  kWord,      // identifier or keyword; non-ASCII letters (Chinese) included
  kName,      // quoted name: [x], `x`, and "x" on SQL Server
  kString,    // 'x' with '' for a quote; on Jet also "x" with "" for a quote
  kNumber,    // 12, 12.5, .5, 1e3, 0x1F
  kDate,      // Jet #...#
  kOperator,  // = <> != !< !> < > <= >= + - * / \ % & | ^ ~ ||
  kPunct,     // ( ) , ; .
  kOther,     // anything else (? : { } ...), left for the rewriter to judge
};

struct Token {
  TokenKind kind;
  std::string text;
};

Result<std::vector<Token>> Tokenize(std::string_view sql, Source source);

// The name a kName or kWord token stands for, quotes removed and doubled
// closing quotes undone: [a]]b] -> a]b.
std::string NameOf(const Token& token);

// The value of a kString token, quotes removed and doubled quotes undone.
std::string StringValueOf(const Token& token);

// True when the token is the keyword, letter case ignored (words only; a
// quoted name is never a keyword).
bool IsKeyword(const Token& token, std::string_view keyword);

}  // namespace dravmor::dialect
