// Construction of an interpreter: its global scope, error reporter and stack bounds.
#include "interp/interpreter.h"

#include <pthread.h>

namespace qlr {

namespace {

// Native stack kept free below the deepest script call: room for the
// frames one call may still push before the next call checks again (a
// nesting-limited expression, a built-in, rendering, an error's unwinding).
#if defined(__SANITIZE_ADDRESS__)
constexpr uintptr_t kStackReserve = uintptr_t{8} << 20;
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
  uintptr_t reserve = size / 4 < kStackReserve ? size / 4 : kStackReserve;
  return low + reserve;
}

void forwardError(void* ctx, const std::string& kind, const std::string& message, int line) {
  static_cast<Interpreter*>(ctx)->throwError(kind, message, line);
}

}  // namespace

Interpreter::Interpreter()
    : globals(Environment::make(nullptr)), reporter_(this, forwardError), stackLimit_(lowestSafeStackAddress()) {
  previousValueReporter_ = setValueErrorReporter(&reporter_);
  registerBuiltins();
}

Interpreter::~Interpreter() { setValueErrorReporter(previousValueReporter_); }

void Interpreter::keepTree(std::unique_ptr<Node> tree) { keptTrees_.push_back(std::move(tree)); }

}  // namespace qlr
