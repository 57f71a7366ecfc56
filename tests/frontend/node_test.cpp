// Tests of the syntax tree's own table: operators both ways, and the child each accessor names.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "frontend/node.h"
#include "frontend/parser.h"
#include "frontend/token.h"

namespace qlr {
namespace {

TEST(OperatorTable, OpCodeForEachText) {
  const std::vector<std::pair<std::string, OpCode>> binary = {
      {"either", OpCode::Either}, {"also", OpCode::Also}, {"==", OpCode::Eq},     {"!=", OpCode::Ne},
      {"<=", OpCode::Le},         {">=", OpCode::Ge},     {"<", OpCode::Lt},      {">", OpCode::Gt},
      {"within", OpCode::Within}, {"same", OpCode::Same}, {"+", OpCode::Add},     {"-", OpCode::Sub},
      {"*", OpCode::Mul},         {"/", OpCode::Div},     {"//", OpCode::FloorDiv}, {"%", OpCode::Mod},
      {"**", OpCode::Pow},        {"", OpCode::None},     {"=", OpCode::None},    {"+=", OpCode::None}};
  for (const auto& [text, code] : binary) EXPECT_EQ(opCodeFor(text, false), code) << text;
  EXPECT_EQ(opCodeFor("-", true), OpCode::Neg);
  EXPECT_EQ(opCodeFor("deny", true), OpCode::Deny);
}


TEST(OperatorTable, TextOfEachOpCode) {
  const std::vector<std::pair<OpCode, std::string_view>> texts = {
      {OpCode::None, ""},        {OpCode::Either, "either"}, {OpCode::Also, "also"},   {OpCode::Eq, "=="},
      {OpCode::Ne, "!="},        {OpCode::Le, "<="},         {OpCode::Ge, ">="},       {OpCode::Lt, "<"},
      {OpCode::Gt, ">"},         {OpCode::Within, "within"}, {OpCode::Same, "same"},   {OpCode::Add, "+"},
      {OpCode::Sub, "-"},        {OpCode::Mul, "*"},         {OpCode::Div, "/"},       {OpCode::FloorDiv, "//"},
      {OpCode::Mod, "%"},        {OpCode::Pow, "**"},        {OpCode::Neg, "-"},       {OpCode::Deny, "deny"}};
  ASSERT_EQ(texts.size(), static_cast<size_t>(OpCode::Deny) + 1) << "every OpCode is listed";
  for (const auto& [code, text] : texts) {
    EXPECT_EQ(opText(code), text) << static_cast<int>(code);
    if (code != OpCode::None) {
      EXPECT_EQ(opCodeFor(text, code == OpCode::Neg), code) << text;
    }
  }
}

// A node as the accessor test reads it: a name or string by its text, an
// int by its value, a missing child as "_", anything else by its kind.
std::string label(const Node* node) {
  if (!node) return "_";
  switch (node->kind) {
    case NodeKind::Name:
      return node->text;
    case NodeKind::String:
      return "\"" + node->text + "\"";
    case NodeKind::Number:
      return std::to_string(node->intValue);
    default:
      return "kind " + std::to_string(static_cast<int>(node->kind));
  }
}

// The only statement of a block's body.
const Node* only(const Node* block) { return block->statements().size() == 1 ? block->statements()[0].get() : nullptr; }

TEST(NodeAccessors, NameEachChildByRole) {
  auto program = parseProgram(lex("x[i] = a - b\n"
                                  "f(1, g)\n"
                                  "chk c:\n  nop\nnah:\n  stop\n"
                                  "spin w:\n  skip\n"
                                  "loop v within vs:\n  nop\n"
                                  "exp h(p):\n  back p\n"
                                  "ensure ok, \"why\"\n"
                                  "ensure ok\n"
                                  "remove o.f\n"
                                  "throw err\n"
                                  "d = {\"k\": 1, \"j\": [e loop e within es chk t]}\n"
                                  "y = -z\n"
                                  "back\n"
                                  "q = [m, n, [u loop u within us]]\n"
                                  "l = fn(a): a\n",
                                  "t.qlr"),
                              "t.qlr");
  const auto& s = program->statements();
  ASSERT_EQ(s.size(), 15u);

  const Node* assign = s[0].get();
  EXPECT_EQ(label(assign->target()->object()), "x");
  EXPECT_EQ(label(assign->target()->index()), "i");
  EXPECT_EQ(label(assign->value()->left()), "a");
  EXPECT_EQ(label(assign->value()->right()), "b");

  const Node* call = s[1]->expression();
  EXPECT_EQ(label(call->callee()), "f");
  ASSERT_EQ(call->argCount(), 2u);
  EXPECT_EQ(label(call->arg(0)), "1");
  EXPECT_EQ(label(call->arg(1)), "g");

  const Node* branch = s[2].get();
  EXPECT_EQ(label(branch->condition()), "c");
  EXPECT_EQ(only(branch->thenBlock())->kind, NodeKind::Pass);
  EXPECT_EQ(only(branch->elsePart())->kind, NodeKind::Break);

  EXPECT_EQ(label(s[3]->condition()), "w");
  EXPECT_EQ(only(s[3]->loopBody())->kind, NodeKind::Continue);
  EXPECT_EQ(label(s[4]->iterable()), "vs");
  EXPECT_EQ(only(s[4]->loopBody())->kind, NodeKind::Pass);

  const Node* back = only(s[5]->body());
  ASSERT_TRUE(back->returnsValue());
  EXPECT_EQ(label(back->returned()), "p");
  EXPECT_FALSE(s[12]->returnsValue());

  EXPECT_EQ(label(s[6]->condition()), "ok");
  EXPECT_EQ(label(s[6]->message()), "\"why\"");
  EXPECT_EQ(label(s[7]->message()), "_");
  EXPECT_EQ(label(s[8]->target()->object()), "o");
  EXPECT_EQ(label(s[9]->thrown()), "err");

  const Node* dict = s[10]->value();
  ASSERT_EQ(dict->entryCount(), 2u);
  EXPECT_EQ(label(dict->key(0)), "\"k\"");
  EXPECT_EQ(label(dict->entryValue(0)), "1");
  EXPECT_EQ(label(dict->key(1)), "\"j\"");
  const Node* comp = dict->entryValue(1);
  EXPECT_EQ(label(comp->iterable()), "es");
  EXPECT_EQ(label(comp->element()), "e");
  EXPECT_EQ(label(comp->filter()), "t");

  EXPECT_EQ(label(s[11]->value()->operand()), "z");

  const auto& elements = s[13]->value()->elements();
  ASSERT_EQ(elements.size(), 3u);
  EXPECT_EQ(label(elements[0].get()), "m");
  EXPECT_EQ(label(elements[1].get()), "n");
  EXPECT_EQ(label(elements[2]->filter()), "_");
  EXPECT_EQ(label(s[14]->value()->body()), "a");
}

}  // namespace
}  // namespace qlr
