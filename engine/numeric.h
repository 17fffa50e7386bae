// Numeric text helpers shared by every class: the leading-number rule used
// for numeric form fields and by VAL, and the shortest decimal form in which
// numbers are written back into SQL text. None depends on the process
// locale: a decimal comma set by a user interface changes nothing here.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace dravmor {

// The leading number of a text, blanks skipped; 0 when the text does not
// begin with a number ("  12.5cm" -> 12.5, "abc" -> 0, "1e3x" -> 1000).
double LeadingNumber(std::string_view text);

// The settings form's stricter rule: leading blanks skipped, an optional
// sign, digits with at most one decimal point, stopping at the first other
// character; 0 when there are no digits. No exponent and no &H/&O forms,
// and no blanks inside ("1e3" -> 1, "&H10" -> 0, "1 2" -> 1).
double LeadingDecimal(std::string_view text);

// The shortest decimal text that reads back as the same double
// (12.5 -> "12.5", 3 -> "3", 0.1 -> "0.1"); never exponent notation for
// values a form can hold.
std::string ShortestDecimal(double value);
// The same for a single-precision value: the digits a Single shows (0.1f
// -> "0.1", not the digits of the double it widens to).
std::string ShortestDecimal(float value);

// A number as Jet writes a Double as text (CStr, or a number stored into a
// Text column): at most 15 significant digits, no trailing zeros, exponent
// form outside 1E-5 <= |x| < 1E15 ("9", "0.1", "1E+15", "1.5E-07").
std::string JetNumberText(double value);

// Strict parse of a whole text as a number (blanks around allowed).
std::optional<double> ParseNumber(std::string_view text);

}  // namespace dravmor
