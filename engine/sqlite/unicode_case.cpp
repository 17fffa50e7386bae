#include "engine/sqlite/unicode_case.h"

namespace dravmor {

namespace {

// Upper-case letters upper_first..upper_last, every `step`-th of them,
// whose lower case is `delta` away.
struct CaseRange {
  uint32_t upper_first, upper_last;
  int32_t delta;
  uint32_t step;
};

constexpr CaseRange kRanges[] = {
    {0x0041, 0x005A, 32, 1},      // A-Z
    {0x00C0, 0x00D6, 32, 1},      // À-Ö
    {0x00D8, 0x00DE, 32, 1},      // Ø-Þ
    {0x0100, 0x012E, 1, 2},       // Ā ... Į
    {0x0132, 0x0136, 1, 2},       // Ĳ Ĵ Ķ
    {0x0139, 0x0147, 1, 2},       // Ĺ ... Ň
    {0x014A, 0x0176, 1, 2},       // Ŋ ... Ŷ
    {0x0178, 0x0178, 0x00FF - 0x0178, 1},  // Ÿ ÿ
    {0x0179, 0x017D, 1, 2},       // Ź Ż Ž
    {0x01CD, 0x01DB, 1, 2},       // Ǎ ... Ǜ
    {0x01DE, 0x01EE, 1, 2},
    {0x01F8, 0x021E, 1, 2},
    {0x0222, 0x0232, 1, 2},
    {0x0386, 0x0386, 0x03AC - 0x0386, 1},  // Ά
    {0x0388, 0x038A, 37, 1},      // Έ Ή Ί
    {0x038C, 0x038C, 64, 1},      // Ό
    {0x038E, 0x038F, 63, 1},      // Ύ Ώ
    {0x0391, 0x03A1, 32, 1},      // Α-Ρ
    {0x03A3, 0x03AB, 32, 1},      // Σ-Ϋ
    {0x03D8, 0x03EE, 1, 2},
    {0x0400, 0x040F, 80, 1},      // Ѐ-Џ
    {0x0410, 0x042F, 32, 1},      // А-Я
    {0x0460, 0x0480, 1, 2},
    {0x048A, 0x04BE, 1, 2},
    {0x04C0, 0x04C0, 15, 1},      // Ӏ
    {0x04C1, 0x04CD, 1, 2},
    {0x04D0, 0x052E, 1, 2},
    {0x0531, 0x0556, 48, 1},      // Armenian
    {0x1E00, 0x1E94, 1, 2},       // Latin Extended Additional
    {0x1EA0, 0x1EFE, 1, 2},       // (Vietnamese)
    {0x2160, 0x216F, 16, 1},      // Roman numerals
    {0x24B6, 0x24CF, 26, 1},      // circled letters
    {0xFF21, 0xFF3A, 32, 1},      // fullwidth Ａ-Ｚ
};

bool InStep(uint32_t cp, uint32_t first, uint32_t last, uint32_t step) {
  return cp >= first && cp <= last && (cp - first) % step == 0;
}

}  // namespace

std::vector<uint32_t> DecodeUtf8(std::string_view text) {
  std::vector<uint32_t> out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    int length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    uint32_t cp = length == 1 ? c : length == 2 ? (c & 0x1F) : length == 3 ? (c & 0x0F) : (c & 0x07);
    bool valid = length > 0 && i + length <= text.size();
    for (int k = 1; valid && k < length; ++k) {
      unsigned char cc = static_cast<unsigned char>(text[i + k]);
      if ((cc & 0xC0) != 0x80) valid = false;
      cp = (cp << 6) | (cc & 0x3F);
    }
    // Overlong forms and surrogates are not valid UTF-8 either.
    static constexpr uint32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
    if (valid && (cp < kMin[length] || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF))
      valid = false;
    if (!valid) {
      out.push_back(0xDC00 + c);
      ++i;
    } else {
      out.push_back(cp);
      i += static_cast<size_t>(length);
    }
  }
  return out;
}

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp >= 0xDC80 && cp <= 0xDCFF) {  // an invalid byte kept by DecodeUtf8
    out += static_cast<char>(cp - 0xDC00);
  } else if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

uint32_t ToLowerCase(uint32_t cp) {
  if (cp < 0x80) return cp >= 'A' && cp <= 'Z' ? cp + 32 : cp;
  for (const CaseRange& r : kRanges)
    if (InStep(cp, r.upper_first, r.upper_last, r.step)) return cp + r.delta;
  return cp;
}

uint32_t ToUpperCase(uint32_t cp) {
  if (cp < 0x80) return cp >= 'a' && cp <= 'z' ? cp - 32 : cp;
  switch (cp) {
    case 0x00B5: return 0x039C;  // micro sign
    case 0x017F: return 'S';     // long s
    case 0x03C2: return 0x03A3;  // final sigma
    default: break;
  }
  for (const CaseRange& r : kRanges)
    if (InStep(cp, r.upper_first + r.delta, r.upper_last + r.delta, r.step)) return cp - r.delta;
  return cp;
}

uint32_t FoldCase(uint32_t cp) {
  switch (cp) {
    case 0x00B5: return 0x03BC;
    case 0x017F: return 's';
    case 0x03C2: return 0x03C3;
    case 0x1E9E: return 0x00DF;  // capital sharp s
    default: return ToLowerCase(cp);
  }
}

std::string UpperText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (uint32_t cp : DecodeUtf8(text)) AppendUtf8(out, ToUpperCase(cp));
  return out;
}

std::string LowerText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (uint32_t cp : DecodeUtf8(text)) AppendUtf8(out, ToLowerCase(cp));
  return out;
}

int CompareFolded(std::string_view a, std::string_view b) {
  // ASCII-only texts, the usual case, need no decoding.
  size_t i = 0;
  while (i < a.size() && i < b.size()) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x >= 0x80 || y >= 0x80) break;
    uint32_t fx = FoldCase(x), fy = FoldCase(y);
    if (fx != fy) return fx < fy ? -1 : 1;
    ++i;
  }
  if (i == a.size() || i == b.size())
    return a.size() == b.size() ? 0 : (i == a.size() ? -1 : 1);
  std::vector<uint32_t> x = DecodeUtf8(a.substr(i)), y = DecodeUtf8(b.substr(i));
  for (size_t k = 0; k < x.size() && k < y.size(); ++k) {
    uint32_t fx = FoldCase(x[k]), fy = FoldCase(y[k]);
    if (fx != fy) return fx < fy ? -1 : 1;
  }
  return x.size() < y.size() ? -1 : x.size() > y.size() ? 1 : 0;
}

}  // namespace dravmor
