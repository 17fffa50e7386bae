#include "engine/dialect/tokenizer.h"

#include <cctype>

namespace dravmor::dialect {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Bytes of a multi-byte UTF-8 sequence count as letters, so Chinese and
// other non-ASCII names are words, as they are on Jet and SQL Server.
bool IsWordStart(char c) {
  return IsAsciiLetter(c) || c == '_' || c == '@' ||
         static_cast<unsigned char>(c) >= 0x80;
}
// '#' in a name only on SQL Server; on Jet it opens a date.
bool IsWordPart(char c, bool jet) {
  return IsWordStart(c) || IsDigit(c) || c == '$' || (!jet && c == '#');
}

Status Unterminated(std::string_view what, std::string_view sql, size_t at) {
  std::string near(sql.substr(at, 20));
  return Status::Error(ErrorCode::kSyntax,
                       "Unterminated " + std::string(what) + " near '" + near + "'");
}

// Length of a quoted run starting at `at` with `close` as its closing
// character, where a doubled closing character stands for itself; 0 when
// the quote never closes.
size_t QuotedLength(std::string_view sql, size_t at, char close) {
  for (size_t i = at + 1; i < sql.size(); ++i) {
    if (sql[i] != close) continue;
    if (i + 1 < sql.size() && sql[i + 1] == close) {
      ++i;
      continue;
    }
    return i - at + 1;
  }
  return 0;
}

size_t NumberLength(std::string_view sql, size_t at) {
  size_t i = at;
  if (sql[i] == '0' && i + 1 < sql.size() && (sql[i + 1] == 'x' || sql[i + 1] == 'X')) {
    i += 2;
    while (i < sql.size() && std::isxdigit(static_cast<unsigned char>(sql[i]))) ++i;
    return i - at;
  }
  while (i < sql.size() && IsDigit(sql[i])) ++i;
  if (i < sql.size() && sql[i] == '.') {
    ++i;
    while (i < sql.size() && IsDigit(sql[i])) ++i;
  }
  if (i < sql.size() && (sql[i] == 'e' || sql[i] == 'E')) {
    size_t j = i + 1;
    if (j < sql.size() && (sql[j] == '+' || sql[j] == '-')) ++j;
    if (j < sql.size() && IsDigit(sql[j])) {
      while (j < sql.size() && IsDigit(sql[j])) ++j;
      i = j;
    }
  }
  return i - at;
}

size_t OperatorLength(std::string_view sql, size_t at) {
  static constexpr std::string_view kTwo[] = {"<>", "<=", ">=", "!=", "!<", "!>", "||", "=="};
  for (std::string_view op : kTwo)
    if (sql.substr(at, 2) == op) return 2;
  return std::string_view("=<>+-*/\\%&|^~!").find(sql[at]) != std::string_view::npos ? 1 : 0;
}

}  // namespace

Result<std::vector<Token>> Tokenize(std::string_view sql, Source source) {
  // No database keeps a NUL in a text, and both backends would cut the
  // statement short there and report a syntax error far from the cause.
  if (size_t nul = sql.find('\0'); nul != std::string_view::npos) {
    const size_t from = nul > 20 ? nul - 20 : 0;
    return Status::Error(ErrorCode::kBadArgument,
                         "A text holds a NUL character (code 0), which cannot be stored; it "
                         "follows '" + std::string(sql.substr(from, nul - from)) + "'");
  }
  const bool jet = source == Source::Jet;
  std::vector<Token> out;
  size_t i = 0;
  auto emit = [&](TokenKind kind, size_t length) {
    out.push_back(Token{kind, std::string(sql.substr(i, length))});
    i += length;
  };
  while (i < sql.size()) {
    char c = sql[i];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') {
      size_t j = i;
      while (j < sql.size() && std::string_view(" \t\r\n\f\v").find(sql[j]) != std::string_view::npos) ++j;
      emit(TokenKind::kSpace, j - i);
    } else if (!jet && c == '-' && i + 1 < sql.size() && sql[i + 1] == '-') {
      // Jet has no comments: there "5--3" is 5 minus -3.
      size_t end = sql.find('\n', i);
      emit(TokenKind::kComment, (end == std::string_view::npos ? sql.size() : end) - i);
    } else if (!jet && c == '/' && i + 1 < sql.size() && sql[i + 1] == '*') {
      size_t end = sql.find("*/", i + 2);
      if (end == std::string_view::npos) return Unterminated("comment", sql, i);
      emit(TokenKind::kComment, end + 2 - i);
    } else if (c == '\'') {
      size_t n = QuotedLength(sql, i, '\'');
      if (n == 0) return Unterminated("string", sql, i);
      emit(TokenKind::kString, n);
    } else if (c == '"') {
      size_t n = QuotedLength(sql, i, '"');
      if (n == 0) return Unterminated(jet ? "string" : "quoted name", sql, i);
      emit(jet ? TokenKind::kString : TokenKind::kName, n);
    } else if (c == '[') {
      size_t n = QuotedLength(sql, i, ']');
      if (n == 0) return Unterminated("bracketed name", sql, i);
      emit(TokenKind::kName, n);
    } else if (c == '`') {
      size_t n = QuotedLength(sql, i, '`');
      if (n == 0) return Unterminated("quoted name", sql, i);
      emit(TokenKind::kName, n);
    } else if (jet && c == '#') {
      size_t end = sql.find('#', i + 1);
      size_t line = sql.find_first_of("\r\n", i + 1);
      if (end == std::string_view::npos || (line != std::string_view::npos && line < end))
        return Unterminated("date literal", sql, i);
      emit(TokenKind::kDate, end + 1 - i);
    } else if (IsDigit(c) || (c == '.' && i + 1 < sql.size() && IsDigit(sql[i + 1]))) {
      emit(TokenKind::kNumber, NumberLength(sql, i));
    } else if (IsWordStart(c) || (!jet && c == '#')) {
      size_t j = i + 1;
      while (j < sql.size() && IsWordPart(sql[j], jet)) ++j;
      emit(TokenKind::kWord, j - i);
    } else if (c == '(' || c == ')' || c == ',' || c == ';' || c == '.') {
      emit(TokenKind::kPunct, 1);
    } else if (size_t n = OperatorLength(sql, i)) {
      emit(TokenKind::kOperator, n);
    } else {
      emit(TokenKind::kOther, 1);
    }
  }
  return out;
}

std::string NameOf(const Token& token) {
  if (token.kind != TokenKind::kName || token.text.size() < 2) return token.text;
  char close = token.text.front() == '[' ? ']' : token.text.front();
  std::string name;
  for (size_t i = 1; i + 1 < token.text.size(); ++i) {
    name += token.text[i];
    if (token.text[i] == close) ++i;  // the doubled closing quote
  }
  return name;
}

std::string StringValueOf(const Token& token) {
  if (token.kind != TokenKind::kString || token.text.size() < 2) return token.text;
  char quote = token.text.front();
  std::string value;
  for (size_t i = 1; i + 1 < token.text.size(); ++i) {
    value += token.text[i];
    if (token.text[i] == quote) ++i;
  }
  return value;
}

bool IsKeyword(const Token& token, std::string_view keyword) {
  if (token.kind != TokenKind::kWord || token.text.size() != keyword.size()) return false;
  for (size_t i = 0; i < keyword.size(); ++i) {
    char a = token.text[i], b = keyword[i];
    if (a >= 'a' && a <= 'z') a = static_cast<char>(a - 32);
    if (b >= 'a' && b <= 'z') b = static_cast<char>(b - 32);
    if (a != b) return false;
  }
  return true;
}

}  // namespace dravmor::dialect
