// The lexer: source bytes to tokens, with indentation resolved into Indent and Dedent.
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "frontend/token.h"
#include "support/fatal.h"

namespace qlr {

namespace {

// In enumerator order, None first.
constexpr std::array<std::string_view, 31> kKeywordTexts{
    "",      "exp",     "chk",   "orchk",  "nah",    "loop",   "spin",  "back",  "stop",   "skip",  "nop",
    "blueprint", "yes", "no",    "null",   "also",   "either", "deny",  "within", "same",  "attempt",
    "catch", "atlast",  "throw", "called", "fn",     "add",    "glob",  "nloc",  "remove", "ensure",
};
static_assert(kKeywordTexts.size() == static_cast<std::size_t>(Keyword::Ensure) + 1, "a text per keyword");

// Two-character operators are tried before single ones, so "==" never
// splits into two "=".
constexpr std::array<std::string_view, 11> two{"==", "!=", "<=", ">=", "**", "//",
                                               "+=", "-=", "*=", "/=", "%="};
constexpr std::string_view singles = "+-*/%()[]{}:,.<>=";

// What the C library's classification gives in the "C" locale, without
// its sign-extension pitfalls for bytes of 128 and above, which are never
// letters here.
constexpr bool isDigit(char c) { return c >= '0' && c <= '9'; }
constexpr bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
constexpr bool isWordChar(char c) { return isLetter(c) || isDigit(c) || c == '_'; }

class Lexer {
 public:
  Lexer(const std::string& text, const std::string& file) : source(text), fileName(file) {
    // Typical code spends three to five bytes per token; growing past the
    // guess is harmless.
    tokens.reserve(text.size() / 4 + 8);
  }

  void run();
  std::vector<Token> takeTokens() { return std::move(tokens); }

 private:
  const std::string& source;
  const std::string& fileName;
  std::size_t position = 0;
  int32_t line = 1;
  std::vector<std::size_t> indentStack{0};
  std::vector<Token> tokens;
  bool atLineStart = true;

  [[noreturn]] void err(const std::string& message) const {
    throw QuilloraFatal(fileName + ":" + std::to_string(line) + ": lex error: " + message);
  }

  // The end of the input reads as NUL: both stop scanning, so one test serves.
  char at(std::size_t index) const { return index < source.size() ? source[index] : '\0'; }

  Token& emit(TokenKind kind, int32_t tokenLine) {
    Token& token = tokens.emplace_back();
    token.kind = kind;
    token.line = tokenLine;
    return token;
  }
  Token& emit(TokenKind kind) { return emit(kind, line); }

  // The length of a line break starting at index: 1 for LF, 2 for CR LF, 0 otherwise.
  std::size_t lineBreakAt(std::size_t index) const {
    if (at(index) == '\n') return 1;
    return at(index) == '\r' && at(index + 1) == '\n' ? 2 : 0;
  }

