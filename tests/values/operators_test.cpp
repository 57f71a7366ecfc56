// Tests of the binary operators: results, wraparound, signs of division, and every error.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "value_builders.h"

namespace qlr {
namespace {

using namespace qlr::testing;
using enum OpCode;

const std::string kMinText = std::to_string(std::numeric_limits<int64_t>::min());
const std::string kMaxText = std::to_string(std::numeric_limits<int64_t>::max());
constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
const double kNan = std::nan("");

struct Case {
  OpCode op;
  Value left, right;
  std::string expected;  // typed() of the result, or "Kind: msg" of the error
};

class BinaryOps : public ::testing::Test {
 protected:
  void check(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
      EXPECT_EQ(outcome([&] { return interp.binaryOpDispatch(c.op, c.left, c.right, 9); }), c.expected)
          << typed(c.left) << " " << opText(c.op) << " " << typed(c.right);
    }
  }
  Interpreter interp;
  RuntimeActivation active_ = interp.activate();
};

TEST_F(BinaryOps, Arithmetic) {
  check({
      {Add, I(2), I(3), "int 5"},           {Add, I(2), F(0.5), "float 2.5"},
      {Sub, F(1.0), I(3), "float -2.0"},    {Mul, I(-4), I(3), "int -12"},
      {Div, I(7), I(2), "float 3.5"},       {Div, I(4), I(2), "float 2.0"},
      {Div, I(1), F(kNan), "float nan"},    {Pow, I(7), I(2), "int 49"},
      {Pow, I(0), I(0), "int 1"},          {Pow, I(2), I(-2), "float 0.25"},
      {Pow, I(0), I(-1), "float inf"},     {Pow, F(2.0), I(3), "float 8.0"},
      {Pow, F(-8.0), F(1.0 / 3), "float nan"},
  });
}

TEST_F(BinaryOps, IntsWrapAround) {
  check({
      {Add, I(kMax), I(1), "int " + kMinText},
      {Sub, I(kMin), I(1), "int " + kMaxText},
      {Mul, I(kMax), I(2), "int -2"},
      {Mul, I(kMin), I(-1), "int " + kMinText},
      {Pow, I(2), I(63), "int " + kMinText},
      {Pow, I(2), I(64), "int 0"},
      {Pow, I(-2), I(63), "int " + kMinText},
      {Pow, I(3), I(40), "int -6289078614652622815"},  // 3**40 mod 2**64, signed
      {Pow, I(-1), I(kMax), "int -1"},
      {FloorDiv, I(kMin), I(-1), "int " + kMinText},
      {Mod, I(kMin), I(-1), "int 0"},
      {Mod, I(kMin), I(kMax), "int " + std::to_string(kMax - 1)},
  });
}

TEST_F(BinaryOps, FloorDivisionAndModuloFollowTheDivisor) {
  check({
      {FloorDiv, I(7), I(2), "int 3"},             {FloorDiv, I(-7), I(2), "int -4"},
      {FloorDiv, I(7), I(-2), "int -4"},           {FloorDiv, I(-7), I(-2), "int 3"},
      {FloorDiv, I(6), I(-3), "int -2"},           {FloorDiv, F(7.5), I(2), "float 3.0"},
      {FloorDiv, F(-7.5), I(2), "float -4.0"},     {FloorDiv, F(0.0), I(-5), "float -0.0"},
      {Mod, I(7), I(3), "int 1"},              {Mod, I(-7), I(3), "int 2"},
      {Mod, I(7), I(-3), "int -2"},            {Mod, I(-7), I(-3), "int -1"},
      {Mod, I(6), I(-3), "int 0"},             {Mod, F(5.5), I(-2), "float -0.5"},
      {Mod, F(-7.0), I(3), "float 2.0"},       {Mod, F(-6.0), I(3), "float -0.0"},
      {Mod, F(6.0), I(-3), "float 0.0"},       {Mod, I(1), F(0.0), "float nan"},
      {Mod, F(1.0), I(0), "float nan"},
  });
}

TEST_F(BinaryOps, ComparisonsEqualityIdentityMembership) {
  Value list = L({I(1), S("a")});
  Value dict = D({{"1", S("one")}, {"yes", I(2)}, {"null", I(3)}});
  Value native = Native();
  check({
      {Lt, I(1), F(1.5), "bool yes"},           {Ge, I(kMax), I(kMin), "bool yes"},
      {Lt, F(kNan), I(1), "bool no"},           {Gt, F(kNan), I(1), "bool no"},
      {Le, I(1), F(kNan), "bool no"},          {Ge, F(kNan), F(kNan), "bool no"},
      {Eq, F(kNan), F(kNan), "bool no"},       {Ne, F(kNan), F(kNan), "bool yes"},
      {Lt, S("apple"), S("banana"), "bool yes"}, {Lt, S("B"), S("a"), "bool yes"},
      {Lt, S("ab"), S("abc"), "bool yes"},      {Lt, S("abc"), S("abc"), "bool no"},
      {Le, S("abc"), S("abc"), "bool yes"},    {Gt, S("\xc3\xa9"), S("z"), "bool yes"},  // unsigned bytes
      {Eq, I(1), F(1.0), "bool yes"},          {Ne, I(1), S("1"), "bool yes"},
      {Eq, Value(), B(false), "bool no"},      {Eq, native, L({}), "bool no"},
      {Same, I(1), F(1.0), "bool no"},         {Same, S("ab"), S("ab"), "bool yes"},
      {Same, list, list, "bool yes"},          {Same, native, native, "bool no"},
      {Same, list, interp.binaryOpDispatch(Add, list, L({}), 1), "bool no"},
      {Within, S("b"), S("abc"), "bool yes"},  {Within, S(""), S(""), "bool yes"},
      {Within, S("ac"), S("abc"), "bool no"},  {Within, F(1.0), list, "bool yes"},
      {Within, S("A"), list, "bool no"},       {Within, I(1), dict, "bool yes"},
      {Within, B(true), dict, "bool yes"},     {Within, Value(), dict, "bool yes"},
      {Within, S("one"), dict, "bool no"},
  });
}

TEST_F(BinaryOps, Joining) {
  Value left = L({I(1)});
  Value right = L({S("b")});
  Value joined = interp.binaryOpDispatch(Add, left, right, 1);
  EXPECT_EQ(valueToString(joined, false), R"([1, "b"])");
  joined.asList()->items.clear();
  EXPECT_EQ(valueToString(left, false) + valueToString(right, false), R"([1]["b"])") << "operands unchanged";

  auto def = definition("f");
  check({
      {Add, I(1), S("x"), R"(string "1x")"},
      {Add, S("x"), F(2.0), R"(string "x2.0")"},
      {Add, S("v"), Value(), R"(string "vnull")"},
      {Add, B(false), S("!"), R"(string "no!")"},
      {Add, L({I(1), S("a")}), S("!"), R"(string "[1, \"a\"]!")"},
      {Add, S("<"), Fn(def.get()), R"(string "<<function f>")"},
  });
}

TEST_F(BinaryOps, ErrorsNameTheOperatorAndBothKinds) {
  const std::string unsupported = "TypeMismatchError: unsupported operand types for ";
  check({
      {Add, L({I(1)}), I(2), unsupported + "'+': list and int"},
      {Add, B(true), I(1), unsupported + "'+': bool and int"},
      {Add, I(1), Value(), unsupported + "'+': int and null"},
      {Lt, Value(), I(1), unsupported + "'<': null and int"},
      {Lt, I(1), S("2"), unsupported + "'<': int and string"},
      {Mul, S("a"), I(3), unsupported + "'*': string and int"},
      {Mul, L({}), I(3), unsupported + "'*': list and int"},
      {Sub, S("a"), S("b"), unsupported + "'-': string and string"},
      {Lt, L({}), L({}), unsupported + "'<': list and list"},
      {Mod, R(0, 1, 1), I(1), unsupported + "'%': range and int"},
      {Either, S("a"), I(1), unsupported + "'either': string and int"},
      {Within, I(1), S("abc"), "TypeMismatchError: cannot test membership in a string"},
      {Within, I(1), I(5), "TypeMismatchError: cannot test membership in a int"},
      {Within, I(1), R(0, 3, 1), "TypeMismatchError: cannot test membership in a range"},
      {Div, I(1), I(0), "DivisionError: division by zero"},
      {Div, I(1), F(0.0), "DivisionError: division by zero"},
      {Div, F(1.0), F(-0.0), "DivisionError: division by zero"},
      {FloorDiv, I(1), I(0), "DivisionError: division by zero"},
      {FloorDiv, I(1), F(0.0), "DivisionError: division by zero"},
      {Mod, I(1), I(0), "DivisionError: modulo by zero"},
  });

  // Every operator that can meet operands it does not take names itself
  // in the message as the source spells it.
  check({
      {Add, Value(), Value(), unsupported + "'+': null and null"},
      {Sub, Value(), Value(), unsupported + "'-': null and null"},
      {Mul, Value(), Value(), unsupported + "'*': null and null"},
      {Div, Value(), Value(), unsupported + "'/': null and null"},
      {FloorDiv, Value(), Value(), unsupported + "'//': null and null"},
      {Mod, Value(), Value(), unsupported + "'%': null and null"},
      {Pow, Value(), Value(), unsupported + "'**': null and null"},
      {Lt, Value(), Value(), unsupported + "'<': null and null"},
      {Le, Value(), Value(), unsupported + "'<=': null and null"},
      {Gt, Value(), Value(), unsupported + "'>': null and null"},
      {Ge, Value(), Value(), unsupported + "'>=': null and null"},
      {Pow, I(2), S("x"), unsupported + "'**': int and string"},
      {FloorDiv, F(1.0), L({}), unsupported + "'//': float and list"},
  });

  int64_t line = -1;
  raised([&] { interp.binaryOpDispatch(Div, I(1), I(0), 42); }, &line);
  EXPECT_EQ(line, 42);
  try {
    interp.binaryOpDispatch(Either, I(1), I(2), 1);
    ADD_FAILURE() << "no fatal error";
  } catch (const QuilloraFatal& fatal) {
    EXPECT_STREQ(fatal.what(), "internal error: unhandled operator 'either'");
  }
}

// The operators need no interpreter: their errors go to whatever reporter
// they are given, with the line they are given.
TEST(BinaryOperation, RaisesThroughTheReporterItIsGiven) {
  const ErrorReporter& report = textReporter();
  EXPECT_EQ(reportedBy([&] { binaryOperation(Sub, S("a"), I(1), 4, report); }),
            "TypeMismatchError: unsupported operand types for '-': string and int @4");
  EXPECT_EQ(reportedBy([&] { binaryOperation(Mod, I(1), I(0), 6, report); }), "DivisionError: modulo by zero @6");
  EXPECT_EQ(reportedBy([&] { binaryOperation(Within, I(1), I(2), 2, report); }),
            "TypeMismatchError: cannot test membership in a int @2");
  EXPECT_EQ(reportedBy([&] { binaryOperation(Add, L({}), I(2), 3, report); }),
            "TypeMismatchError: unsupported operand types for '+': list and int @3");
  EXPECT_EQ(typed(binaryOperation(Add, S("a"), I(1), 1, report)), R"(string "a1")");
}

}  // namespace
}  // namespace qlr
