// The syntax tree: one flat record for every construct.
//
// There is no class hierarchy and no virtual dispatch: a Node has a kind
// and the fields that kind uses. The parser fills only the fields a kind
// uses; all others keep their empty defaults. Besides the source-level
// fields (text, names, params) the parser resolves two things once so that
// the evaluator never works on text: every name becomes an interned Symbol
// (sym, nameSyms, paramSyms, CatchClause::nameSym) and every operator an
// OpCode (op).
//
// Children are stored by position and read through the named accessors
// below; this table is the layout they encode ("-" marks a null child).
//
//   kind      fields                          children
//   Program   -                               statements()
//   Block     -                               statements()
//   Number    isFloat, intValue, floatValue   -
//   String    text (decoded)                  -
//   Bool      boolValue                       -
//   Null      -                               -
//   Name      text/sym                        -
//   List      -                               elements()
//   Dict      -                               key(0), entryValue(0)...key(entryCount()-1), entryValue(...)
//   BinOp     text/op                         left(), right()
//   UnaryOp   text/op                         operand()
//   Assign    text/op ("" / None for =)       target(), value()
//   Index     -                               object(), index()
//   Attr      text/sym (the attribute)        object()
//   Call      -                               callee(), arg(0)...arg(argCount()-1)
//   If        -                               condition(), thenBlock(), elsePart(): an If, a Block or -
//   While     -                               condition(), loopBody()
//   For       text/sym (the variable)         iterable(), loopBody()
//   FuncDef   text/sym, params, defaults      body()
//   Lambda    params                          body() (an expression)
//   Return    -                               returned() when returnsValue(), else none
//   Break, Continue, Pass                     -
//   ClassDef  text/sym, names (the base)      body()
//   Try       catches, finallyBody            body()
//   Throw     -                               thrown()
//   Import    text/sym (the module)           -
//   Global, Nonlocal  names/nameSyms          -
//   Del       -                               target()
//   Assert    -                               condition(), message(): an expression or -
//   ListComp  text/sym (the variable)         iterable(), element(), filter(): an expression or -
//   ExprStmt  -                               expression()
//
// Ownership: a node owns its children, defaults, catch bodies and
// finallyBody. Function and blueprint values keep plain pointers into the
// tree, so the host keeps every parsed tree alive for the rest of the run.
//
// Apart from the tree, each node carries what the evaluator learns on its
// first run (the last members): which handler runs it, where its name was
// found last, the value of a literal. They change nothing the tree means,
// and the front end knows nothing of them beyond their place: the literal
// is an untyped pointer to a value the evaluator keeps alive. A tree is
// therefore run by one interpreter, the one whose symbol table its names
// were interned in (frontend/symbols.h).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "frontend/slots.h"
#include "frontend/symbols.h"

namespace qlr {

enum class NodeKind : int32_t {
  Program,    // 0
  Block,      // 1
  Number,     // 2
  String,     // 3
  Bool,       // 4
  Null,       // 5
  Name,       // 6
  List,       // 7
  Dict,       // 8
  BinOp,      // 9
  UnaryOp,    // 10
  Assign,     // 11
  Index,      // 12
  Attr,       // 13
  Call,       // 14
  If,         // 15
  While,      // 16
  For,        // 17
  FuncDef,    // 18
  Lambda,     // 19
  Return,     // 20
  Break,      // 21
  Continue,   // 22
  Pass,       // 23
  ClassDef,   // 24
  Try,        // 25
  Throw,      // 26
  Import,     // 27
  Global,     // 28
  Nonlocal,   // 29
  Del,        // 30
  Assert,     // 31
  ListComp,   // 32
  ExprStmt,   // 33
};

// The operator of a BinOp, UnaryOp or augmented Assign, decided once by the
// parser from the operator's text.
enum class OpCode : uint8_t {
  None,  // plain assignment, and every node that has no operator
  Either,
  Also,
  Eq,
  Ne,
  Le,
  Ge,
  Lt,
  Gt,
  Within,
  Same,
  Add,
  Sub,
  Mul,
  Div,
  FloorDiv,
  Mod,
  Pow,
  Neg,   // unary "-"
  Deny,  // unary "deny"
};

// The OpCode for an operator's text ("+", "//", "within", "deny", ...);
// OpCode::None for any other text. unary selects "-" as Neg.
OpCode opCodeFor(std::string_view text, bool unary);
// The text of an OpCode, as the source spells it; "" for None.
std::string_view opText(OpCode op);

struct Node;
class Interpreter;
class Environment;
class Value;
enum class Flow : uint8_t;
enum class Truth : uint8_t;

// How the evaluator runs a node. Each node starts with the chooser, which on
// the node's first run picks the handler for its kind and shape, stores it
// in the node and runs it (interp/eval.cpp for expressions, interp/exec.cpp
// for statements).
using EvalHandler = Value (*)(Interpreter&, const Node*, Environment*);
using ExecHandler = Flow (*)(Interpreter&, const Node*, Environment*);
using TestHandler = Truth (*)(Interpreter&, const Node*, Environment*);  // a node used as a condition
Value chooseEvalHandler(Interpreter& interp, const Node* node, Environment* env);
Flow chooseExecHandler(Interpreter& interp, const Node* node, Environment* env);
Truth chooseTestHandler(Interpreter& interp, const Node* node, Environment* env);

struct CatchClause {
  bool hasType = false;
  std::string typeName;
  bool hasName = false;
  std::string name;
  std::unique_ptr<Node> body;
  Symbol nameSym = kNoSymbol;  // interned name when hasName
  mutable int32_t slot = kBySymbol;  // the slot nameSym binds (slots.h)
};

struct Node {
  Node(NodeKind k, int32_t ln) : kind(k), line(ln) {}
  // Frees the subtree without recursing: a long run of a left-nested
  // operator or postfix chain makes a tree as deep as the source is long.
  ~Node();
  Node(const Node&) = delete;
  Node& operator=(const Node&) = delete;

