#include "engine/dialect/date_functions.h"

#include <charconv>
#include <cmath>

namespace dravmor::dialect {

namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return out;
}

// Whole days from 1899-12-30 (day zero) to the date part of t.
int64_t DayNumber(const CivilTime& t) {
  CivilTime d = t;
  d.hour = d.minute = d.second = 0;
  return std::llround(ToSerial(d));
}

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// 0 for Sunday; day zero (1899-12-30) was a Saturday.
int DayOfWeek(const CivilTime& t) {
  return static_cast<int>(((DayNumber(t) + 6) % 7 + 7) % 7);
}

int DayOfYear(const CivilTime& t) {
  CivilTime first{t.year, 1, 1, 0, 0, 0};
  return static_cast<int>(DayNumber(t) - DayNumber(first)) + 1;
}

int64_t Seconds(const CivilTime& t) {
  return DayNumber(t) * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }
int DaysInMonth(int y, int m) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

std::string Digits(int64_t value, int width) {
  char buf[24];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
  std::string text(buf, end);
  if (static_cast<int>(text.size()) < width) text.insert(0, width - text.size(), '0');
  return text;
}

}  // namespace

std::optional<Interval> ParseInterval(std::string_view text) {
  static const std::pair<std::string_view, Interval> kNames[] = {
      {"yyyy", Interval::kYear}, {"q", Interval::kQuarter},  {"m", Interval::kMonth},
      {"y", Interval::kDayOfYear}, {"d", Interval::kDay},     {"w", Interval::kWeekday},
      {"ww", Interval::kWeek},   {"h", Interval::kHour},     {"n", Interval::kMinute},
      {"s", Interval::kSecond}};
  std::string lower = Lower(text);
  for (const auto& [name, interval] : kNames)
    if (lower == name) return interval;
  return std::nullopt;
}

std::string_view IntervalText(Interval interval) {
  static constexpr std::string_view kTexts[] = {"yyyy", "q", "m", "y", "d", "w", "ww", "h", "n", "s"};
  return kTexts[static_cast<int>(interval)];
}

std::optional<Interval> SqlServerDatePart(std::string_view word) {
  static const std::pair<std::string_view, Interval> kWords[] = {
      {"year", Interval::kYear},      {"yy", Interval::kYear},        {"yyyy", Interval::kYear},
      {"quarter", Interval::kQuarter}, {"qq", Interval::kQuarter},    {"q", Interval::kQuarter},
      {"month", Interval::kMonth},    {"mm", Interval::kMonth},       {"m", Interval::kMonth},
      {"dayofyear", Interval::kDayOfYear}, {"dy", Interval::kDayOfYear}, {"y", Interval::kDayOfYear},
      {"day", Interval::kDay},        {"dd", Interval::kDay},         {"d", Interval::kDay},
      {"week", Interval::kWeek},      {"wk", Interval::kWeek},        {"ww", Interval::kWeek},
      {"weekday", Interval::kWeekday}, {"dw", Interval::kWeekday},
      {"hour", Interval::kHour},      {"hh", Interval::kHour},
      {"minute", Interval::kMinute},  {"mi", Interval::kMinute},      {"n", Interval::kMinute},
      {"second", Interval::kSecond},  {"ss", Interval::kSecond},      {"s", Interval::kSecond}};
  std::string lower = Lower(word);
  for (const auto& [name, interval] : kWords)
    if (lower == name) return interval;
  return std::nullopt;
}

int64_t DatePart(Interval interval, const CivilTime& t) {
  switch (interval) {
    case Interval::kYear: return t.year;
    case Interval::kQuarter: return (t.month - 1) / 3 + 1;
    case Interval::kMonth: return t.month;
    case Interval::kDayOfYear: return DayOfYear(t);
    case Interval::kDay: return t.day;
    case Interval::kWeekday: return DayOfWeek(t) + 1;
    case Interval::kWeek: {
      CivilTime first{t.year, 1, 1, 0, 0, 0};
      return (DayOfYear(t) - 1 + DayOfWeek(first)) / 7 + 1;
    }
    case Interval::kHour: return t.hour;
    case Interval::kMinute: return t.minute;
    case Interval::kSecond: return t.second;
  }
  return 0;
}

