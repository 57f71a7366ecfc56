// Tests of SymbolMap: lookups with position hints, right, wrong or stale, on small and indexed tables.
#include <gtest/gtest.h>

#include <string>

#include "values/symbol_map.h"

namespace qlr {
namespace {

// A table of n entries keyed s0..s(n-1), each bound to its position.
SymbolMap<int> table(int n) {
  SymbolMap<int> map;
  for (int i = 0; i < n; ++i) map.set(intern("s" + std::to_string(i)), i);
  return map;
}

TEST(SymbolMapHints, AnyHintFindsTheSameBindingAsAPlainLookup) {
  // 5 stays a linear table, 40 has a hash index.
  for (int n : {5, 40}) {
    SymbolMap<int> map = table(n);
    for (int key = 0; key < n; ++key) {
      Symbol sym = intern("s" + std::to_string(key));
      for (uint32_t start : {0u, 3u, static_cast<uint32_t>(key), static_cast<uint32_t>(n), 1000000u}) {
        uint32_t hint = start;
        int* found = map.find(sym, hint);
        ASSERT_NE(found, nullptr) << n << " " << key << " " << start;
        EXPECT_EQ(*found, key);
        EXPECT_EQ(hint, static_cast<uint32_t>(key));  // corrected for the next lookup
      }
    }
    uint32_t hint = 2;
    EXPECT_EQ(map.find(intern("absent"), hint), nullptr);
    EXPECT_EQ(hint, 2u);  // a miss leaves the hint alone
  }
}

TEST(SymbolMapHints, StaleHintAfterRemovalOrClearNeverFindsAnotherKey) {
  SymbolMap<int> map = table(6);
  Symbol s2 = intern("s2"), s5 = intern("s5");
  uint32_t hint = 5;
  ASSERT_EQ(*map.find(s5, hint), 5);
  ASSERT_TRUE(map.erase(s2));  // s5 moves down to position 4
  EXPECT_EQ(*map.find(s5, hint), 5);
  EXPECT_EQ(hint, 4u);
  hint = 2;
  EXPECT_EQ(map.find(s2, hint), nullptr);  // position 2 now holds s3

  map.clear();
  EXPECT_EQ(map.find(s5, hint), nullptr);
  // set through a hint binds at the end and points the hint there.
  map.set(intern("a"), 1);
  hint = 0;
  map.set(s5, 7, hint);
  EXPECT_EQ(hint, 1u);
  map.set(s5, 8, hint);
  EXPECT_EQ(map.size(), 2u);
  EXPECT_EQ(*map.find(s5), 8);
}

}  // namespace
}  // namespace qlr
