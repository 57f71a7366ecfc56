// Calls: call expressions, dispatch on the callee, running script functions, instantiating blueprints, bound methods.
#include <algorithm>
#include <memory>
#include <new>

#include "interp/interpreter.h"
#include "support/budget.h"
#include "support/stack.h"
#include "values/attributes.h"

namespace qlr {

namespace {

struct CallDepth {
  explicit CallDepth(int& d) : depth(d) { ++depth; }
  ~CallDepth() { --depth; }
  int& depth;
};

// The evaluated arguments of one call. Those of most calls fit in the
// caller's frame, so a call allocates nothing for them; slots are
// constructed only as they are filled.
class ArgValues {
 public:
  explicit ArgValues(size_t count)
      : data_(count <= kInline ? reinterpret_cast<Value*>(inline_)
                               : static_cast<Value*>(::operator new(count * sizeof(Value)))) {}
  ~ArgValues() {
    std::destroy_n(data_, size_);
    if (data_ != reinterpret_cast<Value*>(inline_)) ::operator delete(data_);
  }
  ArgValues(const ArgValues&) = delete;
  ArgValues& operator=(const ArgValues&) = delete;

  void push(Value value) { new (data_ + size_++) Value(std::move(value)); }
  Args args() { return Args(data_, size_); }

