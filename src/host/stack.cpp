// Running the interpreter on a thread with a large native stack.
#include <malloc.h>
#include <pthread.h>
#include <signal.h>

#include "host/host.h"

namespace qlr {

namespace {

struct ThreadJob {
  const std::function<int()>* body;
  int status;
};

void* threadMain(void* arg) {
  auto* job = static_cast<ThreadJob*>(arg);
  job->status = (*job->body)();
  return nullptr;
}

// Runs body on a new thread with stackBytes of stack; false when no such
// thread can be made.
bool runOnThread(const std::function<int()>& body, std::size_t stackBytes, int& status) {
  ThreadJob job{&body, 1};
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_t thread;
  bool started = pthread_attr_setstacksize(&attr, stackBytes) == 0 &&
                 pthread_create(&thread, &attr, threadMain, &job) == 0;
  pthread_attr_destroy(&attr);
  if (!started) return false;
  // A signal sent to the process goes to a thread that does not block it.
  // This one only waits: with every signal blocked here, a Ctrl-C reaches
  // the thread that reads and runs, and breaks off its read.
  sigset_t all;
  sigset_t previous;
  sigfillset(&all);
  pthread_sigmask(SIG_BLOCK, &all, &previous);
  pthread_join(thread, nullptr);
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  status = job.status;
  return true;
}

}  // namespace

int runOnLargeStack(const std::function<int()>& body) {
  // One malloc arena for both threads: the main thread only waits, and an
  // arena of the interpreter thread's own first reserves 64 MB of address
  // space, which an address-space limit may refuse; malloc would then give
  // every small block a page of its own and run out of memory early.
  mallopt(M_ARENA_MAX, 1);
  int status = 1;
  for (std::size_t bytes : {kInterpreterStackBytes, kFallbackStackBytes}) {
    if (runOnThread(body, bytes, status)) return status;
  }
  return body();  // no thread to be had: the depth limits still hold, with less room
}

}  // namespace qlr
