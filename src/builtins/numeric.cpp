// Numeric built-ins: sqrt, floor, ceil, absval, roundval.
//
// floor, ceil and roundval return an int argument unchanged: it is already
// whole, and a trip through a double would round ints beyond 2^53.
#include <cmath>

#include "builtins/builtins.h"

namespace qlr {
namespace builtins {

namespace {

using Rounding = double (*)(double);

Value toWhole(NativeFn& self, Args args, const char* name, const char* missing, Rounding round) {
  need(self, args, 1, missing);
  if (args[0].is(ValueKind::Int)) return args[0];
  return Value::integer(floatToInt(*self.interp, round(numArg(args, 0, name, *self.interp))));
}

}  // namespace

Value sqrt(NativeFn& self, Args args) {
  need(self, args, 1, "sqrt(x) needs an argument");
  return Value::number(std::sqrt(numArg(args, 0, "sqrt", *self.interp)));
}

Value floor(NativeFn& self, Args args) {
  return toWhole(self, args, "floor", "floor(x) needs an argument", [](double x) { return std::floor(x); });
}

Value ceil(NativeFn& self, Args args) {
  return toWhole(self, args, "ceil", "ceil(x) needs an argument", [](double x) { return std::ceil(x); });
}

Value roundval(NativeFn& self, Args args) {
  return toWhole(self, args, "roundval", "roundval(x) needs an argument", [](double x) { return std::round(x); });
}

Value absval(NativeFn& self, Args args) {
  need(self, args, 1, "absval(x) needs an argument");
  if (args[0].is(ValueKind::Int)) {
    int64_t i = args[0].asInt();
    // The minimum int has no positive counterpart and stays itself, as with unary minus.
    return Value::integer(i < 0 ? static_cast<int64_t>(uint64_t{0} - static_cast<uint64_t>(i)) : i);
  }
  return Value::number(std::fabs(numArg(args, 0, "absval", *self.interp)));
}

}  // namespace builtins
}  // namespace qlr
