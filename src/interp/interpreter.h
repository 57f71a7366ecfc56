// The Interpreter: one evaluator with its global scope, walking the syntax tree.
//
// eval turns an expression node into a Value, exec runs a statement and
// reports how it completed (a Flow, see errors.h), execBlock runs a block.
// Each receives the current scope as a plain pointer; whoever passes it
// holds a reference for as long as the callee runs. eval, callValue and
// callFunction return Value::abrupt() when an error, stop or skip cuts them
// short; callers pass the marker on, and the statement that receives it
// completes with the flow the interpreter recorded for it.
//
// Dispatch: a node does not switch on its kind each time it runs. It holds
// a handler, picked on its first run from its kind and shape (eval.cpp and
// exec.cpp hold the handlers and the choosers): each binary operator has a
// handler per operator, with variants for bare-name and int-literal
// operands that read bindings in place; assignments have variants for a
// name and a field target. Handlers raise their own errors by putting them
// in flight (raise); leaf operations (operators, indexing, attributes,
// built-ins) throw QuilloraThrow (throwError), which handlers do not catch,
// so a throw travels at most to the nearest eval or execBlock, which turn
// it into the error in flight (errors.h). Names and fields remember where
// their table held them last (Node::hint, SymbolMap::find), so most
// lookups cost one comparison.
//
// Operations that depend only on values live in src/values/ and raise
// their errors through the ErrorReporter this interpreter makes (it
// forwards to throwError); the methods here that name them only pass it
// on: binary operators (values/operators.h, with the arithmetic of
// values/arithmetic.h), indexing (values/value.h) and attributes
// (values/attributes.h, whose lookup rule getAttr follows too, binding the
// methods it finds, calls.cpp).
// Calls are calls.cpp, expressions eval.cpp, statements exec.cpp, the top
// level run.cpp in src/host/, modules modules.cpp, the prompt repl.cpp.
//
// Memory: an allocation that fails anywhere below a statement throws
// std::bad_alloc, which the execBlock running the statement turns into a
// catchable MemoryError ("out of memory") at the statement's line. eval
// does not catch it: that would cost every evaluation a register, and a
// failed allocation is rare enough to unwind the rest of a statement.
// Containers stay consistent across such a throw (values/value.h), so a
// script that catches it can go on with what it had. Memory filled by many
// small objects leaves no room even to handle the error, so the
// interpreter holds a reserve that it lets go when memory runs out, for
// the catch clauses, atlast blocks and reports that follow; an attempt
// statement takes it back when memory allows. If even the small error
// instance cannot be made, a spare made with the interpreter stands in.
// Before any of that, the allocator's new-handler hands the object pools'
// free blocks back (values/object.h), so memory a script let go of in one
// size of object serves every other. The new-handler is the process's:
// the first interpreter installs this one, unless the program holding it
// has its own, and it stays, acting on the runtime active on the thread
// that ran out.
//
// Recursion: every script call and nested expression adds native frames.
// kMaxCallDepth bounds the nesting of script calls with a catchable
// RecursionError; the native stack guard of support/stack.h, checked at
// every call and every nested evaluation, raises the same error for what
// the count cannot see (a tree as deep as a long run of "+", a small
// thread stack).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "frontend/node.h"
#include "interp/environment.h"
#include "interp/errors.h"
#include "interp/runtime.h"
#include "support/stack.h"
#include "values/arithmetic.h"
#include "values/attributes.h"
#include "values/operators.h"
#include "values/value.h"

namespace qlr {

// Deepest nesting of script calls. Twice what deep real recursion needs
// (ten thousand levels must work); a call takes under half a kilobyte of
// native stack in an optimised build and about three under the sanitizers,
// whose error unwinding follows at most 64 MB of stack.
inline constexpr int kMaxCallDepth = 20000;

// Memory held back for handling an out-of-memory error (see above): enough
// for a catch clause or an atlast block that reports and lets go of data,
// and for the report of an uncaught error. It is address space, never
// touched, so it costs no resident memory.
inline constexpr size_t kMemoryReserveBytes = size_t{1} << 20;

// The outcome of testing a condition: Cut when an error, stop or skip cut
// its evaluation short.
enum class Truth : uint8_t { False, True, Cut };

class Interpreter {
  // All the state the interpreter changes as it runs, but for what lives
  // in the members below (support/support.h). First, so that it is made
  // before them and ends after them.
  Runtime runtime_;

