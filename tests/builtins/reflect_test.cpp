// Tests of grab, put and has: names they are given join the symbol table only as new fields.
#include <gtest/gtest.h>

#include "../values/value_builders.h"

namespace qlr {
namespace {

using namespace qlr::testing;

TEST(AttributesByName, OnlyANewFieldInternsItsName) {
  Interpreter interp;
  RuntimeActivation active = interp.activate();
  Value seen = runAndRead(interp,
                          "blueprint B:\n"
                          "  exp init(self):\n"
                          "    self.a = 1\n"
                          "b = B()\n"
                          "exp fails(f):\n"
                          "  attempt:\n"
                          "    f()\n"
                          "    back no\n"
                          "  catch:\n"
                          "    back yes\n"
                          "seen = [has(b, \"rf-has\"), has(B, \"rf-has-class\"), has(3, \"rf-has-int\")]\n"
                          "seen = seen + [grab(b, \"rf-grab\", 0), grab(B, \"rf-grab-class\", 0)]\n"
                          "seen = seen + [fails(fn(): grab(b, \"rf-grab-raise\")), fails(fn(): grab([], \"rf-grab-list\"))]\n"
                          "seen = seen + [fails(fn(): put([], \"rf-put-list\", 1)), fails(fn(): put(B, \"rf-put-class\", 1))]\n"
                          "seen = seen + [put(b, \"rf-put\", 2), has(b, \"rf-put\")]\n",
                          "seen");
  EXPECT_EQ(valueToString(seen, false), "[no, no, no, 0, 0, yes, yes, yes, yes, null, yes]");
  for (const char* name : {"rf-has", "rf-has-class", "rf-has-int", "rf-grab", "rf-grab-class", "rf-grab-raise",
                           "rf-grab-list", "rf-put-list", "rf-put-class"})
    EXPECT_EQ(findSymbol(name), kNoSymbol) << name;
  EXPECT_NE(findSymbol("rf-put"), kNoSymbol);
}

}  // namespace
}  // namespace qlr
