// Statement execution: one handler per statement kind and shape, and the chooser that picks it.
#include <new>

#include "interp/interpreter.h"
#include "support/budget.h"
#include "values/attributes.h"

namespace qlr {

namespace {

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

// The error of assigning to a name declared nloc that no enclosing scope
// binds, raised out of line: the assignment handlers' frames hold no message.
[[gnu::cold, gnu::noinline]] Flow unboundNonlocal(Interpreter& in, const Node* target) {
  return in.raise(kNameError, message::noNonlocalBinding(target->text), target->line);
}

}  // namespace

// execBlock for the statement handlers below, inlined into each: loops,
// conditionals and attempt statements run a block per turn. Its handlers
// would otherwise keep the compiler from inlining it.
[[gnu::always_inline]] inline Flow Interpreter::runBlock(const Node* node, Environment* env) {
  const auto& statements = node->statements();
  auto child = statements.begin();
  try {
    for (; child != statements.end(); ++child) {
      spendBudget(1);
      Flow flow = exec(child->get(), env);
      if (flow != Flow::Normal) return flow;
    }
  } catch (QuilloraThrow& error) {
    inFlight = std::move(error.value);
    return Flow::ErrorSignal;
  } catch (const std::bad_alloc&) {
    inFlight = outOfMemory((*child)->line);
    return Flow::ErrorSignal;
  }
  return Flow::Normal;
}

Flow Interpreter::execBlock(const Node* node, Environment* env) { return runBlock(node, env); }

struct StatementHandlers {
  using I = Interpreter;

  // Most expression statements are calls: they skip the eval frame.
  static Flow callStatement(I& in, const Node* node, Environment* env) {
    return in.evalCall(node->expression(), env).isAbrupt() ? in.abruptFlow_ : Flow::Normal;
  }
  static Flow expressionStatement(I& in, const Node* node, Environment* env) {
    return in.operand(node->expression(), env).isAbrupt() ? in.abruptFlow_ : Flow::Normal;
  }

  // name = value (op None), and name op= value. The right-hand side is
  // evaluated before the target is read. assignName fails only for an
  // unbound nloc name.
  template <OpCode op>
  static Flow assignName(I& in, const Node* node, Environment* env) {
    const Node* target = node->target();
    Value value = in.operand(node->value(), env);
    if (value.isAbrupt()) return in.abruptFlow_;
    if constexpr (op != OpCode::None) {
      // A name bound in this scope, with no glob or nloc declared, is read
      // and written where it is: the rule would read this binding and
      // assign this scope's.
      if (!env->hasDeclarations()) {
        if (Value* slot = env->own(target->sym, target->slot, target->hint)) {
          if (op == OpCode::Add && appendInPlace(*slot, value)) return Flow::Normal;
          Value result = in.binaryOp(op, *slot, value, node->line);
          if (result.isAbrupt()) return in.abruptFlow_;
          *slot = std::move(result);
          return Flow::Normal;
        }
      }
      Value current = in.operand(target, env);
      if (current.isAbrupt()) return in.abruptFlow_;
      value = in.binaryOp(op, current, value, node->line);
      if (value.isAbrupt()) return in.abruptFlow_;
    }
    if (env->assignName(target->sym, target->slot, std::move(value), in.globals.get(), target->hint)) return Flow::Normal;
    return unboundNonlocal(in, target);
  }

  // Adding to a string that only binding holds extends it where it is: the
  // sum would be a copy that replaces the one reference to the original.
  static bool appendInPlace(Value& binding, const Value& right) {
    if (!binding.is(ValueKind::String) || binding.asObj()->refCount != 1) return false;
    std::string scratch;
    StringValue::appendTo(binding, concatText(right, scratch));
    return true;
  }

  // Parts a name = name + a + b ... assignment appends in place at most:
  // longer sums are rare and take the general path.
  static constexpr size_t kMaxAppendedParts = 8;

  // The parts of name = name + a + b + ..., outermost last; zero when the
  // value is not such a sum.
  static size_t appendedParts(const Node* node, const Node* (&parts)[kMaxAppendedParts]) {
    const Node* sum = node->value();
    size_t count = 0;
    for (; sum->kind == NodeKind::BinOp && sum->op == OpCode::Add; sum = sum->left()) {
      if (count == kMaxAppendedParts) return 0;
      parts[count++] = sum->right();
    }
    bool sameName = sum->kind == NodeKind::Name && sum->sym == node->target()->sym;
    return sameName ? count : 0;
  }

