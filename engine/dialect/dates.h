// Date texts as Jet reads them (#12/6/2026#, #2026-12-06 14:30#) and the
// one canonical text 'YYYY-MM-DD HH:MM:SS' in which dates are stored on
// SQLite, so that text comparison orders them. Pure functions; a text that
// is no valid date gives nullopt, never a guess.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace dravmor::dialect {

struct CivilTime {
  int year = 1899, month = 12, day = 30;  // Jet's day zero
  int hour = 0, minute = 0, second = 0;
};

// Accepted: Y-M-D and Y/M/D (four-digit year first); M/D/Y and M-D-Y as
// Jet reads them (month first; when the month is over 12 and the day is
// not, day first); two-digit years 00-29 as 20xx, 30-99 as 19xx; an
// optional time H:MM[:SS] with optional AM/PM, after a blank or 'T'; a
// time alone falls on 1899-12-30. Surrounding blanks are ignored.
std::optional<CivilTime> ParseDateText(std::string_view text);

// 'YYYY-MM-DD HH:MM:SS' without quotes.
std::string CanonicalDate(const CivilTime& t);

// The automation serial date (days since 1899-12-30, the fraction the time
// of day) of a civil time, and back. FromSerial fails outside years
// 100-9999.
double ToSerial(const CivilTime& t);
std::optional<CivilTime> FromSerial(double serial);

}  // namespace dravmor::dialect
