// Tests of the binary operators: results, wraparound, signs of division, and every error.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "value_builders.h"

namespace qlr {
namespace {

using namespace qlr::testing;

const std::string kMinText = std::to_string(std::numeric_limits<int64_t>::min());
const std::string kMaxText = std::to_string(std::numeric_limits<int64_t>::max());
constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
const double kNan = std::nan("");

struct Case {
  const char* op;
  Value left, right;
  std::string expected;  // typed() of the result, or "Kind: msg" of the error
};

class BinaryOps : public ::testing::Test {
 protected:
  void check(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
      EXPECT_EQ(outcome([&] { return interp.binaryOpDispatch(c.op, c.left, c.right, 9); }), c.expected)
          << typed(c.left) << " " << c.op << " " << typed(c.right);
    }
  }
  Interpreter interp;
};

TEST_F(BinaryOps, Arithmetic) {
  check({
      {"+", I(2), I(3), "int 5"},           {"+", I(2), F(0.5), "float 2.5"},
      {"-", F(1.0), I(3), "float -2.0"},    {"*", I(-4), I(3), "int -12"},
      {"/", I(7), I(2), "float 3.5"},       {"/", I(4), I(2), "float 2.0"},
      {"/", I(1), F(kNan), "float nan"},    {"**", I(7), I(2), "int 49"},
      {"**", I(0), I(0), "int 1"},          {"**", I(2), I(-2), "float 0.25"},
      {"**", I(0), I(-1), "float inf"},     {"**", F(2.0), I(3), "float 8.0"},
      {"**", F(-8.0), F(1.0 / 3), "float nan"},
  });
}

TEST_F(BinaryOps, IntsWrapAround) {
  check({
      {"+", I(kMax), I(1), "int " + kMinText},
      {"-", I(kMin), I(1), "int " + kMaxText},
      {"*", I(kMax), I(2), "int -2"},
      {"*", I(kMin), I(-1), "int " + kMinText},
      {"**", I(2), I(63), "int " + kMinText},
      {"**", I(2), I(64), "int 0"},
      {"**", I(-2), I(63), "int " + kMinText},
      {"**", I(3), I(40), "int -6289078614652622815"},  // 3**40 mod 2**64, signed
      {"**", I(-1), I(kMax), "int -1"},
      {"//", I(kMin), I(-1), "int " + kMinText},
      {"%", I(kMin), I(-1), "int 0"},
      {"%", I(kMin), I(kMax), "int " + std::to_string(kMax - 1)},
  });
}

TEST_F(BinaryOps, FloorDivisionAndModuloFollowTheDivisor) {
  check({
      {"//", I(7), I(2), "int 3"},             {"//", I(-7), I(2), "int -4"},
      {"//", I(7), I(-2), "int -4"},           {"//", I(-7), I(-2), "int 3"},
      {"//", I(6), I(-3), "int -2"},           {"//", F(7.5), I(2), "float 3.0"},
      {"//", F(-7.5), I(2), "float -4.0"},     {"//", F(0.0), I(-5), "float -0.0"},
      {"%", I(7), I(3), "int 1"},              {"%", I(-7), I(3), "int 2"},
      {"%", I(7), I(-3), "int -2"},            {"%", I(-7), I(-3), "int -1"},
      {"%", I(6), I(-3), "int 0"},             {"%", F(5.5), I(-2), "float -0.5"},
      {"%", F(-7.0), I(3), "float 2.0"},       {"%", F(-6.0), I(3), "float -0.0"},
      {"%", F(6.0), I(-3), "float 0.0"},       {"%", I(1), F(0.0), "float nan"},
      {"%", F(1.0), I(0), "float nan"},
  });
}

TEST_F(BinaryOps, ComparisonsEqualityIdentityMembership) {
  Value list = L({I(1), S("a")});
  Value dict = D({{"1", S("one")}, {"yes", I(2)}, {"null", I(3)}});
  Value native = Native();
  check({
      {"<", I(1), F(1.5), "bool yes"},           {">=", I(kMax), I(kMin), "bool yes"},
      {"<", F(kNan), I(1), "bool no"},           {">", F(kNan), I(1), "bool no"},
      {"<=", I(1), F(kNan), "bool no"},          {">=", F(kNan), F(kNan), "bool no"},
      {"==", F(kNan), F(kNan), "bool no"},       {"!=", F(kNan), F(kNan), "bool yes"},
      {"<", S("apple"), S("banana"), "bool yes"}, {"<", S("B"), S("a"), "bool yes"},
      {"<", S("ab"), S("abc"), "bool yes"},      {"<", S("abc"), S("abc"), "bool no"},
      {"<=", S("abc"), S("abc"), "bool yes"},    {">", S("\xc3\xa9"), S("z"), "bool yes"},  // unsigned bytes
      {"==", I(1), F(1.0), "bool yes"},          {"!=", I(1), S("1"), "bool yes"},
      {"==", Value(), B(false), "bool no"},      {"==", native, L({}), "bool no"},
      {"same", I(1), F(1.0), "bool no"},         {"same", S("ab"), S("ab"), "bool yes"},
      {"same", list, list, "bool yes"},          {"same", native, native, "bool no"},
      {"same", list, interp.binaryOpDispatch("+", list, L({}), 1), "bool no"},
      {"within", S("b"), S("abc"), "bool yes"},  {"within", S(""), S(""), "bool yes"},
      {"within", S("ac"), S("abc"), "bool no"},  {"within", F(1.0), list, "bool yes"},
      {"within", S("A"), list, "bool no"},       {"within", I(1), dict, "bool yes"},
      {"within", B(true), dict, "bool yes"},     {"within", Value(), dict, "bool yes"},
      {"within", S("one"), dict, "bool no"},
  });
}

TEST_F(BinaryOps, Joining) {
  Value left = L({I(1)});
  Value right = L({S("b")});
  Value joined = interp.binaryOpDispatch("+", left, right, 1);
  EXPECT_EQ(valueToString(joined, false), R"([1, "b"])");
  joined.asList()->items.clear();
  EXPECT_EQ(valueToString(left, false) + valueToString(right, false), R"([1]["b"])") << "operands unchanged";

  auto def = definition("f");
  check({
      {"+", I(1), S("x"), R"(string "1x")"},
      {"+", S("x"), F(2.0), R"(string "x2.0")"},
      {"+", S("v"), Value(), R"(string "vnull")"},
      {"+", B(false), S("!"), R"(string "no!")"},
      {"+", L({I(1), S("a")}), S("!"), R"(string "[1, \"a\"]!")"},
      {"+", S("<"), Fn(def.get()), R"(string "<<function f>")"},
  });
}

TEST_F(BinaryOps, ErrorsNameTheOperatorAndBothKinds) {
  const std::string unsupported = "TypeMismatchError: unsupported operand types for ";
  check({
      {"+", L({I(1)}), I(2), unsupported + "'+': list and int"},
      {"+", B(true), I(1), unsupported + "'+': bool and int"},
      {"+", I(1), Value(), unsupported + "'+': int and null"},
      {"<", Value(), I(1), unsupported + "'<': null and int"},
      {"<", I(1), S("2"), unsupported + "'<': int and string"},
      {"*", S("a"), I(3), unsupported + "'*': string and int"},
      {"*", L({}), I(3), unsupported + "'*': list and int"},
      {"-", S("a"), S("b"), unsupported + "'-': string and string"},
      {"<", L({}), L({}), unsupported + "'<': list and list"},
      {"%", R(0, 1, 1), I(1), unsupported + "'%': range and int"},
      {"&", S("a"), I(1), unsupported + "'&': string and int"},
      {"within", I(1), S("abc"), "TypeMismatchError: cannot test membership in a string"},
      {"within", I(1), I(5), "TypeMismatchError: cannot test membership in a int"},
      {"within", I(1), R(0, 3, 1), "TypeMismatchError: cannot test membership in a range"},
      {"/", I(1), I(0), "DivisionError: division by zero"},
      {"/", I(1), F(0.0), "DivisionError: division by zero"},
      {"/", F(1.0), F(-0.0), "DivisionError: division by zero"},
      {"//", I(1), I(0), "DivisionError: division by zero"},
      {"//", I(1), F(0.0), "DivisionError: division by zero"},
      {"%", I(1), I(0), "DivisionError: modulo by zero"},
  });

  int64_t line = -1;
  raised([&] { interp.binaryOpDispatch("/", I(1), I(0), 42); }, &line);
  EXPECT_EQ(line, 42);
  try {
    interp.binaryOpDispatch("&", I(1), I(2), 1);
    ADD_FAILURE() << "no fatal error";
  } catch (const QuilloraFatal& fatal) {
    EXPECT_STREQ(fatal.what(), "internal error: unhandled operator '&'");
  }
}

}  // namespace
}  // namespace qlr
