// The registration of the built-ins' tables, and the argument checks the built-ins share.
#include "builtins/builtins.h"

namespace qlr {

namespace {

// The tables by address: their contents are not known to this file until
// the program is linked, their addresses are, so this list is a constant.
constexpr const builtins::Table* kTables[] = {&builtins::kIoBuiltins, &builtins::kReflectBuiltins,
                                              &builtins::kCollectionBuiltins, &builtins::kNumericBuiltins,
                                              &builtins::kConvertBuiltins};

// The order the built-ins join the global scope (and the symbol table) in.
// It is kept apart from the tables because it follows no file: classname
// comes last.
constexpr std::string_view kOrder[] = {
    "out",   "getuser", "cmd",    "sizeof",   "kind",   "grab",     "put",      "has",
    "nums",  "append",  "pop",    "keys",     "values", "joinstr",  "splitstr", "sqrt",
    "floor", "ceil",    "absval", "roundval", "intval", "floatval", "strval",   "classname",
};

NativeFn::Call find(std::string_view name) {
  for (const builtins::Table* table : kTables)
    for (const builtins::Builtin& b : *table)
      if (name == b.name) return b.call;
  return nullptr;
}

}  // namespace

void Interpreter::registerBuiltins() {
  for (std::string_view name : kOrder) {
    auto fn = makeRef<NativeFn>(find(name));
    fn->interp = this;
    globals->bindLocal(intern(name), Value(fn));
  }
}

namespace builtins {

void fail(NativeFn& self, const char* kind, std::string_view message, std::string_view more, std::string_view end) {
  std::string text;
  text.reserve(message.size() + more.size() + end.size());
  text.append(message).append(more).append(end);
  self.interp->throwError(kind, text, 0);
}

void argumentError(const char* message, NativeFn& self) { fail(self, "ArgumentError", message); }

double numArg(NativeFn& self, Args args, size_t position, const char* name) {
  const Value& v = args[position];
  if (!v.isNumber()) fail(self, "TypeMismatchError", name, ": expected a number");
  return toDouble(v);
}

int64_t floatToInt(NativeFn& self, double x) {
  // Exactly the doubles in [-2^63, 2^63) convert; NaN fails both tests.
  if (!(x >= -9223372036854775808.0 && x < 9223372036854775808.0))
    fail(self, "ValueError", "cannot convert float '", formatDouble(x), "' to an int");
  return static_cast<int64_t>(x);
}

}  // namespace builtins
}  // namespace qlr
