#include "engine/numeric.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace dravmor {

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
}  // namespace

// Blanks anywhere are skipped, the number ends at the first character that
// cannot continue it; &H and &O prefixes read hex and octal, as Val does.
double LeadingNumber(std::string_view text) {
  std::string s;
  for (char c : text)
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') s += c;
  if (s.size() > 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h' || s[1] == 'O' || s[1] == 'o')) {
    int base = (s[1] == 'H' || s[1] == 'h') ? 16 : 8;
    long long value = 0;
    for (size_t i = 2; i < s.size(); ++i) {
      int d = std::isxdigit(static_cast<unsigned char>(s[i]))
                  ? (std::isdigit(static_cast<unsigned char>(s[i])) ? s[i] - '0' : (s[i] | 0x20) - 'a' + 10)
                  : 99;
      if (d >= base) break;
      value = value * base + d;
    }
    return static_cast<double>(value);
  }
  size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  size_t digits = 0;
  while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i, ++digits;
  }
  if (digits == 0) return 0;
  std::string number = s.substr(0, i);
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
    size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    if (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) {
      while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) ++j;
      number += 'e' + s.substr(i + 1, j - i - 1);
    }
  }
  if (number[0] == '+') number.erase(0, 1);  // from_chars takes no plus sign
  double value = 0;
  auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
  return ec == std::errc() && std::isfinite(value) ? value : 0;
}

double LeadingDecimal(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  const size_t start = i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  size_t digits = 0;
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
  }
  if (digits == 0) return 0;
  // from_chars takes no leading '+' and reads without regard to the locale.
  size_t from = start;
  if (text[from] == '+') ++from;
  double value = 0;
  std::from_chars(text.data() + from, text.data() + i, value);
  return std::isfinite(value) ? value : 0;
}

std::string ShortestDecimal(double value) {
  if (value == 0) return "0";
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
  std::string text(buf, end);
  if (text.find('e') == std::string::npos) return text;
  // to_chars picked exponent form; spell it out in fixed notation instead.
  auto [fend, fec] = std::to_chars(buf, buf + sizeof buf, value,
                                   std::chars_format::fixed);
  if (fec == std::errc()) return std::string(buf, fend);
  return text;  // beyond any form value: the exponent form stays
}

std::string ShortestDecimal(float value) {
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
  // Reading the float's shortest digits as a double gives the double whose
  // shortest form is those same digits.
  double widened = 0;
  std::from_chars(buf, end, widened);
  return ShortestDecimal(widened);
}

std::string JetNumberText(double value) {
  if (value == 0) return "0";
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
  std::string text(buf, end);
  if (ec != std::errc()) return "0";
  for (char& c : text)
    if (c == 'e') c = 'E';
  return text;
}

std::optional<double> ParseNumber(std::string_view text) {
  size_t b = 0, e = text.size();
  while (b < e && IsBlank(text[b])) ++b;
  while (e > b && IsBlank(text[e - 1])) --e;
  if (b == e) return std::nullopt;
  std::string_view t = text.substr(b, e - b);
  if (t.front() == '+') t.remove_prefix(1);
  double value = 0;
  auto [ptr, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
  if (ec != std::errc() || ptr != t.data() + t.size() || !std::isfinite(value))
    return std::nullopt;
  return value;
}

}  // namespace dravmor
