#include "engine/sqlite/functions.h"

#include "engine/numeric.h"

#include <sqlite3.h>

#include <cctype>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/dialect/date_functions.h"
#include "engine/dialect/dates.h"
#include "engine/dialect/types.h"
#include "engine/sqlite/like_match.h"
#include "engine/variant.h"
#include "engine/text.h"

namespace dravmor {

namespace {

using dialect::CivilTime;

std::string_view Text(sqlite3_value* v) {
  const unsigned char* t = sqlite3_value_text(v);
  return t ? std::string_view(reinterpret_cast<const char*>(t),
                              static_cast<size_t>(sqlite3_value_bytes(v)))
           : std::string_view();
}

bool IsNull(sqlite3_value* v) { return sqlite3_value_type(v) == SQLITE_NULL; }
bool IsNumber(sqlite3_value* v) {
  int t = sqlite3_value_type(v);
  return t == SQLITE_INTEGER || t == SQLITE_FLOAT;
}

void ResultText(sqlite3_context* ctx, const std::string& s) {
  sqlite3_result_text(ctx, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
}

// A number as Jet writes it as text: at most 15 significant digits.
std::string NumberText(sqlite3_value* v) {
  if (sqlite3_value_type(v) == SQLITE_INTEGER) {
    char buf[24];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, sqlite3_value_int64(v));
    return std::string(buf, end);
  }
  return JetNumberText(sqlite3_value_double(v));
}

std::string AsText(sqlite3_value* v) { return IsNumber(v) ? NumberText(v) : std::string(Text(v)); }

void Val(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  if (IsNumber(argv[0])) return sqlite3_result_value(ctx, argv[0]);
  sqlite3_result_double(ctx, LeadingNumber(Text(argv[0])));
}

void Len(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(DecodeUtf8(AsText(argv[0])).size()));
}

// SQL Server's LEN does not count trailing blanks.
void LenTrimmed(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  std::string s = AsText(argv[0]);
  size_t end = s.find_last_not_of(' ');
  s.resize(end == std::string::npos ? 0 : end + 1);
  sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(DecodeUtf8(s).size()));
}

// The numeric value of an argument, as Jet converts it; nullopt (with the
// error set) for a text that is no number.
std::optional<double> Numeric(sqlite3_context* ctx, sqlite3_value* v) {
  if (IsNumber(v)) return sqlite3_value_double(v);
  auto d = ParseNumber(Text(v));
  if (!d) {
    sqlite3_result_error(ctx, "Type mismatch", -1);
    return std::nullopt;
  }
  return *d;
}

// A whole-number argument (rounded as Jet rounds); false, with the error
// set, when it is below `minimum` or no number.
bool Count(sqlite3_context* ctx, sqlite3_value* v, sqlite3_int64 minimum, sqlite3_int64& out) {
  auto d = Numeric(ctx, v);
  if (!d) return false;
  double r = std::nearbyint(*d);
  if (!(r >= static_cast<double>(minimum) && r < 9.2e18)) {
    sqlite3_result_error(ctx, "Invalid procedure call or argument", -1);
    return false;
  }
  out = static_cast<sqlite3_int64>(r);
  return true;
}

std::string Substring(std::string_view text, size_t from, size_t count) {
  std::vector<uint32_t> cps = DecodeUtf8(text);
  std::string out;
  for (size_t i = from; i < cps.size() && i - from < count; ++i) AppendUtf8(out, cps[i]);
  return out;
}

void Left(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0]) || IsNull(argv[1])) return sqlite3_result_null(ctx);
  sqlite3_int64 n;
  if (!Count(ctx, argv[1], 0, n)) return;
  ResultText(ctx, Substring(AsText(argv[0]), 0, static_cast<size_t>(n)));
}

void Right(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0]) || IsNull(argv[1])) return sqlite3_result_null(ctx);
  sqlite3_int64 n;
  if (!Count(ctx, argv[1], 0, n)) return;
  std::string s = AsText(argv[0]);
  size_t length = DecodeUtf8(s).size();
  size_t from = static_cast<size_t>(n) >= length ? 0 : length - static_cast<size_t>(n);
  ResultText(ctx, Substring(s, from, length));
}

