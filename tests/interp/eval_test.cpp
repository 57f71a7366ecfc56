// Tests of the expression handlers: the errors they put in flight themselves, and trees no parser makes.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "../values/value_builders.h"

namespace qlr {
namespace {

using namespace qlr::testing;

// What running the handler of the expression in source, a one-line
// statement, comes to: its error in flight, or its value.
std::string handled(Interpreter& interp, const std::string& source) {
  auto program = parseSource(source, "t.qlr");
  const Node* expression = program->statements().at(0)->expression();
  Value value;
  try {
    value = interp.operand(expression, interp.globals.get());
  } catch (const QuilloraThrow&) {
    return "thrown instead of put in flight";
  }
  interp.keepTree(std::move(program));
  return value.isAbrupt() ? errorInFlight(interp) : typed(value);
}

// A handler raises its own errors by returning the marker, not by
// throwing: its caller needs no C++ handler to take them.
TEST(ExpressionHandlers, PutTheirOwnErrorsInFlight) {
  Interpreter interp;
  RuntimeActivation active = interp.activate();
  runAndRead(interp, "blueprint B:\n  nop\nb = B()\n", "b");
  EXPECT_EQ(handled(interp, "\nunbound\n"), "NameError: name 'unbound' is not defined @2");
  EXPECT_EQ(handled(interp, "-\"s\"\n"), "TypeMismatchError: cannot negate a string @1");
  EXPECT_EQ(handled(interp, "1 // 0\n"), "DivisionError: division by zero @1");
  EXPECT_EQ(handled(interp, "1.5 % 0\n"), "float nan");
  EXPECT_EQ(handled(interp, "7 % 0\n"), "DivisionError: modulo by zero @1");
  EXPECT_EQ(handled(interp, "3(1)\n"), "TypeMismatchError: a int is not callable @1");
  EXPECT_EQ(handled(interp, "\"s\".size()\n"), "TypeMismatchError: cannot call an attribute on a string @1");
  EXPECT_EQ(handled(interp, "b.m()\n"), "AttributeError: 'B' has no attribute 'm' @1");
  EXPECT_EQ(handled(interp, "B.m()\n"), "AttributeError: class 'B' has no attribute 'm' @1");
  EXPECT_EQ(handled(interp, "(fn(): 1)(2)\n"),
            "ArgumentError: too many arguments to '<lambda>' (expected at most 0, got 1) @0");
}

std::string fatalOf(Interpreter& interp, const Node& node) {
  try {
    interp.eval(&node, interp.globals.get());
  } catch (const QuilloraFatal& fatal) {
    return fatal.what();
  }
  return "no fatal error";
}

TEST(ExpressionHandlers, NodesNoParserMakesAreInternalFaults) {
  Interpreter interp;
  RuntimeActivation active = interp.activate();
  Node statement(NodeKind::Pass, 1);
  EXPECT_EQ(fatalOf(interp, statement), "internal error: eval() got a statement node kind");
  Node binary(NodeKind::BinOp, 1);  // with no operator
  binary.children.push_back(std::make_unique<Node>(NodeKind::Null, 1));
  binary.children.push_back(std::make_unique<Node>(NodeKind::Null, 1));
  EXPECT_EQ(fatalOf(interp, binary), "internal error: a binary operator node without a binary operator");
}

}  // namespace
}  // namespace qlr
