// Attributes of instances and blueprints, and the method values an attribute read makes.
#include "values/attributes.h"

#include "interp/interpreter.h"

namespace qlr {

namespace {

Value callBoundMethod(NativeFn& self, Args args) {
  return self.interp->callFunction(self.method.get(), args, self.receiver.get());
}

Value methodValue(Interpreter* interp, FunctionValue* method, InstanceValue* receiver) {
  auto fn = makeRef<NativeFn>(callBoundMethod);
  fn->interp = interp;
  fn->method = Ref<FunctionValue>(method);
  fn->receiver = Ref<InstanceValue>(receiver);
  return Value(fn);
}

// The error of a read of name that obj has no attribute for.
[[noreturn]] void noAttribute(Interpreter& interp, const Value& obj, std::string_view name, int line) {
  interp.throwError(hasAttributes(obj) ? kAttributeError : kTypeMismatchError, message::noAttribute(obj, name), line);
}

[[noreturn]] void cannotSetAttribute(Interpreter& interp, const Value& obj, std::string_view name, int line) {
  interp.throwError(kTypeMismatchError, message::cannotSetAttribute(obj, name), line);
}

}  // namespace

Value Interpreter::getAttr(const Value& obj, Symbol name, int line) {
  uint32_t hint = 0;
  Member member = findMember(obj, name, hint);
  if (member.value) return *member.value;
  if (member.method) return methodValue(this, member.method, member.receiver);
  noAttribute(*this, obj, symbolName(name), line);
}

Value Interpreter::getAttrByName(const Value& obj, std::string_view name, int line) {
  Symbol sym = findSymbol(name);
  if (sym == kNoSymbol) noAttribute(*this, obj, name, line);
  return getAttr(obj, sym, line);
}

void Interpreter::setAttr(const Value& obj, Symbol name, const Value& value, int line) {
  if (!obj.is(ValueKind::Instance)) cannotSetAttribute(*this, obj, symbolName(name), line);
  obj.asInstance()->fields.set(name, value);
}

void Interpreter::setAttrByName(const Value& obj, std::string_view name, const Value& value, int line) {
  if (!obj.is(ValueKind::Instance)) cannotSetAttribute(*this, obj, name, line);  // before the name is interned
  setAttr(obj, intern(name), value, line);
}

}  // namespace qlr
