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
  const Value& x = arg(self, args, 0, missing);
  if (x.is(ValueKind::Int)) return x;
  return Value::integer(floatToInt(self, round(numArg(self, args, 0, name))));
}

Value sqrt(NativeFn& self, Args args) {
  need(self, args, 1, "sqrt(x) needs an argument");
  return Value::number(std::sqrt(numArg(self, args, 0, "sqrt")));
}

Value floor(NativeFn& self, Args args) {
  return toWhole(self, args, "floor", "floor(x) needs an argument", [](double x) { return std::floor(x); });
}

Value ceil(NativeFn& self, Args args) {
  return toWhole(self, args, "ceil", "ceil(x) needs an argument", [](double x) { return std::ceil(x); });
}

Value absval(NativeFn& self, Args args) {
  const Value& x = arg(self, args, 0, "absval(x) needs an argument");
  if (x.is(ValueKind::Int)) {
    int64_t i = x.asInt();
    // The minimum int has no positive counterpart and stays itself, as with unary minus.
    return Value::integer(i < 0 ? static_cast<int64_t>(uint64_t{0} - static_cast<uint64_t>(i)) : i);
  }
  return Value::number(std::fabs(numArg(self, args, 0, "absval")));
}

Value roundval(NativeFn& self, Args args) {
  return toWhole(self, args, "roundval", "roundval(x) needs an argument", [](double x) { return std::round(x); });
}

const Builtin kTable[] = {{"sqrt", sqrt}, {"floor", floor}, {"ceil", ceil}, {"absval", absval}, {"roundval", roundval}};

}  // namespace

constinit const Table kNumericBuiltins = kTable;

}  // namespace builtins
}  // namespace qlr
