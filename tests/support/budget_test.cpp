// Tests of the work budget, which only the fuzzing build has: this file is built with it, on the support layer alone.
#include <gtest/gtest.h>

#include "support/budget.h"
#include "support/fatal.h"
#include "support/support.h"

namespace qlr {
namespace {

// Spending up to the budget passes, one unit past it is fatal, and each
// runtime spends and refills only its own.
TEST(WorkBudget, EachRuntimeSpendsItsOwnToTheLimit) {
  SupportRuntime a;
  SupportRuntime b;
  {
    RuntimeActivation active(a);
    spendBudget(kFuzzBudget - 10);
  }
  {
    RuntimeActivation active(b);
    spendBudget(kFuzzBudget);
    EXPECT_EQ(b.budgetLeft, 0u);
    EXPECT_THROW(spendBudget(1), QuilloraFatal);
  }
  RuntimeActivation active(a);
  EXPECT_EQ(a.budgetLeft, 10u);
  spendBudget(10);
  try {
    spendBudget(1);
    ADD_FAILURE() << "spent past the budget";
  } catch (const QuilloraFatal& fatal) {
    EXPECT_STREQ(fatal.what(), "work budget exhausted");
  }
  refillBudget();
  EXPECT_EQ(a.budgetLeft, kFuzzBudget);
  EXPECT_EQ(b.budgetLeft, 0u) << "refilling one runtime leaves the other as it was";
}

}  // namespace
}  // namespace qlr