  // name = name + a + b ..., the way strings are built piece by piece: when
  // name is a string bound here it is read, the parts are evaluated in
  // order, and the sum is made in place if nothing else took hold of the
  // string meanwhile. Adding anything to a string renders it, so each
  // step of the sum is a string and no part can fail to be added.
  static Flow appendToName(I& in, const Node* node, Environment* env) {
    const Node* target = node->target();
    Value* slot = env->hasDeclarations() ? nullptr : env->own(target->sym, target->slot, target->hint);
    if (!slot || !slot->is(ValueKind::String)) return assignName<OpCode::None>(in, node, env);
    const Node* parts[kMaxAppendedParts];
    size_t count = appendedParts(node, parts);
    Value held = *slot;
    Value values[kMaxAppendedParts];
    for (size_t i = count; i-- > 0;) {
      values[i] = in.operand(parts[i], env);
      if (values[i].isAbrupt()) return in.abruptFlow_;
    }
    // The parts' text is gathered first, so that running out of memory
    // midway leaves name as it was.
    std::string joined;
    std::string_view tail;
    if (count == 1) {
      tail = concatText(values[0], joined);
    } else {
      for (size_t i = count; i-- > 0;) appendValue(joined, values[i], false);
      tail = joined;
    }
    slot = env->own(target->sym, target->slot, target->hint);  // evaluating a part may have rebound name
    if (slot && slot->is(ValueKind::String) && slot->asString() == held.asString() && held.asObj()->refCount == 2) {
      held = Value();
      StringValue::appendTo(*slot, tail);
      return Flow::Normal;
    }
    Value sum(StringValue::concat(held.asString()->view(), tail));
    if (env->assignName(target->sym, target->slot, std::move(sum), in.globals.get(), target->hint)) return Flow::Normal;
    return unboundNonlocal(in, target);
  }

  // object.name = value (op None), and name.field op= value. An existing
  // field of an instance is read and written in place, anything else goes
  // through getAttr and setAttr. For op= the object is a bare name, so
  // evaluating it once finds what the two evaluations of the general rule
  // would: nothing between them runs script code.
  template <OpCode op>
  static Flow assignField(I& in, const Node* node, Environment* env) {
    const Node* target = node->target();
    Value value = in.operand(node->value(), env);
    if (value.isAbrupt()) return in.abruptFlow_;
    Value object = in.operand(target->object(), env);
    if (object.isAbrupt()) return in.abruptFlow_;
    if (Value* field = findField(object, target->sym, target->hint)) {
      if constexpr (op == OpCode::None) {
        *field = std::move(value);
      } else {
        Value result = in.binaryOp(op, *field, value, node->line);
        if (result.isAbrupt()) return in.abruptFlow_;
        *field = std::move(result);
      }
      return Flow::Normal;
    }
    if constexpr (op != OpCode::None) {
      value = in.binaryOp(op, in.getAttr(object, target->sym, target->line), value, node->line);
      if (value.isAbrupt()) return in.abruptFlow_;
    }
    in.setAttr(object, target->sym, value, target->line);
    return Flow::Normal;
  }

  // Assignment to an index or attribute; their sub-expressions are
  // evaluated afresh by assignTo, so twice in an augmented assignment.
  static Flow assign(I& in, const Node* node, Environment* env) {
    const Node* target = node->target();
    Value value = in.operand(node->value(), env);
    if (value.isAbrupt()) return in.abruptFlow_;
    if (node->op != OpCode::None) {
      Value current = in.operand(target, env);
      if (current.isAbrupt()) return in.abruptFlow_;
      value = in.binaryOp(node->op, current, value, node->line);
      if (value.isAbrupt()) return in.abruptFlow_;
    }
    return in.assignTo(target, value, env);
  }

  static Flow conditional(I& in, const Node* node, Environment* env) {
    while (node) {
      Truth condition = in.test(node->condition(), env);
      if (condition == Truth::Cut) return in.abruptFlow_;
      if (condition == Truth::True) return in.runBlock(node->thenBlock(), env);
      node = node->elsePart();
      if (node && node->kind == NodeKind::Block) return in.runBlock(node, env);
    }
    return Flow::Normal;
  }

