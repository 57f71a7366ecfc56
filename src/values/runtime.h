// The values layer's part of a runtime: the collector, the pools' free blocks, the release queue, the one-byte strings.
//
// See support/support.h for what a runtime is and how code reaches the
// active one. Every object is made and released with its runtime active,
// so each of these serves the objects of one interpreter only.
#pragma once

#include <vector>

#include "frontend/symbols.h"
#include "values/collector.h"
#include "values/object.h"

namespace qlr {

struct StringValue;
class ErrorReporter;

struct ValuesRuntime : FrontendRuntime {
  ValuesRuntime() = default;
  // Lets go of the one-byte strings (a value that outlives the runtime
  // keeps its own) and hands the free blocks back to the general allocator.
  ~ValuesRuntime();

  Collector collector;
  // Objects whose count reached zero while another object was being
  // destroyed; the outermost destroyObj works through them (object.h).
  std::vector<Obj*> releaseQueue;
  bool releasing = false;
  // The object pools' free lists, one per size class (object.h).
  void* freeBlocks[kBlockClasses] = {};
  // The string of each byte, made on first use and shared (StringValue::ofByte).
  StringValue* byteStrings[256] = {};
  // How the heap frees, walks and empties a scope, which the layer that
  // defines scopes sets (object.h).
  const ForeignKind* scopeKind = nullptr;
  // Where value helpers that are given no reporter raise errors: the
  // interpreter's (value.h); null in a runtime that has no interpreter.
  const ErrorReporter* reporter = nullptr;
};

// The active runtime, as the values layer sees it.
inline ValuesRuntime& valuesRuntime() { return static_cast<ValuesRuntime&>(*activeRuntime); }

// The collector of the active runtime.
inline Collector& collector() { return valuesRuntime().collector; }

}  // namespace qlr
