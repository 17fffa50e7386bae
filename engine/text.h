// Small text helpers: the quoting rule for values placed between single
// quotes in SQL, and letter-case-insensitive comparison of names.
#pragma once

#include <string>
#include <string_view>

namespace dravmor {

// The value with every single quote doubled, ready to stand between the
// quotes of a SQL text literal: "O'Brien" -> "O''Brien". Every value the
// engine places inside a quoted literal goes through here.
std::string SqlQuote(std::string_view value);

// ASCII letter case ignored (identifiers and field names).
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
std::string ToLowerAscii(std::string_view text);

// The text without its last `count` characters (UTF-8 sequences, not
// bytes); empty when it has no more than that.
std::string DropLastCharacters(std::string_view text, size_t count);

// Text files written by older installations are in the code page of
// Chinese Windows. A text that is valid UTF-8 is returned as it is; any
// other is read as GB18030 (a superset of GBK) and returned in UTF-8, and
// bytes that are neither are kept as they are.
bool IsValidUtf8(std::string_view text);
std::string LegacyTextToUtf8(std::string_view text);

}  // namespace dravmor
