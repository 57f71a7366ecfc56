// Expression evaluation: one handler per expression kind and operand shape, and the chooser that picks it.
#include <type_traits>

#include "interp/interpreter.h"
#include "support/stack.h"
#include "values/attributes.h"

namespace qlr {

struct ExpressionHandlers {
  using I = Interpreter;

  static Value intLiteral(I&, const Node* node, Environment*) { return Value::integer(node->intValue); }
  static Value floatLiteral(I&, const Node* node, Environment*) { return Value::number(node->floatValue); }
  // The chooser made the string once; every evaluation shares it.
  static Value stringLiteral(I&, const Node* node, Environment*) {
    return Value(ValueKind::String, static_cast<Obj*>(node->literal));
  }
  static Value boolLiteral(I&, const Node* node, Environment*) { return Value::boolean(node->boolValue); }
  static Value nullLiteral(I&, const Node*, Environment*) { return Value(); }

  static Value name(I& in, const Node* node, Environment* env) {
    if (Value* v = env->lookup(node->sym, node->slot, node->hint)) return *v;
    return in.raise(kNameError, message::notDefined(node->text), node->line);
  }

  static Value list(I& in, const Node* node, Environment* env) {
    auto list = makeRef<ListValue>();
    list->items.reserve(node->elements().size());
    for (const auto& child : node->elements()) {
      Value item = in.operand(child.get(), env);
      if (item.isAbrupt()) return item;
      holding(list.get(), item);
      list->items.push_back(std::move(item));
    }
    return Value(list);
  }

  static Value dict(I& in, const Node* node, Environment* env) {
    auto dict = makeRef<DictValue>();
    for (size_t i = 0; i < node->entryCount(); ++i) {
      Value key = in.operand(node->key(i), env);
      if (key.isAbrupt()) return key;
      Value value = in.operand(node->entryValue(i), env);
      if (value.isAbrupt()) return value;
      dict->set(dictKey(key), std::move(value));
    }
    return Value(dict);
  }

  static Value also(I& in, const Node* node, Environment* env) {
    Value left = in.operand(node->left(), env);
    if (left.isAbrupt() || !isTruthy(left)) return left;
    return in.operand(node->right(), env);
  }

  static Value either(I& in, const Node* node, Environment* env) {
    Value left = in.operand(node->left(), env);
    if (left.isAbrupt() || isTruthy(left)) return left;
    return in.operand(node->right(), env);
  }

  // One instance per operator, so that the number cases fold to the one
  // operation that applies.
  template <OpCode op>
  static Value binary(I& in, const Node* node, Environment* env) {
    Value left = in.operand(node->left(), env);
    if (left.isAbrupt()) return left;
    Value right = in.operand(node->right(), env);
    if (right.isAbrupt()) return right;
    return in.binaryOp(op, left, right, node->line);
  }

  // binary with an int literal on the right, as in n - 1 or x % 2 == 0.
  template <OpCode op>
  static Value binaryIntRight(I& in, const Node* node, Environment* env) {
    Value left = in.operand(node->left(), env);
    if (left.isAbrupt()) return left;
    return in.binaryOp(op, left, Value::integer(node->right()->intValue), node->line);
  }

  // A handler's outcome as its caller wants it: the value itself, or for a
  // condition its truth, Truth::Cut when the evaluation was cut short.
  template <class Result>
  [[gnu::always_inline]] static Result as(Value value) {
    if constexpr (std::is_same_v<Result, Truth>) {
      if (value.isAbrupt()) return Truth::Cut;
      return isTruthy(value) ? Truth::True : Truth::False;
    } else {
      return value;
    }
  }

  // The operands are bare names or an int literal: they are read in place,
  // without copies, since nothing runs between the reads and the operation.
  // As conditions (Result Truth) they make no bool value either.
  template <OpCode op, class Result>
  static Result nameAndInt(I& in, const Node* node, Environment* env) {
    const Node* left = node->left();
    const Value* bound = env->lookup(left->sym, left->slot, left->hint);
    if (!bound) return as<Result>(name(in, left, env));
    return as<Result>(in.binaryOp(op, *bound, Value::integer(node->right()->intValue), node->line));
  }
  template <OpCode op, class Result>
  static Result nameAndName(I& in, const Node* node, Environment* env) {
    const Node* left = node->left();
    const Node* right = node->right();
    const Value* leftBound = env->lookup(left->sym, left->slot, left->hint);
    if (!leftBound) return as<Result>(name(in, left, env));
    const Value* rightBound = env->lookup(right->sym, right->slot, right->hint);
    if (!rightBound) return as<Result>(name(in, right, env));
    return as<Result>(in.binaryOp(op, *leftBound, *rightBound, node->line));
  }

  static Truth truth(I& in, const Node* node, Environment* env) { return as<Truth>(in.operand(node, env)); }

