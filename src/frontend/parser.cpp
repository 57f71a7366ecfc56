// The parser: tokens to one Program tree, by recursive descent.
#include "frontend/parser.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

#include "frontend/slots.h"
#include "frontend/symbols.h"
#include "support/fatal.h"

namespace qlr {

namespace {

constexpr std::array<std::string_view, 6> ops{"==", "!=", "<=", ">=", "<", ">"};
constexpr std::array<std::string_view, 5> augs{"+=", "-=", "*=", "/=", "%="};

class Parser {
 public:
  Parser(const std::vector<Token>& input, const std::string& file) : tokens(input), fileName(file) {}

  std::unique_ptr<Node> program();

 private:
  using Rule = std::unique_ptr<Node> (Parser::*)();

  // One level of nesting for as long as it lives. Every cycle of the
  // grammar's recursion passes through one, so the native stack the parser
  // (and later the evaluator) needs is bounded by kMaxNestingDepth.
  class Nested {
   public:
    explicit Nested(Parser& owner) : parser(owner) {
      if (parser.depth == kMaxNestingDepth) parser.err("too deeply nested");
      ++parser.depth;
    }
    ~Nested() { --parser.depth; }
    Nested(const Nested&) = delete;
    Nested& operator=(const Nested&) = delete;

   private:
    Parser& parser;
  };

  const std::vector<Token>& tokens;
  std::size_t position = 0;
  std::string fileName;
  int depth = 0;

  const Token& current() const { return tokens[position]; }
  bool isKw(Keyword word) const { return current().keyword == word; }
  bool isOp(std::string_view op) const { return current().kind == TokenKind::Op && current().text == op; }
  template <std::size_t N>
  bool isOpIn(const std::array<std::string_view, N>& table) const {
    return current().kind == TokenKind::Op && std::find(table.begin(), table.end(), current().text) != table.end();
  }

  const Token& advance();
  void expectKw(Keyword word);
  void expectOp(std::string_view op);
  std::string expectIdent();
  void expectNewline();
  void skipNewlines();
  std::unique_ptr<Node> makeNode(NodeKind kind) const { return std::make_unique<Node>(kind, current().line); }
  [[noreturn]] void err(const std::string& message) const;

  static void setName(Node& node, std::string word);
  static void addName(Node& node, std::string word);

  std::unique_ptr<Node> parseLambdaOrOr();
  std::unique_ptr<Node> parseAnd();
  std::unique_ptr<Node> parseNot();
  std::unique_ptr<Node> parseComparison();
  std::unique_ptr<Node> parseAdditive();
  std::unique_ptr<Node> parseTerm();
  std::unique_ptr<Node> parseUnary();
  std::unique_ptr<Node> parsePostfix();
  std::unique_ptr<Node> parsePrimary();
  std::unique_ptr<Node> parseListOrComprehension();
  std::unique_ptr<Node> parseDict();
  std::unique_ptr<Node> binary(std::unique_ptr<Node> left, Rule operand);
  std::unique_ptr<Node> prefix(Rule operand);

