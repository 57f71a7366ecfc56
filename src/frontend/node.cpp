// The operator table (text to OpCode and back) and the release of trees.
#include <array>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "frontend/node.h"

namespace qlr {

namespace {

// Every operator and its text, in both directions. "-" stands for Sub and
// Neg: a binary reading finds Sub, the first, and a unary one is settled
// before the table.
constexpr std::array<std::pair<std::string_view, OpCode>, 19> kOperators{{
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
    {"-", OpCode::Neg},
    {"deny", OpCode::Deny},
}};

}  // namespace

OpCode opCodeFor(std::string_view text, bool unary) {
  if (unary && text == "-") return OpCode::Neg;
  for (const auto& [spelled, code] : kOperators) {
    if (spelled == text) return code;
  }
  return OpCode::None;
}

std::string_view opText(OpCode op) {
  for (const auto& [text, code] : kOperators) {
    if (code == op) return text;
  }
  return "";
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
