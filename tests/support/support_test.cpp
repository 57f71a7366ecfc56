// Tests of the runtime's support part: which runtime is active, on which thread, and the stack floor it measures.
#include <gtest/gtest.h>
#include <pthread.h>

#include <thread>

#include "support/support.h"

namespace qlr {
namespace {

TEST(RuntimeActivation, NestsAndPutsBackWhatWasActive) {
  SupportRuntime* before = activeRuntime;
  SupportRuntime a;
  SupportRuntime b;
  {
    RuntimeActivation onA(a);
    EXPECT_EQ(activeRuntime, &a);
    {
      RuntimeActivation onB(b);
      EXPECT_EQ(activeRuntime, &b);
      RuntimeActivation onAAgain(a);
      EXPECT_EQ(activeRuntime, &a);
    }
    EXPECT_EQ(activeRuntime, &a);
  }
  EXPECT_EQ(activeRuntime, before);
}

TEST(RuntimeActivation, EachThreadHasItsOwn) {
  SupportRuntime mine;
  RuntimeActivation active(mine);
  SupportRuntime* seenAtStart = &mine;
  SupportRuntime* seenInside = nullptr;
  std::thread other([&] {
    seenAtStart = activeRuntime;
    SupportRuntime theirs;
    RuntimeActivation activeThere(theirs);
    seenInside = activeRuntime;
  });
  other.join();
  EXPECT_EQ(seenAtStart, nullptr) << "a new thread has no runtime active";
  EXPECT_NE(seenInside, &mine);
  EXPECT_EQ(activeRuntime, &mine) << "the other thread's activation changed nothing here";
}

// Where a runtime made on a thread with a small stack puts its floor, and
// where the stack it ran on began.
struct FloorProbe {
  uintptr_t floor = 0;
  uintptr_t frame = 0;
};

void* probeFloor(void* arg) {
  auto* probe = static_cast<FloorProbe*>(arg);
  SupportRuntime runtime;
  probe->floor = runtime.stackFloor;
  probe->frame = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
  return nullptr;
}

// The floor is that of the thread that made the runtime: inside its stack,
// a quarter of a small stack above its end.
TEST(StackFloor, IsMeasuredOnTheThreadThatMakesTheRuntime) {
  constexpr size_t kSmallStack = size_t{1} << 20;
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  ASSERT_EQ(pthread_attr_setstacksize(&attr, kSmallStack), 0);
  FloorProbe probe;
  pthread_t thread;
  ASSERT_EQ(pthread_create(&thread, &attr, probeFloor, &probe), 0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attr);
  ASSERT_NE(probe.floor, 0u);
  EXPECT_LT(probe.floor, probe.frame);
  EXPECT_GT(probe.floor, probe.frame - kSmallStack);
  EXPECT_GE(probe.frame - probe.floor, kSmallStack / 2) << "most of the stack lies above the floor";
  SupportRuntime here;
  EXPECT_NE(here.stackFloor, probe.floor);
}

}  // namespace
}  // namespace qlr
