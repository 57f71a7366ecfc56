// Expression evaluation: one case per expression kind of the syntax tree.
#include <vector>

#include "interp/interpreter.h"
#include "values/stack.h"

namespace qlr {

namespace {

// Arguments of most calls fit here, so a call allocates nothing for them.
constexpr size_t kInlineArgs = 4;

[[noreturn]] void statementInEval() { throw QuilloraFatal("internal error: eval() got a statement node kind"); }

}  // namespace

// Inlined into eval: one native frame per level of nesting.
[[gnu::always_inline]] inline Value Interpreter::evalNode(const Node* node, Environment* env) {
  switch (node->kind) {
    case NodeKind::Number:
      return node->isFloat ? Value::number(node->floatValue) : Value::integer(node->intValue);
    case NodeKind::String:
      if (!node->constant) node->constant = Ref<Obj>(makeString(node->text).asObj());
      return Value(ValueKind::String, node->constant.get());
    case NodeKind::Bool:
      return Value::boolean(node->boolValue);
    case NodeKind::Null:
      return Value();
    case NodeKind::Name: {
      if (Value* v = env->lookup(node->sym, node->hint)) return *v;
      fail("NameError", node->line, "name '", node->text, "' is not defined");
    }
    case NodeKind::List: {
      auto list = makeRef<ListValue>();
      list->items.reserve(node->children.size());
      for (const auto& child : node->children) {
        Value item = eval(child.get(), env);
        if (item.isAbrupt()) return item;
        list->items.push_back(std::move(item));
      }
      return Value(list);
    }
    case NodeKind::Dict: {
      auto dict = makeRef<DictValue>();
      for (size_t i = 0; i + 1 < node->children.size(); i += 2) {
        Value key = eval(node->children[i].get(), env);
        if (key.isAbrupt()) return key;
        Value value = eval(node->children[i + 1].get(), env);
        if (value.isAbrupt()) return value;
        dict->set(dictKey(key), std::move(value));
      }
      return Value(dict);
    }
    case NodeKind::BinOp: {
      Value left = operand(node->children[0].get(), env);
      if (left.isAbrupt()) return left;
      if (node->op == OpCode::Also) return isTruthy(left) ? eval(node->children[1].get(), env) : left;
      if (node->op == OpCode::Either) return isTruthy(left) ? left : eval(node->children[1].get(), env);
      Value right = operand(node->children[1].get(), env);
      if (right.isAbrupt()) return right;
      return binaryOp(node->op, left, right, node->line);
    }
    case NodeKind::UnaryOp: {
      Value operand = this->operand(node->children[0].get(), env);
      if (operand.isAbrupt()) return operand;
      if (node->op == OpCode::Deny) return Value::boolean(!isTruthy(operand));
      if (operand.is(ValueKind::Int))
        return Value::integer(static_cast<int64_t>(uint64_t{0} - static_cast<uint64_t>(operand.asInt())));
      if (operand.is(ValueKind::Float)) return Value::number(-operand.asFloat());
      fail("TypeMismatchError", node->line, "cannot negate a ", valueKind(operand));
    }
    case NodeKind::Index: {
      Value object = operand(node->children[0].get(), env);
      if (object.isAbrupt()) return object;
      Value index = operand(node->children[1].get(), env);
      if (index.isAbrupt()) return index;
      return indexGet(object, index, node->line);
    }
    case NodeKind::Attr: {
      Value object = operand(node->children[0].get(), env);
      if (object.isAbrupt()) return object;
      if (object.is(ValueKind::Instance)) {  // a field read, the common case, stays here
        if (Value* field = object.asInstance()->fields.find(node->sym, node->hint)) return *field;
      }
      return getAttr(object, node->sym, node->line);
    }
    case NodeKind::Call:
      return evalCall(node, env);
    case NodeKind::Lambda:
      return Value(makeRef<FunctionValue>(node, Ref<Environment>(env)));
    case NodeKind::ListComp:
      return evalListComp(node, env);
    case NodeKind::Program:
    case NodeKind::Block:
    case NodeKind::Assign:
    case NodeKind::If:
    case NodeKind::While:
    case NodeKind::For:
    case NodeKind::FuncDef:
    case NodeKind::Return:
    case NodeKind::Break:
    case NodeKind::Continue:
    case NodeKind::Pass:
    case NodeKind::ClassDef:
    case NodeKind::Try:
    case NodeKind::Throw:
    case NodeKind::Import:
    case NodeKind::Global:
    case NodeKind::Nonlocal:
    case NodeKind::Del:
    case NodeKind::Assert:
    case NodeKind::ExprStmt:
      break;
  }
  statementInEval();
}

Value Interpreter::eval(const Node* node, Environment* env) {
  if (nativeStackLow()) return recursionError(node->line);
  try {
    return evalNode(node, env);
  } catch (QuilloraThrow& error) {
    return raise(std::move(error.value));
  }
}

Value Interpreter::evalCall(const Node* node, Environment* env) {
  size_t argc = node->children.size() - 1;
  Value inlineArgs[kInlineArgs];
  std::vector<Value> heapArgs;
  Value* argv = inlineArgs;
  if (argc > kInlineArgs) {
    heapArgs.resize(argc);
    argv = heapArgs.data();
  }
  for (size_t i = 0; i < argc; ++i) {
    argv[i] = operand(node->children[i + 1].get(), env);
    if (argv[i].isAbrupt()) return Value::abrupt();
  }
  Args args(argv, argc);
  const Node* calleeNode = node->children[0].get();
  if (calleeNode->kind == NodeKind::Attr) return evalMethodCall(node, env, args);
  Value callee = operand(calleeNode, env);
  if (callee.isAbrupt()) return callee;
  return callValue(callee, args, node->line);
}

// object.name(args): calls the method directly, without making the bound
// method value a plain read of object.name would.
Value Interpreter::evalMethodCall(const Node* node, Environment* env, Args args) {
  const Node* attr = node->children[0].get();
  Value object = operand(attr->children[0].get(), env);
  if (object.isAbrupt()) return object;
  if (object.is(ValueKind::Instance)) {
    InstanceValue* inst = object.asInstance();
    if (Value* field = inst->fields.find(attr->sym)) {
      Value callee = *field;
      return callValue(callee, args, node->line);
    }
    if (FunctionValue* method = inst->cls->findMethod(attr->sym)) return callFunction(method, args, inst, node->line);
    fail("AttributeError", node->line, "'", inst->cls->name, "' has no attribute '", attr->text, "'");
  }
  if (object.is(ValueKind::Class)) {
    ClassValue* cls = object.asClass();
    if (Value* value = cls->attrs.find(attr->sym)) {
      Value callee = *value;
      return callValue(callee, args, node->line);
    }
    if (FunctionValue* method = cls->findMethod(attr->sym)) return callFunction(method, args, nullptr, node->line);
    fail("AttributeError", node->line, "class '", cls->name, "' has no attribute '", attr->text, "'");
  }
  fail("TypeMismatchError", node->line, "cannot call an attribute on a ", valueKind(object));
}

Value Interpreter::evalListComp(const Node* node, Environment* env) {
  Value iterable = eval(node->children[0].get(), env);
  if (iterable.isAbrupt()) return iterable;
  const Node* element = node->children[1].get();
  const Node* filter = node->children[2].get();
  auto result = makeRef<ListValue>();
  bool cut = false;
  forEachItem(iterable, node->line, reporter(), [&](Value item) {
    env->bindLocal(node->sym, std::move(item));
    if (filter) {
      Value keep = eval(filter, env);
      if (keep.isAbrupt()) return !(cut = true);
      if (!isTruthy(keep)) return true;
    }
    Value value = eval(element, env);
    if (value.isAbrupt()) return !(cut = true);
    result->items.push_back(std::move(value));
    return true;
  });
  if (cut) return Value::abrupt();
  return Value(result);
}

}  // namespace qlr
