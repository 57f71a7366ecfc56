// Tests of the intern table: stable symbols and texts, and lookups that never grow it.
#include <gtest/gtest.h>

#include <string>

#include "frontend/symbols.h"

namespace qlr {
namespace {

TEST(Symbols, InternIsStableAndNeverZero) {
  Symbol a = intern("alpha");
  Symbol b = intern("beta");
  EXPECT_NE(a, 0u);
  EXPECT_NE(a, b);
  EXPECT_EQ(intern(std::string("alp") + "ha"), a);
  const std::string& name = symbolName(a);
  for (int i = 0; i < 5000; ++i) intern("filler" + std::to_string(i));
  EXPECT_EQ(&symbolName(a), &name);
  EXPECT_EQ(name, "alpha");
  EXPECT_NE(intern(""), 0u);
  EXPECT_EQ(symbolName(0), "");
}

TEST(Symbols, FindSymbolNeverGrowsTheTable) {
  Symbol before = intern("find-before");
  EXPECT_EQ(findSymbol("find-before"), before);
  EXPECT_EQ(findSymbol("find-unseen"), kNoSymbol);
  EXPECT_EQ(findSymbol("find-unseen"), kNoSymbol);
  EXPECT_EQ(intern("find-after"), before + 1) << "no symbol was made in between";
  EXPECT_EQ(findSymbol("find-after"), before + 1);
}

}  // namespace
}  // namespace qlr
