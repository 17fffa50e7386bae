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

}  // namespace dravmor
