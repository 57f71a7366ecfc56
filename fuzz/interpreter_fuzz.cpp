// Fuzz target: arbitrary bytes lexed, parsed and run in a fresh interpreter.
//
// The harness rebinds the built-ins that reach outside the process: cmd
// runs nothing, getuser finds the input ended, and out renders its
// arguments (so rendering is exercised) into a buffer nobody reads. The
// fuzzing build's work budget, full in each new interpreter, ends inputs
// that loop or grow without end.
#include <cstddef>
#include <cstdint>
#include <string>

#include "frontend/parser.h"
#include "frontend/token.h"
#include "interp/interpreter.h"
#include "support/budget.h"

namespace {

using qlr::Args;
using qlr::NativeFn;
using qlr::Value;

Value quietOut(NativeFn&, Args args) {
  std::string sink;
  for (const Value& v : args) qlr::appendValue(sink, v, false);
  return Value();
}

Value noCommand(NativeFn&, Args) { return Value::integer(0); }

Value noInput(NativeFn&, Args) { throw qlr::QuilloraThrow{Value()}; }

void rebind(qlr::Interpreter& interp, const char* name, NativeFn::Call call) {
  auto fn = qlr::makeRef<NativeFn>(call);
  fn->interp = &interp;
  interp.globals->bindLocal(qlr::intern(name), Value(fn));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string source(reinterpret_cast<const char*>(data), size);
  try {
    qlr::Interpreter interp;  // with a full work budget
    qlr::RuntimeActivation active = interp.activate();
    std::unique_ptr<qlr::Node> program = qlr::parseSource(source, "fuzz.qlr");
    rebind(interp, "out", quietOut);
    rebind(interp, "cmd", noCommand);
    rebind(interp, "getuser", noInput);
    interp.moduleDir = "/nonexistent-fuzz-modules";
    interp.execBlock(program.get(), interp.globals.get());
    interp.inFlight = Value();
  } catch (const qlr::QuilloraFatal&) {
  }
  return 0;
}
