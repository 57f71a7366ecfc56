// Tests of instantiation: the room a new instance reserves for its fields.
#include <gtest/gtest.h>

#include <string>

#include "../values/value_builders.h"

namespace qlr {
namespace {

using namespace qlr::testing;

// Field slots reserved by an instance made after one whose init set n fields.
size_t reservedAfterInitOf(size_t n) {
  Interpreter interp;
  RuntimeActivation active = interp.activate();
  Value next = runAndRead(interp,
                          "blueprint Wide:\n"
                          "  exp init(self, n):\n"
                          "    loop i within nums(n):\n"
                          "      put(self, \"f\" + i, i)\n"
                          "first = Wide(" + std::to_string(n) + ")\n"
                          "next = Wide(0)\n",
                          "next");
  return next.asInstance()->fields.entries().capacity();
}

TEST(Instantiate, ReservesTheFieldsTheLastInitLeftUpToALimit) {
  EXPECT_EQ(reservedAfterInitOf(3), 3u);
  EXPECT_EQ(reservedAfterInitOf(kReservedFieldsLimit), kReservedFieldsLimit);
  EXPECT_EQ(reservedAfterInitOf(kReservedFieldsLimit + 1), kReservedFieldsLimit);
  EXPECT_EQ(reservedAfterInitOf(100000), kReservedFieldsLimit);
}

TEST(Instantiate, FieldsAddedAfterInitDoNotWidenLaterInstances) {
  Interpreter interp;
  RuntimeActivation active = interp.activate();
  Value last = runAndRead(interp,
                          "blueprint P:\n"
                          "  exp init(self):\n"
                          "    self.x = 1\n"
                          "    self.y = 2\n"
                          "p = P()\n"
                          "loop i within nums(1000):\n"
                          "  put(p, \"extra\" + i, i)\n"
                          "blueprint Bare:\n"
                          "  nop\n"
                          "b = Bare()\n"
                          "b.z = 1\n"
                          "last = [P(), Bare()]\n",
                          "last");
  EXPECT_EQ(last.asList()->items[0].asInstance()->fields.entries().capacity(), 2u);
  EXPECT_EQ(last.asList()->items[1].asInstance()->fields.entries().capacity(), 0u) << "no init, no reservation";
}

}  // namespace
}  // namespace qlr