void Mid(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  for (int i = 0; i < argc; ++i)
    if (IsNull(argv[i])) return sqlite3_result_null(ctx);
  sqlite3_int64 start, count = -1;
  if (!Count(ctx, argv[1], 1, start)) return;
  if (argc == 3 && !Count(ctx, argv[2], 0, count)) return;
  ResultText(ctx, Substring(AsText(argv[0]), static_cast<size_t>(start - 1),
                            count < 0 ? std::string::npos : static_cast<size_t>(count)));
}

// IsNull(x) is Jet's test (-1 true, 0 false); ISNULL(x, y) is SQL Server's
// replacement of a Null.
void IsNullFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (argc == 1) return sqlite3_result_int(ctx, IsNull(argv[0]) ? -1 : 0);
  sqlite3_result_value(ctx, IsNull(argv[0]) ? argv[1] : argv[0]);
}

void Nz(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (!IsNull(argv[0])) return sqlite3_result_value(ctx, argv[0]);
  if (argc == 2) return sqlite3_result_value(ctx, argv[1]);
  sqlite3_result_text(ctx, "", 0, SQLITE_STATIC);
}

void Upper(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  ResultText(ctx, UpperText(AsText(argv[0])));
}

void Lower(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  ResultText(ctx, LowerText(AsText(argv[0])));
}

CivilTime LocalNow() {
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  CivilTime t;
  t.year = tm.tm_year + 1900;
  t.month = tm.tm_mon + 1;
  t.day = tm.tm_mday;
  t.hour = tm.tm_hour;
  t.minute = tm.tm_min;
  t.second = tm.tm_sec;
  return t;
}

void Now(sqlite3_context* ctx, int, sqlite3_value**) {
  ResultText(ctx, dialect::CanonicalDate(LocalNow()));
}

void Today(sqlite3_context* ctx, int, sqlite3_value**) {
  CivilTime t = LocalNow();
  t.hour = t.minute = t.second = 0;
  ResultText(ctx, dialect::CanonicalDate(t));
}

void TimeOfDay(sqlite3_context* ctx, int, sqlite3_value**) {
  CivilTime now = LocalNow(), t;
  t.hour = now.hour;
  t.minute = now.minute;
  t.second = now.second;
  ResultText(ctx, dialect::CanonicalDate(t));
}

void CStr(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  ResultText(ctx, AsText(argv[0]));
}

// CInt and CLng round half to even, as Jet does.
template <sqlite3_int64 kMin, sqlite3_int64 kMax>
void CWhole(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  auto d = Numeric(ctx, argv[0]);
  if (!d) return;
  double r = std::nearbyint(*d);
  if (!(r >= static_cast<double>(kMin) && r <= static_cast<double>(kMax)))
    return sqlite3_result_error(ctx, "Overflow", -1);
  sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(r));
}

// CSng: the nearest single, kept in the double SQLite stores.
void CSng(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  auto d = Numeric(ctx, argv[0]);
  if (!d) return;
  if (!(std::fabs(*d) <= FLT_MAX)) return sqlite3_result_error(ctx, "Overflow", -1);
  sqlite3_result_double(ctx, static_cast<double>(static_cast<float>(*d)));
}

// CCur: four decimals (half to even) within the Currency range; a whole
// amount as an integer, as the column's numeric affinity keeps it.
void CCur(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER) {
    sqlite3_int64 v = sqlite3_value_int64(argv[0]);
    if (v > 922337203685477LL || v < -922337203685477LL)
      return sqlite3_result_error(ctx, "Overflow", -1);
    return sqlite3_result_int64(ctx, v);
  }
  auto d = Numeric(ctx, argv[0]);
  if (!d) return;
  auto c = Currency::FromDouble(*d);
  if (!c.ok()) return sqlite3_result_error(ctx, "Overflow", -1);
  if (c->IsWhole()) return sqlite3_result_int64(ctx, c->scaled / Currency::kScale);
  sqlite3_result_double(ctx, c->ToDouble());
}

