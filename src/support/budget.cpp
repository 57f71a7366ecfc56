// The work budget of the fuzzing build and the Ctrl-C flag (see budget.h).
#include "support/budget.h"

#include <poll.h>
#include <pthread.h>
#include <signal.h>

#include "support/fatal.h"
#include "support/support.h"

namespace qlr {

volatile std::sig_atomic_t interruptRequested = 0;

bool interruptedBeforeInput(int fd) {
  sigset_t interrupt;
  sigset_t previous;
  sigemptyset(&interrupt);
  sigaddset(&interrupt, SIGINT);
  pthread_sigmask(SIG_BLOCK, &interrupt, &previous);
  if (!interruptRequested) {
    sigset_t waiting = previous;
    sigdelset(&waiting, SIGINT);
    struct pollfd input = {fd, POLLIN, 0};
    ppoll(&input, 1, nullptr, &waiting);  // a SIGINT breaks it off; any outcome leaves the read to tell
  }
  bool interrupted = interruptRequested;
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  return interrupted;
}

void takeInterrupt() {
  interruptRequested = 0;
  throw Interrupted();
}

#if defined(QLR_FUZZ_BUDGET)
void spendBudgetSlow(size_t units) {
  size_t& left = activeRuntime->budgetLeft;
  if (units > left) {
    left = 0;
    throw QuilloraFatal("work budget exhausted");
  }
  left -= units;
}

void refillBudget() { activeRuntime->budgetLeft = kFuzzBudget; }
#endif

}  // namespace qlr
