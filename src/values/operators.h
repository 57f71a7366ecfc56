// The binary operators on values: equality, identity, membership, joining, arithmetic and ordering.
//
// also and either are not here: they decide whether their right operand
// is evaluated at all, which only the evaluator can. The arithmetic of two
// numbers is values/arithmetic.h, which the evaluator also inlines.
#pragma once

#include "frontend/node.h"
#include "values/value.h"

namespace qlr {

// left op right, for every binary operator but also and either; a kind the
// operator does not take, and a zero divisor, raise through report.
Value binaryOperation(OpCode op, const Value& left, const Value& right, int line, const ErrorReporter& report);

}  // namespace qlr
