// Arithmetic and ordering on numbers: what the binary operators give for two ints or floats.
//
// Shared by the operator code and by the evaluator, which decides the
// commonest cases (two numbers) without leaving its own frame. +, -, * and **
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

// The int result of op on two ints, into out. False when op is not an int
// operation, or when the operands need the general path: a zero divisor
// (an error), "/" (a float) or a negative power (a float).
inline bool intOperation(OpCode op, int64_t a, int64_t b, Value& out) {
  switch (op) {
    case OpCode::Add:
      out = Value::integer(wrapAdd(a, b));
      return true;
    case OpCode::Sub:
      out = Value::integer(wrapSub(a, b));
      return true;
    case OpCode::Mul:
      out = Value::integer(wrapMul(a, b));
      return true;
    case OpCode::FloorDiv:
      if (b == 0) return false;
      out = Value::integer(floorDiv(a, b));
      return true;
    case OpCode::Mod:
      if (b == 0) return false;
      out = Value::integer(floorMod(a, b));
      return true;
    case OpCode::Pow:
      if (b < 0) return false;
      out = Value::integer(wrapPow(a, b));
      return true;
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
    case OpCode::None:
    case OpCode::Either:
    case OpCode::Also:
    case OpCode::Within:
    case OpCode::Same:
    case OpCode::Div:
    case OpCode::Neg:
    case OpCode::Deny:
      return false;
  }
  return false;
}

// Remainder with the sign of the divisor, for floats: a zero divisor gives
// NaN, and a remainder of zero is kept as it came (its sign included).
inline double floatMod(double a, double b) {
  double r = std::fmod(a, b);
  if (r == 0) return r;
  if ((r < 0 && !(b < 0)) || (!(r < 0) && b < 0)) return r + b;
  return r;
}

// The result of op on two numbers of which at least one is a float, both
// given as doubles, into out. False when op is not arithmetic, ordering or
// equality (which for numbers is IEEE equality of the converted values),
// or when the divisor of "/" or "//" is zero (an error).
inline bool floatOperation(OpCode op, double a, double b, Value& out) {
  switch (op) {
    case OpCode::Add:
      out = Value::number(a + b);
      return true;
    case OpCode::Sub:
      out = Value::number(a - b);
      return true;
    case OpCode::Mul:
      out = Value::number(a * b);
      return true;
    case OpCode::Div:
      if (b == 0) return false;
      out = Value::number(a / b);
      return true;
    case OpCode::FloorDiv:
      if (b == 0) return false;
      out = Value::number(std::floor(a / b));
      return true;
    case OpCode::Mod:
      out = Value::number(floatMod(a, b));
      return true;
    case OpCode::Pow:
      out = Value::number(std::pow(a, b));
      return true;
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
    case OpCode::None:
    case OpCode::Either:
    case OpCode::Also:
    case OpCode::Within:
    case OpCode::Same:
    case OpCode::Neg:
    case OpCode::Deny:
      return false;
  }
  return false;
}

}  // namespace qlr
