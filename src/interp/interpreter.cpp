// Construction and end of an interpreter: its runtime, global scope and error reporter.
#include "interp/interpreter.h"

#include <new>

namespace qlr {

namespace {

// Runs when the general allocator is out of memory: the blocks the object
// pools of the thread's active runtime hold free may make room, and then
// the allocation is tried again.
void releasePoolsOrFail() {
  if (!activeRuntime || !releaseFreeBlocks()) throw std::bad_alloc();
}

void forwardError(void* ctx, std::string_view kind, std::string_view message, int line) {
  static_cast<Interpreter*>(ctx)->throwError(kind, message, line);
}

}  // namespace

Interpreter::Interpreter() : reporter_(this, forwardError) {
  if (!std::get_new_handler()) std::set_new_handler(releasePoolsOrFail);  // see interpreter.h
  RuntimeActivation active(runtime_);
  runtime_.reporter = &reporter_;
  try {
    globals = Environment::make(nullptr);
    prepareMemoryError();
    registerBuiltins();
  } catch (...) {
    releaseValues();
    throw;
  }
}

Interpreter::~Interpreter() {
  RuntimeActivation active(runtime_);
  releaseValues();
}

// Emptying the global scope breaks the commonest cycle (a function bound in
// the scope it closes over) at once; the end of the runtime collects every
// other group the program left behind.
void Interpreter::releaseValues() noexcept {
  if (globals) globals->vars.clear();
  globals = nullptr;
  errorTypes.clear();
  inFlight = Value();
  spareMemoryError_ = Value();
  spareMessage_ = Value();
  literals_.clear();
}

const Node* Interpreter::keepTree(std::unique_ptr<Node> tree) {
  keptTrees_.push_back(std::move(tree));
  return keptTrees_.back().get();
}

}  // namespace qlr
