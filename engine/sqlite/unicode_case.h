// Letter case of UTF-8 text beyond ASCII, for the case-insensitive
// comparisons Jet and SQL Server make: Latin-1, Latin Extended-A and the
// regular pairs of Extended-B and Extended Additional, Greek, Cyrillic,
// Armenian, Roman numerals, circled and fullwidth letters. Simple one-to-
// one mappings only; pure functions. Bytes that are no valid UTF-8 are kept
// as they are and compare as themselves.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dravmor {

// Code points of the text; an invalid byte b becomes 0xDC00 + b (a lone
// surrogate, which valid UTF-8 never yields) so that nothing is lost.
std::vector<uint32_t> DecodeUtf8(std::string_view text);
void AppendUtf8(std::string& out, uint32_t cp);

// The code point as both letter cases compare (lower case, with final
// sigma as sigma and long s as s).
uint32_t FoldCase(uint32_t cp);
uint32_t ToUpperCase(uint32_t cp);
uint32_t ToLowerCase(uint32_t cp);

std::string UpperText(std::string_view text);
std::string LowerText(std::string_view text);

// <0, 0, >0 comparing the folded code points; "É" equals "é", "ж" "Ж".
int CompareFolded(std::string_view a, std::string_view b);

}  // namespace dravmor
