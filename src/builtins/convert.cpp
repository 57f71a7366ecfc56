// Conversion built-ins: intval, floatval, strval.
#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "builtins/builtins.h"

namespace qlr {
namespace builtins {

namespace {

Value intval(NativeFn& self, Args args) {
  const Value& x = arg(self, args, 0, "intval(x) needs an argument");
  switch (x.kind()) {
    case ValueKind::Int:
      return x;
    case ValueKind::Float:
      return Value::integer(floatToInt(self, std::trunc(x.asFloat())));
    case ValueKind::Bool:
      return Value::integer(x.asBool() ? 1 : 0);
    case ValueKind::String: {
      std::string text(x.asString()->view());
      char* end = nullptr;
      errno = 0;
      long long parsed = std::strtoll(text.c_str(), &end, 10);
      if (end == text.c_str() || errno == ERANGE) fail(self, "ValueError", "cannot convert '", text, "' to an int");
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
  fail(self, "TypeMismatchError", "cannot convert a ", valueKind(x), " to an int");
}

Value floatval(NativeFn& self, Args args) {
  const Value& x = arg(self, args, 0, "floatval(x) needs an argument");
  if (x.is(ValueKind::Float)) return x;
  if (x.is(ValueKind::Int)) return Value::number(static_cast<double>(x.asInt()));
  if (x.is(ValueKind::String)) {
    std::string text(x.asString()->view());
    char* end = nullptr;
    errno = 0;
    double parsed = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || errno == ERANGE) fail(self, "ValueError", "cannot convert '", text, "' to a float");
    return Value::number(parsed);
  }
  fail(self, "TypeMismatchError", "cannot convert a ", valueKind(x), " to a float");
}

Value strval(NativeFn&, Args args) {
  if (args.empty()) return makeString("null");
  if (args[0].is(ValueKind::String)) return args[0];
  return makeString(valueToString(args[0], false));
}

const Builtin kTable[] = {{"intval", intval}, {"floatval", floatval}, {"strval", strval}};

}  // namespace

constinit const Table kConvertBuiltins = kTable;

}  // namespace builtins
}  // namespace qlr
