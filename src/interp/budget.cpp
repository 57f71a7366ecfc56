// The fuzzing build's work budget (see budget.h).
#include "interp/budget.h"

#if defined(QLR_FUZZ_BUDGET)
#include "interp/fatal.h"

namespace qlr {

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

}  // namespace qlr
#endif
