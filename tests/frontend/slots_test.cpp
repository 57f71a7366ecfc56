// Tests of slot resolution: which names each function numbers, and which nodes learn a slot.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frontend/node.h"
#include "frontend/parser.h"
#include "frontend/slots.h"
#include "frontend/token.h"

namespace qlr {
namespace {

std::unique_ptr<Node> resolved(const std::string& source) {
  auto tree = parseProgram(lex(source, "t.qlr"), "t.qlr");
  resolveSlots(tree.get());
  return tree;
}

// The names of a layout in slot order, e.g. "a b x".
std::string names(const SlotLayout& layout) {
  std::string out;
  for (Symbol name : layout.names) out += (out.empty() ? "" : " ") + symbolName(name);
  return out;
}

// Every node of kind under node, in source order (children before later siblings).
void collect(const Node* node, NodeKind kind, std::vector<const Node*>& out) {
  if (!node) return;
  if (node->kind == kind) out.push_back(node);
  for (const auto& child : node->children) collect(child.get(), kind, out);
  for (const auto& value : node->defaults) collect(value.get(), kind, out);
  for (const auto& clause : node->catches) collect(clause.body.get(), kind, out);
  collect(node->finallyBody.get(), kind, out);
}

// "name:slot" for every Name node under node, e.g. "x:0 y:- out:*", where
// - is kNoSlot and * kBySymbol.
std::string nameSlots(const Node* node) {
  std::vector<const Node*> found;
  collect(node, NodeKind::Name, found);
  std::string out;
  for (const Node* name : found) {
    out += (out.empty() ? "" : " ") + name->text + ":" +
           (name->slot == kNoSlot     ? std::string("-")
            : name->slot == kBySymbol ? std::string("*")
                                      : std::to_string(name->slot));
  }
  return out;
}

const Node* first(const Node* root, NodeKind kind) {
  std::vector<const Node*> found;
  collect(root, kind, found);
  return found.empty() ? nullptr : found[0];
}

TEST(Slots, ParametersFirstThenEveryWayOfBinding) {
  auto tree = resolved(
      "exp f(a, b=a):\n"
      "    x = 1\n"
      "    y += 2\n"
      "    loop i within a:\n"
      "        nop\n"
      "    z = [j loop j within b]\n"
      "    exp g():\n"
      "        nop\n"
      "    blueprint K():\n"
      "        nop\n"
      "    attempt:\n"
      "        nop\n"
      "    catch called e:\n"
      "        nop\n"
      "    a[0] = q\n"
      "    r.s = 1\n");
  const Node* f = first(tree.get(), NodeKind::FuncDef);
  ASSERT_TRUE(f->layout);
  EXPECT_EQ(names(*f->layout), "a b x y i z j g K e");
  EXPECT_EQ(f->layout->paramSlots, (std::vector<int32_t>{0, 1}));
  EXPECT_TRUE(f->layout->escapes) << "g and K can keep the scope";
  EXPECT_FALSE(f->layout->loadsModules);
  EXPECT_EQ(first(f, NodeKind::For)->slot, 4);
  EXPECT_EQ(first(f, NodeKind::ListComp)->slot, 6);
  EXPECT_EQ(first(f, NodeKind::Try)->catches[0].slot, 9);
  std::vector<const Node*> defs;
  collect(f->body(), NodeKind::FuncDef, defs);
  EXPECT_EQ(defs[0]->slot, 7);
  EXPECT_EQ(first(f, NodeKind::ClassDef)->slot, 8);
  // Index and attribute targets bind nothing; q and r are read, not bound.
  EXPECT_EQ(nameSlots(f), "x:2 y:3 a:0 z:5 b:1 j:6 a:0 q:- r:- a:0");
}

// A name is local wherever it is bound in the body, also when a read comes
// first: that read finds the slot unbound and goes outward at run time. A
// name declared glob or nloc anywhere in the body has no slot.
TEST(Slots, ReadsBeforeTheBindingShareTheSlot) {
  auto tree = resolved(
      "exp f():\n"
      "    out(x)\n"
      "    x = 2\n"
      "    remove x\n"
      "    glob y\n"
      "    y = 3\n");
  const Node* f = first(tree.get(), NodeKind::FuncDef);
  EXPECT_EQ(names(*f->layout), "x");
  EXPECT_EQ(nameSlots(f), "out:- x:0 x:0 x:0 y:-");
  EXPECT_FALSE(f->layout->escapes);
}

TEST(Slots, NestedScopesAreNumberedOnTheirOwn) {
  auto tree = resolved(
      "n = 0\n"
      "exp outer(a):\n"
      "    k = fn(x, x): x + a + k\n"
      "    exp inner(b=a):\n"
      "        c = b + a\n"
      "        back c\n"
      "    blueprint B():\n"
      "        size = a\n"
      "        exp m(self):\n"
      "            back size\n"
      "    back inner\n");
  EXPECT_EQ(first(tree.get(), NodeKind::Name)->slot, kBySymbol) << "top-level names are found by symbol";
  const Node* outer = first(tree.get(), NodeKind::FuncDef);
  EXPECT_EQ(names(*outer->layout), "a k inner B");
  const Node* lambda = first(outer, NodeKind::Lambda);
  EXPECT_EQ(names(*lambda->layout), "x");
  EXPECT_EQ(lambda->layout->paramSlots, (std::vector<int32_t>{0, 0})) << "a repeated parameter shares its slot";
  EXPECT_EQ(nameSlots(lambda->body()), "x:0 a:- k:-");
  std::vector<const Node*> defs;
  collect(outer->body(), NodeKind::FuncDef, defs);
  const Node* inner = defs[0];
  EXPECT_EQ(names(*inner->layout), "b c");
  EXPECT_EQ(nameSlots(inner->defaults[0].get()), "a:-") << "a default runs in the callee's scope";
  EXPECT_EQ(nameSlots(inner->body()), "c:1 b:0 a:- c:1");
  const Node* cls = first(outer, NodeKind::ClassDef);
  EXPECT_EQ(nameSlots(cls->body()->children[0].get()), "size:* a:*") << "a blueprint body binds by name";
  const Node* method = defs[1];
  EXPECT_EQ(names(*method->layout), "self");
  EXPECT_EQ(nameSlots(method->body()), "size:-");
  EXPECT_FALSE(inner->layout->escapes);
}

TEST(Slots, AModuleLoadedInAFunctionKeepsItsScope) {
  auto tree = resolved(
      "exp f():\n"
      "    add helpers\n"
      "    back helper()\n");
  const Node* f = first(tree.get(), NodeKind::FuncDef);
  EXPECT_TRUE(f->layout->loadsModules);
  EXPECT_TRUE(f->layout->escapes);
}

// The walk keeps its own work list: a chain of a hundred thousand operators
// is as deep a tree, and resolves in constant native stack.
TEST(Slots, DeepTreesResolveWithoutRecursion) {
  std::string source = "exp f(x):\n    back x";
  for (int i = 0; i < 100000; ++i) source += " + x";
  source += "\n";
  auto tree = resolved(source);
  const Node* f = tree->children[0].get();
  EXPECT_EQ(names(*f->layout), "x");
  const Node* sum = f->body()->children[0]->returned();
  EXPECT_EQ(sum->right()->slot, 0);
}

}  // namespace
}  // namespace qlr
