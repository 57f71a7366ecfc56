// The built-in table, its registration, and the argument checkers the built-ins share.
#include "builtins/builtins.h"

#include <cmath>

namespace qlr {

namespace {

struct Builtin {
  const char* name;
  NativeFn::Call call;
};

// In registration order.
const Builtin kBuiltins[] = {
    {"out", builtins::out},         {"getuser", builtins::getuser},   {"cmd", builtins::cmd},
    {"sizeof", builtins::sizeOf},   {"kind", builtins::kind},         {"grab", builtins::grab},
    {"put", builtins::put},         {"has", builtins::has},           {"nums", builtins::nums},
    {"append", builtins::append},   {"pop", builtins::pop},           {"keys", builtins::keys},
    {"values", builtins::values},   {"joinstr", builtins::joinstr},   {"splitstr", builtins::splitstr},
    {"sqrt", builtins::sqrt},       {"floor", builtins::floor},       {"ceil", builtins::ceil},
    {"absval", builtins::absval},   {"roundval", builtins::roundval}, {"intval", builtins::intval},
    {"floatval", builtins::floatval}, {"strval", builtins::strval},   {"classname", builtins::classname},
};

}  // namespace

void Interpreter::registerBuiltins() {
  for (const Builtin& b : kBuiltins) {
    auto fn = makeRef<NativeFn>(b.call);
    fn->interp = this;
    globals->bindLocal(intern(b.name), Value(fn));
  }
}

namespace builtins {

void need(NativeFn& self, Args args, size_t count, const char* message) {
  if (args.size() < count) self.interp->throwError("ArgumentError", message, 0);
}

double numArg(Args args, size_t position, const char* name, Interpreter& interp) {
  const Value& v = args[position];
  if (!v.isNumber()) interp.throwError("TypeMismatchError", std::string(name) + ": expected a number", 0);
  return toDouble(v);
}

int64_t floatToInt(Interpreter& interp, double x) {
  // Exactly the doubles in [-2^63, 2^63) convert; NaN fails both tests.
  if (!(x >= -9223372036854775808.0 && x < 9223372036854775808.0))
    interp.throwError("ValueError", "cannot convert float '" + formatDouble(x) + "' to an int", 0);
  return static_cast<int64_t>(x);
}

}  // namespace builtins
}  // namespace qlr