  // Conditions whose operands are bare names or an int literal, as in
  // n < 2, have test handlers of their own; every other condition is
  // evaluated and its value tested.
  template <OpCode op>
  static TestHandler testFor(const Node* node) {
    const Node* left = node->left();
    const Node* right = node->right();
    if (left->kind != NodeKind::Name) return truth;
    if (right->kind == NodeKind::Number && !right->isFloat) return nameAndInt<op, Truth>;
    if (right->kind == NodeKind::Name) return nameAndName<op, Truth>;
    return truth;
  }

  // also, either and deny as conditions: the truth of each part decides,
  // and no part makes a bool value. Chains of them nest as deep as the
  // source is long, so each part checks the native stack as operand does.
  static Truth testPart(I& in, const Node* node, Environment* env) {
    if (in.stackLow()) return as<Truth>(in.raise(kRecursionError, message::kRecursionLimit, node->line));
    return in.test(node, env);
  }
  static Truth testAlso(I& in, const Node* node, Environment* env) {
    Truth left = testPart(in, node->left(), env);
    return left == Truth::True ? testPart(in, node->right(), env) : left;
  }
  static Truth testEither(I& in, const Node* node, Environment* env) {
    Truth left = testPart(in, node->left(), env);
    return left == Truth::False ? testPart(in, node->right(), env) : left;
  }
  static Truth testDeny(I& in, const Node* node, Environment* env) {
    Truth operand = testPart(in, node->operand(), env);
    if (operand == Truth::Cut) return operand;
    return operand == Truth::True ? Truth::False : Truth::True;
  }

  static TestHandler chooseTest(const Node* node) {
    if (node->kind == NodeKind::UnaryOp && node->op == OpCode::Deny) return testDeny;
    if (node->kind != NodeKind::BinOp) return truth;
    if (node->op == OpCode::Also) return testAlso;
    if (node->op == OpCode::Either) return testEither;
    return withOperator(node->op, TestHandler{truth}, [&](auto op) { return testFor<op.value>(node); });
  }

  // x == null and x != null: only null equals null.
  template <bool equal>
  static Value nullTest(I& in, const Node* node, Environment* env) {
    Value left = in.operand(node->left(), env);
    if (left.isAbrupt()) return left;
    return Value::boolean(left.is(ValueKind::Null) == equal);
  }

  template <OpCode op>
  static EvalHandler binaryFor(const Node* node) {
    const Node* left = node->left();
    const Node* right = node->right();
    bool nameLeft = left->kind == NodeKind::Name;
    if (right->kind == NodeKind::Number && !right->isFloat) return nameLeft ? nameAndInt<op, Value> : binaryIntRight<op>;
    if (nameLeft && right->kind == NodeKind::Name) return nameAndName<op, Value>;
    return binary<op>;
  }

  static Value negate(I& in, const Node* node, Environment* env) {
    Value operand = in.operand(node->operand(), env);
    if (operand.isAbrupt()) return operand;
    if (operand.is(ValueKind::Int))
      return Value::integer(static_cast<int64_t>(uint64_t{0} - static_cast<uint64_t>(operand.asInt())));
    if (operand.is(ValueKind::Float)) return Value::number(-operand.asFloat());
    return in.raise(kTypeMismatchError, message::cannotNegate(operand), node->line);
  }

  static Value deny(I& in, const Node* node, Environment* env) {
    Value operand = in.operand(node->operand(), env);
    if (operand.isAbrupt()) return operand;
    return Value::boolean(!isTruthy(operand));
  }

  static Value index(I& in, const Node* node, Environment* env) {
    ListValue* list;
    if (Value* item = in.plainListItem(node, env, list)) return *item;
    Value object = in.operand(node->object(), env);
    if (object.isAbrupt()) return object;
    Value index = in.operand(node->index(), env);
    if (index.isAbrupt()) return index;
    return in.indexGet(object, index, node->line);
  }

  static Value attribute(I& in, const Node* node, Environment* env) {
    Value object = in.operand(node->object(), env);
    if (object.isAbrupt()) return object;
    if (Value* field = findField(object, node->sym, node->hint)) return *field;  // the common case, read here
    return in.getAttr(object, node->sym, node->line);
  }

  static Value call(I& in, const Node* node, Environment* env) { return in.evalCall(node, env); }
  static Value lambda(I&, const Node* node, Environment* env) {
    return I::makeFunction(node, env);
  }
  static Value listComp(I& in, const Node* node, Environment* env) { return in.evalListComp(node, env); }

  [[noreturn]] static Value statement(I&, const Node*, Environment*) {
    throw QuilloraFatal(std::string(message::kEvalGotStatement));
  }

