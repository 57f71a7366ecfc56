// Checkpoints of long work: the fuzzing build's work budget, and Ctrl-C at the interactive prompt.
//
// Statements, calls, loop items and allocated bytes are spent from a work
// budget. In the fuzzing build (QLR_FUZZ_BUDGET) it is the active
// runtime's (support.h), which a new interpreter starts full and the
// harness refills for each input, and spending past it raises a
// QuilloraFatal, which no script can catch: a fuzzer feeds the interpreter
// arbitrary programs, and one may loop forever or double a string until
// memory runs out. In every other build the budget is unlimited and costs
// nothing.
//
// The same places are where a Ctrl-C stops an entry of the interactive
// loop. The loop's SIGINT handler only sets interruptRequested; the next
// checkpoint sees it, clears it and throws Interrupted (support/fatal.h).
// A checkpoint thus costs one load and one branch that is never taken
// until the user presses Ctrl-C.
#pragma once

#include <csignal>
#include <cstddef>

namespace qlr {

// Set by the interactive loop's SIGINT handler, cleared by the checkpoint
// that takes it. A signal comes to the process, and its handler can only
// reach memory shared by the whole process, so this flag is the process's,
// not a runtime's (support.h).
extern volatile std::sig_atomic_t interruptRequested;

// Clears interruptRequested and throws Interrupted.
[[noreturn, gnu::cold, gnu::noinline]] void takeInterrupt();

// Throws Interrupted if a Ctrl-C is waiting: for checkpoints that spend nothing.
inline void pollInterrupt() {
  if (interruptRequested) [[unlikely]] takeInterrupt();
}

// Waits until the descriptor fd has input, or a Ctrl-C comes: true then,
// with the flag left for a checkpoint to take. A read that merely blocks
// would miss a Ctrl-C that came after the flag was tested and before the
// read began, and wait on; here the signal stays blocked from the test to
// the wait, which lets it in.
bool interruptedBeforeInput(int fd);

#if defined(QLR_FUZZ_BUDGET)
// Units one fuzz input may spend: a few hundred thousand statements, or a
// few megabytes of strings and list slots.
inline constexpr size_t kFuzzBudget = 2'000'000;
void spendBudgetSlow(size_t units);
// Fills the active runtime's budget again.
void refillBudget();
inline void spendBudget(size_t units) {
  pollInterrupt();
  spendBudgetSlow(units);
}
#else
inline void spendBudget(size_t) { pollInterrupt(); }
inline void refillBudget() {}
#endif

}  // namespace qlr
