// Tests of indexing and iteration: positions, dict keys, writes, walks, and ranges at the 64-bit limits.
#include <gtest/gtest.h>

#include <limits>

#include "value_builders.h"

namespace qlr {
namespace {

using namespace qlr::testing;

constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
constexpr int64_t kMax = std::numeric_limits<int64_t>::max();

class Indexing : public ::testing::Test {
 protected:
  std::string get(const Value& container, const Value& index) {
    return outcome([&] { return interp.indexGet(container, index, 5); });
  }
  std::string set(const Value& container, const Value& index, const Value& value) {
    return raised([&] { interp.indexSet(container, index, value, 5); });
  }
  // The items a walk visits, as a list.
  std::string walk(const Value& iterable) {
    return outcome([&] { return makeList(materializeIterable(iterable, 5, interp.reporter())); });
  }
  Interpreter interp;
  RuntimeActivation active_ = interp.activate();
};

TEST_F(Indexing, Reads) {
  Value list = L({S("a"), I(2), L({})});
  Value text = S("xyz");
  Value dict = D({{"1", S("one")}, {"yes", I(2)}, {"1.5", I(3)}});
  struct Row {
    Value container, index;
    std::string expected;
  } rows[] = {
      {list, I(0), R"(string "a")"},  {list, I(-1), "list []"},
      {list, I(-3), R"(string "a")"}, {text, I(-3), R"(string "x")"},
      {text, I(-1), R"(string "z")"}, {dict, I(1), R"(string "one")"},
      {dict, B(true), "int 2"},       {dict, F(1.5), "int 3"},
      {list, I(3), "IndexError: list index out of range"},
      {list, I(-4), "IndexError: list index out of range"},
      {list, I(kMin), "IndexError: list index out of range"},
      {text, I(3), "IndexError: string index out of range"},
      {text, I(-4), "IndexError: string index out of range"},
      {list, F(1.0), "TypeMismatchError: index must be an int, got float"},
      {list, B(true), "TypeMismatchError: index must be an int, got bool"},
      {text, S("0"), "TypeMismatchError: index must be an int, got string"},
      {dict, I(7), "KeyError: key '7' not found"},
      {Value(), I(0), "TypeMismatchError: cannot index into a null"},
      {R(0, 3, 1), I(0), "TypeMismatchError: cannot index into a range"},
      {Native(), I(0), "TypeMismatchError: cannot index into a function"},
  };
  for (const Row& row : rows) EXPECT_EQ(get(row.container, row.index), row.expected) << typed(row.index);

  int64_t line = -1;
  raised([&] { interp.indexGet(list, F(0.0), 17); }, &line);
  EXPECT_EQ(line, 17) << "the line reaches errors raised through the reporter";
}

TEST_F(Indexing, Writes) {
  Value list = L({I(1), I(2), I(3)});
  Value alias = list;
  EXPECT_EQ(set(alias, I(-1), S("last")), "no error");
  EXPECT_EQ(set(list, I(3), I(9)), "IndexError: list index out of range");
  EXPECT_EQ(set(list, I(-4), I(9)), "IndexError: list index out of range");
  EXPECT_EQ(set(list, S("0"), I(9)), "TypeMismatchError: index must be an int, got string");
  EXPECT_EQ(valueToString(list, false), R"([1, 2, "last"])");

  Value dict = D({{"1", S("one")}});
  EXPECT_EQ(set(dict, I(1), S("uno")), "no error");
  EXPECT_EQ(set(dict, B(true), I(2)), "no error");
  EXPECT_EQ(set(dict, Value(), I(3)), "no error");
  EXPECT_EQ(valueToString(dict, false), R"({"1": "uno", "yes": 2, "null": 3})");

  EXPECT_EQ(set(S("abc"), F(0.5), S("x")), "TypeMismatchError: strings are immutable");
  EXPECT_EQ(set(S("abc"), I(0), S("x")), "TypeMismatchError: strings are immutable");
  EXPECT_EQ(set(I(5), I(0), I(1)), "TypeMismatchError: cannot assign into a int");
  EXPECT_EQ(set(R(0, 3, 1), I(0), I(1)), "TypeMismatchError: cannot assign into a range");
}

TEST(IndexingAlone, RaisesThroughTheReporterItIsGiven) {
  const ErrorReporter& report = textReporter();
  EXPECT_EQ(reportedBy([&] { readIndex(L({}), I(0), 3, report); }), "IndexError: list index out of range @3");
  EXPECT_EQ(reportedBy([&] { readIndex(D({}), S("k"), 4, report); }), "KeyError: key 'k' not found @4");
  EXPECT_EQ(reportedBy([&] { writeIndex(S("x"), I(0), I(1), 8, report); }),
            "TypeMismatchError: strings are immutable @8");
  EXPECT_EQ(reportedBy([&] { writeIndex(I(1), I(0), I(1), 9, report); }),
            "TypeMismatchError: cannot assign into a int @9");
  EXPECT_EQ(reportedBy([&] { materializeIterable(I(1), 2, report); }), "TypeMismatchError: cannot loop over a int @2");
  Value dict = D({});
  writeIndex(dict, I(5), S("five"), 1, report);
  EXPECT_EQ(typed(readIndex(dict, S("5"), 1, report)), R"(string "five")");
}

TEST_F(Indexing, Walks) {
  auto cls = makeRef<ClassValue>("Point", nullptr);
  Value dict = D({{"b", I(1)}, {"a", I(2)}});
  Value list = L({I(1), S("x")});
  std::vector<Value> snapshot = materializeIterable(list, 1, interp.reporter());
  list.asList()->items.push_back(I(3));
  list.asList()->items[0] = I(99);
  EXPECT_EQ(typed(makeList(snapshot)), R"(list [1, "x"])");

  struct Row {
    Value iterable;
    const char* items;
  } rows[] = {
      {S("ab\""), R"(list ["a", "b", "\""])"}, {dict, R"(list ["b", "a"])"},
      {R(10, 0, -3), "list [10, 7, 4, 1]"},  {R(0, 0, 1), "list []"},
      {R(5, 2, 1), "list []"},               {R(2, 5, -1), "list []"},
      {I(5), "TypeMismatchError: cannot loop over a int"},
      {Value(), "TypeMismatchError: cannot loop over a null"},
      {Value(cls), "TypeMismatchError: cannot loop over a class"},
      {Value(makeRef<InstanceValue>(cls)), "TypeMismatchError: cannot loop over a instance"},
  };
  for (const Row& row : rows) EXPECT_EQ(walk(row.iterable), row.items) << typed(row.iterable);
}

TEST_F(Indexing, RangesNearTheLimitsEndWithoutWrapping) {
  struct Row {
    int64_t start, stop, step;
    std::vector<int64_t> items;
  } rows[] = {
      {kMax - 4, kMax, 2, {kMax - 4, kMax - 2}},
      {kMax - 3, kMax, 2, {kMax - 3, kMax - 1}},
      {kMax - 1, kMax, 5, {kMax - 1}},
      {kMax - 2, kMax, kMax, {kMax - 2}},
      {0, kMax, kMax, {0}},
      {kMin, kMax, kMax, {kMin, -1, kMax - 1}},
      {kMin + 4, kMin, -2, {kMin + 4, kMin + 2}},
      {kMin + 3, kMin, -2, {kMin + 3, kMin + 1}},
      {kMin + 1, kMin, -7, {kMin + 1}},
      {kMax, kMin, kMin, {kMax, -1}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.start) + " " + std::to_string(row.stop) + " " + std::to_string(row.step));
    Value range = R(row.start, row.stop, row.step);
    std::vector<int64_t> lazy;
    forEachItem(range, 1, interp.reporter(), [&](const Value& v) {
      lazy.push_back(v.asInt());
      return lazy.size() < 10;  // a wrapped walk would go on for ages
    });
    ASSERT_EQ(lazy, row.items);  // only then is the unbounded walk safe to run
    std::vector<int64_t> seen;
    for (const Value& v : materializeIterable(range, 1, interp.reporter())) seen.push_back(v.asInt());
    EXPECT_EQ(seen, row.items);
  }
}

}  // namespace
}  // namespace qlr
