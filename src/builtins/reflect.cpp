// Built-ins that inspect values and reach attributes by name: sizeof, kind, grab, put, has, classname.
#include "builtins/builtins.h"

namespace qlr {
namespace builtins {

namespace {

// The attribute name an argument stands for: a string as it is, anything
// else rendered (into rendered, which holds the text).
std::string_view attributeName(const Value& name, std::string& rendered) {
  if (name.is(ValueKind::String)) return name.asString()->view();
  rendered = valueToString(name, false);
  return rendered;
}

Value sizeOf(NativeFn& self, Args args) {
  const Value& x = arg(self, args, 0, "sizeof(x) needs an argument");
  if (x.is(ValueKind::String)) return Value::integer(static_cast<int64_t>(x.asString()->size));
  if (x.is(ValueKind::List)) return Value::integer(static_cast<int64_t>(x.asList()->items.size()));
  if (x.is(ValueKind::Dict)) return Value::integer(static_cast<int64_t>(x.asDict()->size()));
  fail(self, "TypeMismatchError", "sizeof() doesn't apply to a ", valueKind(x));
}

Value kind(NativeFn&, Args args) { return makeString(args.empty() ? "null" : valueKind(args[0])); }

Value grab(NativeFn& self, Args args) {
  need(self, args, 2, "grab(obj, name) needs 2 arguments");
  std::string rendered;
  std::string_view name = attributeName(args[1], rendered);
  if (args.size() < 3) return self.interp->getAttrByName(args[0], name, 0);
  try {
    return self.interp->getAttrByName(args[0], name, 0);
  } catch (const QuilloraThrow&) {
    return args[2];
  }
}

Value put(NativeFn& self, Args args) {
  need(self, args, 3, "put(obj, name, value) needs 3 arguments");
  std::string rendered;
  self.interp->setAttrByName(args[0], attributeName(args[1], rendered), args[2], 0);
  return Value();
}

Value has(NativeFn& self, Args args) {
  need(self, args, 2, "has(obj, name) needs 2 arguments");
  std::string rendered;
  std::string_view name = attributeName(args[1], rendered);
  if (findSymbol(name) == kNoSymbol) return Value::boolean(false);  // bound nowhere
  try {
    self.interp->getAttrByName(args[0], name, 0);
    return Value::boolean(true);
  } catch (const QuilloraThrow&) {
    return Value::boolean(false);
  }
}

Value classname(NativeFn& self, Args args) {
  const Value& x = arg(self, args, 0, "classname(x) needs an argument");
  if (x.is(ValueKind::Instance)) return makeString(x.asInstance()->cls->name);
  if (x.is(ValueKind::Class)) return makeString(x.asClass()->name);
  fail(self, "TypeMismatchError", "classname() expects an instance or blueprint");
}

const Builtin kTable[] = {{"sizeof", sizeOf}, {"kind", kind}, {"grab", grab},
                          {"put", put},       {"has", has},   {"classname", classname}};

}  // namespace

constinit const Table kReflectBuiltins = kTable;

}  // namespace builtins
}  // namespace qlr
