// Tests of the lexer: token streams with their lines, and every lexical error.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "frontend/token.h"
#include "support/fatal.h"

namespace qlr {
namespace {

// A source with NUL bytes inside, from a literal.
template <std::size_t N>
std::string bytes(const char (&text)[N]) {
  return std::string(text, N - 1);
}

std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\0') {
      out += "\\0";
    } else if (c < 32 || c >= 127) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

// One word per token, e.g. `id:x op:= n:1 NL EOF`; with lines, each word
// ends in @line. A field the kind does not use but that is set shows as "!".
std::string render(const std::string& source, bool lines = false) {
  std::string out;
  for (const Token& t : lex(source, "t.qlr")) {
    if (!out.empty()) out += ' ';
    bool numberFieldsSet = t.isFloat || t.intValue != 0 || t.floatValue != 0.0;
    switch (t.kind) {
      case TokenKind::Ident:
        out += (t.keyword == Keyword::None ? "id:" : "kw:") + t.text;
        if (t.keyword != Keyword::None && keywordText(t.keyword) != t.text) out += "!kw";
        break;
      case TokenKind::Op: out += "op:" + t.text; break;
      case TokenKind::String:
        out += "s:";
        out += quoted(t.text);
        break;
      case TokenKind::Number: {
        char value[40];
        if (t.isFloat) {
          std::snprintf(value, sizeof value, "%.17gf", t.floatValue);
        } else {
          std::snprintf(value, sizeof value, "%lld", static_cast<long long>(t.intValue));
        }
        out += "n:" + t.text + "=" + value;
        numberFieldsSet = t.isFloat ? t.intValue != 0 : t.floatValue != 0.0;
        break;
      }
      case TokenKind::Newline: out += "NL"; break;
      case TokenKind::Indent: out += "IN"; break;
      case TokenKind::Dedent: out += "DE"; break;
      case TokenKind::Eof: out += "EOF"; break;
    }
    bool textless = t.kind != TokenKind::Ident && t.kind != TokenKind::Op && t.kind != TokenKind::String &&
                    t.kind != TokenKind::Number;
    if (numberFieldsSet || (textless && !t.text.empty()) || (t.kind != TokenKind::Ident && t.keyword != Keyword::None))
      out += "!";
    if (lines) out.append("@").append(std::to_string(t.line));
  }
  return out;
}

std::string lexError(const std::string& source) {
  try {
    lex(source, "t.qlr");
  } catch (const QuilloraFatal& fatal) {
    return fatal.what();
  }
  return "no error";
}

TEST(Lexer, StreamIsClosedWithNewlineDedentsAndEof) {
  EXPECT_EQ(render("", true), "EOF@1");
  EXPECT_EQ(render("\n  \n# note\n   # indented note\n", true), "EOF@5");
  EXPECT_EQ(render("x = 1", true), "id:x@1 op:=@1 n:1=1@1 NL@1 EOF@1");
  EXPECT_EQ(render("a\n\n\nb\n", true), "id:a@1 NL@1 id:b@4 NL@4 EOF@5");
  EXPECT_EQ(render("chk x:\n  y\n", true), "kw:chk@1 id:x@1 op::@1 NL@1 IN@2 id:y@2 NL@2 DE@3 EOF@3");
  EXPECT_EQ(render("chk x:\n    y", true), "kw:chk@1 id:x@1 op::@1 NL@1 IN@2 id:y@2 NL@2 DE@2 EOF@2");
}

TEST(Lexer, IndentationLevels) {
  // Any increase opens exactly one level; each level closes on its own.
  EXPECT_EQ(render("a\n  b\n        c\nd\n", true),
            "id:a@1 NL@1 IN@2 id:b@2 NL@2 IN@3 id:c@3 NL@3 DE@4 DE@4 id:d@4 NL@4 EOF@5");
  EXPECT_EQ(render("  a\nb\n"), "IN id:a NL DE id:b NL EOF");
  // Blank and comment lines at any width change nothing.
  EXPECT_EQ(render("a\n  b\n\n      \n # x\n       # y\n  c\n"), "id:a NL IN id:b NL id:c NL DE EOF");
  EXPECT_EQ(render("a\n  b\n    c\n  d\n"), "id:a NL IN id:b NL IN id:c NL DE id:d NL DE EOF");
  EXPECT_EQ(lexError("a\n    b\n  c\n"), "t.qlr:3: lex error: inconsistent indentation");
  EXPECT_EQ(lexError("a\n  b\n    c\n d\n"), "t.qlr:4: lex error: inconsistent indentation");
}

TEST(Lexer, TabsFailOnlyAsIndentation) {
  const std::string tabs = "t.qlr:2: lex error: tabs are not supported for indentation; use spaces";
  EXPECT_EQ(lexError("a\n\tb\n"), tabs);
  EXPECT_EQ(lexError("a\n  \t\n"), tabs);
  EXPECT_EQ(lexError("a\n\t# comment\n"), tabs);
  EXPECT_EQ(lexError("a\nb\t= 1\n"), "t.qlr:2: lex error: unexpected character '\t'");
  EXPECT_EQ(render("x = 'a\tb' # c\td\n"), "id:x op:= s:\"a\\x09b\" NL EOF");
}

TEST(Lexer, CarriageReturnsAreWhiteSpace) {
  EXPECT_EQ(render("chk x:\r\n  y = 1\r\n   \r\n  z\r\n", true), render("chk x:\n  y = 1\n   \n  z\n", true));
  EXPECT_EQ(render("a \r= 1"), "id:a op:= n:1=1 NL EOF");
}

TEST(Lexer, NulEndsTheInput) {
  EXPECT_EQ(render(bytes("chk x:\n  y\0 ) $ 'open"), true),
            "kw:chk@1 id:x@1 op::@1 NL@1 IN@2 id:y@2 NL@2 DE@2 EOF@2");
  EXPECT_EQ(render(bytes("a # note\0\n  b")), "id:a NL EOF");
}

TEST(Lexer, BackslashContinuesTheLine) {
  // The continued line's spaces are not indentation, and lines still count.
  EXPECT_EQ(render("x = 1 + \\\n        2\ny\n", true), "id:x@1 op:=@1 n:1=1@1 op:+@1 n:2=2@2 NL@2 id:y@3 NL@3 EOF@4");
  EXPECT_EQ(render("x = \\\r\n  2\r\n", true), "id:x@1 op:=@1 n:2=2@2 NL@2 EOF@3");
  EXPECT_EQ(lexError("x = \\ 2\n"), "t.qlr:1: lex error: unexpected character '\\'");
  EXPECT_EQ(lexError("x = \\\r2\n"), "t.qlr:1: lex error: unexpected character '\\'");
}

TEST(Lexer, Operators) {
  EXPECT_EQ(render("a==b"), "id:a op:== id:b NL EOF");
  EXPECT_EQ(render("** // += -= *= /= %= != <= >= < > ="),
            "op:** op:// op:+= op:-= op:*= op:/= op:%= op:!= op:<= op:>= op:< op:> op:= NL EOF");
  EXPECT_EQ(render("+-*/%()[]{}:,."), "op:+ op:- op:* op:/ op:% op:( op:) op:[ op:] op:{ op:} op:: op:, op:. NL EOF");
  EXPECT_EQ(render("***=="), "op:** op:*= op:= NL EOF");
  EXPECT_EQ(lexError("x = 1\na=!b\n"), "t.qlr:2: lex error: unexpected character '!'");
  EXPECT_EQ(lexError("x!"), "t.qlr:1: lex error: unexpected character '!'");
  EXPECT_EQ(lexError("a;b"), "t.qlr:1: lex error: unexpected character ';'");
}

TEST(Lexer, WordsAreAsciiOnly) {
  EXPECT_EQ(render("_a1 B_2 loop"), "id:_a1 id:B_2 kw:loop NL EOF");
  EXPECT_EQ(lexError("\n\ncaf\xc3\xa9 = 1\n"), "t.qlr:3: lex error: unexpected character '\xc3'");
}

// Every reserved word is marked with its own keyword, and nothing else is:
// not a longer word, a prefix, another case, or a string with the same text.
TEST(Lexer, KeywordsAreMarkedOnce) {
  const std::string words =
      "exp chk orchk nah loop spin back stop skip nop blueprint yes no null also either deny within same attempt "
      "catch atlast throw called fn add glob nloc remove ensure";
  std::string expected;
  std::size_t count = 0;
  for (std::size_t from = 0; from <= words.size();) {
    std::size_t to = words.find(' ', from);
    if (to == std::string::npos) to = words.size();
    std::string word = words.substr(from, to - from);
    Keyword keyword = keywordFor(word);
    EXPECT_NE(keyword, Keyword::None) << word;
    EXPECT_EQ(keywordText(keyword), word);
    expected += "kw:" + word + " ";
    ++count;
    from = to + 1;
  }
  EXPECT_EQ(count, static_cast<std::size_t>(Keyword::Ensure));
  EXPECT_EQ(render(words), expected + "NL EOF");
  EXPECT_EQ(render("exps Chk nah_ _loop fnx \"chk\""), "id:exps id:Chk id:nah_ id:_loop id:fnx s:\"chk\" NL EOF");
  EXPECT_EQ(keywordFor(""), Keyword::None);
  EXPECT_EQ(keywordText(Keyword::None), "");
}

TEST(Lexer, NumberForms) {
  EXPECT_EQ(render("007 1.5 1. 1..2"), "n:007=7 n:1.5=1.5f n:1=1 op:. n:1=1 op:. op:. n:2=2 NL EOF");
  EXPECT_EQ(render("1e3 2E+2 5e-1 1.25e1"), "n:1e3=1000f n:2E+2=200f n:5e-1=0.5f n:1.25e1=12.5f NL EOF");
  EXPECT_EQ(render("2e 2e+ 3.x 4abc"), "n:2=2 id:e n:2=2 id:e op:+ n:3=3 op:. id:x n:4=4 id:abc NL EOF");
  EXPECT_EQ(render("9223372036854775807"), "n:9223372036854775807=9223372036854775807 NL EOF");
  EXPECT_EQ(render("1e-400"), "n:1e-400=0f NL EOF");
  EXPECT_EQ(lexError("x\ny = 9223372036854775808\n"), "t.qlr:2: lex error: number literal out of range");
  EXPECT_EQ(lexError("1e999"), "t.qlr:1: lex error: number literal out of range");
}

TEST(Lexer, StringLiterals) {
  EXPECT_EQ(render(R"("a\"b" 'it\'s' "it's" 'say "hi"')"), R"(s:"a"b" s:"it's" s:"it's" s:"say "hi"" NL EOF)");
  EXPECT_EQ(render(R"("\n\t\r\\\q\0.")"), R"(s:"\n\x09\x0d\\q\0." NL EOF)");
  EXPECT_EQ(render("'\xc3\xa9' \"\""), "s:\"\\xc3\\xa9\" s:\"\" NL EOF");
}

TEST(Lexer, EscapedLineBreakInStringCountsAsALine) {
  EXPECT_EQ(render("x = 'a\\\nb'\ny\n", true), "id:x@1 op:=@1 s:\"a\\nb\"@1 NL@2 id:y@3 NL@3 EOF@4");
  EXPECT_EQ(render("x = 'a\\\r\nb'\r\ny\r\n", true), "id:x@1 op:=@1 s:\"a\\nb\"@1 NL@2 id:y@3 NL@3 EOF@4");
  EXPECT_EQ(lexError("'a\\\nb' $"), "t.qlr:2: lex error: unexpected character '$'");
}

TEST(Lexer, UnterminatedStringIsReportedWhereItStarts) {
  const std::string unterminated = "t.qlr:2: lex error: unterminated string literal";
  EXPECT_EQ(lexError("x\ny = 'abc\n'\n"), unterminated);
  EXPECT_EQ(lexError("x\ny = \"abc"), unterminated);
  EXPECT_EQ(lexError("x\ny = 'a\\\nb\\\nc\n"), unterminated);
  EXPECT_EQ(lexError("x\ny = 'abc\\"), unterminated);
  EXPECT_EQ(lexError(bytes("x\ny = 'a\0b'")), unterminated);
  EXPECT_EQ(lexError("x\ny = 'abc\""), unterminated);
}

}  // namespace
}  // namespace qlr
