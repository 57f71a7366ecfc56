// Runtime errors as script values, and matching them against catch clauses.
#include "interp/errors.h"

#include "interp/interpreter.h"

namespace qlr {

Ref<ClassValue> Interpreter::errType(const std::string& kind) {
  auto it = errorTypes.find(kind);
  if (it != errorTypes.end()) return it->second;
  auto cls = makeRef<ClassValue>(kind, nullptr);
  errorTypes.emplace(kind, cls);
  return cls;
}

namespace {

Value errorValue(Interpreter& interp, const std::string& kind, const std::string& message, int line) {
  static const Symbol msgSym = intern("msg");
  static const Symbol lineSym = intern("line");
  auto error = makeRef<InstanceValue>(interp.errType(kind));
  error->fields.set(msgSym, makeString(message));
  error->fields.set(lineSym, Value::integer(line));
  return Value(error);
}

}  // namespace

void Interpreter::throwError(const std::string& kind, const std::string& message, int line) {
  throw QuilloraThrow{errorValue(*this, kind, message, line)};
}

Value Interpreter::raise(Value thrown) {
  pending = std::move(thrown);
  abruptFlow_ = Flow::ErrorSignal;
  return Value::abrupt();
}

Value Interpreter::abrupt(Flow flow) {
  abruptFlow_ = flow;
  return Value::abrupt();
}

Value Interpreter::raiseError(const std::string& kind, const std::string& message, int line) {
  return raise(errorValue(*this, kind, message, line));
}

Value Interpreter::recursionError(int line) {
  return raiseError("RecursionError", "maximum recursion depth exceeded", line);
}

Value Interpreter::divisionByZero(OpCode op, int line) {
  return raiseError("DivisionError", op == OpCode::Mod ? "modulo by zero" : "division by zero", line);
}

bool catchMatches(const CatchClause& clause, const Value& thrown) {
  if (!clause.hasType) return true;
  if (!thrown.is(ValueKind::Instance)) return clause.typeName == valueKind(thrown);
  for (const ClassValue* cls = thrown.asInstance()->cls.get(); cls; cls = cls->base.get()) {
    if (cls->name == clause.typeName) return true;
  }
  return false;
}

}  // namespace qlr