  static Flow whileLoop(I& in, const Node* node, Environment* env) { return in.execWhile(node, env); }
  static Flow forLoop(I& in, const Node* node, Environment* env) { return in.execFor(node, env); }
  static Flow functionDef(I&, const Node* node, Environment* env) {
    env->bindLocal(node->sym, node->slot, I::makeFunction(node, env), node->hint);
    return Flow::Normal;
  }
  static Flow classDef(I& in, const Node* node, Environment* env) { return in.execClassDef(node, env); }

  // back value and throw value: the value travels as the one in flight.
  template <Flow signal>
  static Flow leaveWith(I& in, const Node* node, Environment* env) {
    Value carried = in.operand(signal == Flow::ReturnSignal ? node->returned() : node->thrown(), env);
    if (carried.isAbrupt()) return in.abruptFlow_;
    in.inFlight = std::move(carried);
    return signal;
  }
  static Flow returnNull(I& in, const Node*, Environment*) {
    in.inFlight = Value();
    return Flow::ReturnSignal;
  }
  static Flow breakLoop(I&, const Node*, Environment*) { return Flow::BreakSignal; }
  static Flow continueLoop(I&, const Node*, Environment*) { return Flow::ContinueSignal; }
  static Flow pass(I&, const Node*, Environment*) { return Flow::Normal; }
  static Flow attempt(I& in, const Node* node, Environment* env) { return in.execTry(node, env); }

  static Flow import(I& in, const Node* node, Environment* env) { return in.loadModule(node->text, env, node->line); }
  static Flow global(I&, const Node* node, Environment* env) {
    for (Symbol name : node->nameSyms) env->declareGlobal(name);
    return Flow::Normal;
  }
  static Flow nonlocal(I&, const Node* node, Environment* env) {
    for (Symbol name : node->nameSyms) env->declareNonlocal(name);
    return Flow::Normal;
  }
  static Flow remove(I& in, const Node* node, Environment* env) { return in.execDel(node, env); }

  static Flow ensure(I& in, const Node* node, Environment* env) {
    Value condition = in.operand(node->condition(), env);
    if (condition.isAbrupt()) return in.abruptFlow_;
    if (isTruthy(condition)) return Flow::Normal;
    if (!node->message()) return in.raise(kAssertionError, message::kAssertionFailed, node->line);
    Value text = in.operand(node->message(), env);
    if (text.isAbrupt()) return in.abruptFlow_;
    return in.raise(kAssertionError, valueToString(text, false), node->line);
  }

  static Flow block(I& in, const Node* node, Environment* env) { return in.execBlock(node, env); }

  [[noreturn]] static Flow expression(I&, const Node*, Environment*) {
    throw QuilloraFatal(std::string(message::kExecGotExpression));
  }

  template <OpCode op>
  struct ToName {
    static constexpr ExecHandler handler = assignName<op>;
  };
  template <OpCode op>
  struct ToField {
    static constexpr ExecHandler handler = assignField<op>;
  };

  // The handler of the family Target (ToName, ToField) for an assignment
  // with operator op: Target<OpCode::Add>::handler for +=, and so on.
  template <template <OpCode> class Target>
  static ExecHandler assignmentFor(OpCode op) {
    switch (op) {
      case OpCode::None:
        return Target<OpCode::None>::handler;
      case OpCode::Add:
        return Target<OpCode::Add>::handler;
      case OpCode::Sub:
        return Target<OpCode::Sub>::handler;
      case OpCode::Mul:
        return Target<OpCode::Mul>::handler;
      case OpCode::Div:
        return Target<OpCode::Div>::handler;
      case OpCode::Mod:
        return Target<OpCode::Mod>::handler;
      default:  // no augmented assignment has another operator
        return assign;
    }
  }

  static ExecHandler assignHandler(const Node* node) {
    const Node* target = node->target();
    if (target->kind == NodeKind::Name) {
      const Node* parts[kMaxAppendedParts];
      if (node->op == OpCode::None && appendedParts(node, parts) > 0) return appendToName;
      return assignmentFor<ToName>(node->op);
    }
    if (target->kind == NodeKind::Attr && (node->op == OpCode::None || target->object()->kind == NodeKind::Name))
      return assignmentFor<ToField>(node->op);
    return assign;
  }

