// Construction of an interpreter: its global scope, error reporter and stack bounds.
#include "interp/interpreter.h"

#include <pthread.h>

#include <new>

#include "values/stack.h"

namespace qlr {

namespace {

// Native stack kept free below the deepest script call: room for the
// frames one call may still push before the next check (a nesting-limited
// expression, a built-in, an error's unwinding).
#if defined(QLR_ADDRESS_SANITIZER)
constexpr uintptr_t kStackReserve = uintptr_t{8} << 20;
// The sanitizer cannot follow an exception's unwinding through more than
// 64 MB of stack, so a sanitized build recurses no deeper than that.
constexpr uintptr_t kSanitizedStackSpan = uintptr_t{62} << 20;
#else
constexpr uintptr_t kStackReserve = uintptr_t{2} << 20;
#endif

uintptr_t lowestSafeStackAddress() {
  pthread_attr_t attr;
  if (pthread_getattr_np(pthread_self(), &attr) != 0) return 0;
  void* base = nullptr;
  size_t size = 0;
  pthread_attr_getstack(&attr, &base, &size);
  pthread_attr_destroy(&attr);
  uintptr_t low = reinterpret_cast<uintptr_t>(base);
  // A small stack (a test thread) keeps a quarter of itself in reserve.
  uintptr_t floor = low + (size / 4 < kStackReserve ? size / 4 : kStackReserve);
#if defined(QLR_ADDRESS_SANITIZER)
  uintptr_t top = low + size;
  if (size > kSanitizedStackSpan && top - kSanitizedStackSpan > floor) floor = top - kSanitizedStackSpan;
#endif
  return floor;
}

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
