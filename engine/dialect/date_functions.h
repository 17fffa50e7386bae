// Jet's date functions (DatePart and Year, Month, ..., DateDiff, DateAdd,
// Format of a date) on civil times, for the SQLite backend's functions, and
// the parts the dialect layer needs to translate them: the intervals ("yyyy",
// "m", "d", ...) and the Format patterns it can express on both backends.
// Pure functions; what they cannot do they refuse (nullopt), never guess.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/dialect/dates.h"

namespace dravmor::dialect {

enum class Interval { kYear, kQuarter, kMonth, kDayOfYear, kDay, kWeekday, kWeek, kHour,
                      kMinute, kSecond };

// "yyyy", "q", "m", "y", "d", "w", "ww", "h", "n", "s" (any letter case).
std::optional<Interval> ParseInterval(std::string_view text);
// The Jet spelling of an interval ("yyyy").
std::string_view IntervalText(Interval interval);
// SQL Server's DATEPART words (year, yy, mm, dd, dw, hh, mi, ss, ...) as Jet
// intervals.
std::optional<Interval> SqlServerDatePart(std::string_view word);

// DatePart: weekday 1 for Sunday, week 1 the week of 1 January (weeks from
// Sunday), as Jet counts them by default.
int64_t DatePart(Interval interval, const CivilTime& t);
// DateDiff(interval, a, b): the boundaries of the interval crossed from a
// to b (b later gives a positive count).
int64_t DateDiff(Interval interval, const CivilTime& a, const CivilTime& b);
// DateAdd: months added keep the day where the month has it, else its last
// day; nullopt outside the years 100-9999.
std::optional<CivilTime> DateAdd(Interval interval, int64_t count, const CivilTime& t);

// A Format pattern of date parts, read as Jet reads it: yyyy yy y(day of
// the year) q m mm d dd h hh n nn s ss, m after an hour meaning minutes,
// "quoted" and \-escaped literals, other signs as they stand.
struct FormatPart {
  enum Kind { kLiteral, kYear4, kYear2, kDayOfYear, kQuarter, kMonth, kMonth2, kDay, kDay2,
              kHour, kHour2, kMinute, kMinute2, kSecond, kSecond2 } kind;
  std::string literal;
};
// nullopt, with `bad` set to the part, for what no backend expresses the
// same way (names of months and days, AM/PM, number patterns, named
// formats such as "Short Date").
std::optional<std::vector<FormatPart>> ParseDateFormat(std::string_view pattern, std::string* bad);
std::string FormatDate(const std::vector<FormatPart>& parts, const CivilTime& t);
// The same pattern for PostgreSQL's to_char.
std::string ToCharFormat(const std::vector<FormatPart>& parts);

}  // namespace dravmor::dialect
