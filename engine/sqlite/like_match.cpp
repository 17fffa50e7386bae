#include "engine/sqlite/like_match.h"

#include <vector>

#include "engine/text.h"

namespace dravmor {

namespace {

constexpr size_t kNone = static_cast<size_t>(-1);

// The set at p[at] == '['; returns the index after its ']' and whether `c`
// belongs, or kNone when the set never closes (then '[' is literal).
size_t MatchSet(const std::vector<uint32_t>& p, size_t at, uint32_t c, bool& member) {
  size_t i = at + 1;
  bool negate = i < p.size() && (p[i] == '^' || p[i] == '!');
  if (negate) ++i;
  bool found = false;
  bool first = true;
  for (; i < p.size(); ++i) {
    if (p[i] == ']' && !first) {
      member = found != negate;
      return i + 1;
    }
    first = false;
    uint32_t lo = p[i], hi = p[i];
    if (i + 2 < p.size() && p[i + 1] == '-' && p[i + 2] != ']') {
      hi = p[i + 2];
      i += 2;
    }
    if (c >= lo && c <= hi) found = true;
  }
  return kNone;
}

}  // namespace

bool LikeMatch(std::string_view pattern, std::string_view value, std::optional<uint32_t> escape) {
  std::vector<uint32_t> p = DecodeUtf8(pattern), s = DecodeUtf8(value);
  for (uint32_t& c : p) c = FoldCase(c);
  for (uint32_t& c : s) c = FoldCase(c);
  const bool has_escape = escape.has_value();
  const uint32_t esc = has_escape ? FoldCase(*escape) : 0;
  // Greedy match with one backtrack point: the last % seen. Every other
  // pattern element takes exactly one character, so this is complete.
  size_t pi = 0, si = 0, star_p = kNone, star_s = 0;
  while (si < s.size()) {
    if (pi < p.size()) {
      uint32_t c = p[pi];
      if (has_escape && c == esc) {
        if (pi + 1 < p.size() && p[pi + 1] == s[si]) {
          pi += 2;
          ++si;
          continue;
        }
      } else if (c == '%') {
        star_p = ++pi;
        star_s = si;
        continue;
      } else if (c == '_') {
        ++pi;
        ++si;
        continue;
      } else if (c == '[') {
        bool member = false;
        size_t next = MatchSet(p, pi, s[si], member);
        if (next == kNone ? s[si] == '[' : member) {
          pi = next == kNone ? pi + 1 : next;
          ++si;
          continue;
        }
      } else if (c == s[si]) {
        ++pi;
        ++si;
        continue;
      }
    }
    if (star_p == kNone) return false;
    pi = star_p;
    si = ++star_s;
  }
  while (pi < p.size() && p[pi] == '%') ++pi;
  return pi == p.size();
}

}  // namespace dravmor