  void handleIndentation();
  void lexString();
  void lexNumber();
  void lexWord();
  void lexOperator();
  void closeStream();
};

void Lexer::run() {
  for (;;) {
    if (atLineStart) handleIndentation();
    char c = at(position);
    if (c == '\0') break;
    if (c == '#') {
      while (at(position) != '\n' && at(position) != '\0') ++position;
    } else if (c == '\n') {
      TokenKind last = tokens.empty() ? TokenKind::Newline : tokens.back().kind;
      if (last != TokenKind::Newline && last != TokenKind::Indent && last != TokenKind::Dedent) {
        emit(TokenKind::Newline);
      }
      ++position;
      ++line;
      atLineStart = true;
    } else if (c == '\\' && lineBreakAt(position + 1) != 0) {
      // A continuation joins the next physical line to this logical line,
      // so its leading spaces are not indentation.
      position += 1 + lineBreakAt(position + 1);
      ++line;
    } else if (c == ' ' || c == '\r') {
      ++position;
    } else if (c == '"' || c == '\'') {
      lexString();
    } else if (isDigit(c)) {
      lexNumber();
    } else if (isLetter(c) || c == '_') {
      lexWord();
    } else {
      lexOperator();
    }
  }
  closeStream();
}

void Lexer::handleIndentation() {
  std::size_t width = 0;
  while (at(position + width) == ' ') ++width;
  char first = at(position + width);
  if (first == '\t') err("tabs are not supported for indentation; use spaces");
  // Blank and comment-only lines (and the end of the input) leave the
  // indentation levels alone.
  bool blank = first == '\n' || first == '\r' || first == '#' || first == '\0';
  if (!blank) {
    if (width > indentStack.back()) {
      indentStack.push_back(width);
      emit(TokenKind::Indent);
    } else {
      while (width < indentStack.back()) {
        indentStack.pop_back();
        emit(TokenKind::Dedent);
      }
      if (width != indentStack.back()) err("inconsistent indentation");
    }
  }
  position += width;
  atLineStart = false;
}

void Lexer::lexString() {
  const char quote = source[position];
  const int32_t startLine = line;
  std::string value;
  ++position;
  for (;;) {
    char c = at(position);
    if (c == quote) break;
    if (c == '\0' || c == '\n' || (c == '\\' && at(position + 1) == '\0')) {
      line = startLine;  // reported where the literal starts, not where the scan stopped
      err("unterminated string literal");
    }
    if (c != '\\') {
      value += c;
      ++position;
      continue;
    }
    if (std::size_t lineBreak = lineBreakAt(position + 1)) {
      // An escaped line break, LF or CR LF alike, is a line feed in the value
      // and a real line for the tokens that follow.
      value += '\n';
      position += 1 + lineBreak;
      ++line;
      continue;
    }
    char escaped = at(position + 1);
    switch (escaped) {
      case 'n': value += '\n'; break;
      case 'r': value += '\r'; break;
      case 't': value += '\t'; break;
      case '0': value += '\0'; break;
      default: value += escaped; break;
    }
    position += 2;
  }
  ++position;
  emit(TokenKind::String, startLine).text = std::move(value);
}

void Lexer::lexNumber() {
  const std::size_t start = position;
  bool isFloat = false;
  while (isDigit(at(position))) ++position;
  if (at(position) == '.' && isDigit(at(position + 1))) {
    isFloat = true;
    ++position;
    while (isDigit(at(position))) ++position;
  }
  if (at(position) == 'e' || at(position) == 'E') {
    std::size_t exponent = position + 1;
    if (at(exponent) == '+' || at(exponent) == '-') ++exponent;
    if (isDigit(at(exponent))) {
      isFloat = true;
      while (isDigit(at(exponent))) ++exponent;
      position = exponent;
    }
  }
  Token& token = emit(TokenKind::Number);
  token.text.assign(source, start, position - start);
  token.isFloat = isFloat;
  errno = 0;
  if (isFloat) {
    token.floatValue = std::strtod(token.text.c_str(), nullptr);
    // Underflow also reports ERANGE, but its rounded tiny value or zero is a
    // fair reading of the literal; only overflow has no value to give.
    if (errno == ERANGE && std::isinf(token.floatValue)) err("number literal out of range");
  } else {
    token.intValue = std::strtoll(token.text.c_str(), nullptr, 10);
    if (errno == ERANGE) err("number literal out of range");
  }
}

void Lexer::lexWord() {
  const std::size_t start = position;
  while (isWordChar(at(position))) ++position;
  Token& token = emit(TokenKind::Ident);
  token.text.assign(source, start, position - start);
  token.keyword = keywordFor(token.text);
}

void Lexer::lexOperator() {
  const char c = source[position];
  const char pair[2] = {c, at(position + 1)};
  const std::string_view candidate(pair, 2);
  for (std::string_view op : two) {
    if (op == candidate) {
      emit(TokenKind::Op).text = op;
      position += 2;
      return;
    }
  }
  if (singles.find(c) == std::string_view::npos) err(std::string("unexpected character '") + c + "'");
  emit(TokenKind::Op).text = std::string(1, c);
  ++position;
}

void Lexer::closeStream() {
  if (!tokens.empty() && tokens.back().kind != TokenKind::Newline) emit(TokenKind::Newline);
  while (indentStack.size() > 1) {
    indentStack.pop_back();
    emit(TokenKind::Dedent);
  }
  emit(TokenKind::Eof);
}

}  // namespace

Keyword keywordFor(std::string_view word) {
  for (std::size_t i = 1; i < kKeywordTexts.size(); ++i)
    if (kKeywordTexts[i] == word) return static_cast<Keyword>(i);
  return Keyword::None;
}

std::string_view keywordText(Keyword keyword) { return kKeywordTexts[static_cast<std::size_t>(keyword)]; }

std::vector<Token> lex(const std::string& source, const std::string& fileName) {
  Lexer lexer(source, fileName);
  lexer.run();
  return lexer.takeTokens();
}

}  // namespace qlr