// JET_SINGLE(x): a Single result (Min or Max of a Single column) as the
// double its shortest digits read as, so that it shows as a Single shows.
void ShownSingle(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (!IsNumber(argv[0])) return sqlite3_result_value(ctx, argv[0]);
  auto shown = ParseNumber(ShortestDecimal(static_cast<float>(sqlite3_value_double(argv[0]))));
  sqlite3_result_double(ctx, shown ? *shown : sqlite3_value_double(argv[0]));
}

void CDbl(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  if (auto d = Numeric(ctx, argv[0])) sqlite3_result_double(ctx, *d);
}

void CDate(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  std::optional<CivilTime> t = IsNumber(argv[0]) ? dialect::FromSerial(sqlite3_value_double(argv[0]))
                                                 : dialect::ParseDateText(Text(argv[0]));
  if (!t) return sqlite3_result_error(ctx, "Type mismatch", -1);
  ResultText(ctx, dialect::CanonicalDate(*t));
}

// A date argument: a date text or a serial number; nullopt, with the error
// set, for anything else.
std::optional<CivilTime> DateArgument(sqlite3_context* ctx, sqlite3_value* v) {
  std::optional<CivilTime> t = IsNumber(v) ? dialect::FromSerial(sqlite3_value_double(v))
                                           : dialect::ParseDateText(Text(v));
  if (!t) sqlite3_result_error(ctx, "Type mismatch", -1);
  return t;
}

std::optional<dialect::Interval> IntervalArgument(sqlite3_context* ctx, sqlite3_value* v) {
  auto interval = dialect::ParseInterval(AsText(v));
  if (!interval) sqlite3_result_error(ctx, "Invalid procedure call or argument", -1);
  return interval;
}

// JET_DATEPART(interval, date): DatePart, Year, Month, ... of Jet.
void DatePartFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0]) || IsNull(argv[1])) return sqlite3_result_null(ctx);
  auto interval = IntervalArgument(ctx, argv[0]);
  if (!interval) return;
  auto t = DateArgument(ctx, argv[1]);
  if (!t) return;
  sqlite3_result_int64(ctx, dialect::DatePart(*interval, *t));
}

void DateDiffFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
  for (int i = 0; i < 3; ++i)
    if (IsNull(argv[i])) return sqlite3_result_null(ctx);
  auto interval = IntervalArgument(ctx, argv[0]);
  if (!interval) return;
  auto a = DateArgument(ctx, argv[1]);
  if (!a) return;
  auto b = DateArgument(ctx, argv[2]);
  if (!b) return;
  sqlite3_result_int64(ctx, dialect::DateDiff(*interval, *a, *b));
}

// The count is rounded as Jet rounds it.
void DateAddFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
  for (int i = 0; i < 3; ++i)
    if (IsNull(argv[i])) return sqlite3_result_null(ctx);
  auto interval = IntervalArgument(ctx, argv[0]);
  if (!interval) return;
  auto count = Numeric(ctx, argv[1]);
  if (!count) return;
  auto t = DateArgument(ctx, argv[2]);
  if (!t) return;
  double whole = std::nearbyint(*count);
  auto moved = std::fabs(whole) < 9e15
                   ? dialect::DateAdd(*interval, static_cast<int64_t>(whole), *t)
                   : std::nullopt;
  if (!moved) return sqlite3_result_error(ctx, "Invalid procedure call or argument", -1);
  ResultText(ctx, dialect::CanonicalDate(*moved));
}

// JET_FORMAT(date, pattern): Format of a date.
void FormatFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0]) || IsNull(argv[1])) return sqlite3_result_null(ctx);
  auto parts = dialect::ParseDateFormat(AsText(argv[1]), nullptr);
  if (!parts) return sqlite3_result_error(ctx, "Invalid procedure call or argument", -1);
  auto t = DateArgument(ctx, argv[0]);
  if (!t) return;
  ResultText(ctx, dialect::FormatDate(*parts, *t));
}

// Jet's &: a Null side counts as "", both Null give Null.
void Concat(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0]) && IsNull(argv[1])) return sqlite3_result_null(ctx);
  ResultText(ctx, AsText(argv[0]) + AsText(argv[1]));
}

