#include "engine/text.h"

#include <iconv.h>
#include <unicode/uchar.h>

namespace dravmor {

std::string SqlQuote(std::string_view value) {
  std::string out;
  out.reserve(value.size() + 2);
  for (char c : value) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out;
}

namespace {
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
}  // namespace

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

std::string ToLowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = Lower(c);
  return out;
}

std::string DropLastCharacters(std::string_view text, size_t count) {
  size_t end = text.size();
  for (size_t dropped = 0; dropped < count; ++dropped) {
    if (end == 0) return "";
    --end;
    // Back over the continuation bytes to the start of the character.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  }
  return std::string(text.substr(0, end));
}

bool IsValidUtf8(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    size_t extra;
    if (c < 0x80) extra = 0;
    else if (c >= 0xC2 && c <= 0xDF) extra = 1;
    else if (c >= 0xE0 && c <= 0xEF) extra = 2;
    else if (c >= 0xF0 && c <= 0xF4) extra = 3;
    else return false;
    if (extra && i + extra >= text.size()) return false;
    for (size_t k = 1; k <= extra; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    i += extra + 1;
  }
  return true;
}

namespace {

std::optional<std::string> Gb18030ToUtf8(std::string_view text) {
  iconv_t cd = iconv_open("UTF-8", "GB18030");
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string in(text), out(text.size() * 4 + 4, '\0');
  char* src = in.data();
  char* dst = out.data();
  size_t src_left = in.size(), dst_left = out.size();
  const size_t done = iconv(cd, &src, &src_left, &dst, &dst_left);
  iconv_close(cd);
  if (done == static_cast<size_t>(-1)) return std::nullopt;
  out.resize(out.size() - dst_left);
  return out;
}

}  // namespace

std::string LegacyTextToUtf8(std::string_view text) {
  if (IsValidUtf8(text)) return std::string(text);
  auto converted = Gb18030ToUtf8(text);
  return converted ? *converted : std::string(text);
}

std::optional<std::string> TextFileToUtf8(std::string_view bytes) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  if (IsValidUtf8(bytes)) return std::string(bytes);
  return Gb18030ToUtf8(bytes);
}

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

namespace {
bool IsSurrogate(uint32_t cp) { return cp >= 0xD800 && cp <= 0xDFFF; }
}  // namespace

uint32_t FoldCase(uint32_t cp) {
  if (cp < 0x80) return cp >= 'A' && cp <= 'Z' ? cp + 32 : cp;
  // Stand-ins for invalid bytes are no letters.
  if (IsSurrogate(cp)) return cp;
  return static_cast<uint32_t>(u_foldCase(static_cast<UChar32>(cp), U_FOLD_CASE_DEFAULT));
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

std::string UpperText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (uint32_t cp : DecodeUtf8(text))
    AppendUtf8(out, IsSurrogate(cp) ? cp : static_cast<uint32_t>(u_toupper(static_cast<UChar32>(cp))));
  return out;
}

std::string LowerText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (uint32_t cp : DecodeUtf8(text))
    AppendUtf8(out, IsSurrogate(cp) ? cp : static_cast<uint32_t>(u_tolower(static_cast<UChar32>(cp))));
  return out;
}

}  // namespace dravmor
