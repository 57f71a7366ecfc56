// The native stack guard: where the running thread's stack leaves no more room.
#include "support/stack.h"

#include <pthread.h>

#include <cstddef>

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

}  // namespace

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

}  // namespace qlr
