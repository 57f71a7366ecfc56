// Conversion built-ins: intval, floatval, strval.
#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "builtins/builtins.h"

namespace qlr {
namespace builtins {

Value intval(NativeFn& self, Args args) {
  need(self, args, 1, "intval(x) needs an argument");
  const Value& x = args[0];
  switch (x.kind()) {
    case ValueKind::Int:
      return x;
    case ValueKind::Float:
      return Value::integer(floatToInt(*self.interp, std::trunc(x.asFloat())));
    case ValueKind::Bool:
      return Value::integer(x.asBool() ? 1 : 0);
    case ValueKind::String: {
      std::string text(x.asString()->view());
      char* end = nullptr;
      errno = 0;
      long long parsed = std::strtoll(text.c_str(), &end, 10);
      if (end == text.c_str() || errno == ERANGE)
        self.interp->throwError("ValueError", "cannot convert '" + text + "' to an int", 0);
      return Value::integer(parsed);
    }
    case ValueKind::Null:
    case ValueKind::List:
    case ValueKind::Dict:
    case ValueKind::Function:
    case ValueKind::Class:
    case ValueKind::Instance:
    case ValueKind::Native:
    case ValueKind::Range:
      break;
  }
  self.interp->throwError("TypeMismatchError", "cannot convert a " + valueKind(x) + " to an int", 0);
}

Value floatval(NativeFn& self, Args args) {
  need(self, args, 1, "floatval(x) needs an argument");
  const Value& x = args[0];
  if (x.is(ValueKind::Float)) return x;
  if (x.is(ValueKind::Int)) return Value::number(static_cast<double>(x.asInt()));
  if (x.is(ValueKind::String)) {
    std::string text(x.asString()->view());
    char* end = nullptr;
    errno = 0;
    double parsed = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || errno == ERANGE)
      self.interp->throwError("ValueError", "cannot convert '" + text + "' to a float", 0);
    return Value::number(parsed);
  }
  self.interp->throwError("TypeMismatchError", "cannot convert a " + valueKind(x) + " to a float", 0);
}

Value strval(NativeFn&, Args args) {
  if (args.empty()) return makeString("null");
  if (args[0].is(ValueKind::String)) return args[0];
  return makeString(valueToString(args[0], false));
}

}  // namespace builtins
}  // namespace qlr
