// An allocator for tests that runs out of memory on demand.
//
// The test binary replaces the global operator new with one that passes
// through to malloc until a test arms it; then it allows a set number of
// allocations and fails every later one, calling the new-handler as the
// real one does, until the test disarms it. Sweeping the number over every
// allocation an operation makes fails it at each of them in turn.
#pragma once

#include <cstddef>

namespace qlr::testing {

class AllocationFailure {
 public:
  // Allows `allowed` more allocations, then fails every later one.
  explicit AllocationFailure(std::size_t allowed);
  ~AllocationFailure();  // allocations succeed again
  AllocationFailure(const AllocationFailure&) = delete;
  AllocationFailure& operator=(const AllocationFailure&) = delete;

  // Whether an allocation has been refused since this was armed.
  bool failed() const;
};

}  // namespace qlr::testing
