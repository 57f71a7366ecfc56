// The replaced global operator new and delete behind AllocationFailure.
#include "failing_allocator.h"

#include <cstdlib>
#include <new>

namespace {

bool armed = false;
std::size_t remaining = 0;
bool refused = false;

}  // namespace

void* operator new(std::size_t bytes) {
  for (;;) {
    if (!armed || remaining > 0) {
      if (armed) --remaining;
      if (void* block = std::malloc(bytes ? bytes : 1)) return block;
    }
    refused = true;
    std::new_handler handler = std::get_new_handler();
    if (!handler) throw std::bad_alloc();
    handler();  // it frees what it can and returns, or throws
  }
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }

namespace qlr::testing {

AllocationFailure::AllocationFailure(std::size_t allowed) {
  armed = true;
  remaining = allowed;
  refused = false;
}

AllocationFailure::~AllocationFailure() { armed = false; }

bool AllocationFailure::failed() const { return refused; }

}  // namespace qlr::testing
