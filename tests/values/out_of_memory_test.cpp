// Tests of the tables behind dicts, scopes and instances when an allocation fails at every point in turn.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "failing_allocator.h"
#include "value_builders.h"

namespace qlr {
namespace {

using namespace qlr::testing;

// What a dict holds, in order, as "key=value " pairs.
std::string contents(DictValue* dict) {
  std::string text;
  dict->forEach([&](const Value& key, const Value& value) {
    text += std::string(key.asString()->view()) + "=" + std::to_string(value.asInt()) + " ";
  });
  return text;
}

TEST(OutOfMemory, DictStaysWholeWhereverASetFails) {
  std::vector<Value> keys;
  for (int i = 0; i < 60; ++i) keys.push_back(S("k" + std::to_string(i)));  // made while memory lasts
  for (size_t allowed = 0;; ++allowed) {
    Value d(makeRef<DictValue>());
    DictValue* dict = d.asDict();
    std::vector<std::pair<int, int>> held;  // what the dict must hold, in order
    held.reserve(keys.size());              // its bookkeeping must not fail
    // Erased entries, so that a set may compact the table as well as grow it.
    for (int i = 0; i < 20; ++i) dict->set(keys[i], I(i));
    for (int i = 0; i < 20; ++i) {
      if (i % 3 == 0) {
        held.emplace_back(i, i);
      } else {
        ASSERT_TRUE(dict->erase(keys[i].asString()->view(), keys[i].asString()->hash()));
      }
    }
    int next = 20;
    bool failed;
    {
      AllocationFailure failure(allowed);
      try {
        for (; next < 60; ++next) {
          dict->set(keys[next], I(next));
          held.emplace_back(next, next);
        }
      } catch (const std::bad_alloc&) {
      }
      failed = failure.failed();
    }
    std::string want;
    for (auto [key, value] : held) want += "k" + std::to_string(key) + "=" + std::to_string(value) + " ";
    ASSERT_EQ(contents(dict), want) << "allocation " << allowed;
    ASSERT_EQ(dict->size(), held.size());
    for (int i = 0; i < 60; ++i) {
      Value* found = dict->find(keys[i].asString());
      bool present = (i < 20 && i % 3 == 0) || (i >= 20 && i < next);
      ASSERT_EQ(found != nullptr, present) << "k" << i << " after allocation " << allowed;
      if (found) {
        EXPECT_EQ(found->asInt(), i);
      }
    }
    // The table goes on working: the key that failed and the rest go in.
    for (int i = next; i < 60; ++i) dict->set(keys[i], I(-i));
    for (int i = next; i < 60; ++i) ASSERT_EQ(dict->find(keys[i].asString())->asInt(), -i);
    if (!failed) break;  // every allocation of the forty sets has failed once
  }
}

TEST(OutOfMemory, SymbolTableStaysWholeWhereverAnInsertFails) {
  constexpr int kNames = 80;  // the index grows three times on the way
  std::vector<Symbol> names;
  for (int i = 0; i < kNames; ++i) names.push_back(intern("oom" + std::to_string(i)));
  for (size_t allowed = 0;; ++allowed) {
    SymbolMap<Value> map;
    // Past the linear limit and back below it, then growing again.
    for (int i = 0; i < 12; ++i) map.set(names[i], I(i));
    for (int i = 3; i < 12; ++i) ASSERT_TRUE(map.erase(names[i]));
    int next = 12;
    bool failed;
    {
      AllocationFailure failure(allowed);
      try {
        for (; next < kNames; ++next) map.set(names[next], I(next));
      } catch (const std::bad_alloc&) {
      }
      failed = failure.failed();
    }
    ASSERT_EQ(map.size(), 3u + static_cast<size_t>(next - 12)) << "allocation " << allowed;
    for (int i = 0; i < kNames; ++i) {
      Value* found = map.find(names[i]);
      bool present = i < 3 || (i >= 12 && i < next);
      ASSERT_EQ(found != nullptr, present) << "name " << i << " after allocation " << allowed;
      if (found) {
        EXPECT_EQ(found->asInt(), i);
      }
      uint32_t hint = 5;  // a stale hint must find the same
      EXPECT_EQ(map.find(names[i], hint), found);
    }
    for (int i = next; i < kNames; ++i) map.set(names[i], I(-i));
    for (int i = next; i < kNames; ++i) ASSERT_EQ(map.find(names[i])->asInt(), -i);
    if (!failed) break;
  }
}

TEST(OutOfMemory, ReleasingWithNoRoomToQueueStillFreesEverything) {
  // A wide list of lists queues every inner list as it is released; with
  // the queue unable to grow, each goes at once instead.
  constexpr int kWidth = 200000;  // wider than any queue an earlier test grew
  auto build = [] {
    std::vector<Value> items;
    for (int i = 0; i < kWidth; ++i) items.push_back(L({L({I(i)})}));
    return makeList(std::move(items));
  };
  Value wide = build();
  {
    AllocationFailure failure(0);
    wide = Value();
  }
  // The release left nothing half done: the same work runs again cleanly.
  wide = build();
  EXPECT_EQ(wide.asList()->items[kWidth - 1].asList()->items[0].asList()->items[0].asInt(), kWidth - 1);
}

}  // namespace
}  // namespace qlr