 public:
  // Made on the thread that runs it (its stack floor is that thread's).
  Interpreter();
  ~Interpreter();
  Interpreter(const Interpreter&) = delete;
  Interpreter& operator=(const Interpreter&) = delete;

  // Makes this interpreter's runtime the thread's active one while the
  // result lives, for code that calls the methods below directly. run and
  // runRepl activate it themselves.
  [[nodiscard]] RuntimeActivation activate() { return RuntimeActivation(runtime_); }

  // Hashes a kind name given as any kind of string, so that a lookup makes no string.
  struct KindHash {
    using is_transparent = void;
    size_t operator()(std::string_view kind) const { return std::hash<std::string_view>()(kind); }
  };

  Ref<Environment> globals;
  std::unordered_map<std::string, Ref<ClassValue>, KindHash, std::equal_to<>> errorTypes;
  std::vector<std::string> loadedModules;
  std::string moduleDir;

  // Evaluation (eval.cpp) and execution (exec.cpp).
  Value eval(const Node* node, Environment* env);
  // eval for an operand inside an expression or statement handler: bound
  // names and int literals, the commonest operands, without a call, and
  // the rest by a direct call of the node's handler. An error the handler
  // throws is caught by the eval or execBlock that runs the enclosing node.
  [[gnu::always_inline]] Value operand(const Node* node, Environment* env) {
    if (node->kind == NodeKind::Name) {
      if (Value* v = env->lookup(node->sym, node->slot, node->hint)) return *v;
    } else if (node->kind == NodeKind::Number && !node->isFloat) {
      return Value::integer(node->intValue);
    }
    if (stackLow()) return raise(kRecursionError, message::kRecursionLimit, node->line);
    return node->evalHandler(*this, node, env);
  }
  // The item target (name[i]) names when name is bound to a list and i is
  // a bound int or an int literal within it: found without running code
  // or touching a count, its list in list. Null for anything else, which
  // takes the general path, errors included.
  [[gnu::always_inline]] Value* plainListItem(const Node* target, Environment* env, ListValue*& list) {
    const Node* object = target->object();
    const Node* index = target->index();
    if (object->kind != NodeKind::Name) return nullptr;
    int64_t i;
    if (index->kind == NodeKind::Number && !index->isFloat) {
      i = index->intValue;
    } else if (index->kind == NodeKind::Name) {
      Value* bound = env->lookup(index->sym, index->slot, index->hint);
      if (!bound || !bound->is(ValueKind::Int)) return nullptr;
      i = bound->asInt();
    } else {
      return nullptr;
    }
    Value* bound = env->lookup(object->sym, object->slot, object->hint);
    if (!bound || !bound->is(ValueKind::List)) return nullptr;
    list = bound->asList();
    int64_t at = sequencePosition(i, list->items.size());
    return at < 0 ? nullptr : &list->items[static_cast<size_t>(at)];
  }
  // The truth of the condition of a chk, orchk or spin, tested without
  // making a bool value where the condition is a simple comparison.
  Truth test(const Node* node, Environment* env) { return node->testHandler(*this, node, env); }
  // Runs one statement of a block. An error a leaf operation throws is
  // caught by execBlock, which runs every statement.
  Flow exec(const Node* node, Environment* env) { return node->execHandler(*this, node, env); }
  Flow execBlock(const Node* node, Environment* env);
  Flow assignTo(const Node* target, const Value& value, Environment* env);

  // Calls (calls.cpp). line is the line of the call, for errors that have one.
  Value callValue(const Value& callee, Args args, int line);
  Value callFunction(FunctionValue* function, Args args, InstanceValue* instance, int line = 0);
  // A function or lambda defined by definition, closing over env.
  static Value makeFunction(const Node* definition, Environment* env);