  // pick(std::integral_constant<OpCode, op>()) for the operator op of a
  // binary node that evaluates both operands; fallback for any other.
  template <class Handler, class Pick>
  static Handler withOperator(OpCode op, Handler fallback, Pick pick) {
    switch (op) {
      case OpCode::Eq:
        return pick(std::integral_constant<OpCode, OpCode::Eq>());
      case OpCode::Ne:
        return pick(std::integral_constant<OpCode, OpCode::Ne>());
      case OpCode::Le:
        return pick(std::integral_constant<OpCode, OpCode::Le>());
      case OpCode::Ge:
        return pick(std::integral_constant<OpCode, OpCode::Ge>());
      case OpCode::Lt:
        return pick(std::integral_constant<OpCode, OpCode::Lt>());
      case OpCode::Gt:
        return pick(std::integral_constant<OpCode, OpCode::Gt>());
      case OpCode::Within:
        return pick(std::integral_constant<OpCode, OpCode::Within>());
      case OpCode::Same:
        return pick(std::integral_constant<OpCode, OpCode::Same>());
      case OpCode::Add:
        return pick(std::integral_constant<OpCode, OpCode::Add>());
      case OpCode::Sub:
        return pick(std::integral_constant<OpCode, OpCode::Sub>());
      case OpCode::Mul:
        return pick(std::integral_constant<OpCode, OpCode::Mul>());
      case OpCode::Div:
        return pick(std::integral_constant<OpCode, OpCode::Div>());
      case OpCode::FloorDiv:
        return pick(std::integral_constant<OpCode, OpCode::FloorDiv>());
      case OpCode::Mod:
        return pick(std::integral_constant<OpCode, OpCode::Mod>());
      case OpCode::Pow:
        return pick(std::integral_constant<OpCode, OpCode::Pow>());
      default:
        return fallback;
    }
  }

  [[noreturn]] static Value malformed(I&, const Node*, Environment*) {
    throw QuilloraFatal(std::string(message::kBinaryWithoutOperator));
  }

  static EvalHandler binaryHandler(const Node* node) {
    if (node->op == OpCode::Also) return also;
    if (node->op == OpCode::Either) return either;
    if (node->right()->kind == NodeKind::Null) {
      if (node->op == OpCode::Eq) return nullTest<true>;
      if (node->op == OpCode::Ne) return nullTest<false>;
    }
    return withOperator(node->op, EvalHandler{malformed}, [&](auto op) { return binaryFor<op.value>(node); });
  }

  static EvalHandler choose(I& in, const Node* node) {
    switch (node->kind) {
      case NodeKind::Number:
        return node->isFloat ? floatLiteral : intLiteral;
      case NodeKind::String:
        node->literal = in.keepLiteral(makeString(node->text));
        return stringLiteral;
      case NodeKind::Bool:
        return boolLiteral;
      case NodeKind::Null:
        return nullLiteral;
      case NodeKind::Name:
        return name;
      case NodeKind::List:
        return list;
      case NodeKind::Dict:
        return dict;
      case NodeKind::BinOp:
        return binaryHandler(node);
      case NodeKind::UnaryOp:
        return node->op == OpCode::Deny ? deny : negate;
      case NodeKind::Index:
        return index;
      case NodeKind::Attr:
        return attribute;
      case NodeKind::Call:
        return call;
      case NodeKind::Lambda:
        return lambda;
      case NodeKind::ListComp:
        return listComp;
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
    return statement;
  }
};

Value chooseEvalHandler(Interpreter& interp, const Node* node, Environment* env) {
  node->evalHandler = ExpressionHandlers::choose(interp, node);
  return node->evalHandler(interp, node, env);
}

Truth chooseTestHandler(Interpreter& interp, const Node* node, Environment* env) {
  node->testHandler = ExpressionHandlers::chooseTest(node);
  return node->testHandler(interp, node, env);
}

Value Interpreter::eval(const Node* node, Environment* env) {
  if (stackLow()) return raise(kRecursionError, message::kRecursionLimit, node->line);
  try {
    return node->evalHandler(*this, node, env);
  } catch (QuilloraThrow& error) {
    return raise(std::move(error.value));
  }
}

Value Interpreter::evalListComp(const Node* node, Environment* env) {
  Value iterable = eval(node->iterable(), env);
  if (iterable.isAbrupt()) return iterable;
  const Node* element = node->element();
  const Node* filter = node->filter();
  auto result = makeRef<ListValue>();
  bool cut = false;
  forEachItem(iterable, node->line, reporter(), [&](Value item) {
    env->bindLocal(node->sym, node->slot, std::move(item), node->hint);
    if (filter) {
      Value keep = eval(filter, env);
      if (keep.isAbrupt()) return !(cut = true);
      if (!isTruthy(keep)) return true;
    }
    Value value = eval(element, env);
    if (value.isAbrupt()) return !(cut = true);
    holding(result.get(), value);
    result->items.push_back(std::move(value));
    return true;
  });
  if (cut) return Value::abrupt();
  return Value(result);
}

}  // namespace qlr
