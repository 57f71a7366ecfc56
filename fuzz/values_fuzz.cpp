// Fuzz target: number conversion and rendering, the value code a crash is likeliest in.
//
// The input is read as a small program of operations on a few slots:
// doubles and ints from raw bytes are rendered, converted by the built-in
// conversions, and combined with every binary operator.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "interp/interpreter.h"
#include "support/budget.h"

namespace {

using qlr::OpCode;
constexpr OpCode kOperators[] = {OpCode::Eq,  OpCode::Ne,  OpCode::Same, OpCode::Within,   OpCode::Add,
                                 OpCode::Sub, OpCode::Mul, OpCode::Div,  OpCode::FloorDiv, OpCode::Mod,
                                 OpCode::Pow, OpCode::Lt,  OpCode::Le,   OpCode::Gt,       OpCode::Ge};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static qlr::Interpreter interp;
  qlr::RuntimeActivation active = interp.activate();
  qlr::refillBudget();  // lists of lists double per step: rendering them is bounded by the budget
  qlr::Value slots[4];
  for (size_t at = 0; at + 9 <= size; at += 9) {
    uint8_t op = data[at];
    uint64_t bits;
    std::memcpy(&bits, data + at + 1, sizeof bits);
    qlr::Value& slot = slots[op & 3];
    try {
      switch ((op >> 2) % 6) {
        case 0:
          slot = qlr::Value::integer(static_cast<int64_t>(bits));
          break;
        case 1: {
          double d;
          std::memcpy(&d, &bits, sizeof d);
          slot = qlr::Value::number(d);
          break;
        }
        case 2:
          slot = qlr::makeString(qlr::valueToString(slot, false));
          break;
        case 3: {
          qlr::Value args[1] = {slot};
          qlr::NativeFn& conv = *interp.globals->lookup(qlr::intern((op & 0x80) ? "intval" : "floatval"))->asNative();
          slot = conv.call(conv, qlr::Args(args, 1));
          break;
        }
        case 4:
          slot = interp.binaryOpDispatch(kOperators[bits % 15], slot, slots[(bits >> 8) & 3], 1);
          break;
        case 5:
          slot = qlr::makeList({slot, slots[(bits >> 8) & 3]});
          break;
      }
    } catch (const qlr::QuilloraThrow&) {
    } catch (const qlr::QuilloraFatal&) {
      return 0;
    }
  }
  return 0;
}