 private:
  static constexpr size_t kInline = 4;
  alignas(Value) unsigned char inline_[kInline * sizeof(Value)];
  Value* data_;
  size_t size_ = 0;
};

// The errors of calls are raised out of line: the frames of evalCall and
// callValue, which every call runs through, hold no message.

// object.name(args) where object has no member name.
[[gnu::cold, gnu::noinline]] Value noMember(Interpreter& in, const Value& object, const Node* attr, int line) {
  if (hasAttributes(object)) return in.raise(kAttributeError, message::noAttribute(object, attr->text), line);
  return in.raise(kTypeMismatchError, message::cannotCallAttribute(object), line);
}

[[gnu::cold, gnu::noinline]] Value notCallable(Interpreter& in, const Value& callee, int line) {
  return in.raise(kTypeMismatchError, message::notCallable(callee), line);
}

Value callBoundMethod(NativeFn& self, Args args) {
  return self.interp->callFunction(self.method.get(), args, self.receiver.get());
}

// A method read as a value: a native function that calls it, bound to
// receiver when it was read through an instance.
Value methodValue(Interpreter* interp, FunctionValue* method, InstanceValue* receiver) {
  auto fn = makeRef<NativeFn>(callBoundMethod);
  fn->interp = interp;
  fn->method = Ref<FunctionValue>(method);
  fn->receiver = Ref<InstanceValue>(receiver);
  return Value(fn);
}

}  // namespace

Value Interpreter::evalCall(const Node* node, Environment* env) {
  size_t argc = node->argCount();
  ArgValues argv(argc);
  for (size_t i = 0; i < argc; ++i) {
    Value arg = operand(node->arg(i), env);
    if (arg.isAbrupt()) return arg;
    argv.push(std::move(arg));
  }
  Args args = argv.args();
  const Node* calleeNode = node->callee();
  if (calleeNode->kind == NodeKind::Attr) return evalMethodCall(node, env, args);
  // A script function called by name needs no copy of its value:
  // callFunction holds the function for as long as it runs.
  if (calleeNode->kind == NodeKind::Name) {
    if (Value* bound = env->lookup(calleeNode->sym, calleeNode->slot, calleeNode->hint)) {
      if (bound->is(ValueKind::Function)) return callFunction(bound->asFunction(), args, nullptr, node->line);
      Value callee = *bound;  // held: the call may rebind the name
      return callValue(callee, args, node->line);
    }
  }
  Value callee = operand(calleeNode, env);
  if (callee.isAbrupt()) return callee;
  return callValue(callee, args, node->line);
}

// object.name(args): calls the method directly, without making the bound
// method value a plain read of object.name would.
Value Interpreter::evalMethodCall(const Node* node, Environment* env, Args args) {
  const Node* attr = node->callee();
  Value object = operand(attr->object(), env);
  if (object.isAbrupt()) return object;
  Member member = findMember(object, attr->sym, attr->hint);
  if (member.value) {
    Value callee = *member.value;  // held: the call may drop the field or attribute
    return callValue(callee, args, node->line);
  }
  if (member.method) return callFunction(member.method, args, member.receiver, node->line);
  return noMember(*this, object, attr, node->line);
}

Value Interpreter::getAttr(const Value& obj, Symbol name, int line) {
  uint32_t hint = 0;
  Member member = findMember(obj, name, hint);
  if (member.value) return *member.value;
  if (member.method) return methodValue(this, member.method, member.receiver);
  noAttribute(obj, symbolName(name), line, reporter());
}

Value Interpreter::getAttrByName(const Value& obj, std::string_view name, int line) {
  Symbol sym = findSymbol(name);
  if (sym == kNoSymbol) noAttribute(obj, name, line, reporter());
  return getAttr(obj, sym, line);
}

Value Interpreter::callValue(const Value& callee, Args args, int line) {
  switch (callee.kind()) {
    case ValueKind::Function:
      return callFunction(callee.asFunction(), args, nullptr, line);
    case ValueKind::Native:  // its errors are caught by the eval or execBlock running the call
      return callee.asNative()->call(*callee.asNative(), args);
    case ValueKind::Class:
      return instantiate(callee.asClass(), args, line);
    default:
      return notCallable(*this, callee, line);
  }
}

Value Interpreter::makeFunction(const Node* definition, Environment* env) {
  env->capture();
  return Value(makeRef<FunctionValue>(definition, Ref<Container>(env)));
}

// A new instance of cls, with init run on it when cls has one.
Value Interpreter::instantiate(ClassValue* cls, Args args, int line) {
  auto instance = makeRef<InstanceValue>(Ref<ClassValue>(cls));
  if (FunctionValue* init = cls->findMethod(kInitSymbol)) {
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
  if (callDepth_ >= kMaxCallDepth || stackLow()) return raise(kRecursionError, message::kRecursionLimit, line);
  spendBudget(1);
  CallDepth depth(callDepth_);
  Ref<FunctionValue> keep(function);  // the callee may drop its last other holder while it runs
  const SlotLayout* layout = function->def->layout.get();
  CallScope scope(static_cast<Environment*>(function->closure.get()), layout);
  Environment* env = scope.get();
  std::span<const Symbol> params = function->paramSyms();
  size_t offset = instance ? 1 : 0;
  if (layout && function->distinctParams && params.size() == args.size() + offset) {
    // Every parameter given once: each goes straight into its slot, or,
    // declared glob or nloc, into the fresh scope's empty table.
    auto bind = [&](size_t position, Value&& value) {
      int32_t slot = layout->paramSlots[position];
      if (slot >= 0) {
        env->slots()[slot] = std::move(value);
      } else {
        env->vars.add(params[position], std::move(value));
      }
    };
    if (instance) bind(0, Value(ValueKind::Instance, instance));
    for (size_t i = 0; i < args.size(); ++i) bind(i + offset, std::move(args[i]));
  } else if (bindParameters(function, args, instance, env) != Flow::Normal) {
    return Value::abrupt();
  }
  if (function->isLambda) return eval(function->body, env);
  Flow flow = execBlock(function->body, env);
  switch (flow) {
    case Flow::Normal:
      return Value();
    case Flow::ReturnSignal:
      return std::move(inFlight);
    case Flow::BreakSignal:
    case Flow::ContinueSignal:  // stop and skip end the innermost running loop, across calls
    case Flow::ErrorSignal:
      break;
  }
  abruptFlow_ = flow;
  return Value::abrupt();
}

}  // namespace qlr
