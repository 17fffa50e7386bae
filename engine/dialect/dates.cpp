#include "engine/dialect/dates.h"

#include <cmath>
#include <cstdint>

namespace dravmor::dialect {

namespace {

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

// Days from 1970-01-01 (H. Hinnant's civil calendar algorithm).
int64_t DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

const int64_t kSerialZero = DaysFromCivil(1899, 12, 30);

struct Scanner {
  std::string_view s;
  size_t i = 0;
  bool Done() const { return i >= s.size(); }
  char Peek() const { return Done() ? '\0' : s[i]; }
  void SkipBlanks() {
    while (!Done() && s[i] == ' ') ++i;
  }
  // A run of 1 to `max` digits; its length is returned through `digits`.
  std::optional<int> Number(int max, int& digits) {
    int value = 0;
    digits = 0;
    while (!Done() && s[i] >= '0' && s[i] <= '9' && digits < max) {
      value = value * 10 + (s[i] - '0');
      ++i;
      ++digits;
    }
    if (digits == 0) return std::nullopt;
    return value;
  }
};

bool ParseTime(Scanner& sc, CivilTime& t) {
  int digits;
  auto h = sc.Number(2, digits);
  if (!h || sc.Peek() != ':') return false;
  ++sc.i;
  auto mi = sc.Number(2, digits);
  if (!mi || digits != 2) return false;
  int sec = 0;
  if (sc.Peek() == ':') {
    ++sc.i;
    auto se = sc.Number(2, digits);
    if (!se || digits != 2) return false;
    sec = *se;
  }
  int hour = *h;
  sc.SkipBlanks();
  if (sc.s.size() - sc.i >= 2) {
    char a = static_cast<char>(sc.s[sc.i] | 0x20), m = static_cast<char>(sc.s[sc.i + 1] | 0x20);
    if ((a == 'a' || a == 'p') && m == 'm') {
      if (hour < 1 || hour > 12) return false;
      hour = hour % 12 + (a == 'p' ? 12 : 0);
      sc.i += 2;
    }
  }
  if (hour > 23 || *mi > 59 || sec > 59) return false;
  t.hour = hour;
  t.minute = *mi;
  t.second = sec;
  return true;
}

int ExpandYear(int year, int digits) {
  if (digits > 2) return year;
  return year < 30 ? 2000 + year : 1900 + year;
}

bool ValidDay(int y, int m, int d) {
  return y >= 100 && y <= 9999 && m >= 1 && m <= 12 && d >= 1 && d <= DaysInMonth(y, m);
}

bool ParseDate(Scanner& sc, CivilTime& t) {
  int len[3];
  std::optional<int> part[3];
  char sep = '\0';
  for (int k = 0; k < 3; ++k) {
    part[k] = sc.Number(4, len[k]);
    if (!part[k]) return false;
    if (k == 2) break;
    char c = sc.Peek();
    if ((c != '-' && c != '/') || (sep && c != sep)) return false;
    sep = c;
    ++sc.i;
  }
  int y, m, d;
  if (len[0] > 2) {  // year first
    if (len[0] != 4) return false;
    y = *part[0];
    m = *part[1];
    d = *part[2];
  } else {  // month first, as Jet reads it; day first only when it cannot be
    if (len[2] != 2 && len[2] != 4) return false;
    y = ExpandYear(*part[2], len[2]);
    m = *part[0];
    d = *part[1];
    if (!ValidDay(y, m, d) && ValidDay(y, d, m)) std::swap(m, d);
  }
  if (len[1] > 2 || !ValidDay(y, m, d)) return false;
  t.year = y;
  t.month = m;
  t.day = d;
  return true;
}

}  // namespace

std::optional<CivilTime> ParseDateText(std::string_view text) {
  Scanner sc{text};
  sc.SkipBlanks();
  CivilTime t;
  // A time alone ("14:30") has a ':' before any date separator.
  size_t colon = text.find(':'), dash = text.find_first_of("-/");
  bool time_only = colon != std::string_view::npos && (dash == std::string_view::npos || colon < dash);
  if (time_only) {
    if (!ParseTime(sc, t)) return std::nullopt;
  } else {
    if (!ParseDate(sc, t)) return std::nullopt;
    if (sc.Peek() == 'T') {
      ++sc.i;
      if (!ParseTime(sc, t)) return std::nullopt;
    } else {
      sc.SkipBlanks();
      if (!sc.Done() && !ParseTime(sc, t)) return std::nullopt;
    }
  }
  sc.SkipBlanks();
  if (!sc.Done()) return std::nullopt;
  return t;
}

std::string CanonicalDate(const CivilTime& t) {
  std::string out = "0000-00-00 00:00:00";
  auto put = [&out](size_t at, int width, int value) {
    for (int i = width - 1; i >= 0; --i, value /= 10)
      out[at + static_cast<size_t>(i)] = static_cast<char>('0' + value % 10);
  };
  put(0, 4, t.year);
  put(5, 2, t.month);
  put(8, 2, t.day);
  put(11, 2, t.hour);
  put(14, 2, t.minute);
  put(17, 2, t.second);
  return out;
}

double ToSerial(const CivilTime& t) {
  double days = static_cast<double>(DaysFromCivil(t.year, t.month, t.day) - kSerialZero);
  double time = (t.hour * 3600 + t.minute * 60 + t.second) / 86400.0;
  // Before day zero the time still counts forward: -1.25 is 1899-12-29 06:00.
  return days < 0 ? days - time : days + time;
}

std::optional<CivilTime> FromSerial(double serial) {
  if (!std::isfinite(serial)) return std::nullopt;
  double whole = std::trunc(serial);
  int64_t seconds = std::llround(std::fabs(serial - whole) * 86400.0);
  int64_t days = static_cast<int64_t>(whole);
  if (seconds >= 86400) {
    seconds -= 86400;
    days += serial < 0 ? -1 : 1;
  }
  CivilTime t;
  CivilFromDays(days + kSerialZero, t.year, t.month, t.day);
  if (t.year < 100 || t.year > 9999) return std::nullopt;
  t.hour = static_cast<int>(seconds / 3600);
  t.minute = static_cast<int>(seconds / 60 % 60);
  t.second = static_cast<int>(seconds % 60);
  return t;
}

}  // namespace dravmor::dialect
