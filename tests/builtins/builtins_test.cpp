// Tests of the built-ins' registration and of the argument readers they share.
#include "builtins/builtins.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "../values/value_builders.h"

namespace qlr {
namespace {

using namespace qlr::testing;
using builtins::Builtin;
using builtins::Table;

TEST(Registration, BindsEveryTableEntryInItsOrder) {
  const std::vector<std::string> order = {"out",    "getuser",  "cmd",      "sizeof",   "kind",   "grab",
                                          "put",    "has",      "nums",     "append",   "pop",    "keys",
                                          "values", "joinstr",  "splitstr", "sqrt",     "floor",  "ceil",
                                          "absval", "roundval", "intval",   "floatval", "strval", "classname"};
  Interpreter interp;
  RuntimeActivation active = interp.activate();
  std::vector<std::string> bound;
  for (const auto& entry : interp.globals->vars.entries()) bound.push_back(symbolName(entry.key));
  EXPECT_EQ(bound, order);

  // Every entry of every table is what its name is bound to, and no name is
  // listed twice, so nothing a table lists is left out or shadowed.
  size_t listed = 0;
  for (Table table : {builtins::kIoBuiltins, builtins::kReflectBuiltins, builtins::kCollectionBuiltins,
                      builtins::kNumericBuiltins, builtins::kConvertBuiltins}) {
    for (const Builtin& b : table) {
      ++listed;
      const Value* v = interp.globals->lookup(intern(b.name));
      ASSERT_TRUE(v && v->is(ValueKind::Native)) << b.name;
      EXPECT_EQ(v->asNative()->call, b.call) << b.name;
      EXPECT_EQ(v->asNative()->interp, &interp) << b.name;
    }
  }
  EXPECT_EQ(listed, order.size());
}

class ArgumentReaders : public ::testing::Test {
 protected:
  ArgumentReaders() { self.interp = &interp; }

  // "Kind: msg @line" of what f raises.
  template <class F>
  std::string failure(F&& f) {
    int64_t line = -1;
    std::string error = raised(f, &line);
    return error + " @" + std::to_string(line);
  }

  Interpreter interp;
  RuntimeActivation active_ = interp.activate();
  NativeFn self{nullptr};
  Value values[5] = {I(7), S("text"), L({}), D({}), F(2.5)};
  Args all{values};
};

TEST_F(ArgumentReaders, ReturnTheArgumentAsTheKindAskedFor) {
  EXPECT_EQ(&builtins::arg(self, all, 4, "m"), &values[4]);
  EXPECT_EQ(builtins::intArg(self, all, 0, "m"), 7);
  EXPECT_EQ(builtins::stringArg(self, all, 1, "m"), "text");
  EXPECT_EQ(&builtins::listArg(self, all, 2, "m"), values[2].asList());
  EXPECT_EQ(&builtins::dictArg(self, all, 3, "m"), values[3].asDict());
  EXPECT_EQ(raised([&] { builtins::need(self, all.first(3), 3, "m"); }), "no error");
}

TEST_F(ArgumentReaders, AMissingArgumentRaisesTheMessage) {
  // The value past the end is of the kind asked for: only the count can refuse it.
  EXPECT_EQ(failure([&] { builtins::need(self, all.first(2), 3, "needs 3"); }), "ArgumentError: needs 3 @0");
  EXPECT_EQ(failure([&] { builtins::arg(self, all.first(4), 4, "needs x"); }), "ArgumentError: needs x @0");
  EXPECT_EQ(failure([&] { builtins::intArg(self, all.first(0), 0, "an int"); }), "ArgumentError: an int @0");
  EXPECT_EQ(failure([&] { builtins::stringArg(self, all.first(1), 1, "a string"); }), "ArgumentError: a string @0");
  EXPECT_EQ(failure([&] { builtins::listArg(self, all.first(2), 2, "a list"); }), "ArgumentError: a list @0");
  EXPECT_EQ(failure([&] { builtins::dictArg(self, all.first(3), 3, "a dict"); }), "ArgumentError: a dict @0");
}

TEST_F(ArgumentReaders, AnArgumentOfAnotherKindRaisesTheMessage) {
  EXPECT_EQ(failure([&] { builtins::intArg(self, all, 4, "an int"); }), "ArgumentError: an int @0");
  EXPECT_EQ(failure([&] { builtins::stringArg(self, all, 0, "a string"); }), "ArgumentError: a string @0");
  EXPECT_EQ(failure([&] { builtins::listArg(self, all, 3, "a list"); }), "ArgumentError: a list @0");
  EXPECT_EQ(failure([&] { builtins::dictArg(self, all, 2, "a dict"); }), "ArgumentError: a dict @0");
}

TEST_F(ArgumentReaders, NumbersAndWholeFloats) {
  EXPECT_EQ(builtins::numArg(self, all, 0, "f"), 7.0);
  EXPECT_EQ(builtins::numArg(self, all, 4, "f"), 2.5);
  EXPECT_EQ(failure([&] { builtins::numArg(self, all, 1, "f"); }), "TypeMismatchError: f: expected a number @0");

  // Exactly [-2^63, 2^63) converts.
  EXPECT_EQ(builtins::floatToInt(self, -9223372036854775808.0), INT64_MIN);
  EXPECT_EQ(builtins::floatToInt(self, std::nextafter(9223372036854775808.0, 0.0)), 9223372036854774784);
  EXPECT_EQ(failure([&] { builtins::floatToInt(self, 9223372036854775808.0); }),
            "ValueError: cannot convert float '9.22337e+18' to an int @0");
  EXPECT_EQ(failure([&] { builtins::floatToInt(self, std::nextafter(-9223372036854775808.0, -INFINITY)); }),
            "ValueError: cannot convert float '-9.22337e+18' to an int @0");
  EXPECT_EQ(failure([&] { builtins::floatToInt(self, NAN); }), "ValueError: cannot convert float 'nan' to an int @0");
}

// The rules not shown by the scripts under tests/golden/builtins.
TEST(Builtins, IgnoreArgumentsBeyondThoseTheyUse) {
  Interpreter interp;
  RuntimeActivation active = interp.activate();
  Value seen =
      runAndRead(interp,
                 "blueprint P:\n"
                 "  exp init(self):\n"
                 "    self.x = 1\n"
                 "p = P()\n"
                 "xs = [1]\n"
                 "seen = [append(xs, 2, 3), xs, grab(p, \"x\", 0, 9), put(p, \"y\", 5, 9), p.y]\n"
                 "seen = seen + [has(p, \"x\", 9), ceil(1.5, \"x\"), roundval(2.5, \"x\"), cmd(\"exit 3\", 9)]\n"
                 "seen = seen + [[v loop v within nums(1, 10, 3, 0)], classname(p, 1)]\n",
                 "seen");
  EXPECT_EQ(valueToString(seen, false), "[null, [1, 2], 1, null, 5, yes, 2, 3, 768, [1, 4, 7], \"P\"]");
}

}  // namespace
}  // namespace qlr