int64_t DateDiff(Interval interval, const CivilTime& a, const CivilTime& b) {
  switch (interval) {
    case Interval::kYear: return b.year - a.year;
    case Interval::kQuarter:
      return (b.year * 4 + (b.month - 1) / 3) - (a.year * 4 + (a.month - 1) / 3);
    case Interval::kMonth: return (b.year * 12 + b.month) - (a.year * 12 + a.month);
    case Interval::kDayOfYear:
    case Interval::kDay: return DayNumber(b) - DayNumber(a);
    case Interval::kWeekday: return (DayNumber(b) - DayNumber(a)) / 7;  // whole weeks
    case Interval::kWeek:  // Sundays crossed; day 1 (1899-12-31) was a Sunday
      return FloorDiv(DayNumber(b) - 1, 7) - FloorDiv(DayNumber(a) - 1, 7);
    case Interval::kHour: return FloorDiv(Seconds(b), 3600) - FloorDiv(Seconds(a), 3600);
    case Interval::kMinute: return FloorDiv(Seconds(b), 60) - FloorDiv(Seconds(a), 60);
    case Interval::kSecond: return Seconds(b) - Seconds(a);
  }
  return 0;
}

std::optional<CivilTime> DateAdd(Interval interval, int64_t count, const CivilTime& t) {
  // Far outside the calendar either way: refused before anything overflows.
  if (count > 4'000'000'000LL || count < -4'000'000'000LL) return std::nullopt;
  int64_t months = 0, seconds = 0;
  switch (interval) {
    case Interval::kYear: months = count * 12; break;
    case Interval::kQuarter: months = count * 3; break;
    case Interval::kMonth: months = count; break;
    case Interval::kDayOfYear:
    case Interval::kDay:
    case Interval::kWeekday: seconds = count * 86400; break;
    case Interval::kWeek: seconds = count * 7 * 86400; break;
    case Interval::kHour: seconds = count * 3600; break;
    case Interval::kMinute: seconds = count * 60; break;
    case Interval::kSecond: seconds = count; break;
  }
  CivilTime out = t;
  if (months != 0) {
    int64_t index = static_cast<int64_t>(t.year) * 12 + (t.month - 1) + months;
    if (index < 100 * 12 || index > 9999 * 12 + 11) return std::nullopt;
    out.year = static_cast<int>(index / 12);
    out.month = static_cast<int>(index % 12) + 1;
    out.day = std::min(t.day, DaysInMonth(out.year, out.month));
  }
  if (seconds != 0) {
    int64_t total = Seconds(out) + seconds;
    int64_t days = FloorDiv(total, 86400), rest = total - days * 86400;
    auto moved = FromSerial(static_cast<double>(days));
    if (!moved) return std::nullopt;
    out = *moved;
    out.hour = static_cast<int>(rest / 3600);
    out.minute = static_cast<int>(rest / 60 % 60);
    out.second = static_cast<int>(rest % 60);
  }
  return out;
}

