// Running the interpreter on a thread with a large native stack.
#include <pthread.h>

#include <cstdio>
#include <cstdlib>

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

}  // namespace

int runOnLargeStack(const std::function<int()>& body) {
  ThreadJob job{&body, 1};
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_t thread;
  bool started = pthread_attr_setstacksize(&attr, kInterpreterStackBytes) == 0 &&
                 pthread_create(&thread, &attr, threadMain, &job) == 0;
  pthread_attr_destroy(&attr);
  if (!started) return body();  // no big stack to be had: the depth limits still hold, with less room
  pthread_join(thread, nullptr);
  return job.status;
}

}  // namespace qlr
