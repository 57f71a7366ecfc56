// Statement execution: assignment, conditionals, loops, definitions, attempt, remove, ensure.
#include "interp/budget.h"
#include "interp/interpreter.h"

namespace qlr {

namespace {

[[noreturn]] void expressionInExec() { throw QuilloraFatal("internal error: exec() got an expression node kind"); }

// What a loop does after its body completed with flow: true to leave the
// loop, with result set to how the loop statement itself completes.
bool loopEnds(Flow flow, Flow& result) {
  switch (flow) {
    case Flow::Normal:
    case Flow::ContinueSignal:
      return false;
    case Flow::BreakSignal:
      result = Flow::Normal;
      return true;
    case Flow::ReturnSignal:
    case Flow::ErrorSignal:
      result = flow;
      return true;
  }
  return false;
}

}  // namespace

Flow Interpreter::execBlock(const Node* node, Environment* env) {
  for (const auto& child : node->children) {
    Flow flow = exec(child.get(), env);
    if (flow != Flow::Normal) return flow;
  }
  return Flow::Normal;
}

// Inlined into exec: one native frame per statement.
[[gnu::always_inline]] inline Flow Interpreter::execStatement(const Node* node, Environment* env) {
  spendBudget(1);
  switch (node->kind) {
    case NodeKind::ExprStmt: {
      // Most expression statements are calls: skip the eval frame for them.
      const Node* expr = node->children[0].get();
      Value result = expr->kind == NodeKind::Call ? evalCall(expr, env) : eval(expr, env);
      return result.isAbrupt() ? abruptFlow_ : Flow::Normal;
    }
    case NodeKind::Assign: {
      const Node* target = node->children[0].get();
      Value value = operand(node->children[1].get(), env);
      if (value.isAbrupt()) return abruptFlow_;
      if (node->op != OpCode::None) {
        Value current = operand(target, env);
        if (current.isAbrupt()) return abruptFlow_;
        value = binaryOp(node->op, current, value, node->line);
        if (value.isAbrupt()) return abruptFlow_;
      }
      if (target->kind == NodeKind::Name && env->assignName(target->sym, std::move(value), globals.get(), target->hint))
        return Flow::Normal;
      return assignTo(target, value, env);
    }
    case NodeKind::If:
      while (node) {
        Value condition = operand(node->children[0].get(), env);
        if (condition.isAbrupt()) return abruptFlow_;
        if (isTruthy(condition)) return execBlock(node->children[1].get(), env);
        node = node->children[2].get();
        if (node && node->kind == NodeKind::Block) return execBlock(node, env);
      }
      return Flow::Normal;
    case NodeKind::While:
      return execWhile(node, env);
    case NodeKind::For:
      return execFor(node, env);
    case NodeKind::FuncDef:
      env->bindLocal(node->sym, Value(makeRef<FunctionValue>(node, Ref<Environment>(env))));
      return Flow::Normal;
    case NodeKind::ClassDef:
      return execClassDef(node, env);
    case NodeKind::Return:
      if (node->children.empty()) {
        pending = Value();
      } else {
        Value result = operand(node->children[0].get(), env);
        if (result.isAbrupt()) return abruptFlow_;
        pending = std::move(result);
      }
      return Flow::ReturnSignal;
    case NodeKind::Break:
      return Flow::BreakSignal;
    case NodeKind::Continue:
      return Flow::ContinueSignal;
    case NodeKind::Pass:
      return Flow::Normal;
    case NodeKind::Try:
      return execTry(node, env);
    case NodeKind::Throw: {
      Value thrown = eval(node->children[0].get(), env);
      if (thrown.isAbrupt()) return abruptFlow_;
      pending = std::move(thrown);
      return Flow::ErrorSignal;
    }
    case NodeKind::Import:
      return loadModule(node->text, env, node->line);
    case NodeKind::Global:
      for (Symbol name : node->nameSyms) env->declareGlobal(name);
      return Flow::Normal;
    case NodeKind::Nonlocal:
      for (Symbol name : node->nameSyms) env->declareNonlocal(name);
      return Flow::Normal;
    case NodeKind::Del:
      return execDel(node, env);
    case NodeKind::Assert: {
      Value condition = eval(node->children[0].get(), env);
      if (condition.isAbrupt()) return abruptFlow_;
      if (isTruthy(condition)) return Flow::Normal;
      if (node->children.size() < 2) fail("AssertionError", node->line, "assertion failed");
      Value message = eval(node->children[1].get(), env);
      if (message.isAbrupt()) return abruptFlow_;
      fail("AssertionError", node->line, valueToString(message, false));
    }
    case NodeKind::Program:
    case NodeKind::Block:
      return execBlock(node, env);
    case NodeKind::Number:
    case NodeKind::String:
    case NodeKind::Bool:
    case NodeKind::Null:
    case NodeKind::Name:
    case NodeKind::List:
    case NodeKind::Dict:
    case NodeKind::BinOp:
    case NodeKind::UnaryOp:
    case NodeKind::Index:
    case NodeKind::Attr:
    case NodeKind::Call:
    case NodeKind::Lambda:
    case NodeKind::ListComp:
      break;
  }
  expressionInExec();
}

Flow Interpreter::exec(const Node* node, Environment* env) {
  try {
    return execStatement(node, env);
  } catch (QuilloraThrow& error) {
    pending = std::move(error.value);
    return Flow::ErrorSignal;
  }
}

Flow Interpreter::assignTo(const Node* target, const Value& value, Environment* env) {
  if (target->kind == NodeKind::Name) {
    if (!env->assignName(target->sym, value, globals.get(), target->hint))
      fail("NameError", target->line, "no binding for nonlocal '", target->text, "'");
    return Flow::Normal;
  }
  if (target->kind == NodeKind::Index) {
    Value object = operand(target->children[0].get(), env);
    if (object.isAbrupt()) return abruptFlow_;
    Value index = operand(target->children[1].get(), env);
    if (index.isAbrupt()) return abruptFlow_;
    indexSet(object, index, value, target->line);
    return Flow::Normal;
  }
  if (target->kind == NodeKind::Attr) {
    Value object = operand(target->children[0].get(), env);
    if (object.isAbrupt()) return abruptFlow_;
    if (object.is(ValueKind::Instance)) {  // overwriting a field, the common case, stays here
      if (Value* field = object.asInstance()->fields.find(target->sym, target->hint)) {
        *field = value;
        return Flow::Normal;
      }
    }
    setAttr(object, target->sym, value, target->line);
    return Flow::Normal;
  }
  fail("SyntaxError", target->line, "invalid assignment target");
}

Flow Interpreter::execWhile(const Node* node, Environment* env) {
  const Node* condition = node->children[0].get();
  const Node* body = node->children[1].get();
  Flow result = Flow::Normal;
  for (;;) {
    Value test = operand(condition, env);
    if (test.isAbrupt()) return abruptFlow_;
    if (!isTruthy(test)) return Flow::Normal;
    if (loopEnds(execBlock(body, env), result)) return result;
  }
}

Flow Interpreter::execFor(const Node* node, Environment* env) {
  Value iterable = eval(node->children[0].get(), env);
  if (iterable.isAbrupt()) return abruptFlow_;
  const Node* body = node->children[1].get();
  Flow result = Flow::Normal;
  forEachItem(iterable, node->line, reporter(), [&](Value item) {
    env->assignLoopVariable(node->sym, std::move(item));
    return !loopEnds(execBlock(body, env), result);
  });
  return result;
}

Flow Interpreter::execClassDef(const Node* node, Environment* env) {
  Ref<ClassValue> base;
  if (!node->nameSyms.empty()) {
    Value* found = env->lookup(node->nameSyms[0]);
    if (!found || !found->is(ValueKind::Class))
      fail("NameError", node->line, "base blueprint '", node->names[0], "' is not defined");
    base = Ref<ClassValue>(found->asClass());
  }
  Ref<Environment> bodyEnv = Environment::make(env);
  Flow flow = execBlock(node->children[0].get(), bodyEnv.get());
  if (flow != Flow::Normal) return flow;
  auto cls = makeRef<ClassValue>(node->text, std::move(base));
  for (const auto& binding : bodyEnv->vars.entries()) {
    if (binding.value.is(ValueKind::Function)) {
      cls->methods.set(binding.key, Ref<FunctionValue>(binding.value.asFunction()));
    } else {
      cls->attrs.set(binding.key, binding.value);
    }
  }
  env->bindLocal(node->sym, Value(cls));
  return Flow::Normal;
}

// The atlast block runs on every way out: after the body or the chosen
// catch clause, whatever flow they ended with, and for a fatal error on its
// way to the top. A way out of its own (a back, stop, skip or error inside
// it) replaces the pending one.
Flow Interpreter::execTry(const Node* node, Environment* env) {
  const Node* finallyBody = node->finallyBody.get();
  Flow flow;
  try {
    flow = execBlock(node->children[0].get(), env);
    if (flow == Flow::ErrorSignal) {
      for (const CatchClause& clause : node->catches) {
        if (!catchMatches(clause, pending)) continue;
        Value thrown = std::move(pending);
        if (clause.hasName) env->bindLocal(clause.nameSym, std::move(thrown));
        flow = execBlock(clause.body.get(), env);
        break;
      }
    }
  } catch (...) {
    if (!finallyBody) throw;
    Flow finallyFlow = execBlock(finallyBody, env);
    if (finallyFlow != Flow::Normal) return finallyFlow;
    throw;
  }
  if (!finallyBody) return flow;
  Value inFlight = std::move(pending);  // the atlast block may run calls that use it
  Flow finallyFlow = execBlock(finallyBody, env);
  if (finallyFlow != Flow::Normal) return finallyFlow;
  pending = std::move(inFlight);
  return flow;
}

Flow Interpreter::execDel(const Node* node, Environment* env) {
  const Node* target = node->children[0].get();
  if (target->kind == NodeKind::Name) {
    if (!env->removeName(target->sym))
      fail("NameError", target->line, "name '", target->text, "' is not defined");
    return Flow::Normal;
  }
  if (target->kind == NodeKind::Index) {
    Value object = eval(target->children[0].get(), env);
    if (object.isAbrupt()) return abruptFlow_;
    Value index = eval(target->children[1].get(), env);
    if (index.isAbrupt()) return abruptFlow_;
    if (object.is(ValueKind::List)) {
      auto& items = object.asList()->items;
      int64_t at = sequencePosition(asIndex(index, target->line, reporter()), items.size());
      if (at < 0) fail("IndexError", target->line, "list index out of range");
      items.erase(items.begin() + at);
      return Flow::Normal;
    }
    if (object.is(ValueKind::Dict)) {
      Value key = dictKey(index);
      if (!object.asDict()->erase(key.asString()->view(), key.asString()->hash()))
        fail("KeyError", target->line, "key '", key.asString()->view(), "' not found");
      return Flow::Normal;
    }
    fail("TypeMismatchError", target->line, "cannot remove an index from a ", valueKind(object));
  }
  if (target->kind == NodeKind::Attr) {
    Value object = eval(target->children[0].get(), env);
    if (object.isAbrupt()) return abruptFlow_;
    if (object.is(ValueKind::Instance)) {
      if (!object.asInstance()->fields.erase(target->sym))
        fail("AttributeError", target->line, "no attribute '", target->text, "' to remove");
      return Flow::Normal;
    }
  }
  fail("SyntaxError", target->line, "invalid 'remove' target");
}

}  // namespace qlr
