// Attributes of instances and blueprints, and the method values an attribute read makes.
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

}  // namespace

Value Interpreter::getAttr(const Value& obj, Symbol name, int line) {
  if (obj.is(ValueKind::Instance)) {
    InstanceValue* inst = obj.asInstance();
    if (Value* field = inst->fields.find(name)) return *field;
    if (FunctionValue* method = inst->cls->findMethod(name)) return methodValue(this, method, inst);
    throwError("AttributeError", "'" + inst->cls->name + "' has no attribute '" + symbolName(name) + "'", line);
  }
  if (obj.is(ValueKind::Class)) {
    ClassValue* cls = obj.asClass();
    if (Value* attr = cls->attrs.find(name)) return *attr;
    if (FunctionValue* method = cls->findMethod(name)) return methodValue(this, method, nullptr);
    throwError("AttributeError", "class '" + cls->name + "' has no attribute '" + symbolName(name) + "'", line);
  }
  throwError("TypeMismatchError", "cannot access attribute '" + symbolName(name) + "' on a " + valueKind(obj), line);
}

void Interpreter::setAttr(const Value& obj, Symbol name, const Value& value, int line) {
  if (!obj.is(ValueKind::Instance))
    throwError("TypeMismatchError", "cannot set attribute '" + symbolName(name) + "' on a " + valueKind(obj), line);
  InstanceValue* inst = obj.asInstance();
  inst->fields.set(name, value);
}

}  // namespace qlr
