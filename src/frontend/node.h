// The syntax tree: one flat record for every construct.
//
// There is no class hierarchy and no virtual dispatch: a Node has a kind
// and the fields that kind uses, and the evaluator switches on the kind.
// The parser fills only the fields a kind uses; all others keep their
// empty defaults. Besides the source-level fields (text, names, params) the
// parser resolves two things once so that the evaluator never works on
// text: every name becomes an interned Symbol (sym, nameSyms, paramSyms,
// CatchClause::nameSym) and every operator an OpCode (op).
//
// Ownership: a node owns its children, defaults, catch bodies and
// finallyBody. Function and blueprint values keep plain pointers into the
// tree, so the host keeps every parsed tree alive for the rest of the run.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "frontend/symbols.h"
#include "values/object.h"

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
OpCode opCodeFor(const std::string& text, bool unary);

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
  Symbol nameSym = 0;  // interned name when hasName
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
  Symbol sym = 0;                  // text interned, for kinds whose text is a name
  OpCode op = OpCode::None;        // BinOp, UnaryOp, Assign
  std::vector<Symbol> nameSyms;    // names interned
  std::vector<Symbol> paramSyms;   // params interned

  // Filled by the evaluator on first use: the immutable value of a string
  // literal, made once instead of at every evaluation.
  mutable Ref<Obj> constant;
  // Filled by the evaluator: where the table last searched for sym held it
  // (see SymbolMap::find), for names and attributes.
  mutable uint32_t hint = 0;
  mutable EvalHandler evalHandler = chooseEvalHandler;
  mutable ExecHandler execHandler = chooseExecHandler;
  mutable TestHandler testHandler = chooseTestHandler;
};

}  // namespace qlr
