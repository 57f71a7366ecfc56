// The support layer, and the runtime: the state of one interpreter, which every layer adds to.
//
// The sources are layered, each folder using only its own headers and
// those of the folders below it:
//
//   host -> builtins -> interp -> values -> frontend -> support
//
// so that a layer can be read, tested and changed knowing only what lies
// beneath it (tests/layers/check_layers.py fails when an include points
// upward). Support is the bottom: the errors no script can catch
// (fatal.h), the checkpoints of long work (budget.h), the native stack
// guard (stack.h), and the runtime declared here, which the front end, the
// values and the evaluator all need and none of them owns.
//
// The runtime. Everything an interpreter changes as it runs belongs to it
// alone, so that two interpreters in one process, on two threads or taking
// turns on one, never see each other's work: the symbol table, the cycle
// collector, the queue of objects being released, the free blocks of the
// object pools, the shared one-byte strings, the pooled scopes, the stack
// floor and the work budget. That state is one object, the Runtime the
// interpreter owns, built in layers: each layer's part derives from the
// part of the layer below (SupportRuntime here, FrontendRuntime in
// frontend/symbols.h, ValuesRuntime in values/runtime.h, Runtime in
// interp/runtime.h), so a layer reaches its own state knowing nothing of
// the layers above. A runtime is made whole, as a Runtime, wherever values
// are made; a tool that runs the front end alone can make just its part.
//
// Code reaches the runtime through one pointer per thread, activeRuntime:
// passing it down through every function that allocates or releases a
// value would cost more than the one load it takes. A RuntimeActivation
// makes a runtime the active one for as long as it lives. The interpreter
// activates its own for its construction and destruction and for each
// run of a script or an interactive entry; code that calls the
// interpreter's other methods directly (tests, the fuzzing harnesses)
// activates it with Interpreter::activate. An object belongs to the
// runtime it was made in: it is released while that runtime is active, or
// after that runtime has ended, under any other (the collector of an
// ending runtime lets go of what it still follows, collector.h).
//
// What the process has only one of stays shared by the whole process: the
// Ctrl-C flag that a signal handler sets (budget.h), the state of standard
// output (builtins/builtins.h) and the allocator's new-handler
// (interp/interpreter.h). tests/statics/check_statics.py fails when the
// library holds any other writable static.
#pragma once

#include <cstddef>
#include <cstdint>

#include "support/budget.h"
#include "support/stack.h"

namespace qlr {

// The support layer's part of a runtime (see the file comment).
struct SupportRuntime {
  SupportRuntime() = default;
  SupportRuntime(const SupportRuntime&) = delete;
  SupportRuntime& operator=(const SupportRuntime&) = delete;

  // The lowest frame address at which recursion may go on (stack.h). A
  // runtime is made on the thread that runs it, whose stack this measures.
  uintptr_t stackFloor = lowestSafeStackAddress();
#if defined(QLR_FUZZ_BUDGET)
  // What is left of the work budget (budget.h).
  size_t budgetLeft = kFuzzBudget;
#endif
};

// The runtime active on this thread, or null.
extern constinit thread_local SupportRuntime* activeRuntime;

// Makes runtime the active one on this thread while it lives, then puts
// back the one that was.
class RuntimeActivation {
 public:
  explicit RuntimeActivation(SupportRuntime& runtime) : previous_(activeRuntime) { activeRuntime = &runtime; }
  ~RuntimeActivation() { activeRuntime = previous_; }
  RuntimeActivation(const RuntimeActivation&) = delete;
  RuntimeActivation& operator=(const RuntimeActivation&) = delete;

 private:
  SupportRuntime* previous_;
};

}  // namespace qlr