std::optional<std::vector<FormatPart>> ParseDateFormat(std::string_view pattern, std::string* bad) {
  std::vector<FormatPart> parts;
  auto literal = [&parts](std::string_view text) {
    if (parts.empty() || parts.back().kind != FormatPart::kLiteral)
      parts.push_back({FormatPart::kLiteral, ""});
    parts.back().literal += text;
  };
  auto refuse = [&](std::string_view what) -> std::optional<std::vector<FormatPart>> {
    if (bad) *bad = what;
    return std::nullopt;
  };
  bool after_hour = false;  // m right after an hour means minutes
  for (size_t i = 0; i < pattern.size();) {
    char c = pattern[i];
    char lc = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    if (c == '\\') {
      if (i + 1 >= pattern.size()) return refuse("\\");
      size_t len = 1;
      while (i + 1 + len < pattern.size() && (static_cast<unsigned char>(pattern[i + 1 + len]) & 0xC0) == 0x80)
        ++len;
      literal(pattern.substr(i + 1, len));
      i += 1 + len;
      continue;
    }
    if (c == '"') {
      size_t close = pattern.find('"', i + 1);
      if (close == std::string_view::npos) return refuse(pattern.substr(i));
      literal(pattern.substr(i + 1, close - i - 1));
      i = close + 1;
      continue;
    }
    if (!(lc >= 'a' && lc <= 'z')) {
      if (c == '0' || c == '#' || c == '%' || c == '@' || c == '&' || c == '<' || c == '>' ||
          c == '!')
        return refuse(pattern.substr(i, 1));  // number and text patterns
      literal(pattern.substr(i, 1));
      ++i;
      continue;
    }
    size_t run = 1;
    while (i + run < pattern.size() &&
           ((pattern[i + run] | 0x20) == lc))
      ++run;
    std::string_view token = pattern.substr(i, run);
    FormatPart::Kind kind;
    switch (lc) {
      case 'y':
        if (run == 1) kind = FormatPart::kDayOfYear;
        else if (run == 2) kind = FormatPart::kYear2;
        else if (run == 4) kind = FormatPart::kYear4;
        else return refuse(token);
        break;
      case 'q':
        if (run != 1) return refuse(token);
        kind = FormatPart::kQuarter;
        break;
      case 'm':
        if (run > 2) return refuse(token);  // month names
        kind = after_hour ? (run == 1 ? FormatPart::kMinute : FormatPart::kMinute2)
                          : (run == 1 ? FormatPart::kMonth : FormatPart::kMonth2);
        break;
      case 'd':
        if (run > 2) return refuse(token);  // day names, named formats
        kind = run == 1 ? FormatPart::kDay : FormatPart::kDay2;
        break;
      case 'h':
        if (run > 2) return refuse(token);
        kind = run == 1 ? FormatPart::kHour : FormatPart::kHour2;
        break;
      case 'n':
        if (run > 2) return refuse(token);
        kind = run == 1 ? FormatPart::kMinute : FormatPart::kMinute2;
        break;
      case 's':
        if (run > 2) return refuse(token);
        kind = run == 1 ? FormatPart::kSecond : FormatPart::kSecond2;
        break;
      default:
        return refuse(token);
    }
    after_hour = kind == FormatPart::kHour || kind == FormatPart::kHour2;
    parts.push_back({kind, ""});
    i += run;
  }
  return parts;
}

std::string FormatDate(const std::vector<FormatPart>& parts, const CivilTime& t) {
  std::string out;
  for (const FormatPart& p : parts) {
    switch (p.kind) {
      case FormatPart::kLiteral: out += p.literal; break;
      case FormatPart::kYear4: out += Digits(t.year, 4); break;
      case FormatPart::kYear2: out += Digits(t.year % 100, 2); break;
      case FormatPart::kDayOfYear: out += Digits(DayOfYear(t), 1); break;
      case FormatPart::kQuarter: out += Digits((t.month - 1) / 3 + 1, 1); break;
      case FormatPart::kMonth: out += Digits(t.month, 1); break;
      case FormatPart::kMonth2: out += Digits(t.month, 2); break;
      case FormatPart::kDay: out += Digits(t.day, 1); break;
      case FormatPart::kDay2: out += Digits(t.day, 2); break;
      case FormatPart::kHour: out += Digits(t.hour, 1); break;
      case FormatPart::kHour2: out += Digits(t.hour, 2); break;
      case FormatPart::kMinute: out += Digits(t.minute, 1); break;
      case FormatPart::kMinute2: out += Digits(t.minute, 2); break;
      case FormatPart::kSecond: out += Digits(t.second, 1); break;
      case FormatPart::kSecond2: out += Digits(t.second, 2); break;
    }
  }
  return out;
}

std::string ToCharFormat(const std::vector<FormatPart>& parts) {
  std::string out;
  for (const FormatPart& p : parts) {
    switch (p.kind) {
      case FormatPart::kLiteral:
        // Double quotes make to_char copy the text; \" is a quote in them.
        out += '"';
        for (char c : p.literal) {
          if (c == '"' || c == '\\') out += '\\';
          out += c;
        }
        out += '"';
        break;
      case FormatPart::kYear4: out += "YYYY"; break;
      case FormatPart::kYear2: out += "YY"; break;
      case FormatPart::kDayOfYear: out += "FMDDD"; break;
      case FormatPart::kQuarter: out += "Q"; break;
      case FormatPart::kMonth: out += "FMMM"; break;
      case FormatPart::kMonth2: out += "MM"; break;
      case FormatPart::kDay: out += "FMDD"; break;
      case FormatPart::kDay2: out += "DD"; break;
      case FormatPart::kHour: out += "FMHH24"; break;
      case FormatPart::kHour2: out += "HH24"; break;
      case FormatPart::kMinute: out += "FMMI"; break;
      case FormatPart::kMinute2: out += "MI"; break;
      case FormatPart::kSecond: out += "FMSS"; break;
      case FormatPart::kSecond2: out += "SS"; break;
    }
  }
  return out;
}

}  // namespace dravmor::dialect
