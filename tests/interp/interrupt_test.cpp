// Tests of Ctrl-C inside a running program: where the checkpoints take it, and what it runs and skips on its way out.
#include <gtest/gtest.h>

#include <string>

#include "../values/value_builders.h"
#include "frontend/parser.h"
#include "support/budget.h"

namespace qlr {
namespace {

using namespace qlr::testing;

int trips = 0;

// trip() stands for the Ctrl-C: it sets the flag as the SIGINT handler does.
Value trip(NativeFn&, Args) {
  ++trips;
  interruptRequested = 1;
  return Value();
}

// Runs source with trip bound; returns whether Interrupted ended the run.
bool interrupted(Interpreter& interp, const std::string& source) {
  trips = 0;
  auto fn = makeRef<NativeFn>(trip);
  fn->interp = &interp;
  interp.globals->bindLocal(intern("trip"), Value(fn));
  try {
    interp.execBlock(interp.keepTree(parseSource(source, "t.qlr")), interp.globals.get());
  } catch (const Interrupted& stop) {
    EXPECT_STREQ(stop.what(), "KeyboardInterrupt");
    EXPECT_EQ(interruptRequested, 0) << "the checkpoint that takes it clears the flag";
    return true;
  }
  return false;
}

bool bound(Interpreter& interp, const char* name) { return interp.globals->lookup(intern(name)) != nullptr; }

TEST(Interrupt, EachKindOfCheckpointStopsTheWork) {
  Interpreter interp;
  RuntimeActivation active = interp.activate();
  // The next statement.
  EXPECT_TRUE(interrupted(interp, "trip()\nafterStatement = 1\n"));
  EXPECT_FALSE(bound(interp, "afterStatement"));
  // The next call, even of a lambda, whose body is no statement.
  EXPECT_TRUE(interrupted(interp, "g = fn(): trip()\nxs = [trip(), g()]\n"));
  EXPECT_EQ(trips, 1);
  // The next item of a loop without statements: a comprehension.
  EXPECT_TRUE(interrupted(interp, "ys = [trip() loop i within nums(1000)]\n"));
  EXPECT_EQ(trips, 1);
  EXPECT_FALSE(bound(interp, "ys"));
  // Without a Ctrl-C the same interpreter runs on, its bindings intact.
  EXPECT_FALSE(interrupted(interp, "z = 1\n"));
  EXPECT_TRUE(bound(interp, "g"));
}

TEST(Interrupt, AtlastBlocksRunAndCannotReplaceIt) {
  Interpreter interp;
  RuntimeActivation active = interp.activate();
  EXPECT_TRUE(interrupted(interp,
                          "exp stubborn():\n"
                          "  attempt:\n"
                          "    trip()\n"
                          "    nop\n"
                          "  atlast:\n"
                          "    glob cleaned\n"
                          "    cleaned = yes\n"
                          "    back 5\n"
                          "loop i within nums(3):\n"
                          "  attempt:\n"
                          "    r = stubborn()\n"
                          "  atlast:\n"
                          "    stop\n"
                          "afterLoop = 1\n"));
  EXPECT_TRUE(bound(interp, "cleaned")) << "the atlast block ran";
  EXPECT_FALSE(bound(interp, "r"));
  EXPECT_FALSE(bound(interp, "afterLoop")) << "neither back nor stop swallowed it";
}

TEST(Interrupt, CatchClausesDoNotCatchIt) {
  Interpreter interp;
  RuntimeActivation active = interp.activate();
  EXPECT_TRUE(interrupted(interp,
                          "attempt:\n"
                          "  trip()\n"
                          "  nop\n"
                          "catch:\n"
                          "  caught = 1\n"));
  EXPECT_FALSE(bound(interp, "caught"));
}

TEST(Interrupt, AnAtlastBlockCanBeInterruptedInTurn) {
  Interpreter interp;
  RuntimeActivation active = interp.activate();
  EXPECT_TRUE(interrupted(interp,
                          "attempt:\n"
                          "  trip()\n"
                          "  nop\n"
                          "atlast:\n"
                          "  trip()\n"
                          "  secondStatement = 1\n"));
  EXPECT_EQ(trips, 2);
  EXPECT_FALSE(bound(interp, "secondStatement"));
}

}  // namespace
}  // namespace qlr
