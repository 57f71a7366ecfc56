// Arithmetic and ordering on numbers: what the binary operators give for two ints or floats.
//
// Shared by the operator code and by the evaluator, which decides the
// commonest cases (two numbers) without leaving its own frame; this is the
// one place that decides what a zero divisor is. +, -, * and **
// wrap around in 64-bit two's complement, computed in unsigned arithmetic
// where wrapping is defined; the one quotient that does not fit, the
// minimum int // -1, gives the minimum int, and the minimum int % -1 gives 0.
#pragma once

#include <cmath>
#include <cstdint>

#include "frontend/node.h"
#include "values/value.h"

namespace qlr {

inline int64_t wrapAdd(int64_t a, int64_t b) {
  return static_cast<int64_t>(static_cast<uint64_t>(a) + static_cast<uint64_t>(b));
}
inline int64_t wrapSub(int64_t a, int64_t b) {
  return static_cast<int64_t>(static_cast<uint64_t>(a) - static_cast<uint64_t>(b));
}
inline int64_t wrapMul(int64_t a, int64_t b) {
  return static_cast<int64_t>(static_cast<uint64_t>(a) * static_cast<uint64_t>(b));
}

// Repeated squaring: time grows with the exponent's bits, not its size.
inline int64_t wrapPow(int64_t base, int64_t exponent) {
  uint64_t result = 1;
  uint64_t b = static_cast<uint64_t>(base);
  for (uint64_t e = static_cast<uint64_t>(exponent); e; e >>= 1) {
    if (e & 1) result *= b;
    b *= b;
  }
  return static_cast<int64_t>(result);
}

// Quotient rounded toward negative infinity; b is not 0.
inline int64_t floorDiv(int64_t a, int64_t b) {
  if (b == -1) return wrapSub(0, a);
  int64_t q = a / b;
  if (a % b != 0 && ((a < 0) != (b < 0))) --q;
  return q;
}

// Remainder with the sign of the divisor; b is not 0.
inline int64_t floorMod(int64_t a, int64_t b) {
  if (b == -1) return 0;
  int64_t r = a % b;
  if (r != 0 && ((r < 0) != (b < 0))) r += b;
  return r;
}

// How an operator applied to two numbers came out.
enum class Arithmetic : uint8_t {
  Done,         // the result is in out
  ZeroDivisor,  // "/" or "//" by zero, or int "%" by zero: a DivisionError
  Unhandled,    // the operands are not two numbers, or op is not one the number columns decide
};

// Ordering and equality of two values of one type: ints, doubles (IEEE,
// so every ordering with a NaN is false), or byte strings as string_views
// (compared byte by byte as unsigned values). False when op is neither.
template <class T>
inline bool compare(OpCode op, const T& a, const T& b, Value& out) {
  switch (op) {
    case OpCode::Lt:
      out = Value::boolean(a < b);
      return true;
    case OpCode::Le:
      out = Value::boolean(a <= b);
      return true;
    case OpCode::Gt:
      out = Value::boolean(a > b);
      return true;
    case OpCode::Ge:
      out = Value::boolean(a >= b);
      return true;
    case OpCode::Eq:
      out = Value::boolean(a == b);
      return true;
    case OpCode::Ne:
      out = Value::boolean(a != b);
      return true;
    default:
      return false;
  }
}

// op on two ints: "/" and a negative "**" give floats, everything else of
// the int column an int or a bool.
inline Arithmetic intOperation(OpCode op, int64_t a, int64_t b, Value& out) {
  switch (op) {
    case OpCode::Add:
      out = Value::integer(wrapAdd(a, b));
      return Arithmetic::Done;
    case OpCode::Sub:
      out = Value::integer(wrapSub(a, b));
      return Arithmetic::Done;
    case OpCode::Mul:
      out = Value::integer(wrapMul(a, b));
      return Arithmetic::Done;
    case OpCode::Div:
      if (b == 0) return Arithmetic::ZeroDivisor;
      out = Value::number(static_cast<double>(a) / static_cast<double>(b));
      return Arithmetic::Done;
    case OpCode::FloorDiv:
      if (b == 0) return Arithmetic::ZeroDivisor;
      out = Value::integer(floorDiv(a, b));
      return Arithmetic::Done;
    case OpCode::Mod:
      if (b == 0) return Arithmetic::ZeroDivisor;
      out = Value::integer(floorMod(a, b));
      return Arithmetic::Done;
    case OpCode::Pow:
      out = b < 0 ? Value::number(std::pow(static_cast<double>(a), static_cast<double>(b)))
                  : Value::integer(wrapPow(a, b));
      return Arithmetic::Done;
    default:
      return compare(op, a, b, out) ? Arithmetic::Done : Arithmetic::Unhandled;
  }
}

// Remainder with the sign of the divisor, for floats: a zero divisor gives
// NaN, and a remainder of zero is kept as it came (its sign included).
inline double floatMod(double a, double b) {
  double r = std::fmod(a, b);
  if (r == 0) return r;
  if ((r < 0 && !(b < 0)) || (!(r < 0) && b < 0)) return r + b;
  return r;
}

// op on two numbers of which at least one is a float, both given as
// doubles. "%" by zero is NaN, not an error.
inline Arithmetic floatOperation(OpCode op, double a, double b, Value& out) {
  switch (op) {
    case OpCode::Add:
      out = Value::number(a + b);
      return Arithmetic::Done;
    case OpCode::Sub:
      out = Value::number(a - b);
      return Arithmetic::Done;
    case OpCode::Mul:
      out = Value::number(a * b);
      return Arithmetic::Done;
    case OpCode::Div:
      if (b == 0) return Arithmetic::ZeroDivisor;
      out = Value::number(a / b);
      return Arithmetic::Done;
    case OpCode::FloorDiv:
      if (b == 0) return Arithmetic::ZeroDivisor;
      out = Value::number(std::floor(a / b));
      return Arithmetic::Done;
    case OpCode::Mod:
      out = Value::number(floatMod(a, b));
      return Arithmetic::Done;
    case OpCode::Pow:
      out = Value::number(std::pow(a, b));
      return Arithmetic::Done;
    default:
      return compare(op, a, b, out) ? Arithmetic::Done : Arithmetic::Unhandled;
  }
}

// op on left and right when both are numbers: the int column for two
// ints, the float column when a float is involved.
[[gnu::always_inline]] inline Arithmetic numberOperation(OpCode op, const Value& left, const Value& right, Value& out) {
  if (left.is(ValueKind::Int) && right.is(ValueKind::Int)) return intOperation(op, left.asInt(), right.asInt(), out);
  if (left.isNumber() && right.isNumber()) return floatOperation(op, toDouble(left), toDouble(right), out);
  return Arithmetic::Unhandled;
}

}  // namespace qlr
