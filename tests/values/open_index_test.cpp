// Tests of OpenIndex: probes past erased slots, reuse of them, sizing, and a failed reset.
#include <gtest/gtest.h>

#include <new>
#include <vector>

#include "failing_allocator.h"
#include "values/open_index.h"

namespace qlr {
namespace {

using testing::AllocationFailure;

// Keys are positions here: a probe matches the position it looks for.
auto is(int32_t wanted) {
  return [wanted](int32_t at) { return at == wanted; };
}

TEST(OpenIndex, ProbesGoPastErasedSlotsAndStopAtEmptyOnes) {
  OpenIndex index;
  EXPECT_EQ(index.find(5, is(0)), -1) << "no slots yet";
  index.reset(8, 8);
  // Three positions under one hash fill a run of three slots.
  for (int32_t at = 0; at < 3; ++at) index.place(5, at);
  for (int32_t at = 0; at < 3; ++at) EXPECT_EQ(index.find(5, is(at)), at);
  index.erase(5, 1);
  EXPECT_EQ(index.find(5, is(1)), -1);
  EXPECT_EQ(index.find(5, is(2)), 2) << "the erased slot does not end the run";
  // A new position takes the erased slot, so the run does not grow past it.
  index.place(5, 3);
  EXPECT_EQ(index.find(5, is(3)), 3);
  index.erase(5, 0);
  index.erase(5, 2);
  index.erase(5, 3);
  index.place(6, 4);  // into the erased slot 6
  EXPECT_EQ(index.find(6, is(4)), 4);
  EXPECT_EQ(index.find(13, is(4)), 4) << "hashes are masked to the slots";
  EXPECT_EQ(index.find(7, is(4)), -1) << "an empty slot ends the probe";
}

TEST(OpenIndex, ResetTakesTheSmallestPowerOfTwoAtLeastTheMinimum) {
  OpenIndex index;
  index.reset(8, 1);
  EXPECT_EQ(index.capacity(), 8u);
  index.reset(8, 8);
  EXPECT_EQ(index.capacity(), 8u);
  index.reset(8, 9);
  EXPECT_EQ(index.capacity(), 16u);
  index.reset(16, 100);
  EXPECT_EQ(index.capacity(), 128u);
  index.clear();
  EXPECT_TRUE(index.empty());
}

TEST(OpenIndex, RebuildPlacesEveryPositionAfresh) {
  OpenIndex index;
  index.reset(16, 16);
  std::vector<uint32_t> hashes = {3, 3, 19, 4, 3};  // 19 collides with 3
  for (int32_t at = 0; at < 5; ++at) index.place(hashes[at], at);
  index.erase(3, 0);
  index.rebuild(hashes.size(), [&](size_t at) { return hashes[at]; });
  for (int32_t at = 0; at < 5; ++at) EXPECT_EQ(index.find(hashes[at], is(at)), at);
}

TEST(OpenIndex, AFailedResetLeavesTheIndexAsItWas) {
  OpenIndex index;
  index.reset(8, 8);
  index.place(2, 0);
  {
    AllocationFailure failure(0);
    EXPECT_THROW(index.reset(8, 64), std::bad_alloc);
  }
  EXPECT_EQ(index.capacity(), 8u);
  EXPECT_EQ(index.find(2, is(0)), 0);
}

}  // namespace
}  // namespace qlr
