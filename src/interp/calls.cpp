// Calls: dispatch on the callee, running script functions, instantiating blueprints.
#include <algorithm>

#include "interp/budget.h"
#include "interp/interpreter.h"
#include "values/stack.h"

namespace qlr {

namespace {

struct CallDepth {
  explicit CallDepth(int& d) : depth(d) { ++depth; }
  ~CallDepth() { --depth; }
  int& depth;
};

}  // namespace

Value Interpreter::makeFunction(const Node* definition, Environment* env) {
  env->capture();
  return Value(makeRef<FunctionValue>(definition, Ref<Container>(env)));
}

Value Interpreter::notCallable(const Value& callee, int line) {
  return raise(kTypeMismatchError, message::notCallable(callee), line);
}

// A new instance of cls, with init run on it when cls has one.
Value Interpreter::instantiate(ClassValue* cls, Args args, int line) {
  static const Symbol initSym = intern("init");
  auto instance = makeRef<InstanceValue>(Ref<ClassValue>(cls));
  if (FunctionValue* init = cls->findMethod(initSym)) {
    if (callFunction(init, args, instance.get(), line).isAbrupt()) return Value::abrupt();
    cls->fieldsHint = std::min(instance->fields.size(), kReservedFieldsLimit);
  }
  return Value(instance);
}

// The parameters of a call that the fast path of callFunction does not
// take: a repeated parameter name, arguments missing (their defaults are
// evaluated in the new scope, in order) or too many, a method without self.
Flow Interpreter::bindParameters(FunctionValue* function, Args args, InstanceValue* instance, Environment* env) {
  std::span<const Symbol> params = function->paramSyms();
  size_t n = params.size();
  size_t offset = 0;
  if (instance) {
    if (n == 0) return raise(kArgumentError, message::noSelfParameter(function->name()), 0);
    env->bindLocal(params[0], Value(ValueKind::Instance, instance));
    offset = 1;
  }
  size_t k = args.size();
  if (n - offset < k) return raise(kArgumentError, message::tooManyArguments(function->name(), n - offset, k), 0);
  for (size_t i = 0; i + offset < n; ++i) {
    size_t p = i + offset;
    if (i < k) {
      env->bindLocal(params[p], std::move(args[i]));
      continue;
    }
    const Node* def = function->defaultAt(p);
    if (!def) return raise(kArgumentError, message::missingArgument(function->params()[p], function->name()), 0);
    Value value = eval(def, env);
    if (value.isAbrupt()) return abruptFlow_;
    env->bindLocal(params[p], std::move(value));
  }
  return Flow::Normal;
}

Value Interpreter::callFunction(FunctionValue* function, Args args, InstanceValue* instance, int line) {
  // Raised as a returned status, not a C++ throw: this deep, unwinding
  // millions of bytes of native frames would cost more than the check.
  if (callDepth_ >= kMaxCallDepth || nativeStackLow()) return raise(kRecursionError, message::kRecursionLimit, line);
  spendBudget(1);
  CallDepth depth(callDepth_);
  Ref<FunctionValue> keep(function);  // the callee may drop its last other holder while it runs
  CallScope scope(static_cast<Environment*>(function->closure.get()));
  Environment* env = scope.get();
  std::span<const Symbol> params = function->paramSyms();
  size_t offset = instance ? 1 : 0;
  if (function->distinctParams && params.size() == args.size() + offset) {
    // Every parameter given once: a fresh scope holds nothing yet, so each
    // is added without a search.
    if (instance) env->vars.add(params[0], Value(ValueKind::Instance, instance));
    for (size_t i = 0; i < args.size(); ++i) env->vars.add(params[i + offset], std::move(args[i]));
  } else if (bindParameters(function, args, instance, env) != Flow::Normal) {
    return Value::abrupt();
  }
  if (function->isLambda) return eval(function->body, env);
  Flow flow = execBlock(function->body, env);
  switch (flow) {
    case Flow::Normal:
      return Value();
    case Flow::ReturnSignal:
      return std::move(pending);
    case Flow::BreakSignal:
    case Flow::ContinueSignal:  // stop and skip end the innermost running loop, across calls
    case Flow::ErrorSignal:
      break;
  }
  abruptFlow_ = flow;
  return Value::abrupt();
}

}  // namespace qlr
