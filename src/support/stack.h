// The native stack guard shared by everything that recurses on script data.
//
// The evaluator recurses on the native stack once per nested call and
// expression. Counts bound most of that; the guard catches what counts
// cannot see (a tree as deep as a long run of "+", a small stack on a test
// thread) by comparing the current frame's address with a floor a safe
// distance above the end of the thread's stack, which each runtime finds
// for the thread that makes it (support.h).
#pragma once

#include <cstdint>

// Set when AddressSanitizer instruments this build (gcc and clang spell it differently).
#if defined(__SANITIZE_ADDRESS__)
#define QLR_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QLR_ADDRESS_SANITIZER 1
#endif
#endif

namespace qlr {

// The floor for the calling thread: a safe distance above the end of its
// stack, or 0 (no guard) when the stack cannot be found.
uintptr_t lowestSafeStackAddress();

// Whether the current frame lies below floor, the lowest frame address at
// which recursion may go on (0: no guard). The address of a local stands
// for the current frame: asking for the frame address itself would make
// every function that checks keep a frame pointer, one register fewer in
// the evaluator's hottest code. Under AddressSanitizer a local may live on
// its separate fake stack, so the frame address is taken there (those
// builds keep frame pointers anyway).
[[gnu::always_inline]] inline bool nativeStackLow(uintptr_t floor) {
#if defined(QLR_ADDRESS_SANITIZER)
  return reinterpret_cast<uintptr_t>(__builtin_frame_address(0)) < floor;
#else
  char probe;
  return reinterpret_cast<uintptr_t>(&probe) < floor;
#endif
}

}  // namespace qlr