  std::unique_ptr<Node> parseStatement();
  std::unique_ptr<Node> parseBlock();
  std::unique_ptr<Node> parseHeaderAndBlock(NodeKind kind, Keyword word);
  std::unique_ptr<Node> parseIf();
  std::unique_ptr<Node> finishIfChain();
  std::unique_ptr<Node> parseFor();
  std::unique_ptr<Node> parseFuncDef();
  std::unique_ptr<Node> parseClassDef();
  std::unique_ptr<Node> parseTry();
  void parseParamList(Node& owner, bool withDefaults);
  std::unique_ptr<Node> parseReturn();
  std::unique_ptr<Node> parseSingleWord(NodeKind kind);
  std::unique_ptr<Node> parseThrow();
  std::unique_ptr<Node> parseImport();
  std::unique_ptr<Node> parseNameList(NodeKind kind);
  std::unique_ptr<Node> parseDel();
  std::unique_ptr<Node> parseAssert();
  std::unique_ptr<Node> parseExprOrAssignStatement();
};

const Token& Parser::advance() {
  const Token& token = tokens[position];
  if (position + 1 < tokens.size()) ++position;
  return token;
}

void Parser::expectKw(Keyword word) {
  if (!isKw(word)) err("expected '" + std::string(keywordText(word)) + "'");
  advance();
}

void Parser::expectOp(std::string_view op) {
  if (!isOp(op)) err("expected '" + std::string(op) + "'");
  advance();
}

std::string Parser::expectIdent() {
  if (current().kind != TokenKind::Ident) err("expected identifier");
  return advance().text;
}

void Parser::expectNewline() {
  if (current().kind == TokenKind::Newline) {
    advance();
  } else if (current().kind != TokenKind::Eof) {
    err("expected end of line");
  }
}

void Parser::skipNewlines() {
  while (current().kind == TokenKind::Newline) advance();
}

void Parser::err(const std::string& message) const {
  throw QuilloraFatal(fileName + ":" + std::to_string(current().line) + ": parse error: " + message + " (near '" +
                      current().text + "')");
}

void Parser::setName(Node& node, std::string word) {
  node.sym = intern(word);
  node.text = std::move(word);
}

void Parser::addName(Node& node, std::string word) {
  node.nameSyms.push_back(intern(word));
  node.names.push_back(std::move(word));
}

// ---- Expressions, lowest precedence first.

std::unique_ptr<Node> Parser::parseLambdaOrOr() {
  if (isKw(Keyword::Fn)) {
    auto lambda = makeNode(NodeKind::Lambda);
    advance();
    parseParamList(*lambda, false);
    expectOp(":");
    Nested level(*this);
    lambda->children.push_back(parseLambdaOrOr());
    return lambda;
  }
  auto left = parseAnd();
  while (isKw(Keyword::Either)) left = binary(std::move(left), &Parser::parseAnd);
  return left;
}

std::unique_ptr<Node> Parser::parseAnd() {
  auto left = parseNot();
  while (isKw(Keyword::Also)) left = binary(std::move(left), &Parser::parseNot);
  return left;
}

std::unique_ptr<Node> Parser::parseNot() {
  return isKw(Keyword::Deny) ? prefix(&Parser::parseNot) : parseComparison();
}

std::unique_ptr<Node> Parser::parseComparison() {
  auto left = parseAdditive();
  while (isOpIn(ops) || isKw(Keyword::Within) || isKw(Keyword::Same)) left = binary(std::move(left), &Parser::parseAdditive);
  return left;
}

std::unique_ptr<Node> Parser::parseAdditive() {
  auto left = parseTerm();
  while (isOp("+") || isOp("-")) left = binary(std::move(left), &Parser::parseTerm);
  return left;
}

std::unique_ptr<Node> Parser::parseTerm() {
  auto left = parseUnary();
  while (isOp("*") || isOp("/") || isOp("//") || isOp("%")) left = binary(std::move(left), &Parser::parseUnary);
  return left;
}

std::unique_ptr<Node> Parser::parseUnary() {
  if (isOp("-")) return prefix(&Parser::parseUnary);
  auto base = parsePostfix();
  if (!isOp("**")) return base;
  Nested level(*this);
  return binary(std::move(base), &Parser::parseUnary);
}

// The operator is the current token; the node takes its line and text.
std::unique_ptr<Node> Parser::binary(std::unique_ptr<Node> left, Rule operand) {
  auto node = makeNode(NodeKind::BinOp);
  node->text = advance().text;
  node->op = opCodeFor(node->text, false);
  node->children.push_back(std::move(left));
  node->children.push_back((this->*operand)());
  return node;
}

std::unique_ptr<Node> Parser::prefix(Rule operand) {
  Nested level(*this);
  auto node = makeNode(NodeKind::UnaryOp);
  node->text = advance().text;
  node->op = opCodeFor(node->text, true);
  node->children.push_back((this->*operand)());
  return node;
}

std::unique_ptr<Node> Parser::parsePostfix() {
  auto expr = parsePrimary();
  for (;;) {
    if (isOp(".")) {
      advance();
      auto attr = makeNode(NodeKind::Attr);
      setName(*attr, expectIdent());
      attr->children.push_back(std::move(expr));
      expr = std::move(attr);
    } else if (isOp("[")) {
      Nested level(*this);
      advance();
      auto index = makeNode(NodeKind::Index);
      index->children.push_back(std::move(expr));
      index->children.push_back(parseLambdaOrOr());
      expectOp("]");
      expr = std::move(index);
    } else if (isOp("(")) {
      Nested level(*this);
      advance();
      auto call = makeNode(NodeKind::Call);
      call->children.push_back(std::move(expr));
      while (!isOp(")")) {
        call->children.push_back(parseLambdaOrOr());
        if (!isOp(",")) break;
        advance();
      }
      expectOp(")");
      expr = std::move(call);
    } else {
      return expr;
    }
  }
}

std::unique_ptr<Node> Parser::parsePrimary() {
  const Token& token = current();
  switch (token.kind) {
    case TokenKind::Number: {
      auto node = makeNode(NodeKind::Number);
      node->isFloat = token.isFloat;
      node->intValue = token.intValue;
      node->floatValue = token.floatValue;
      advance();
      return node;
    }
    case TokenKind::String: {
      auto node = makeNode(NodeKind::String);
      node->text = advance().text;
      return node;
    }
    case TokenKind::Ident: {
      if (isKw(Keyword::Yes) || isKw(Keyword::No)) {
        auto node = makeNode(NodeKind::Bool);
        node->boolValue = advance().keyword == Keyword::Yes;
        return node;
      }
      if (isKw(Keyword::Null)) {
        auto node = makeNode(NodeKind::Null);
        advance();
        return node;
      }
      if (token.keyword != Keyword::None) err("unexpected keyword '" + token.text + "' in expression");
      auto node = makeNode(NodeKind::Name);
      setName(*node, advance().text);
      return node;
    }
    case TokenKind::Op:
      if (isOp("(")) {
        Nested level(*this);
        advance();
        auto inner = parseLambdaOrOr();
        expectOp(")");
        return inner;
      }
      if (isOp("[")) return parseListOrComprehension();
      if (isOp("{")) return parseDict();
      break;
    case TokenKind::Newline:
    case TokenKind::Indent:
    case TokenKind::Dedent:
    case TokenKind::Eof:
      break;
  }
  err("unexpected token in expression");
}

std::unique_ptr<Node> Parser::parseListOrComprehension() {
  Nested level(*this);
  const int32_t line = current().line;
  expectOp("[");
  auto list = std::make_unique<Node>(NodeKind::List, line);
  if (isOp("]")) {
    advance();
    return list;
  }
  auto first = parseLambdaOrOr();
  if (isKw(Keyword::Loop)) {
    advance();
    auto comp = std::make_unique<Node>(NodeKind::ListComp, line);
    setName(*comp, expectIdent());
    expectKw(Keyword::Within);
    comp->children.push_back(parseLambdaOrOr());
    comp->children.push_back(std::move(first));
    std::unique_ptr<Node> filter;
    if (isKw(Keyword::Chk)) {
      advance();
      filter = parseLambdaOrOr();
    }
    comp->children.push_back(std::move(filter));
    expectOp("]");
    return comp;
  }
  list->children.push_back(std::move(first));
  while (isOp(",")) {
    advance();
    if (isOp("]")) break;
    list->children.push_back(parseLambdaOrOr());
  }
  expectOp("]");
  return list;
}

std::unique_ptr<Node> Parser::parseDict() {
  Nested level(*this);
  auto dict = makeNode(NodeKind::Dict);
  expectOp("{");
  while (!isOp("}")) {
    dict->children.push_back(parseLambdaOrOr());
    expectOp(":");
    dict->children.push_back(parseLambdaOrOr());
    if (!isOp(",")) break;
    advance();
  }
  expectOp("}");
  return dict;
}

// ---- Statements.

std::unique_ptr<Node> Parser::parseStatement() {
  switch (current().keyword) {
    case Keyword::Chk:
      return parseIf();
    case Keyword::Exp:
      return parseFuncDef();
    case Keyword::Spin:
      return parseHeaderAndBlock(NodeKind::While, Keyword::Spin);
    case Keyword::Loop:
      return parseFor();
    case Keyword::Blueprint:
      return parseClassDef();
    case Keyword::Attempt:
      return parseTry();
    case Keyword::Back:
      return parseReturn();
    case Keyword::Stop:
      return parseSingleWord(NodeKind::Break);
    case Keyword::Skip:
      return parseSingleWord(NodeKind::Continue);
    case Keyword::Nop:
      return parseSingleWord(NodeKind::Pass);
    case Keyword::Throw:
      return parseThrow();
    case Keyword::Add:
      return parseImport();
    case Keyword::Glob:
      return parseNameList(NodeKind::Global);
    case Keyword::Nloc:
      return parseNameList(NodeKind::Nonlocal);
    case Keyword::Remove:
      return parseDel();
    case Keyword::Ensure:
      return parseAssert();
    default:  // every other word starts an expression or assignment statement
      return parseExprOrAssignStatement();
  }
}

std::unique_ptr<Node> Parser::parseBlock() {
  skipNewlines();
  if (current().kind != TokenKind::Indent) err("expected an indented block");
  advance();
  Nested level(*this);
  auto block = makeNode(NodeKind::Block);
  skipNewlines();
  while (current().kind != TokenKind::Dedent) {
    if (current().kind == TokenKind::Eof) err("unexpected end of file inside block");
    block->children.push_back(parseStatement());
    skipNewlines();
  }
  advance();
  return block;
}

// word condition ":" block, the shared head of chk, orchk and spin.
std::unique_ptr<Node> Parser::parseHeaderAndBlock(NodeKind kind, Keyword word) {
  auto node = makeNode(kind);
  expectKw(word);
  node->children.push_back(parseLambdaOrOr());
  expectOp(":");
  node->children.push_back(parseBlock());
  return node;
}

std::unique_ptr<Node> Parser::parseIf() {
  auto node = parseHeaderAndBlock(NodeKind::If, Keyword::Chk);
  node->children.push_back(finishIfChain());
  return node;
}

// Builds the right-nested chain with a loop, so a long run of orchk costs
// no native stack here.
std::unique_ptr<Node> Parser::finishIfChain() {
  std::unique_ptr<Node> chain;
  std::unique_ptr<Node>* tail = &chain;
  while (isKw(Keyword::Orchk)) {
    *tail = parseHeaderAndBlock(NodeKind::If, Keyword::Orchk);
    tail = &(*tail)->children.emplace_back();
  }
  if (isKw(Keyword::Nah)) {
    advance();
    expectOp(":");
    *tail = parseBlock();
  }
  return chain;
}

std::unique_ptr<Node> Parser::parseFor() {
  auto node = makeNode(NodeKind::For);
  expectKw(Keyword::Loop);
  setName(*node, expectIdent());
  expectKw(Keyword::Within);
  node->children.push_back(parseLambdaOrOr());
  expectOp(":");
  node->children.push_back(parseBlock());
  return node;
}

std::unique_ptr<Node> Parser::parseFuncDef() {
  auto node = makeNode(NodeKind::FuncDef);
  expectKw(Keyword::Exp);
  setName(*node, expectIdent());
  parseParamList(*node, true);
  expectOp(":");
  node->children.push_back(parseBlock());
  return node;
}

std::unique_ptr<Node> Parser::parseClassDef() {
  auto node = makeNode(NodeKind::ClassDef);
  expectKw(Keyword::Blueprint);
  setName(*node, expectIdent());
  if (isOp("(")) {
    advance();
    if (current().kind == TokenKind::Ident) {
      addName(*node, advance().text);
    } else if (!isOp(")")) {
      err("expected identifier");
    }
    expectOp(")");
  }
  expectOp(":");
  node->children.push_back(parseBlock());
  return node;
}

std::unique_ptr<Node> Parser::parseTry() {
  auto node = makeNode(NodeKind::Try);
  expectKw(Keyword::Attempt);
  expectOp(":");
  node->children.push_back(parseBlock());
  for (;;) {
    if (isKw(Keyword::Catch)) {
      advance();
      CatchClause clause;
      if (current().kind == TokenKind::Ident && !isKw(Keyword::Called)) {
        clause.hasType = true;
        clause.typeName = advance().text;
      }
      if (isKw(Keyword::Called)) {
        advance();
        clause.hasName = true;
        clause.name = expectIdent();
        clause.nameSym = intern(clause.name);
      }
      expectOp(":");
      clause.body = parseBlock();
      node->catches.push_back(std::move(clause));
    } else if (isKw(Keyword::Atlast)) {
      advance();
      expectOp(":");
      node->finallyBody = parseBlock();
      return node;
    } else {
      if (node->catches.empty()) err("'attempt' needs at least one 'catch' or an 'atlast'");
      return node;
    }
  }
}

// Lambdas pass withDefaults false: their parameters take no defaults.
void Parser::parseParamList(Node& owner, bool withDefaults) {
  expectOp("(");
  while (!isOp(")")) {
    std::string name = expectIdent();
    owner.paramSyms.push_back(intern(name));
    owner.params.push_back(std::move(name));
    if (withDefaults) {
      std::unique_ptr<Node> value;
      if (isOp("=")) {
        advance();
        value = parseLambdaOrOr();
      }
      owner.defaults.push_back(std::move(value));
    }
    if (!isOp(",")) break;
    advance();
  }
  expectOp(")");
}

std::unique_ptr<Node> Parser::parseReturn() {
  auto node = makeNode(NodeKind::Return);
  expectKw(Keyword::Back);
  if (current().kind != TokenKind::Newline && current().kind != TokenKind::Eof) {
    node->children.push_back(parseLambdaOrOr());
  }
  expectNewline();
  return node;
}

std::unique_ptr<Node> Parser::parseSingleWord(NodeKind kind) {
  auto node = makeNode(kind);
  advance();
  expectNewline();
  return node;
}

std::unique_ptr<Node> Parser::parseThrow() {
  auto node = makeNode(NodeKind::Throw);
  expectKw(Keyword::Throw);
  node->children.push_back(parseLambdaOrOr());
  expectNewline();
  return node;
}

std::unique_ptr<Node> Parser::parseImport() {
  auto node = makeNode(NodeKind::Import);
  expectKw(Keyword::Add);
  setName(*node, expectIdent());
  expectNewline();
  return node;
}

std::unique_ptr<Node> Parser::parseNameList(NodeKind kind) {
  auto node = makeNode(kind);
  advance();
  addName(*node, expectIdent());
  while (current().kind == TokenKind::Op) {
    if (!isOp(",")) err("expected end of line");
    advance();
    addName(*node, expectIdent());
  }
  expectNewline();
  return node;
}

std::unique_ptr<Node> Parser::parseDel() {
  auto node = makeNode(NodeKind::Del);
  expectKw(Keyword::Remove);
  node->children.push_back(parsePostfix());
  expectNewline();
  return node;
}

std::unique_ptr<Node> Parser::parseAssert() {
  auto node = makeNode(NodeKind::Assert);
  expectKw(Keyword::Ensure);
  node->children.push_back(parseLambdaOrOr());
  if (current().kind == TokenKind::Op) {
    if (!isOp(",")) err("expected end of line");
    advance();
    node->children.push_back(parseLambdaOrOr());
  }
  expectNewline();
  return node;
}

std::unique_ptr<Node> Parser::parseExprOrAssignStatement() {
  auto target = parseLambdaOrOr();
  std::unique_ptr<Node> node;
  if (isOp("=") || isOpIn(augs)) {
    std::string opText = advance().text;
    opText.pop_back();  // "+=" keeps "+", plain "=" keeps ""
    node = makeNode(NodeKind::Assign);
    node->op = opCodeFor(opText, false);
    node->text = std::move(opText);
    node->children.push_back(std::move(target));
    node->children.push_back(parseLambdaOrOr());
  } else {
    node = makeNode(NodeKind::ExprStmt);
    node->children.push_back(std::move(target));
  }
  expectNewline();
  return node;
}

std::unique_ptr<Node> Parser::program() {
  auto root = std::make_unique<Node>(NodeKind::Program, 1);
  skipNewlines();
  while (current().kind != TokenKind::Eof) {
    root->children.push_back(parseStatement());
    skipNewlines();
  }
  return root;
}

}  // namespace

std::unique_ptr<Node> parseProgram(const std::vector<Token>& tokens, const std::string& fileName) {
  std::unique_ptr<Node> program = Parser(tokens, fileName).program();
  resolveSlots(program.get());
  return program;
}

std::unique_ptr<Node> parseSource(const std::string& source, const std::string& fileName) {
  return parseProgram(lex(source, fileName), fileName);
}

}  // namespace qlr
