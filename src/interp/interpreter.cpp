// Construction of an interpreter: its global scope, error reporter and stack bounds.
#include "interp/interpreter.h"

#include <new>

#include "support/stack.h"

namespace qlr {

namespace {

// Runs when the general allocator is out of memory: the blocks the object
// pools hold free may make room, and then the allocation is tried again.
void releasePoolsOrFail() {
  if (!releaseFreeBlocks()) throw std::bad_alloc();
}

void forwardError(void* ctx, std::string_view kind, std::string_view message, int line) {
  static_cast<Interpreter*>(ctx)->throwError(kind, message, line);
}

}  // namespace

Interpreter::Interpreter()
    : globals(Environment::make(nullptr)), reporter_(this, forwardError), previousStackFloor_(nativeStackFloor()) {
  previousValueReporter_ = setValueErrorReporter(&reporter_);
  previousNewHandler_ = std::set_new_handler(releasePoolsOrFail);
  nativeStackFloor() = lowestSafeStackAddress();
  prepareMemoryError();
  registerBuiltins();
}

Interpreter::~Interpreter() {
  // Emptying the global scope breaks the commonest cycle (a function bound
  // in the scope it closes over) at once; the collector frees every other
  // group the program left behind.
  globals->vars.clear();
  globals = nullptr;
  errorTypes.clear();
  inFlight = Value();
  spareMemoryError_ = Value();
  spareMessage_ = Value();
  collector().collectAll();
  collector().releaseUnusedStorage();
  setValueErrorReporter(previousValueReporter_);
  std::set_new_handler(previousNewHandler_);
  nativeStackFloor() = previousStackFloor_;
}

const Node* Interpreter::keepTree(std::unique_ptr<Node> tree) {
  keptTrees_.push_back(std::move(tree));
  return keptTrees_.back().get();
}

}  // namespace qlr
