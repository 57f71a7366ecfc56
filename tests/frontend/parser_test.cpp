// Tests of the parser: tree shapes, lines, resolved names and operators, errors, nesting.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "frontend/node.h"
#include "frontend/parser.h"
#include "frontend/symbols.h"
#include "frontend/token.h"
#include "support/fatal.h"

namespace qlr {
namespace {

std::unique_ptr<Node> parse(const std::string& source) { return parseSource(source, "t.qlr"); }

std::string renderNode(const Node* node, bool lines);

std::string renderList(const std::vector<std::unique_ptr<Node>>& nodes, bool lines, const char* separator = " ") {
  std::string out;
  for (const auto& node : nodes) out += (out.empty() ? "" : separator) + renderNode(node.get(), lines);
  return out;
}

std::string joined(const std::vector<std::string>& words) {
  std::string out;
  for (const auto& word : words) out += (out.empty() ? "" : " ") + word;
  return out;
}

// Marks with "!" every field the parser filled although the kind does not
// use it, and every resolved symbol or operator that disagrees with its text.
std::string faults(const Node& n) {
  using K = NodeKind;
  const K k = n.kind;
  std::string out;
  bool namedText = k == K::Name || k == K::Attr || k == K::For || k == K::FuncDef || k == K::ClassDef ||
                   k == K::ListComp || k == K::Import;
  bool operatorText = k == K::BinOp || k == K::UnaryOp || k == K::Assign;
  if (n.sym != (namedText ? intern(n.text) : 0)) out += "!sym";
  if (!namedText && !operatorText && k != K::String && !n.text.empty()) out += "!text";
  if (n.op != (operatorText ? opCodeFor(n.text, k == K::UnaryOp) : OpCode::None)) out += "!op";
  if ((k == K::BinOp || k == K::UnaryOp) && n.op == OpCode::None) out += "!op";
  if (k != K::Number && (n.isFloat || n.intValue != 0 || n.floatValue != 0.0)) out += "!number";
  if (k != K::Bool && n.boolValue) out += "!bool";
  if (k != K::Global && k != K::Nonlocal && k != K::ClassDef && !n.names.empty()) out += "!names";
  if (k != K::FuncDef && k != K::Lambda && !n.params.empty()) out += "!params";
  if (n.defaults.size() != (k == K::FuncDef ? n.params.size() : 0)) out += "!defaults";
  if (k != K::Try && (!n.catches.empty() || n.finallyBody)) out += "!try";
  if (n.nameSyms.size() != n.names.size() || n.paramSyms.size() != n.params.size()) out += "!syms";
  for (std::size_t i = 0; i < n.nameSyms.size() && i < n.names.size(); ++i) {
    if (n.nameSyms[i] != intern(n.names[i])) out += "!syms";
  }
  for (std::size_t i = 0; i < n.paramSyms.size() && i < n.params.size(); ++i) {
    if (n.paramSyms[i] != intern(n.params[i])) out += "!syms";
  }
  return out;
}

std::string renderParams(const Node& n, bool lines) {
  std::string out;
  for (std::size_t i = 0; i < n.params.size(); ++i) {
    out += (i == 0 ? "" : " ") + n.params[i];
    if (i < n.defaults.size() && n.defaults[i]) out += "=" + renderNode(n.defaults[i].get(), lines);
  }
  return "(" + out + ")";
}

std::string renderCatch(const CatchClause& c, bool lines) {
  std::string out = "(catch " + (c.hasType ? c.typeName : "-") + " " + (c.hasName ? c.name : "-") + " ";
  if (c.nameSym != (c.hasName ? intern(c.name) : 0)) out += "!sym ";
  return out + renderNode(c.body.get(), lines) + ")";
}

// The tree as an S-expression: `(head fields children)`, blocks as `{...}`,
// a null child as `_`. With lines, each head ends in @line.
std::string renderNode(const Node* node, bool lines) {
  if (!node) return "_";
  const Node& n = *node;
  std::string head;
  std::string fields;
  switch (n.kind) {
    case NodeKind::Program: head = "program"; break;
    case NodeKind::Block: head = "{"; break;
    case NodeKind::Number: {
      char value[40];
      if (n.isFloat) {
        std::snprintf(value, sizeof value, "%.17gf", n.floatValue);
      } else {
        std::snprintf(value, sizeof value, "%lld", static_cast<long long>(n.intValue));
      }
      head = value;
      break;
    }
    case NodeKind::String: head = "\"" + n.text + "\""; break;
    case NodeKind::Bool: head = n.boolValue ? "yes" : "no"; break;
    case NodeKind::Null: head = "null"; break;
    case NodeKind::Name: head = n.text; break;
    case NodeKind::List: head = "list"; break;
    case NodeKind::Dict: head = "dict"; break;
    case NodeKind::BinOp:
    case NodeKind::UnaryOp: head = n.text; break;
    case NodeKind::Assign: head = n.text + "="; break;
    case NodeKind::Index: head = "index"; break;
    case NodeKind::Attr: head = "."; fields = n.text; break;
    case NodeKind::Call: head = "call"; break;
    case NodeKind::If: head = "chk"; break;
    case NodeKind::While: head = "spin"; break;
    case NodeKind::For: head = "loop"; fields = n.text; break;
    case NodeKind::FuncDef: head = "exp"; fields = n.text + " " + renderParams(n, lines); break;
    case NodeKind::Lambda: head = "fn"; fields = renderParams(n, lines); break;
    case NodeKind::Return: head = "back"; break;
    case NodeKind::Break: head = "stop"; break;
    case NodeKind::Continue: head = "skip"; break;
    case NodeKind::Pass: head = "nop"; break;
    case NodeKind::ClassDef: head = "blueprint"; fields = n.text + " (" + joined(n.names) + ")"; break;
    case NodeKind::Try: head = "attempt"; break;
    case NodeKind::Throw: head = "throw"; break;
    case NodeKind::Import: head = "add"; fields = n.text; break;
    case NodeKind::Global: head = "glob"; fields = joined(n.names); break;
    case NodeKind::Nonlocal: head = "nloc"; fields = joined(n.names); break;
    case NodeKind::Del: head = "remove"; break;
    case NodeKind::Assert: head = "ensure"; break;
    case NodeKind::ListComp: head = "comp"; fields = n.text; break;
    case NodeKind::ExprStmt: head = "expr"; break;
  }
  head += faults(n);
  if (lines) head += "@" + std::to_string(n.line);
  std::string body = fields;
  std::string children = renderList(n.children, lines);
  if (!children.empty()) body += (body.empty() ? "" : " ") + children;
  for (const CatchClause& c : n.catches) body += " " + renderCatch(c, lines);
  if (n.finallyBody) body += " (atlast " + renderNode(n.finallyBody.get(), lines) + ")";
  bool leaf = n.kind == NodeKind::Number || n.kind == NodeKind::String || n.kind == NodeKind::Bool ||
              n.kind == NodeKind::Null || n.kind == NodeKind::Name;
  if (leaf) return body.empty() ? head : head + "!children";
  if (n.kind == NodeKind::Block) return head + " " + body + "}";
  return "(" + head + (body.empty() ? "" : " " + body) + ")";
}

// The statements of a source, each rendered, separated by " ; ".
std::string tree(const std::string& source, bool lines = false) {
  auto program = parse(source);
  EXPECT_EQ(program->kind, NodeKind::Program);
  EXPECT_EQ(program->line, 1);
  return renderList(program->children, lines, " ; ");
}

// The expression of a one-line expression statement.
std::string expr(const std::string& source) {
  auto program = parse(source);
  if (program->children.size() != 1 || program->children[0]->kind != NodeKind::ExprStmt) return "not one ExprStmt";
  return renderNode(program->children[0]->children.at(0).get(), false);
}

std::string parseError(const std::string& source) {
  try {
    parse(source);
  } catch (const QuilloraFatal& fatal) {
    return fatal.what();
  }
  return "no error";
}

std::string repeat(const std::string& text, int count) {
  std::string out;
  for (int i = 0; i < count; ++i) out += text;
  return out;
}

TEST(Parser, PrecedenceAndAssociativity) {
  EXPECT_EQ(expr("a either b also c"), "(either a (also b c))");
  EXPECT_EQ(expr("a either b either c"), "(either (either a b) c)");
  EXPECT_EQ(expr("deny a also b"), "(also (deny a) b)");
  EXPECT_EQ(expr("deny deny a == b"), "(deny (deny (== a b)))");
  EXPECT_EQ(expr("x within xs same yes"), "(same (within x xs) yes)");
  EXPECT_EQ(expr("a < b <= c != d"), "(!= (<= (< a b) c) d)");
  EXPECT_EQ(expr("1 + 2 * 3 ** 2"), "(+ 1 (* 2 (** 3 2)))");
  EXPECT_EQ(expr("a - b + c"), "(+ (- a b) c)");
  EXPECT_EQ(expr("7 // 2 % 3 / 4"), "(/ (% (// 7 2) 3) 4)");
  EXPECT_EQ(expr("-x ** 2"), "(- (** x 2))");
  EXPECT_EQ(expr("2 ** 3 ** 2"), "(** 2 (** 3 2))");
  EXPECT_EQ(expr("2 ** -1 * 3"), "(* (** 2 (- 1)) 3)");
  EXPECT_EQ(expr("- - a.b ** c[0]"), "(- (- (** (. b a) (index c 0))))");
  EXPECT_EQ(expr("(a + b) * c"), "(* (+ a b) c)");
  EXPECT_EQ(expr("fn(a): fn(): a either b"), "(fn (a) (fn () (either a b)))");
}

TEST(Parser, ExpressionShapes) {
  EXPECT_EQ(expr("42"), "42");
  EXPECT_EQ(expr("2.5e1"), "25f");
  EXPECT_EQ(expr("'s'"), "\"s\"");
  EXPECT_EQ(expr("[yes, no, null]"), "(list yes no null)");
  EXPECT_EQ(expr("[]"), "(list)");
  EXPECT_EQ(expr("[1, 2,]"), "(list 1 2)");
  EXPECT_EQ(expr("{}"), "(dict)");
  EXPECT_EQ(expr("{'k': 1, 2: v,}"), "(dict \"k\" 1 2 v)");
  EXPECT_EQ(expr("obj.method(1)[0].name"), "(. name (index (call (. method obj) 1) 0))");
  EXPECT_EQ(expr("f()"), "(call f)");
  EXPECT_EQ(expr("f(1, 2,)"), "(call f 1 2)");
  EXPECT_EQ(expr("x.loop.add"), "(. add (. loop x))");
  EXPECT_EQ(expr("fn(a, b,): a + b"), "(fn (a b) (+ a b))");
  EXPECT_EQ(expr("[v * 2 loop v within xs]"), "(comp v xs (* v 2) _)");
  EXPECT_EQ(expr("[x loop x within xs chk x > 1]"), "(comp x xs x (> x 1))");
}

TEST(Parser, StatementShapes) {
  EXPECT_EQ(tree("x = 2\nx += 2\nx -= 1\nx *= 1\nx /= 1\nx %= 1\nf(x)\n"),
            "(= x 2) ; (+= x 2) ; (-= x 1) ; (*= x 1) ; (/= x 1) ; (%= x 1) ; (expr (call f x))");
  EXPECT_EQ(tree("xs[0].a = 1"), "(= (. a (index xs 0)) 1)");
  EXPECT_EQ(tree("chk x:\n  nop\n"), "(chk x { (nop)} _)");
  EXPECT_EQ(tree("chk a:\n  stop\norchk b:\n  skip\norchk c:\n  nop\nnah:\n  back\n"),
            "(chk a { (stop)} (chk b { (skip)} (chk c { (nop)} { (back)})))");
  EXPECT_EQ(tree("spin deny done:\n  back 1\n  back\n"), "(spin (deny done) { (back 1) (back)})");
  EXPECT_EQ(tree("loop i within nums(3):\n  out(i)\n"), "(loop i (call nums 3) { (expr (call out i))})");
  EXPECT_EQ(tree("exp f(a, b=2,):\n  nop\nexp g():\n  nop\n"), "(exp f (a b=2) { (nop)}) ; (exp g () { (nop)})");
  EXPECT_EQ(tree("exp remove(loop):\n  nop\n"), "(exp remove (loop) { (nop)})");
  EXPECT_EQ(tree("blueprint A:\n  nop\nblueprint B():\n  nop\nblueprint C(A):\n  nop\n"),
            "(blueprint A () { (nop)}) ; (blueprint B () { (nop)}) ; (blueprint C (A) { (nop)})");
  EXPECT_EQ(tree("attempt:\n  f()\ncatch ValueError called e:\n  nop\ncatch called e:\n  nop\n"
                 "catch KeyError:\n  nop\ncatch:\n  nop\natlast:\n  nop\n"),
            "(attempt { (expr (call f))} (catch ValueError e { (nop)}) (catch - e { (nop)})"
            " (catch KeyError - { (nop)}) (catch - - { (nop)}) (atlast { (nop)}))");
  EXPECT_EQ(tree("attempt:\n  nop\natlast:\n  nop\n"), "(attempt { (nop)} (atlast { (nop)}))");
  EXPECT_EQ(tree("throw Err('x')\nadd helpers\nglob a, b\nnloc c"),
            "(throw (call Err \"x\")) ; (add helpers) ; (glob a b) ; (nloc c)");
  EXPECT_EQ(tree("remove xs[0]\nremove o.f\nremove v\nensure x > 0\nensure x, 'bad'\n"),
            "(remove (index xs 0)) ; (remove (. f o)) ; (remove v) ; (ensure (> x 0)) ; (ensure x \"bad\")");
  EXPECT_EQ(tree("deny x\nfn(): 1\nyes\nnull\n"), "(expr (deny x)) ; (expr (fn () 1)) ; (expr yes) ; (expr null)");
  EXPECT_EQ(tree("\n# only a comment\n\n"), "");
  EXPECT_EQ(tree("chk a:\n  chk b:\n    x = 1\n  y = 2\nz = 3"), "(chk a { (chk b { (= x 1)} _) (= y 2)} _) ; (= z 3)");
}

TEST(Parser, NodeLines) {
  // Continuations put each token of interest on a line of its own.
  EXPECT_EQ(tree("\nx = \\\n1 + \\\n2", true), "(=@3 x@2 (+@3 1@3 2@4))");
  EXPECT_EQ(tree("f( \\\na)[ \\\n0]. \\\nb", true), "(expr@4 (.@4 b (index@3 (call@2 f@1 a@2) 0@3)))");
  EXPECT_EQ(tree("[ \\\n1, {2: \\\n- \\\n3}]\n", true), "(expr@4 (list@1 1@2 (dict@2 2@2 (-@3 3@4))))");
  EXPECT_EQ(tree("x = [ \\\ny loop y within \\\nys]", true), "(=@1 x@1 (comp@1 y ys@3 y@2 _))");
  EXPECT_EQ(tree("a \\\nalso \\\ndeny b\n", true), "(expr@3 (also@2 a@1 (deny@3 b@3)))");
  EXPECT_EQ(tree("\nchk a:\n\n  nop\norchk b:\n  stop\nnah:\n  skip\n", true),
            "(chk@2 a@2 {@4 (nop@4)} (chk@5 b@5 {@6 (stop@6)} {@8 (skip@8)}))");
  EXPECT_EQ(tree("exp f(a=1):\n  back fn(x): x\n", true), "(exp@1 f (a=1@1) {@2 (back@2 (fn@2 (x) x@2))})");
  EXPECT_EQ(tree("attempt:\n  nop\ncatch E called e:\n  throw e\natlast:\n  stop\n", true),
            "(attempt@1 {@2 (nop@2)} (catch E e {@4 (throw@4 e@4)}) (atlast {@6 (stop@6)}))");
}

struct ErrorCase {
  const char* source;
  int line;
  const char* message;
  const char* near;
};

TEST(Parser, ErrorMessages) {
  const ErrorCase cases[] = {
      {"x = loop", 1, "unexpected keyword 'loop' in expression", "loop"},
      {"orchk x:\n  nop\n", 1, "unexpected keyword 'orchk' in expression", "orchk"},
      {"x = -fn(): 1", 1, "unexpected keyword 'fn' in expression", "fn"},
      {"x = 1 +\n", 1, "unexpected token in expression", ""},
      {"x = )", 1, "unexpected token in expression", ")"},
      {"  x = 1\n", 1, "unexpected token in expression", ""},
      {"a = 1\nb = 2\n  c = 3\n", 3, "unexpected token in expression", ""},
      {"throw\n", 1, "unexpected token in expression", ""},
      {"x = 2 ** = 3", 1, "unexpected token in expression", "="},
      {"x = [1,\n2]", 1, "unexpected token in expression", ""},
      {"x.1", 1, "expected identifier", "1"},
      {"[x loop 1 within y]", 1, "expected identifier", "1"},
      {"[x loop y in z]", 1, "expected 'within'", "in"},
      {"[x, y loop y within z]", 1, "expected ']'", "loop"},
      {"xs[1:2]", 1, "expected ']'", ":"},
      {"(1, 2)", 1, "expected ')'", ","},
      {"f(a=1)", 1, "expected ')'", "="},
      {"{1 2}", 1, "expected ':'", "2"},
      {"{1: 2 3: 4}", 1, "expected '}'", "3"},
      {"fn a: a", 1, "expected '('", "a"},
      {"fn(a=1): a", 1, "expected ')'", "="},
      {"fn(a) a", 1, "expected ':'", "a"},
      {"chk x: y = 1\n", 1, "expected an indented block", "y"},
      {"chk x:\nnop\n", 2, "expected an indented block", "nop"},
      {"spin x:", 1, "expected an indented block", ""},
      {"chk x\n  nop\n", 1, "expected ':'", ""},
      {"chk x:\n  nop\nnah:\n  nop\nnah:\n  nop\n", 5, "unexpected keyword 'nah' in expression", "nah"},
      {"chk x:\n  nop\nnah:\n  nop\norchk y:\n  nop\n", 5, "unexpected keyword 'orchk' in expression", "orchk"},
      {"x = 1 2", 1, "expected end of line", "2"},
      {"a = b = 1", 1, "expected end of line", "="},
      {"stop now", 1, "expected end of line", "now"},
      {"back 1 2", 1, "expected end of line", "2"},
      {"glob a b", 1, "expected end of line", "b"},
      {"glob a. b", 1, "expected end of line", "."},
      {"glob a, 1", 1, "expected identifier", "1"},
      {"nloc\n", 1, "expected identifier", ""},
      {"remove a + b", 1, "expected end of line", "+"},
      {"ensure x > 0 'm'", 1, "expected end of line", "m"},
      {"ensure x > 0: y", 1, "expected end of line", ":"},
      {"add 'mod'", 1, "expected identifier", "mod"},
      {"exp (a):\n  nop\n", 1, "expected identifier", "("},
      {"exp f(1):\n  nop\n", 1, "expected identifier", "1"},
      {"exp f:\n  nop\n", 1, "expected '('", ":"},
      {"loop 1 within x:\n  nop\n", 1, "expected identifier", "1"},
      {"loop a, b within x:\n  nop\n", 1, "expected 'within'", ","},
      {"loop a within x\n  nop\n", 1, "expected ':'", ""},
      {"blueprint 'C':\n  nop\n", 1, "expected identifier", "C"},
      {"blueprint C(1):\n  nop\n", 1, "expected identifier", "1"},
      {"blueprint C(A, B):\n  nop\n", 1, "expected ')'", ","},
      {"attempt:\n  nop\ncatch called:\n  nop\n", 3, "expected identifier", ":"},
      {"attempt:\n  nop\ncatch E e:\n  nop\n", 3, "expected ':'", "e"},
      {"attempt:\n  nop\nx = 1\n", 3, "'attempt' needs at least one 'catch' or an 'atlast'", "x"},
      {"attempt:\n  nop\n", 3, "'attempt' needs at least one 'catch' or an 'atlast'", ""},
      {"attempt\n  nop\n", 1, "expected ':'", ""},
  };
  for (const ErrorCase& c : cases) {
    std::string expected = "t.qlr:" + std::to_string(c.line) + ": parse error: " + c.message + " (near '" + c.near + "')";
    EXPECT_EQ(parseError(c.source), expected) << c.source;
  }
}

TEST(Parser, EndOfFileInsideBlock) {
  // The lexer always closes its blocks, so only a token vector made by hand
  // can end inside one.
  auto token = [](TokenKind kind, const char* text, int32_t line) {
    Token t;
    t.kind = kind;
    t.text = text;
    t.line = line;
    if (kind == TokenKind::Ident) t.keyword = keywordFor(text);
    return t;
  };
  std::vector<Token> tokens = {token(TokenKind::Ident, "spin", 1), token(TokenKind::Ident, "x", 1),
                               token(TokenKind::Op, ":", 1),       token(TokenKind::Newline, "", 1),
                               token(TokenKind::Indent, "", 2),    token(TokenKind::Ident, "nop", 2),
                               token(TokenKind::Newline, "", 2),   token(TokenKind::Eof, "", 3)};
  try {
    parseProgram(tokens, "t.qlr");
    ADD_FAILURE() << "no error";
  } catch (const QuilloraFatal& fatal) {
    EXPECT_STREQ(fatal.what(), "t.qlr:3: parse error: unexpected end of file inside block (near '')");
  }
}

// Wraps a core expression in `depth` levels of one nesting form.
struct NestingForm {
  const char* name;
  std::string open;
  std::string close;
};

TEST(Parser, NestingLimit) {
  const NestingForm forms[] = {
      {"parentheses", "(", ")"}, {"lists", "[", "]"},        {"dicts", "{1: ", "}"},     {"indexing", "x[", "]"},
      {"calls", "f(", ")"},      {"minus", "-", ""},         {"deny", "deny ", ""},      {"power", "2 ** ", ""},
      {"lambdas", "fn(): ", ""}, {"comprehensions", "[v loop v within ", "]"},
  };
  const std::string tooDeep = "parse error: too deeply nested";
  for (const NestingForm& f : forms) {
    EXPECT_EQ(parseError(repeat(f.open, kMaxNestingDepth) + "1" + repeat(f.close, kMaxNestingDepth)), "no error")
        << f.name;
    std::string past = parseError(repeat(f.open, kMaxNestingDepth + 1) + "1" + repeat(f.close, kMaxNestingDepth + 1));
    EXPECT_NE(past.find(tooDeep), std::string::npos) << f.name << ": " << past;
    std::string hostile = parseError(repeat(f.open, 100000) + "1" + repeat(f.close, 100000));
    EXPECT_NE(hostile.find(tooDeep), std::string::npos) << f.name << ": " << hostile;
  }
  EXPECT_EQ(parseError("x = " + repeat("(", kMaxNestingDepth + 1) + "1"), "t.qlr:1: parse error: too deeply nested (near '(')");
}

TEST(Parser, NestedBlocksShareTheLimit) {
  auto nestedBlocks = [](int depth, const std::string& innermost) {
    std::string source;
    for (int i = 0; i < depth; ++i) source += std::string(i, ' ') + "chk x:\n";
    return source + std::string(depth, ' ') + innermost + "\n";
  };
  EXPECT_EQ(parseError(nestedBlocks(kMaxNestingDepth, "y = 1")), "no error");
  EXPECT_EQ(parseError(nestedBlocks(kMaxNestingDepth + 1, "y = 1")),
            "t.qlr:258: parse error: too deeply nested (near 'y')");
  EXPECT_EQ(parseError(nestedBlocks(kMaxNestingDepth - 1, "y = (1)")), "no error");
  EXPECT_EQ(parseError(nestedBlocks(kMaxNestingDepth - 1, "y = ((1))")),
            "t.qlr:256: parse error: too deeply nested (near '(')");
  EXPECT_NE(parseError(nestedBlocks(1000, "nop")).find("too deeply nested"), std::string::npos);
}

}  // namespace
}  // namespace qlr