  // Values (src/values/).
  // The binary operators but also and either, which the evaluator decides
  // itself (operators.cpp).
  Value binaryOpDispatch(OpCode op, const Value& left, const Value& right, int line) {
    return binaryOperation(op, left, right, line, reporter());
  }
  // binaryOpDispatch for the evaluator: numbers are decided inline, and a
  // division by zero comes back as the error in flight, not a C++ throw.
  [[gnu::always_inline]] Value binaryOp(OpCode op, const Value& left, const Value& right, int line) {
    Value out;
    switch (numberOperation(op, left, right, out)) {
      case Arithmetic::Done:
        return out;
      case Arithmetic::ZeroDivisor:
        return raise(kDivisionError, message::divisionByZero(op), line);
      case Arithmetic::Unhandled:
        break;
    }
    return binaryOpDispatch(op, left, right, line);
  }
  Value indexGet(const Value& container, const Value& index, int line) {
    return readIndex(container, index, line, reporter());
  }
  void indexSet(const Value& container, const Value& index, const Value& value, int line) {
    writeIndex(container, index, value, line, reporter());
  }
  // Reading an attribute binds a method it finds to its instance (calls.cpp).
  Value getAttr(const Value& obj, Symbol name, int line);
  void setAttr(const Value& obj, Symbol name, const Value& value, int line) {
    setField(obj, name, value, line, reporter());
  }
  // getAttr and setAttr for a name a script built at run time. Only a new
  // field interns the name: the symbol table never grows for a read, nor
  // for a write that fails.
  Value getAttrByName(const Value& obj, std::string_view name, int line);
  void setAttrByName(const Value& obj, std::string_view name, const Value& value, int line) {
    setFieldByName(obj, name, value, line, reporter());
  }

  // Errors (errors.cpp; see errors.h for who raises how). Kinds and
  // messages come from values/messages.h.
  Ref<ClassValue> errType(std::string_view kind);
  // Raises an error from a leaf operation: throws it as a QuilloraThrow.
  [[noreturn]] void throwError(std::string_view kind, std::string_view message, int line);
  // Raises an error from a handler of the evaluator: puts it, or a value a
  // script threw, in flight; the handler returns what this returns.
  Raised raise(std::string_view kind, std::string_view message, int line);
  Raised raise(Value thrown);
  const ErrorReporter& reporter() const { return reporter_; }

  // Built-ins (src/builtins/).
  void registerBuiltins();

  // Host (src/host/).
  void run(const Node* program, const std::string& path);
  Flow loadModule(const std::string& name, Environment* env, int line);
  void runRepl();

  // Keeps a parsed tree alive as long as the interpreter (functions and
  // blueprints it defines point into it) and returns it.
  const Node* keepTree(std::unique_ptr<Node> tree);
  // Keeps value alive as long as the interpreter, for a node's cache of a
  // literal (Node::literal), and returns its object.
  Obj* keepLiteral(Value value) {
    literals_.push_back(std::move(value));
    return literals_.back().asObj();
  }

  // The value of the ReturnSignal or ErrorSignal in flight.
  Value inFlight;

  // Takes the memory reserve back if memory ran out since it was let go
  // and there is room for it again.
  void restoreMemoryReserve() noexcept;

 private:
  friend struct ExpressionHandlers;
  friend struct StatementHandlers;
  Flow runBlock(const Node* node, Environment* env);
  Flow execTry(const Node* node, Environment* env);
  Flow execFor(const Node* node, Environment* env);
  Flow execWhile(const Node* node, Environment* env);
  Flow execClassDef(const Node* node, Environment* env);
  Flow execDel(const Node* node, Environment* env);
  Value evalCall(const Node* node, Environment* env);
  Value instantiate(ClassValue* cls, Args args, int line);
  Flow bindParameters(FunctionValue* function, Args args, InstanceValue* instance, Environment* env);
  Value evalMethodCall(const Node* node, Environment* env, Args args);
  Value evalListComp(const Node* node, Environment* env);
  // The MemoryError for an allocation that failed at line: a fresh error
  // when one can still be made, else the spare made with the interpreter.
  Value outOfMemory(int line) noexcept;
  void prepareMemoryError();

  // Whether the native stack is too low to recurse further (support/stack.h).
  [[gnu::always_inline]] bool stackLow() const { return nativeStackLow(runtime_.stackFloor); }

  // Lets go of every value the interpreter holds, with its runtime active:
  // its construction failing and its destruction end here.
  void releaseValues() noexcept;

  Flow abruptFlow_ = Flow::Normal;
  std::unique_ptr<char[]> memoryReserve_;
  Value spareMemoryError_;
  Value spareMessage_;  // its "msg", put back should a script have changed it
  ErrorReporter reporter_;
  int callDepth_ = 0;
  // Trees of modules loaded by this interpreter and of interactive entries;
  // functions they define point into them.
  std::vector<std::unique_ptr<Node>> keptTrees_;
  // The values of the string literals the evaluator has met (keepLiteral).
  std::vector<Value> literals_;
  // Modules whose statements are running, so that a module adding itself
  // again (directly or through others) does nothing instead of recursing.
  std::vector<std::string> loadingModules_;
};

}  // namespace qlr
