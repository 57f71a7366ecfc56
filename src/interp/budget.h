// The work budget of the fuzzing build: every input ends, however it loops or grows.
//
// A fuzzer feeds the interpreter arbitrary programs, and a program may loop
// forever or double a string until memory runs out. In the fuzzing build
// (QLR_FUZZ_BUDGET) statements, calls, loop items and allocated bytes spend
// from a budget that the harness refills for each input; spending past it
// raises a QuilloraFatal, which no script can catch. In every other build
// spendBudget is empty and costs nothing.
#pragma once

#include <cstddef>

namespace qlr {

#if defined(QLR_FUZZ_BUDGET)
// Units one fuzz input may spend: a few hundred thousand statements, or a
// few megabytes of strings and list slots.
inline constexpr size_t kFuzzBudget = 2'000'000;
void spendBudgetSlow(size_t units);
void refillBudget();
inline void spendBudget(size_t units) { spendBudgetSlow(units); }
#else
inline void spendBudget(size_t) {}
inline void refillBudget() {}
#endif

}  // namespace qlr