// Jet's \ and Mod round both sides to whole numbers first.
template <bool kRemainder>
void WholeDivision(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0]) || IsNull(argv[1])) return sqlite3_result_null(ctx);
  auto a = Numeric(ctx, argv[0]);
  if (!a) return;
  auto b = Numeric(ctx, argv[1]);
  if (!b) return;
  double x = std::nearbyint(*a), y = std::nearbyint(*b);
  if (std::fabs(x) > 9.2e18 || std::fabs(y) > 9.2e18) return sqlite3_result_error(ctx, "Overflow", -1);
  auto xi = static_cast<sqlite3_int64>(x), yi = static_cast<sqlite3_int64>(y);
  if (yi == 0) return sqlite3_result_error(ctx, "Division by zero", -1);
  if (yi == -1) return sqlite3_result_int64(ctx, kRemainder ? 0 : -xi);
  sqlite3_result_int64(ctx, kRemainder ? xi % yi : xi / yi);
}

void Power(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0]) || IsNull(argv[1])) return sqlite3_result_null(ctx);
  auto a = Numeric(ctx, argv[0]);
  if (!a) return;
  auto b = Numeric(ctx, argv[1]);
  if (!b) return;
  double r = std::pow(*a, *b);
  if (!std::isfinite(r)) return sqlite3_result_error(ctx, "Invalid procedure call or argument", -1);
  sqlite3_result_double(ctx, r);
}

// like(pattern, value[, escape]), called by the LIKE operator.
void Like(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  for (int i = 0; i < argc; ++i)
    if (IsNull(argv[i])) return sqlite3_result_null(ctx);
  std::optional<uint32_t> escape;
  if (argc == 3) {
    std::vector<uint32_t> e = DecodeUtf8(Text(argv[2]));
    if (e.size() != 1)
      return sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
    escape = e[0];
  }
  sqlite3_result_int(ctx, LikeMatch(AsText(argv[0]), AsText(argv[1]), escape) ? 1 : 0);
}

int TextCollation(void*, int na, const void* a, int nb, const void* b) {
  return CompareFolded(std::string_view(static_cast<const char*>(a), static_cast<size_t>(na)),
                       std::string_view(static_cast<const char*>(b), static_cast<size_t>(nb)));
}

// Dates first, in date order, whatever their text form ('2026-12-6' and
// '2026-12-06 00:00:00' are equal); other texts after them, as text is
// orders them.
int DateCollation(void*, int na, const void* a, int nb, const void* b) {
  std::string_view x(static_cast<const char*>(a), static_cast<size_t>(na));
  std::string_view y(static_cast<const char*>(b), static_cast<size_t>(nb));
  auto dx = dialect::ParseDateText(x), dy = dialect::ParseDateText(y);
  if (dx && dy) {
    double sx = dialect::ToSerial(*dx), sy = dialect::ToSerial(*dy);
    return sx < sy ? -1 : sx > sy ? 1 : 0;
  }
  if (dx || dy) return dx ? -1 : 1;
  return CompareFolded(x, y);
}

// JET_CURSUM(x): the exact sum of Currency values, in ten-thousandths; a
// whole sum as an integer, as the column keeps whole amounts.
struct CurrencySumState {
  __int128 scaled;
  bool any;
  bool failed;
};

void CurrencySumStep(sqlite3_context* ctx, int, sqlite3_value** argv) {
  auto* state = static_cast<CurrencySumState*>(sqlite3_aggregate_context(ctx, sizeof(CurrencySumState)));
  if (!state || state->failed || IsNull(argv[0])) return;
  __int128 value;
  if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER) {
    value = static_cast<__int128>(sqlite3_value_int64(argv[0])) * Currency::kScale;
  } else {
    auto d = Numeric(ctx, argv[0]);
    if (!d) {
      state->failed = true;
      return;
    }
    auto c = Currency::FromDouble(*d);
    if (!c.ok()) {
      state->failed = true;
      return sqlite3_result_error(ctx, "Overflow", -1);
    }
    value = c->scaled;
  }
  state->scaled += value;
  state->any = true;
}

