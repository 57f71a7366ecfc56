// Runtime errors as script values, and matching them against catch clauses.
#include "interp/errors.h"

#include <new>

#include "interp/interpreter.h"

namespace qlr {

Ref<ClassValue> Interpreter::errType(std::string_view kind) {
  auto it = errorTypes.find(kind);
  if (it != errorTypes.end()) return it->second;
  auto cls = makeRef<ClassValue>(std::string(kind), nullptr);
  errorTypes.emplace(kind, cls);
  return cls;
}

namespace {

Value errorValue(Interpreter& interp, std::string_view kind, std::string_view message, int line) {
  auto error = makeRef<InstanceValue>(interp.errType(kind));
  error->fields.set(kMsgSymbol, makeString(message));
  error->fields.set(kLineSymbol, Value::integer(line));
  return Value(error);
}

}  // namespace

void Interpreter::throwError(std::string_view kind, std::string_view message, int line) {
  throw QuilloraThrow{errorValue(*this, kind, message, line)};
}

Raised Interpreter::raise(Value thrown) {
  inFlight = std::move(thrown);
  abruptFlow_ = Flow::ErrorSignal;
  return Raised();
}

Raised Interpreter::raise(std::string_view kind, std::string_view message, int line) {
  return raise(errorValue(*this, kind, message, line));
}

void Interpreter::prepareMemoryError() {
  spareMemoryError_ = errorValue(*this, kMemoryError, message::kOutOfMemory, 0);
  spareMessage_ = *spareMemoryError_.asInstance()->fields.find(kMsgSymbol);
  restoreMemoryReserve();
}

void Interpreter::restoreMemoryReserve() noexcept {
  if (!memoryReserve_) memoryReserve_.reset(new (std::nothrow) char[kMemoryReserveBytes]);
}

Value Interpreter::outOfMemory(int line) noexcept {
  memoryReserve_.reset();
  try {
    return errorValue(*this, kMemoryError, message::kOutOfMemory, line);
  } catch (const std::bad_alloc&) {
    // Not even a small error could be made: the spare stands in, with this
    // line. A script that caught it before may have changed its fields.
    SymbolMap<Value>& fields = spareMemoryError_.asInstance()->fields;
    if (Value* slot = fields.find(kMsgSymbol)) *slot = spareMessage_;
    if (Value* slot = fields.find(kLineSymbol)) *slot = Value::integer(line);
    return spareMemoryError_;
  }
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
