// Tokens and the lexer entry point.
//
// The lexer makes one forward pass over the bytes of a source and resolves
// indentation itself: the token stream carries explicit Indent and Dedent
// tokens, so the parser never looks at columns. Keywords are ordinary Ident
// tokens; the parser recognises them by their text. Literals are decoded
// here (numbers converted, string escapes resolved), so nothing later ever
// re-reads source text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qlr {

enum class TokenKind : int32_t {
  Ident,    // a word, keywords included
  Number,   // a number literal; text holds the characters as written
  String,   // a string literal; text holds the decoded value
  Op,       // one- or two-character operator or punctuation
  Newline,  // end of a logical line that produced tokens
  Indent,   // a content line indented deeper than the enclosing level
  Dedent,   // one closed indentation level
  Eof,      // end of input; always last, exactly once
};

struct Token {
  TokenKind kind = TokenKind::Eof;
  std::string text;
  bool isFloat = false;
  int64_t intValue = 0;
  double floatValue = 0.0;
  int32_t line = 0;
};

// Turns a whole source text into tokens ending with Eof. fileName is used
// only in messages. Throws QuilloraFatal on the first lexical error.
std::vector<Token> lex(const std::string& source, const std::string& fileName);

}  // namespace qlr
