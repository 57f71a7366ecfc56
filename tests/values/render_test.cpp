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

std::string repeated(std::string_view text, size_t times) {
  std::string out;
  for (size_t i = 0; i < times; ++i) out += text;
  return out;
}

TEST(ValueToString, NestingRendersToAnyDepth) {
  const size_t depth = 1'000'000;
  Value deep = nested(depth, {I(7)});
  EXPECT_EQ(valueToString(deep, false), repeated("[", depth) + "7" + repeated("]", depth));

  Value dict = D({{"v", S("s")}});
  for (size_t i = 1; i < depth; ++i) dict = D({{"a", I(1)}, {"k", dict}});
  EXPECT_EQ(valueToString(dict, false),
            repeated(R"({"a": 1, "k": )", depth - 1) + R"({"v": "s"})" + repeated("}", depth - 1));
}

TEST(ValueToString, ContainerDeepInsideItselfRendersAMarkerWhereMet) {
  // Deep enough that the open containers no longer fit the path's own frames.
  for (size_t depth : {3u, 16u, 17u, 40u}) {
    Value sibling = L({I(5)});
    auto [top, innermost] = ring(depth, {sibling, sibling});  // seen twice side by side: no marker
    EXPECT_EQ(valueToString(top, false), repeated("[", depth) + "[5], [5], [...]" + repeated("]", depth))
        << depth << " deep";
    innermost.asList()->items.clear();
  }
}

}  // namespace
}  // namespace qlr
