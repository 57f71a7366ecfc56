// Tests of runtimes: interpreters that take turns on one thread or run on two at once share nothing they change.
#include <gtest/gtest.h>

#include <latch>
#include <string>
#include <thread>
#include <vector>

#include "../values/value_builders.h"

namespace qlr {
namespace {

using namespace qlr::testing;

// Runs source in interp's global scope, with its runtime active, and
// returns how it completed.
Flow runIn(Interpreter& interp, const std::string& source) {
  RuntimeActivation active = interp.activate();
  auto tree = parseProgram(lex(source, "t.qlr"), "t.qlr");
  const Node* program = tree.get();
  interp.keepTree(std::move(tree));
  Flow flow = interp.execBlock(program, interp.globals.get());
  if (flow == Flow::ErrorSignal) ADD_FAILURE() << errorInFlight(interp);
  return flow;
}

// The quoted rendering of the global name in interp, or "unbound".
std::string globalIn(Interpreter& interp, const char* name) {
  RuntimeActivation active = interp.activate();
  Symbol sym = findSymbol(name);
  Value* bound = sym == kNoSymbol ? nullptr : interp.globals->lookup(sym);
  return bound ? valueToString(*bound, true) : "unbound";
}

// What interp's runtime has: containers its collector follows after
// collecting everything, and scopes in its pool.
struct Held {
  size_t tracked;
  size_t pooledScopes;
};
Held heldBy(Interpreter& interp) {
  RuntimeActivation active = interp.activate();
  collector().collectAll();
  size_t tracked = 0;
  for (int g = 0; g < Collector::kGenerations; ++g) tracked += collector().trackedIn(g);
  return {tracked, runtime().pooledScopes};
}

TEST(Runtimes, EveryRuntimeStartsWithTheFixedSymbols) {
  Runtime fresh;
  RuntimeActivation active(fresh);
  EXPECT_EQ(symbolName(kInitSymbol), "init");
  EXPECT_EQ(symbolName(kMsgSymbol), "msg");
  EXPECT_EQ(symbolName(kLineSymbol), "line");
  EXPECT_EQ(intern("anything"), kLineSymbol + 1) << "a fresh table has nothing else";
}

TEST(Runtimes, TwoInterpretersTakingTurnsOnOneThreadKeepApart) {
  Interpreter a;
  Interpreter b;
  // Each interns names in its own order: one name, two symbols.
  runIn(a, "first = 1\nsecond = 2\n");
  runIn(b, "second = 20\nfirst = 10\nonlyB = \"b\"\n");
  Symbol firstInA, firstInB;
  {
    RuntimeActivation active = a.activate();
    firstInA = findSymbol("first");
    EXPECT_EQ(findSymbol("onlyB"), kNoSymbol) << "b's names are not in a's table";
  }
  {
    RuntimeActivation active = b.activate();
    firstInB = findSymbol("first");
  }
  EXPECT_NE(firstInA, firstInB);

  for (int turn = 0; turn < 3; ++turn) {
    runIn(a, "first = first + 1\n");
    runIn(b, "first = first + 100\n");
  }
  EXPECT_EQ(globalIn(a, "first"), "4");
  EXPECT_EQ(globalIn(b, "first"), "310");
  EXPECT_EQ(globalIn(a, "onlyB"), "unbound");

  // Errors are instances of each one's own blueprints.
  runIn(a, "attempt:\n  missing\ncatch NameError called e:\n  seen = e\n");
  runIn(b, "attempt:\n  missing\ncatch NameError called e:\n  seen = e\n");
  {
    RuntimeActivation active = a.activate();
    Value* seen = a.globals->lookup(findSymbol("seen"));
    ASSERT_TRUE(seen && seen->is(ValueKind::Instance));
    EXPECT_EQ(seen->asInstance()->cls.get(), a.errType("NameError").get());
    EXPECT_NE(seen->asInstance()->cls.get(), b.errorTypes.at("NameError").get());
  }

  // Cycles made and calls run in one are followed, freed and pooled by its runtime alone.
  Held beforeA = heldBy(a);
  Held beforeB = heldBy(b);
  runIn(a,
        "exp pair(n):\n  c = [n]\n  append(c, c)\n  back c\n"
        "kept = []\n"
        "loop i within nums(5000):\n  c = pair(i)\n  chk i < 3:\n    append(kept, c)\n");
  Held afterA = heldBy(a);
  Held afterB = heldBy(b);
  EXPECT_GE(afterA.tracked, beforeA.tracked + 4) << "kept and its three cycles at least";
  EXPECT_LT(afterA.tracked, beforeA.tracked + 10) << "the other cycles were freed";
  EXPECT_GT(afterA.pooledScopes, beforeA.pooledScopes);
  EXPECT_EQ(afterB.tracked, beforeB.tracked);
  EXPECT_EQ(afterB.pooledScopes, beforeB.pooledScopes);
}

// A value a host keeps past its interpreter: the ending runtime's collector
// lets go of it and the shared one-byte string it holds, and its count
// frees it later under whatever runtime is active.
TEST(Runtimes, AValueThatOutlivesItsInterpreterIsFreedByCountingAlone) {
  Value kept;
  {
    Interpreter interp;
    runIn(interp, "blueprint P:\n  nop\np = P()\nkept = [p, [p], \"q\"]\n");
    RuntimeActivation active = interp.activate();
    kept = *interp.globals->lookup(findSymbol("kept"));
    EXPECT_NE(kept.asObj()->gcGeneration, Obj::kUntracked);
  }
  EXPECT_EQ(kept.asObj()->gcGeneration, Obj::kUntracked);
  EXPECT_EQ(valueToString(kept, true), R"([<P instance>, [<P instance>], "q"])");
  kept = Value();
}

// The scripts two threads run at once: blueprints and cycles (the
// collector), calls (the scope pool), strings split and joined (the object
// pools and the one-byte strings), names made at run time (the symbol
// table), errors thrown and caught.
const char* const kChurn = R"(blueprint Ring:
  exp init(self, next):
    self.next = next
exp churn(n, tag):
  total = 0
  loop i within nums(n):
    ring = Ring(null)
    ring.next = Ring(ring)
    put(ring, tag + strval(i % 40), i)
    words = splitstr(joinstr(",", [strval(i), tag, "x"]), ",")
    attempt:
      total = total + grab(ring, tag + strval(i % 40)) + sizeof(words[1])
      chk i % 7 == 0:
        throw i
    catch int called k:
      total = total - k // 2
  back total
)";

// Runs kChurn with tag in a new interpreter; returns its result, what its
// runtime holds afterwards, and whether its symbol table knows a name made
// from otherTag.
std::string churnIn(const std::string& tag, const std::string& otherTag) {
  Interpreter interp;
  runIn(interp, std::string(kChurn) + "result = [churn(3000, \"" + tag + "\"), sizeof(keys({\"k\": 1}))]\n");
  Held held = heldBy(interp);
  RuntimeActivation active = interp.activate();
  std::string summary = globalIn(interp, "result") + " tracked " + std::to_string(held.tracked) + ", pooled " +
                        std::to_string(held.pooledScopes);
  if (findSymbol(otherTag + "0") != kNoSymbol) summary += ", knows " + otherTag + "0";
  return summary;
}

// Each thread's interpreter computes and holds what it does alone, round
// after round, while the other runs: nothing they change is shared.
TEST(Runtimes, TwoThreadsRunScriptsAtOnce) {
  const std::string tags[2] = {"left", "right-hand"};
  const std::string alone[2] = {churnIn(tags[0], tags[1]), churnIn(tags[1], tags[0])};
  ASSERT_NE(alone[0], alone[1]);
  EXPECT_EQ(alone[0].find("knows"), std::string::npos) << alone[0];
  constexpr int kRounds = 6;
  std::vector<std::string> results[2];
  std::latch start(2);
  auto run = [&](int side) {
    start.arrive_and_wait();
    for (int round = 0; round < kRounds; ++round) results[side].push_back(churnIn(tags[side], tags[1 - side]));
  };
  std::thread left(run, 0);
  std::thread right(run, 1);
  left.join();
  right.join();
  for (int side = 0; side < 2; ++side) {
    ASSERT_EQ(results[side].size(), size_t{kRounds});
    for (const std::string& result : results[side]) EXPECT_EQ(result, alone[side]) << tags[side];
  }
}

}  // namespace
}  // namespace qlr
