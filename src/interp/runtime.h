// The runtime an interpreter owns: the values layer's part and the evaluator's pool of scopes.
//
// See support/support.h for what a runtime is, how its parts are layered
// and how code reaches the active one.
#pragma once

#include <cstddef>

#include "values/runtime.h"

namespace qlr {

class Environment;

// Names the evaluator reads by a fixed symbol: every runtime interns them
// first, in this order, so their symbols are the same constants everywhere.
inline constexpr Symbol kInitSymbol = 1;  // a blueprint's initializer
inline constexpr Symbol kMsgSymbol = 2;   // an error's message field
inline constexpr Symbol kLineSymbol = 3;  // an error's line field

struct Runtime : ValuesRuntime {
  Runtime();
  // Frees the groups of containers that only their own references keep
  // (collector.h), then the pooled scopes.
  ~Runtime();

  // Freed scopes kept for reuse, their tables' storage with them
  // (Environment::make). Bounded so that a burst of deep recursion does not
  // pin its peak memory.
  static constexpr size_t kScopePoolLimit = 512;
  Environment* scopePool[kScopePoolLimit];
  size_t pooledScopes = 0;
};

// The active runtime, as the evaluator sees it.
inline Runtime& runtime() { return static_cast<Runtime&>(*activeRuntime); }

}  // namespace qlr
