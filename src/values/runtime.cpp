// The end of the values layer's part of a runtime.
#include "values/runtime.h"

#include <utility>

#include "values/value.h"

namespace qlr {

ValuesRuntime::~ValuesRuntime() {
  RuntimeActivation active(*this);  // releasing a string returns its block to these pools
  for (StringValue*& shared : byteStrings) {
    if (shared) releaseObj(std::exchange(shared, nullptr));
  }
  releaseFreeBlocks();
}

}  // namespace qlr
