// Tests of the value model: kinds, truth, equality, identity, dict order and copy semantics.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "value_builders.h"

namespace qlr {
namespace {

using namespace qlr::testing;

constexpr int64_t kMax = std::numeric_limits<int64_t>::max();

// Built by appending: GCC 12 misreads "k" + std::to_string(i) as an overlapping copy.
std::string key(int i) {
  std::string k = "k";
  k += std::to_string(i);
  return k;
}

std::string keysOf(const Value& dict) {
  std::string out;
  dict.asDict()->forEach([&](const Value& k, const Value&) { out += std::string(k.asString()->view()) + " "; });
  return out;
}

TEST(ValueKinds, KindTextAndTruthOfEveryKind) {
  auto def = definition("f");
  auto cls = makeRef<ClassValue>("Point", nullptr);
  struct Row {
    Value value;
    const char* kind;
    bool truthy;
  } rows[] = {
      {Value(), "null", false},         {B(true), "bool", true},
      {B(false), "bool", false},        {I(0), "int", false},
      {I(-1), "int", true},             {F(0.0), "float", false},
      {F(-0.0), "float", false},        {F(NAN), "float", true},
      {F(1e-300), "float", true},       {S(""), "string", false},
      {S({"\0", 1}), "string", true},   {L({}), "list", false},
      {L({Value()}), "list", true},     {D({}), "dict", false},
      {D({{"k", Value()}}), "dict", true}, {Fn(def.get()), "function", true},
      {Value(cls), "class", true},      {Value(makeRef<InstanceValue>(cls)), "instance", true},
      {Native(), "function", true},     {R(0, 0, 1), "range", true},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(valueKind(row.value), row.kind) << typed(row.value);
    EXPECT_EQ(isTruthy(row.value), row.truthy) << typed(row.value);
  }
  EXPECT_TRUE(Value().is(ValueKind::Null)) << "a default value is null";
}

TEST(ValueEquality, Matrix) {
  auto def = definition("f");
  auto cls = makeRef<ClassValue>("Point", nullptr);
  Value fn = Fn(def.get()), blueprint(cls), instance(makeRef<InstanceValue>(cls)), native = Native();
  Value range = R(0, 3, 1);
  struct Row {
    Value a, b;
    bool equal;
  } rows[] = {
      {I(1), F(1.0), true},          {I(1), S("1"), false},
      {B(true), I(1), false},        {Value(), B(false), false},
      {Value(), Value(), true},      {F(NAN), F(NAN), false},
      {F(0.0), F(-0.0), true},       {I(0), F(-0.0), true},
      {I((int64_t{1} << 53) + 1), F(9007199254740992.0), true},  // the int rounds to the float
      {I(kMax), F(9223372036854775808.0), true},
      {S("ab"), S("abc"), false},    {S({"a\0b", 3}), S({"a\0c", 3}), false},
      {L({I(1), L({I(2), S("a")})}), L({F(1.0), L({I(2), S("a")})}), true},
      {L({I(1), I(2)}), L({I(2), I(1)}), false},
      {L({I(1)}), L({I(1), I(2)}), false},
      {L({}), D({}), false},
      {D({{"a", I(1)}}), D({{"a", F(1.0)}}), true},
      {D({{"a", I(1)}, {"b", I(2)}}), D({{"b", I(2)}, {"a", I(1)}}), true},
      {D({{"a", I(1)}}), D({{"b", I(1)}}), false},
      {D({{"a", I(1)}}), D({{"a", I(1)}, {"b", I(2)}}), false},
      {fn, fn, false},               {blueprint, blueprint, false},
      {instance, instance, false},   {native, native, false},
      {range, range, false},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(valuesEqual(row.a, row.b), row.equal) << typed(row.a) << " vs " << typed(row.b);
    EXPECT_EQ(valuesEqual(row.b, row.a), row.equal) << typed(row.b) << " vs " << typed(row.a);
  }
}

TEST(ValueEquality, ContainersInsideThemselvesRaiseRecursionError) {
  Interpreter interp;
  RuntimeActivation active = interp.activate();
  Value list = L({I(1)});
  list.asList()->items.push_back(list);
  Value dict = D({{"a", I(1)}});
  dict.asDict()->set(S("me"), dict);

  int64_t line = -1;
  EXPECT_EQ(raised([&] { valuesEqual(list, list); }, &line), "RecursionError: maximum recursion depth exceeded");
  EXPECT_EQ(line, 0);
  EXPECT_EQ(raised([&] { valuesEqual(dict, dict); }), "RecursionError: maximum recursion depth exceeded");
  // A difference met before the cycle decides the comparison.
  EXPECT_FALSE(valuesEqual(list, L({I(2), list})));
  // Two cycles of different lengths still come back to a pair compared before.
  Value once = L({});
  once.asList()->items.push_back(once);
  Value twice = L({L({})});
  twice.asList()->items[0].asList()->items.push_back(twice);
  EXPECT_EQ(raised([&] { valuesEqual(once, twice); }), "RecursionError: maximum recursion depth exceeded");
  // A cycle compared with finite nesting ends where the nesting does.
  EXPECT_FALSE(valuesEqual(once, nested(50)));

  list.asList()->items.clear();
  dict.asDict()->erase("me", hashString("me"));
  once.asList()->items.clear();
  twice.asList()->items[0].asList()->items.clear();
}

TEST(ValueEquality, CycleDeepInsideRaisesUnlessADifferenceComesFirst) {
  Interpreter interp;
  RuntimeActivation active = interp.activate();
  // Deep enough that the open pairs no longer fit the path's own frames.
  for (size_t depth : {3u, 16u, 17u, 40u}) {
    auto [a, innermostA] = ring(depth, {L({I(5)}), L({I(5)})});
    auto [b, innermostB] = ring(depth, {L({I(5)}), L({F(5.0)})});
    auto [c, innermostC] = ring(depth, {L({I(5)}), L({I(6)})});
    EXPECT_EQ(raised([&] { valuesEqual(a, b); }), "RecursionError: maximum recursion depth exceeded")
        << depth << " deep";
    EXPECT_EQ(raised([&] { valuesEqual(a, a); }), "RecursionError: maximum recursion depth exceeded");
    EXPECT_FALSE(valuesEqual(a, c)) << depth << " deep";
    for (Value* innermost : {&innermostA, &innermostB, &innermostC}) innermost->asList()->items.clear();
  }
}

TEST(ValueEquality, NestingComparesToAnyDepth) {
  const size_t depth = 1'000'000;
  EXPECT_TRUE(valuesEqual(nested(depth), nested(depth)));
  EXPECT_FALSE(valuesEqual(nested(depth), nested(depth - 1)));
  Value a = L({I(1)}), b = L({I(2)});
  Value x = D({{"k", a}}), y = D({{"k", b}});
  for (size_t i = 1; i < depth; ++i) {
    x = D({{"k", x}});
    y = D({{"k", y}});
  }
  EXPECT_FALSE(valuesEqual(x, y));
  b.asList()->items[0] = F(1.0);
  EXPECT_TRUE(valuesEqual(x, y));
}

TEST(ValueEquality, DictEntriesCompareInTheLeftDictsOrder) {
  Interpreter interp;
  RuntimeActivation active = interp.activate();
  Value loop = L({});
  loop.asList()->items.push_back(loop);
  Value left = D({{"cycle", loop}, {"n", I(1)}});
  Value right = D({{"n", I(2)}, {"cycle", loop}});
  // The left operand's first entry is the cycle; the right's is the difference.
  EXPECT_EQ(raised([&] { valuesEqual(left, right); }), "RecursionError: maximum recursion depth exceeded");
  EXPECT_FALSE(valuesEqual(right, left));
  loop.asList()->items.clear();
}

TEST(ValueIdentity, SameRules) {
  auto def = definition("f");
  auto cls = makeRef<ClassValue>("Point", nullptr);
  Value list = L({I(1)}), dict = D({{"a", I(1)}}), fn = Fn(def.get()), blueprint(cls);
  Value instance(makeRef<InstanceValue>(cls)), native = Native(), range = R(0, 3, 1);
  struct Row {
    Value a, b;
    bool same;
  } rows[] = {
      {list, list, true},          {list, L({I(1)}), false},
      {dict, dict, true},          {dict, D({{"a", I(1)}}), false},
      {fn, fn, true},              {fn, Fn(def.get()), false},
      {blueprint, blueprint, true}, {instance, instance, true},
      {instance, Value(makeRef<InstanceValue>(cls)), false},
      {native, native, false},     {range, range, false},
      {Value(), Value(), true},    {I(3), I(3), true},
      {F(0.0), F(-0.0), true},     {F(NAN), F(NAN), false},
      {S("ab"), S("ab"), true},    {S("ab"), S("ba"), false},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(identicalValues(row.a, row.b), row.same) << typed(row.a) << ", " << typed(row.b);
  }
}

TEST(DictOrder, InsertionOrderSurvivesOverwriteRemovalAndCompaction) {
  Value d = D({{"a", I(1)}, {"b", I(2)}, {"c", I(3)}});
  DictValue* dict = d.asDict();
  dict->set(S("b"), I(20));
  EXPECT_EQ(valueToString(d, false), R"({"a": 1, "b": 20, "c": 3})");
  EXPECT_TRUE(dict->erase("a", hashString("a")));
  EXPECT_FALSE(dict->erase("a", hashString("a")));
  dict->set(S("a"), I(1));
  EXPECT_EQ(keysOf(d), "b c a ");
  EXPECT_EQ(dict->size(), 3u);

  // Enough removals to compact the table: order and lookups must survive.
  Value big = D({});
  DictValue* many = big.asDict();
  for (int i = 0; i < 40; ++i) many->set(S(key(i)), I(i));
  for (int i = 0; i < 40; ++i) {
    if (i % 10 == 7) continue;
    ASSERT_TRUE(many->erase(key(i), hashString(key(i))));
  }
  many->set(S("k0"), I(0));
  EXPECT_EQ(keysOf(big), "k7 k17 k27 k37 k0 ");
  for (int i : {7, 17, 27, 37, 0}) {
    Value* found = many->find(key(i), hashString(key(i)));
    ASSERT_NE(found, nullptr) << i;
    EXPECT_EQ(found->asInt(), i);
  }
  EXPECT_EQ(many->find("k1", hashString("k1")), nullptr);
}

TEST(ValueCopies, StringsShareOneBufferAndContainersAlias) {
  Value text = S("a string longer than one byte");
  const StringValue* buffer = text.asString();
  uint32_t count = buffer->refCount;
  {
    Value copy = text;
    Value assigned;
    assigned = copy;
    EXPECT_EQ(copy.asString(), buffer);
    EXPECT_EQ(assigned.asString()->data(), buffer->data());
    EXPECT_EQ(buffer->refCount, count + 2);
  }
  EXPECT_EQ(buffer->refCount, count);
  Value& alias = text;
  text = alias;  // self-assignment must not free the buffer
  EXPECT_EQ(valueToString(text, false), "a string longer than one byte");

  Value list = L({});
  Value other = list;
  other.asList()->items.push_back(I(1));
  EXPECT_EQ(valueToString(list, false), "[1]");
  Value dict = D({});
  Value dictAlias;
  dictAlias = dict;
  dictAlias.asDict()->set(S("k"), I(2));
  EXPECT_EQ(valueToString(dict, false), R"({"k": 2})");
}

}  // namespace
TEST(StringAppend, GrowsWithRoomToSpareAndForgetsItsHash) {
  Value text = S("ab");
  uint32_t before = text.asString()->hash();
  StringValue::appendTo(text, "cd");
  const StringValue* grown = text.asString();
  EXPECT_EQ(grown->view(), "abcd");
  EXPECT_GE(grown->spare, 16u) << "a grown string keeps room for more";
  EXPECT_NE(grown->hash(), before);
  EXPECT_EQ(grown->hash(), hashString("abcd"));
  // Appends that fit stay in the same block; the one that does not moves it.
  std::string expected = "abcd";
  size_t room = grown->spare;
  for (size_t i = 0; i < room; ++i) {
    StringValue::appendTo(text, "e");
    expected += 'e';
  }
  EXPECT_EQ(text.asString(), grown);
  EXPECT_EQ(grown->spare, 0u);
  StringValue::appendTo(text, "f");
  expected += 'f';
  EXPECT_NE(text.asString(), grown);
  EXPECT_EQ(text.asString()->view(), expected);
  EXPECT_EQ(text.asString()->refCount, 1u);
}

}  // namespace qlr
