// The active runtime of each thread (see support.h).
#include "support/support.h"

namespace qlr {

constinit thread_local SupportRuntime* activeRuntime = nullptr;

}  // namespace qlr
