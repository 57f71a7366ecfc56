// The work budget of the fuzzing build and the Ctrl-C flag (see budget.h).
#include "interp/budget.h"

#include "interp/fatal.h"

namespace qlr {

volatile std::sig_atomic_t interruptRequested = 0;

void takeInterrupt() {
  interruptRequested = 0;
  throw Interrupted();
}

#if defined(QLR_FUZZ_BUDGET)
namespace {
size_t remaining = kFuzzBudget;
}

void spendBudgetSlow(size_t units) {
  if (units > remaining) {
    remaining = 0;
    throw QuilloraFatal("work budget exhausted");
  }
  remaining -= units;
}

void refillBudget() { remaining = kFuzzBudget; }
#endif

}  // namespace qlr