  static ExecHandler choose(const Node* node) {
    switch (node->kind) {
      case NodeKind::ExprStmt:
        return node->expression()->kind == NodeKind::Call ? callStatement : expressionStatement;
      case NodeKind::Assign:
        return assignHandler(node);
      case NodeKind::If:
        return conditional;
      case NodeKind::While:
        return whileLoop;
      case NodeKind::For:
        return forLoop;
      case NodeKind::FuncDef:
        return functionDef;
      case NodeKind::ClassDef:
        return classDef;
      case NodeKind::Return:
        return node->returnsValue() ? leaveWith<Flow::ReturnSignal> : returnNull;
      case NodeKind::Break:
        return breakLoop;
      case NodeKind::Continue:
        return continueLoop;
      case NodeKind::Pass:
        return pass;
      case NodeKind::Try:
        return attempt;
      case NodeKind::Throw:
        return leaveWith<Flow::ErrorSignal>;
      case NodeKind::Import:
        return import;
      case NodeKind::Global:
        return global;
      case NodeKind::Nonlocal:
        return nonlocal;
      case NodeKind::Del:
        return remove;
      case NodeKind::Assert:
        return ensure;
      case NodeKind::Program:
      case NodeKind::Block:
        return block;
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
    return expression;
  }
};

Flow chooseExecHandler(Interpreter& interp, const Node* node, Environment* env) {
  node->execHandler = StatementHandlers::choose(node);
  return node->execHandler(interp, node, env);
}

Flow Interpreter::assignTo(const Node* target, const Value& value, Environment* env) {
  if (target->kind == NodeKind::Name) {
    if (!env->assignName(target->sym, target->slot, value, globals.get(), target->hint)) return unboundNonlocal(*this, target);
    return Flow::Normal;
  }
  if (target->kind == NodeKind::Index) {
    ListValue* list;
    if (Value* item = plainListItem(target, env, list)) {
      holding(list, value);
      *item = value;
      return Flow::Normal;
    }
    Value object = operand(target->object(), env);
    if (object.isAbrupt()) return abruptFlow_;
    Value index = operand(target->index(), env);
    if (index.isAbrupt()) return abruptFlow_;
    indexSet(object, index, value, target->line);
    return Flow::Normal;
  }
  if (target->kind == NodeKind::Attr) {
    Value object = operand(target->object(), env);
    if (object.isAbrupt()) return abruptFlow_;
    if (Value* field = findField(object, target->sym, target->hint)) {  // the common case, written here
      *field = value;
    } else {
      setAttr(object, target->sym, value, target->line);
    }
    return Flow::Normal;
  }
  return raise(kSyntaxError, message::kInvalidAssignmentTarget, target->line);
}

Flow Interpreter::execWhile(const Node* node, Environment* env) {
  const Node* condition = node->condition();
  const Node* body = node->loopBody();
  Flow result = Flow::Normal;
  for (;;) {
    Truth truth = test(condition, env);
    if (truth == Truth::Cut) return abruptFlow_;
    if (truth == Truth::False) return Flow::Normal;
    if (loopEnds(runBlock(body, env), result)) return result;
  }
}

// Flattened: the walk over the items and the body's block, run once per
// item, inline here, which the compiler's own size limits would not allow.
[[gnu::flatten]] Flow Interpreter::execFor(const Node* node, Environment* env) {
  Value iterable = eval(node->iterable(), env);
  if (iterable.isAbrupt()) return abruptFlow_;
  const Node* body = node->loopBody();
  Flow result = Flow::Normal;
  forEachItem(iterable, node->line, reporter(), [&](Value item) {
    env->assignLoopVariable(node->sym, node->slot, std::move(item), node->hint);
    return !loopEnds(runBlock(body, env), result);
  });
  return result;
}

Flow Interpreter::execClassDef(const Node* node, Environment* env) {
  Ref<ClassValue> base;
  if (!node->nameSyms.empty()) {
    Value* found = env->lookup(node->nameSyms[0]);
    if (!found || !found->is(ValueKind::Class))
      return raise(kNameError, message::baseNotDefined(node->names[0]), node->line);
    base = Ref<ClassValue>(found->asClass());
  }
  Ref<Environment> bodyEnv = Environment::make(env);
  Flow flow = execBlock(node->body(), bodyEnv.get());
  if (flow != Flow::Normal) return flow;
  auto cls = makeRef<ClassValue>(node->text, std::move(base));
  for (const auto& binding : bodyEnv->vars.entries()) {
    if (binding.value.is(ValueKind::Function)) {
      cls->methods.set(binding.key, Ref<FunctionValue>(binding.value.asFunction()));
    } else {
      cls->attrs.set(binding.key, binding.value);
    }
  }
  env->bindLocal(node->sym, node->slot, Value(cls), node->hint);
  return Flow::Normal;
}

// The atlast block runs on every way out: after the body or the chosen
// catch clause, whatever flow they ended with, and for a fatal error on its
// way to the top. A way out of its own (a back, stop, skip or error inside
// it) replaces the one in flight, except an Unreplaceable (a failed write
// to standard output, a Ctrl-C), which goes on however the block ends.
Flow Interpreter::execTry(const Node* node, Environment* env) {
  if (!memoryReserve_) [[unlikely]] restoreMemoryReserve();  // so that its handlers have room
  const Node* finallyBody = node->finallyBody.get();
  Flow flow;
  try {
    flow = runBlock(node->body(), env);
    if (flow == Flow::ErrorSignal) {
      for (const CatchClause& clause : node->catches) {
        if (!catchMatches(clause, inFlight)) continue;
        Value thrown = std::move(inFlight);
        uint32_t hint = 0;
        if (clause.hasName) env->bindLocal(clause.nameSym, clause.slot, std::move(thrown), hint);
        flow = runBlock(clause.body.get(), env);
        break;
      }
    }
  } catch (const Unreplaceable&) {
    if (finallyBody) execBlock(finallyBody, env);
    throw;
  } catch (...) {
    if (!finallyBody) throw;
    Flow finallyFlow = execBlock(finallyBody, env);
    if (finallyFlow != Flow::Normal) return finallyFlow;
    throw;
  }
  if (!finallyBody) return flow;
  Value saved = std::move(inFlight);  // the atlast block may run calls that use it
  Flow finallyFlow = runBlock(finallyBody, env);
  if (finallyFlow != Flow::Normal) return finallyFlow;
  inFlight = std::move(saved);
  return flow;
}

Flow Interpreter::execDel(const Node* node, Environment* env) {
  const Node* target = node->target();
  if (target->kind == NodeKind::Name) {
    if (!env->removeName(target->sym))
      return raise(kNameError, message::notDefined(target->text), target->line);
    return Flow::Normal;
  }
  if (target->kind == NodeKind::Index) {
    Value object = eval(target->object(), env);
    if (object.isAbrupt()) return abruptFlow_;
    Value index = eval(target->index(), env);
    if (index.isAbrupt()) return abruptFlow_;
    if (object.is(ValueKind::List)) {
      auto& items = object.asList()->items;
      int64_t at = sequencePosition(asIndex(index, target->line, reporter()), items.size());
      if (at < 0) return raise(kIndexError, message::kListIndexOutOfRange, target->line);
      items.erase(items.begin() + at);
      return Flow::Normal;
    }
    if (object.is(ValueKind::Dict)) {
      Value key = dictKey(index);
      if (!object.asDict()->erase(key.asString()->view(), key.asString()->hash()))
        return raise(kKeyError, message::keyNotFound(key.asString()->view()), target->line);
      return Flow::Normal;
    }
    return raise(kTypeMismatchError, message::cannotRemoveIndex(object), target->line);
  }
  if (target->kind == NodeKind::Attr) {
    Value object = eval(target->object(), env);
    if (object.isAbrupt()) return abruptFlow_;
    if (object.is(ValueKind::Instance)) {
      if (!object.asInstance()->fields.erase(target->sym))
        return raise(kAttributeError, message::noAttributeToRemove(target->text), target->line);
      return Flow::Normal;
    }
  }
  return raise(kSyntaxError, message::kInvalidRemoveTarget, target->line);
}

}  // namespace qlr
