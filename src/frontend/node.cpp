// The operator table: operator text to OpCode.
#include <array>
#include <string_view>
#include <utility>

#include "frontend/node.h"

namespace qlr {

namespace {

// Binary operators, and "deny", which only ever stands as a prefix. Unary
// "-" is the one text with two meanings, so opCodeFor settles it first.
constexpr std::array<std::pair<std::string_view, OpCode>, 18> kOperators{{
    {"either", OpCode::Either},
    {"also", OpCode::Also},
    {"==", OpCode::Eq},
    {"!=", OpCode::Ne},
    {"<=", OpCode::Le},
    {">=", OpCode::Ge},
    {"<", OpCode::Lt},
    {">", OpCode::Gt},
    {"within", OpCode::Within},
    {"same", OpCode::Same},
    {"+", OpCode::Add},
    {"-", OpCode::Sub},
    {"*", OpCode::Mul},
    {"/", OpCode::Div},
    {"//", OpCode::FloorDiv},
    {"%", OpCode::Mod},
    {"**", OpCode::Pow},
    {"deny", OpCode::Deny},
}};

}  // namespace

OpCode opCodeFor(const std::string& text, bool unary) {
  if (unary && text == "-") return OpCode::Neg;
  for (const auto& [opText, code] : kOperators) {
    if (opText == text) return code;
  }
  return OpCode::None;
}

}  // namespace qlr
