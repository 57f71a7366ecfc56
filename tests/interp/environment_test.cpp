// Tests of scopes: lookup, binding, the assignment rules, loop variables, removal and declarations.
#include <gtest/gtest.h>

#include "../values/value_builders.h"

namespace qlr {
namespace {

using namespace qlr::testing;

// What a read of name finds from env, or "-" when nothing binds it.
std::string read(Environment& env, const char* name) {
  Value* v = env.lookup(intern(name));
  return v ? valueToString(*v, true) : "-";
}

// What env itself binds, or "-".
std::string own(Environment& env, const char* name) {
  Value* v = env.vars.find(intern(name));
  return v ? valueToString(*v, true) : "-";
}

// A global scope, a function's scope inside it, and a call scope inside that.
struct Chain {
  Ref<Environment> global = Environment::make(nullptr);
  Ref<Environment> outer = Environment::make(global.get());
  Ref<Environment> inner = Environment::make(outer.get());
};

TEST(Environment, LookupFindsTheInnermostBinding) {
  Chain c;
  c.global->bindLocal(intern("x"), I(1));
  c.global->bindLocal(intern("y"), I(2));
  c.outer->bindLocal(intern("x"), I(10));
  c.inner->declareGlobal(intern("x"));  // declarations play no part in reads
  EXPECT_EQ(read(*c.inner, "x"), "10");
  EXPECT_EQ(read(*c.inner, "y"), "2");
  EXPECT_EQ(read(*c.inner, "z"), "-");
  EXPECT_EQ(read(*c.global, "x"), "1");
  EXPECT_EQ(read(*c.inner, "X"), "-") << "names are case-sensitive";

  *c.inner->lookup(intern("y")) = I(20);  // the binding itself, not a copy
  EXPECT_EQ(own(*c.global, "y"), "20");
  c.inner->bindLocal(intern("y"), I(3));
  c.inner->bindLocal(intern("y"), I(4));
  EXPECT_EQ(own(*c.inner, "y"), "4");
  EXPECT_EQ(own(*c.global, "y"), "20");
}

TEST(Environment, AssignNameRules) {
  struct Row {
    const char* name;
    void (*declare)(Chain&);
    bool ok;
    const char* global;  // what each scope binds afterwards
    const char* outer;
    const char* inner;
  } rows[] = {
      // Plain assignment binds locally, even over a global.
      {"x", [](Chain&) {}, true, "1", "10", "7"},
      {"x", [](Chain& c) { c.inner->declareGlobal(intern("x")); }, true, "7", "10", "-"},
      {"fresh", [](Chain& c) { c.inner->declareGlobal(intern("fresh")); }, true, "7", "-", "-"},
      {"x", [](Chain& c) { c.inner->declareNonlocal(intern("x")); }, true, "1", "7", "-"},
      {"g", [](Chain& c) { c.inner->declareNonlocal(intern("g")); }, true, "7", "-", "-"},
      {"fresh", [](Chain& c) { c.inner->declareNonlocal(intern("fresh")); }, false, "-", "-", "-"},
      // The scope's own binding is skipped by the outward search.
      {"own", [](Chain& c) { c.inner->declareNonlocal(intern("own")); }, true, "-", "7", "5"},
      {"x",
       [](Chain& c) {
         c.inner->declareNonlocal(intern("x"));
         c.inner->declareGlobal(intern("x"));
       },
       true, "7", "10", "-"},
      // Only the assigning scope's declarations count.
      {"x", [](Chain& c) { c.outer->declareGlobal(intern("x")); }, true, "1", "10", "7"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name + std::string(" row ") + std::to_string(&row - rows));
    Chain c;
    c.global->bindLocal(intern("x"), I(1));
    c.global->bindLocal(intern("g"), I(2));
    c.outer->bindLocal(intern("x"), I(10));
    c.inner->bindLocal(intern("own"), I(5));
    c.outer->bindLocal(intern("own"), I(6));
    row.declare(c);
    uint32_t hint = 0;
    bool ok = c.inner->assignName(intern(row.name), kBySymbol, I(7), c.global.get(), hint);
    EXPECT_EQ(ok, row.ok);
    EXPECT_EQ(own(*c.global, row.name), row.global);
    EXPECT_EQ(own(*c.outer, row.name), row.outer);
    EXPECT_EQ(own(*c.inner, row.name), row.inner);
  }

  // A nonlocal at top level has no enclosing scope at all.
  Ref<Environment> top = Environment::make(nullptr);
  top->declareNonlocal(intern("x"));
  uint32_t hint = 0;
  EXPECT_FALSE(top->assignName(intern("x"), kBySymbol, I(1), top.get(), hint));
  EXPECT_EQ(own(*top, "x"), "-");
}

TEST(Environment, LoopVariableOverwritesWhateverLookupFinds) {
  Chain c;
  c.global->bindLocal(intern("i"), I(0));
  uint32_t hint = 0;
  c.inner->assignLoopVariable(intern("i"), kBySymbol, I(3), hint);
  EXPECT_EQ(own(*c.global, "i"), "3");
  EXPECT_EQ(own(*c.inner, "i"), "-");

  c.inner->declareGlobal(intern("j"));  // not consulted
  c.inner->assignLoopVariable(intern("j"), kBySymbol, I(4), hint);
  EXPECT_EQ(own(*c.inner, "j"), "4");
  EXPECT_EQ(own(*c.global, "j"), "-");
}

TEST(Environment, RemoveErasesTheBindingLookupFinds) {
  Chain c;
  c.global->bindLocal(intern("x"), I(1));
  c.inner->bindLocal(intern("x"), I(2));
  c.global->bindLocal(intern("g"), I(3));
  EXPECT_TRUE(c.inner->removeName(intern("x")));
  EXPECT_EQ(read(*c.inner, "x"), "1");
  EXPECT_TRUE(c.inner->removeName(intern("g")));
  EXPECT_EQ(own(*c.global, "g"), "-");
  EXPECT_TRUE(c.inner->removeName(intern("x")));
  EXPECT_FALSE(c.inner->removeName(intern("x")));
  EXPECT_EQ(read(*c.inner, "x"), "-");
}

TEST(Environment, DeclarationsAreSetsAndRecycledScopesStartClean) {
  Ref<Environment> global = Environment::make(nullptr);
  {
    Ref<Environment> call = Environment::make(global.get());
    call->declareGlobal(intern("a"));
    call->declareGlobal(intern("a"));
    call->declareNonlocal(intern("a"));
    EXPECT_EQ(call->globalNames.size(), 1u);
    EXPECT_EQ(call->nonlocalNames.size(), 1u);
    call->bindLocal(intern("leftover"), I(1));
  }
  // Freed call scopes are reused; none may carry anything of its last call.
  for (int i = 0; i < 4; ++i) {
    Ref<Environment> next = Environment::make(nullptr);
    EXPECT_TRUE(next->vars.empty());
    EXPECT_TRUE(next->globalNames.empty());
    EXPECT_TRUE(next->nonlocalNames.empty());
    EXPECT_FALSE(next->parent);
  }
}

// The table room a freed scope kept, as the next scope made finds it.
size_t roomReusedAfter(size_t bindings) {
  {
    Ref<Environment> call = Environment::make(nullptr);
    for (size_t i = 0; i < bindings; ++i) call->bindLocal(intern("room" + std::to_string(i)), I(1));
  }
  return Environment::make(nullptr)->vars.entries().capacity();
}

TEST(Environment, PooledScopesKeepTheirTablesUpToALimit) {
  EXPECT_EQ(roomReusedAfter(Environment::kPooledTableLimit), Environment::kPooledTableLimit);
  // A table grown past the limit is freed with its scope; whatever scope
  // comes next has no more room than the limit.
  EXPECT_LE(roomReusedAfter(Environment::kPooledTableLimit + 1), Environment::kPooledTableLimit);
}

}  // namespace
}  // namespace qlr
