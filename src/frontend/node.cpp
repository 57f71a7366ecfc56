// The operator table (operator text to OpCode) and the release of trees.
#include <array>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

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

namespace {

void detachSubtrees(Node& node, std::vector<std::unique_ptr<Node>>& out) {
  for (auto& child : node.children)
    if (child) out.push_back(std::move(child));
  for (auto& def : node.defaults)
    if (def) out.push_back(std::move(def));
  for (auto& clause : node.catches)
    if (clause.body) out.push_back(std::move(clause.body));
  if (node.finallyBody) out.push_back(std::move(node.finallyBody));
}

}  // namespace

Node::~Node() {
  std::vector<std::unique_ptr<Node>> pending;
  detachSubtrees(*this, pending);
  while (!pending.empty()) {
    std::unique_ptr<Node> next = std::move(pending.back());
    pending.pop_back();
    detachSubtrees(*next, pending);
  }
}

}  // namespace qlr
