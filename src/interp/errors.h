// Script errors and control signals: what leaves the normal flow of evaluation.
//
// A runtime error is an ordinary script value: an instance of the blueprint
// named after its kind, with the fields "msg" and "line". Like any value a
// script throws, it is caught by the innermost attempt with a matching
// catch clause.
//
// There is one way to raise an error in each place, and every kind and
// message comes from the catalogue (values/messages.h):
//
// - The evaluator's handlers put the error in flight with
//   Interpreter::raise and return what it returns. Nothing abrupt travels
//   there as a C++ exception: a throw per return, or per caught error,
//   costs far more than the work around it. Statement execution returns a
//   Flow instead, and each construct passes on what it does not handle:
//   loops take BreakSignal and ContinueSignal, calls take ReturnSignal,
//   attempt statements take ErrorSignal. The value that travels with a
//   ReturnSignal or an ErrorSignal waits in Interpreter::inFlight. An
//   expression cannot return a Flow, so when an error, or a stop or skip
//   from a called function, interrupts one, eval returns the marker
//   Value::abrupt() and leaves the Flow in the interpreter; every caller
//   checks for the marker and passes it on. raise returns a Raised, which
//   is that marker for an expression handler and Flow::ErrorSignal for a
//   statement handler. Where a handler's frame stays on the native stack
//   while script calls run below it (the call expression, assignments), its
//   errors are raised by a small out-of-line function, so that the frame
//   holds no message and deep recursion costs no more stack.
// - Leaf operations outside the evaluator (operators, indexing,
//   attributes, built-ins, module loading) call Interpreter::throwError,
//   which throws a QuilloraThrow; the evaluator turns it into the error in
//   flight in the frame that called the operation, so the C++ unwinding
//   never crosses more than a frame or two.
// - Value helpers that have no interpreter raise through an ErrorReporter
//   (values/value.h), which the interpreter makes forward to throwError.
#pragma once

#include <cstdint>
#include <string>

#include "frontend/node.h"
#include "support/fatal.h"
#include "values/messages.h"
#include "values/value.h"

namespace qlr {

enum class Flow : uint8_t {
  Normal,
  ReturnSignal,
  BreakSignal,
  ContinueSignal,
  ErrorSignal,
};

// A thrown script value: a runtime error instance or anything a script threw.
struct QuilloraThrow {
  Value value;
};

// What Interpreter::raise returns: an error is in flight. An expression
// handler returns it as the abrupt marker, a statement handler as its Flow.
struct Raised {
  operator Value() const { return Value::abrupt(); }
  operator Flow() const { return Flow::ErrorSignal; }
};

// Whether a catch clause takes a thrown value: an untyped clause takes
// everything; otherwise an instance matches by the names along its blueprint
// chain and any other value by its kind name.
bool catchMatches(const CatchClause& clause, const Value& thrown);

}  // namespace qlr