  NodeKind kind;
  int32_t line;
  std::string text;
  bool isFloat = false;
  int64_t intValue = 0;
  double floatValue = 0.0;
  bool boolValue = false;
  std::vector<std::unique_ptr<Node>> children;
  std::vector<std::string> names;
  std::vector<std::string> params;
  std::vector<std::unique_ptr<Node>> defaults;
  std::vector<CatchClause> catches;
  std::unique_ptr<Node> finallyBody;

  // Resolved by the parser (see the file comment).
  Symbol sym = kNoSymbol;          // text interned, for kinds whose text is a name
  OpCode op = OpCode::None;        // BinOp, UnaryOp, Assign
  std::vector<Symbol> nameSyms;    // names interned
  std::vector<Symbol> paramSyms;   // params interned

  // Children by role, for the kinds the table above lists them under.
  const std::vector<std::unique_ptr<Node>>& statements() const { return children; }
  const std::vector<std::unique_ptr<Node>>& elements() const { return children; }
  size_t entryCount() const { return children.size() / 2; }
  const Node* key(size_t i) const { return child(2 * i); }
  const Node* entryValue(size_t i) const { return child(2 * i + 1); }
  const Node* left() const { return child(0); }
  const Node* right() const { return child(1); }
  const Node* operand() const { return child(0); }
  const Node* target() const { return child(0); }
  const Node* value() const { return child(1); }
  const Node* object() const { return child(0); }
  const Node* index() const { return child(1); }
  const Node* callee() const { return child(0); }
  size_t argCount() const { return children.size() - 1; }
  const Node* arg(size_t i) const { return child(i + 1); }
  const Node* condition() const { return child(0); }
  const Node* thenBlock() const { return child(1); }
  const Node* elsePart() const { return child(2); }
  const Node* iterable() const { return child(0); }
  const Node* loopBody() const { return child(1); }
  const Node* body() const { return child(0); }
  bool returnsValue() const { return !children.empty(); }
  const Node* returned() const { return child(0); }  // when returnsValue()
  const Node* thrown() const { return child(0); }
  const Node* message() const { return children.size() < 2 ? nullptr : child(1); }
  const Node* element() const { return child(1); }
  const Node* filter() const { return child(2); }
  const Node* expression() const { return child(0); }

  // Filled by the evaluator on first use (see the file comment): the
  // handlers, a name's position hint (see SymbolMap::find), and the
  // immutable value of a string literal, made once instead of at every
  // evaluation and owned by the interpreter (Interpreter::keepLiteral).
  mutable EvalHandler evalHandler = chooseEvalHandler;
  mutable ExecHandler execHandler = chooseExecHandler;
  mutable TestHandler testHandler = chooseTestHandler;
  mutable uint32_t hint = 0;
  mutable void* literal = nullptr;
  // From resolveSlots (slots.h): the slot of the name a Name, For, ListComp,
  // FuncDef or ClassDef node reads or binds in its function's scope, and
  // the layout of a FuncDef's or Lambda's own scope.
  mutable int32_t slot = kBySymbol;
  mutable std::unique_ptr<SlotLayout> layout;

 private:
  const Node* child(size_t i) const { return children[i].get(); }
};

}  // namespace qlr