void CurrencySumFinal(sqlite3_context* ctx) {
  auto* state = static_cast<CurrencySumState*>(sqlite3_aggregate_context(ctx, 0));
  if (!state || !state->any) return sqlite3_result_null(ctx);
  if (state->failed) return;
  const __int128 limit = static_cast<__int128>(INT64_MAX);
  if (state->scaled > limit || state->scaled < -limit) return sqlite3_result_error(ctx, "Overflow", -1);
  Currency sum{static_cast<int64_t>(state->scaled)};
  if (sum.IsWhole()) return sqlite3_result_int64(ctx, sum.scaled / Currency::kScale);
  sqlite3_result_double(ctx, sum.ToDouble());
}

struct Function {
  const char* name;
  int args;
  void (*call)(sqlite3_context*, int, sqlite3_value**);
  bool deterministic;
};

constexpr Function kFunctions[] = {
    {"VAL", 1, Val, true},
    {"LEN", 1, Len, true},
    {"MSSQL_LEN", 1, LenTrimmed, true},
    {"LEFT", 2, Left, true},
    {"RIGHT", 2, Right, true},
    {"MID", 2, Mid, true},
    {"MID", 3, Mid, true},
    {"ISNULL", 1, IsNullFunction, true},
    {"ISNULL", 2, IsNullFunction, true},
    {"NZ", 1, Nz, true},
    {"NZ", 2, Nz, true},
    {"UCASE", 1, Upper, true},
    {"LCASE", 1, Lower, true},
    {"UPPER", 1, Upper, true},
    {"LOWER", 1, Lower, true},
    {"NOW", 0, Now, false},
    {"GETDATE", 0, Now, false},
    {"DATE", 0, Today, false},
    {"TIME", 0, TimeOfDay, false},
    {"CSTR", 1, CStr, true},
    {"CINT", 1, CWhole<-32768, 32767>, true},
    {"CLNG", 1, CWhole<-2147483648LL, 2147483647LL>, true},
    {"CBYTE", 1, CWhole<0, 255>, true},
    {"CSNG", 1, CSng, true},
    {"CCUR", 1, CCur, true},
    {"CDBL", 1, CDbl, true},
    {"JET_SINGLE", 1, ShownSingle, true},
    {"CDATE", 1, CDate, true},
    {"JET_DATEPART", 2, DatePartFunction, true},
    {"JET_DATEDIFF", 3, DateDiffFunction, true},
    {"JET_DATEADD", 3, DateAddFunction, true},
    {"JET_FORMAT", 2, FormatFunction, true},
    {"JET_CONCAT", 2, Concat, true},
    {"JET_IDIV", 2, WholeDivision<false>, true},
    {"JET_MOD", 2, WholeDivision<true>, true},
    {"POWER", 2, Power, true},
    {"LIKE", 2, Like, true},
    {"LIKE", 3, Like, true},
};

}  // namespace

int RegisterJetFunctions(sqlite3* db) {
  for (const Function& f : kFunctions) {
    int flags = SQLITE_UTF8 | (f.deterministic ? SQLITE_DETERMINISTIC : 0);
    int rc = sqlite3_create_function_v2(db, f.name, f.args, flags, nullptr, f.call, nullptr,
                                        nullptr, nullptr);
    if (rc != SQLITE_OK) return rc;
  }
  int sum = sqlite3_create_function_v2(db, "JET_CURSUM", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                       nullptr, nullptr, CurrencySumStep, CurrencySumFinal, nullptr);
  if (sum != SQLITE_OK) return sum;
  // The two standard collations the columns are declared with, replaced
  // on the engine's own connection, and the names older files declared.
  for (std::string_view name : {dialect::kTextCollation, dialect::kOldTextCollation}) {
    int rc = sqlite3_create_collation_v2(db, std::string(name).c_str(), SQLITE_UTF8, nullptr,
                                         TextCollation, nullptr);
    if (rc != SQLITE_OK) return rc;
  }
  for (std::string_view name : {dialect::kDateCollation, dialect::kOldDateCollation}) {
    int rc = sqlite3_create_collation_v2(db, std::string(name).c_str(), SQLITE_UTF8, nullptr,
                                         DateCollation, nullptr);
    if (rc != SQLITE_OK) return rc;
  }
  return SQLITE_OK;
}

}  // namespace dravmor
