// Tests of rendering: float text, every kind's text, quoting, and containers inside themselves.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "value_builders.h"

namespace qlr {
namespace {

using namespace qlr::testing;

TEST(FormatDouble, Table) {
  const double inf = std::numeric_limits<double>::infinity();
  struct Row {
    double value;
    const char* text;
  } rows[] = {
      {2.0, "2.0"},          {0.5, "0.5"},           {-0.0, "-0.0"},
      {0.0, "0.0"},          {100000.0, "100000.0"}, {123456.7, "123457.0"},
      {999999.4, "999999.0"}, {999999.5, "1e+06"},   {1000000.0, "1e+06"},
      {0.0001, "0.0001"},    {0.00001, "1e-05"},     {3.14159265, "3.14159"},
      {1e100, "1e+100"},     {1.0 / 3, "0.333333"},  {1e15, "1e+15"},
      {123456.0, "123456.0"}, {1234567.0, "1.23457e+06"}, {-2.5e-7, "-2.5e-07"},
      {inf, "inf"},          {-inf, "-inf"},         {std::nan(""), "nan"},
      {std::copysign(std::nan(""), -1.0), "nan"},
  };
  for (const Row& row : rows) EXPECT_EQ(formatDouble(row.value), row.text) << "value " << row.value;
}

TEST(ValueToString, EveryKind) {
  auto fnDef = definition("area");
  auto lambdaDef = definition("", NodeKind::Lambda);
  auto cls = makeRef<ClassValue>("Point", nullptr);
  // Only strings render differently inside containers.
  struct Row {
    Value value;
    const char* text;
  } rows[] = {
      {Value(), "null"},            {B(true), "yes"},
      {B(false), "no"},             {I(-42), "-42"},
      {F(3.0), "3.0"},              {L({}), "[]"},
      {D({}), "{}"},                {R(0, 3, 1), "<range>"},
      {Value(cls), "<blueprint Point>"},
      {Value(makeRef<InstanceValue>(cls)), "<Point instance>"},
      {Native(), "<native function>"},
      {Fn(fnDef.get()), "<function area>"},
      {Fn(lambdaDef.get()), "<function <lambda>>"},
      {L({Fn(fnDef.get())}), "[<function area>]"},
      {I(std::numeric_limits<int64_t>::min()), "-9223372036854775808"},
      {L({I(1), S("a\"b"), L({S("in")}), Value()}), R"([1, "a\"b", ["in"], null])"},
      {D({{"k\"ey", S("v\"al")}, {"n", L({S("x")})}}), R"({"k"ey": "v\"al", "n": ["x"]})"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(valueToString(row.value, false), row.text);
    EXPECT_EQ(valueToString(row.value, true), row.text);
  }
  EXPECT_EQ(valueToString(S("say \"hi\" \\ now\n"), false), "say \"hi\" \\ now\n");
  EXPECT_EQ(valueToString(S("say \"hi\" \\ now\n"), true), "\"say \\\"hi\\\" \\\\ now\n\"");
  EXPECT_EQ(valueToString(S(""), true), "\"\"");
}

TEST(ValueToString, ContainersInsideThemselvesRenderAMarker) {
  Value list = L({I(1)});
  list.asList()->items.push_back(list);
  Value dict = D({{"a", I(1)}});
  dict.asDict()->set(S("me"), dict);
  Value both = L({list, dict, list});

  EXPECT_EQ(valueToString(list, false), "[1, [...]]");
  EXPECT_EQ(valueToString(dict, false), R"({"a": 1, "me": {...}})");
  // A container seen twice side by side is not inside itself.
  EXPECT_EQ(valueToString(both, false), R"([[1, [...]], {"a": 1, "me": {...}}, [1, [...]]])");

  list.asList()->items.clear();
  dict.asDict()->erase("me", hashString("me"));
}

TEST(ValueToString, NestingPastTheLimitRaisesAndLeavesNothingOpen) {
  onLargeStack([] {
    Interpreter interp;
    Value inner = L({});
    for (int i = 1; i < kMaxContainerDepth; ++i) inner = L({inner});
    std::string text = valueToString(inner, false);
    EXPECT_EQ(text.size(), 2u * kMaxContainerDepth);
    EXPECT_EQ(text.substr(0, 3), "[[[");

    Value outer = L({inner});
    EXPECT_EQ(raised([&] { valueToString(outer, false); }), "RecursionError: maximum recursion depth exceeded");
    // The failed walk must have closed every container it opened.
    EXPECT_EQ(valueToString(inner, false), text);
  });
}

}  // namespace
}  // namespace qlr
