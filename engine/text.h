// Small text helpers: the quoting rule for values placed between single
// quotes in SQL, letter-case-insensitive comparison of names, UTF-8 code
// points and the letter case of every script. Pure functions; bytes that
// are no valid UTF-8 are kept as they are and compare as themselves.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dravmor {

// The value with every single quote doubled, ready to stand between the
// quotes of a SQL text literal: "O'Brien" -> "O''Brien". Every value the
// engine places inside a quoted literal goes through here.
std::string SqlQuote(std::string_view value);

// ASCII letter case ignored (identifiers and field names).
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
std::string ToLowerAscii(std::string_view text);

// The text without its last `count` characters (UTF-8 sequences, not
// bytes); empty when it has no more than that.
std::string DropLastCharacters(std::string_view text, size_t count);

// Text files written by older installations are in the code page of
// Chinese Windows. A text that is valid UTF-8 is returned as it is; any
// other is read as GB18030 (a superset of GBK) and returned in UTF-8, and
// bytes that are neither are kept as they are.
bool IsValidUtf8(std::string_view text);
std::string LegacyTextToUtf8(std::string_view text);
// A whole text file decided once: UTF-8 when every byte of it is, else
// GB18030 throughout (a line that merely looks like UTF-8 in a GB18030
// file is GB18030 too). Nothing when it is neither. A UTF-8 byte-order
// mark is dropped.
std::optional<std::string> TextFileToUtf8(std::string_view bytes);

// Code points of the text; an invalid byte b becomes 0xDC00 + b (a lone
// surrogate, which valid UTF-8 never yields) so that nothing is lost.
std::vector<uint32_t> DecodeUtf8(std::string_view text);
void AppendUtf8(std::string& out, uint32_t cp);

// Letter case as Jet and SQL Server ignore it, for every script: Unicode's
// simple case folding (ICU), one code point for one ("É" -> "é",
// "Ư" -> "ư", "ǅ" -> "ǆ", final sigma -> sigma).
uint32_t FoldCase(uint32_t cp);
// <0, 0, >0 comparing the folded code points.
int CompareFolded(std::string_view a, std::string_view b);

// UCase and LCase: the simple one-to-one mappings ("straße" -> "STRAßE").
std::string UpperText(std::string_view text);
std::string LowerText(std::string_view text);

}  // namespace dravmor
