// Tests of MemoryError: raised wherever an allocation of a running program fails, and the spare behind it.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "../values/failing_allocator.h"
#include "../values/value_builders.h"
#include "frontend/parser.h"
#include "frontend/token.h"

namespace qlr {
namespace {

using namespace qlr::testing;

std::unique_ptr<Node> parse(const std::string& source) { return parseSource(source, "t.qlr"); }

TEST(MemoryError, NoRoomForAFreshErrorGivesTheSpareWithTheFailingLine) {
  Interpreter interp;
  RuntimeActivation active = interp.activate();
  auto program = parse("x = 1\nxs = [x, 2, 3]\n");
  auto again = parse("\n\n\nys = [4]\n");
  Value first, second;
  {
    AllocationFailure failure(0);
    ASSERT_EQ(interp.execBlock(program.get(), interp.globals.get()), Flow::ErrorSignal);
    first = interp.inFlight;
  }
  EXPECT_EQ(errorInFlight(interp), "MemoryError: out of memory @2");
  // A script that caught the spare may have changed it; the next use puts its message back.
  first.asInstance()->fields.find(intern("msg"))->operator=(S("changed"));
  {
    AllocationFailure failure(0);
    ASSERT_EQ(interp.execBlock(again.get(), interp.globals.get()), Flow::ErrorSignal);
    second = interp.inFlight;
  }
  EXPECT_EQ(errorInFlight(interp), "MemoryError: out of memory @4");
  EXPECT_TRUE(identicalValues(first, second)) << "both are the spare";
  EXPECT_EQ(interp.errType("MemoryError").get(), first.asInstance()->cls.get());
}

// A program that makes every kind of value and scope, catches errors and
// runs atlast blocks: failing each of its allocations in turn must end in
// an orderly MemoryError every time, and leave an interpreter that runs on.
const char* const kBusyProgram = R"(blueprint Point():
  exp init(self, x, y):
    self.x = x
    self.y = y
  exp sum(self):
    back self.x + self.y
exp count(n, acc=0):
  chk n == 0:
    back acc
  back count(n - 1, acc + 1)
d = {}
loop i within nums(30):
  d["k" + strval(i)] = Point(i, i * 2)
words = splitstr("a,b,c", ",")
attempt:
  missing = d["nope"]
catch KeyError called e:
  note = e.msg + "!"
atlast:
  done = [p.sum() loop p within values(d) chk p.x % 2 == 0]
total = count(50) + sizeof(joinstr("-", words)) + sizeof(keys(d))
remove d["k3"]
)";

TEST(MemoryError, EveryFailingAllocationOfABusyProgramEndsInAMemoryError) {
  size_t errors = 0;
  for (size_t allowed = 0;; ++allowed) {
    Interpreter interp;  // its pools start empty: every object comes from the allocator that fails
    RuntimeActivation active = interp.activate();
    // A tree is run by the interpreter it was parsed for (frontend/node.h).
    auto program = parse(kBusyProgram);
    auto check = parse("ensure total == 50 + 5 + 30\nensure sizeof(d) == 29\nensure sizeof(done) == 15\n");
    Flow flow;
    bool failed;
    {
      AllocationFailure failure(allowed);
      flow = interp.execBlock(program.get(), interp.globals.get());
      failed = failure.failed();
    }
    if (!failed) {
      ASSERT_EQ(flow, Flow::Normal);
      ASSERT_EQ(interp.execBlock(check.get(), interp.globals.get()), Flow::Normal) << errorInFlight(interp);
      break;
    }
    ASSERT_EQ(flow, Flow::ErrorSignal) << "allocation " << allowed;
    ASSERT_EQ(errorInFlight(interp).substr(0, 26), "MemoryError: out of memory") << "allocation " << allowed;
    ++errors;
    // Memory is back: the same interpreter runs the whole program.
    ASSERT_EQ(interp.execBlock(program.get(), interp.globals.get()), Flow::Normal) << "after allocation " << allowed;
    ASSERT_EQ(interp.execBlock(check.get(), interp.globals.get()), Flow::Normal) << errorInFlight(interp);
  }
  EXPECT_GT(errors, 100u) << "the program allocates at many points";
}

}  // namespace
}  // namespace qlr
