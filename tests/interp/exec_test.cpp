// Tests of the statement handlers: the errors they put in flight themselves, and trees no parser makes.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "../values/value_builders.h"

namespace qlr {
namespace {

using namespace qlr::testing;

// What running the statements of source one by one through their
// handlers comes to: the error in flight after the first that raised one.
std::string handled(Interpreter& interp, const std::string& source) {
  auto program = parseSource(source, "t.qlr");
  std::string outcome = "completed";
  for (const auto& statement : program->statements()) {
    try {
      Flow flow = interp.exec(statement.get(), interp.globals.get());
      if (flow == Flow::ErrorSignal) {
        outcome = errorInFlight(interp);
        break;
      }
    } catch (const QuilloraThrow&) {
      outcome = "thrown instead of put in flight";
      break;
    }
  }
  interp.keepTree(std::move(program));
  return outcome;
}

TEST(StatementHandlers, PutTheirOwnErrorsInFlight) {
  Interpreter interp;
  RuntimeActivation active = interp.activate();
  EXPECT_EQ(handled(interp, "ensure 1 > 2\n"), "AssertionError: assertion failed @1");
  EXPECT_EQ(handled(interp, "\nensure no, [\"why\"]\n"), "AssertionError: [\"why\"] @2");
  EXPECT_EQ(handled(interp, "remove nothing\n"), "NameError: name 'nothing' is not defined @1");
  EXPECT_EQ(handled(interp, "xs = [1]\nremove xs[3]\n"), "IndexError: list index out of range @2");
  EXPECT_EQ(handled(interp, "d = {}\nremove d[7]\n"), "KeyError: key '7' not found @2");
  EXPECT_EQ(handled(interp, "remove \"s\"[0]\n"), "TypeMismatchError: cannot remove an index from a string @1");
  EXPECT_EQ(handled(interp, "remove 5\n"), "SyntaxError: invalid 'remove' target @1");
  EXPECT_EQ(handled(interp, "blueprint C(Missing):\n  nop\n"), "NameError: base blueprint 'Missing' is not defined @1");
  EXPECT_EQ(handled(interp, "f() = 1\n"), "SyntaxError: invalid assignment target @1");
  // The global scope has no enclosing one: plain and augmented assignments
  // to a name declared nloc there both find no binding.
  EXPECT_EQ(handled(interp, "nloc n\nn = [1]\n"), "NameError: no binding for nonlocal 'n' @2");
  EXPECT_EQ(handled(interp, "m = 1\nnloc m\nm += 1\n"), "NameError: no binding for nonlocal 'm' @3");
  EXPECT_EQ(handled(interp, "k = 1\nk /= 0\n"), "DivisionError: division by zero @2");
}

TEST(StatementHandlers, ExpressionNodeIsAnInternalFault) {
  Interpreter interp;
  RuntimeActivation active = interp.activate();
  Node number(NodeKind::Number, 1);
  try {
    interp.exec(&number, interp.globals.get());
    ADD_FAILURE() << "no fatal error";
  } catch (const QuilloraFatal& fatal) {
    EXPECT_STREQ(fatal.what(), "internal error: exec() got an expression node kind");
  }
}

}  // namespace
}  // namespace qlr
