// Tests of the member lookup rule that attribute reads and method calls share.
#include <gtest/gtest.h>

#include <string>

#include "value_builders.h"
#include "values/attributes.h"

namespace qlr {
namespace {

using namespace qlr::testing;

// What findMember finds on obj for name: "value V", "method of C" with
// "on the instance" when bound, or "nothing".
std::string found(const Value& obj, const char* name) {
  uint32_t hint = 0;
  Member member = findMember(obj, intern(name), hint);
  if (member.value) return "value " + valueToString(*member.value, false);
  if (!member.method) return "nothing";
  std::string text = "method " + valueToString(Value(ValueKind::Function, member.method), false);
  if (member.receiver) text += obj.is(ValueKind::Instance) && member.receiver == obj.asInstance() ? " on it" : " on another";
  return text;
}

TEST(Attributes, FindMemberFollowsTheLookupRule) {
  Interpreter interp;
  RuntimeActivation active = interp.activate();
  Value d = runAndRead(interp,
                       "blueprint Base:\n"
                       "  shared = 1\n"
                       "  exp m(self):\n    back 1\n"
                       "  exp g(self):\n    back 2\n"
                       "blueprint Derived(Base):\n"
                       "  own = 2\n"
                       "  exp g(self):\n    back 3\n"
                       "  exp m2(self):\n    back 4\n"
                       "d = Derived()\n"
                       "d.m2 = 5\n",
                       "d");
  Value derived = runAndRead(interp, "", "Derived");
  // An instance: its field first (hiding a method), then methods up the chain, bound to it.
  EXPECT_EQ(found(d, "m2"), "value 5");
  EXPECT_EQ(found(d, "g"), "method <function g> on it");
  EXPECT_EQ(found(d, "m"), "method <function m> on it");
  EXPECT_EQ(found(d, "own"), "nothing") << "blueprint attributes are not seen through instances";
  EXPECT_EQ(found(d, "shared"), "nothing");
  // A blueprint: its own attributes, not its base's, then methods unbound.
  EXPECT_EQ(found(derived, "own"), "value 2");
  EXPECT_EQ(found(derived, "shared"), "nothing");
  EXPECT_EQ(found(derived, "m"), "method <function m>");
  EXPECT_EQ(found(I(1), "m"), "nothing");
  EXPECT_EQ(found(S("m"), "m"), "nothing");
  EXPECT_TRUE(hasAttributes(d));
  EXPECT_TRUE(hasAttributes(derived));
  EXPECT_FALSE(hasAttributes(D({})));
}

TEST(Attributes, FindFieldReadsOnlyAnInstancesOwnFields) {
  Interpreter interp;
  RuntimeActivation active = interp.activate();
  Value p = runAndRead(interp, "blueprint P:\n  k = 1\n  exp f(self):\n    nop\np = P()\np.x = 7\n", "p");
  uint32_t hint = 0;
  ASSERT_NE(findField(p, intern("x"), hint), nullptr);
  EXPECT_EQ(findField(p, intern("x"), hint)->asInt(), 7);
  EXPECT_EQ(findField(p, intern("f"), hint), nullptr);
  EXPECT_EQ(findField(p, intern("k"), hint), nullptr);
  EXPECT_EQ(findField(runAndRead(interp, "", "P"), intern("k"), hint), nullptr);
}

TEST(Attributes, FailedReadsAndWritesRaiseThroughTheReporterTheyAreGiven) {
  const ErrorReporter& report = textReporter();
  Interpreter interp;
  RuntimeActivation active = interp.activate();
  Value p = runAndRead(interp, "blueprint P:\n  nop\np = P()\n", "p");
  EXPECT_EQ(reportedBy([&] { noAttribute(p, "x", 5, report); }), "AttributeError: 'P' has no attribute 'x' @5");
  EXPECT_EQ(reportedBy([&] { noAttribute(D({}), "k", 6, report); }),
            "TypeMismatchError: cannot access attribute 'k' on a dict @6");
  EXPECT_EQ(reportedBy([&] { setField(I(1), intern("x"), I(2), 2, report); }),
            "TypeMismatchError: cannot set attribute 'x' on a int @2");
  EXPECT_EQ(reportedBy([&] { setFieldByName(S("s"), "attr-never-set", I(2), 3, report); }),
            "TypeMismatchError: cannot set attribute 'attr-never-set' on a string @3");
  EXPECT_EQ(findSymbol("attr-never-set"), kNoSymbol) << "a failed write interns nothing";
  setFieldByName(p, "attr-set", I(7), 1, report);
  uint32_t hint = 0;
  ASSERT_NE(findField(p, intern("attr-set"), hint), nullptr);
  EXPECT_EQ(findField(p, intern("attr-set"), hint)->asInt(), 7);
}

}  // namespace
}  // namespace qlr
