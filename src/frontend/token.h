// Tokens and the lexer entry point.
//
// The lexer makes one forward pass over the bytes of a source and resolves
// indentation itself: the token stream carries explicit Indent and Dedent
// tokens, so the parser never looks at columns. Keywords are ordinary Ident
// tokens whose keyword field the lexer sets once, so the parser compares
// enumerators instead of text. Literals are decoded here (numbers converted,
// string escapes resolved), so nothing later ever re-reads source text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
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

// The reserved words. An identifier token carries the one its text spells,
// or None; no reserved word can be a name.
enum class Keyword : uint8_t {
  None,
  Exp,
  Chk,
  Orchk,
  Nah,
  Loop,
  Spin,
  Back,
  Stop,
  Skip,
  Nop,
  Blueprint,
  Yes,
  No,
  Null,
  Also,
  Either,
  Deny,
  Within,
  Same,
  Attempt,
  Catch,
  Atlast,
  Throw,
  Called,
  Fn,
  Add,
  Glob,
  Nloc,
  Remove,
  Ensure,
};

// The keyword a word spells, or Keyword::None.
Keyword keywordFor(std::string_view word);
// The text of a keyword ("" for None).
std::string_view keywordText(Keyword keyword);

struct Token {
  TokenKind kind = TokenKind::Eof;
  Keyword keyword = Keyword::None;  // Ident tokens only
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
