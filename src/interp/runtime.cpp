// The evaluator's part of a runtime: its fixed symbols and its pool of scopes.
#include "interp/runtime.h"

#include "interp/environment.h"

namespace qlr {

Runtime::Runtime() {
  scopeKind = &Environment::heapKind();
  for (std::string_view name : {"init", "msg", "line"}) symbols.intern(name);
}

Runtime::~Runtime() {
  RuntimeActivation active(*this);  // what is freed goes back to these pools
  collector.collectAll();           // freeing a cycle may pool its scopes
  while (pooledScopes > 0) delete scopePool[--pooledScopes];
}

}  // namespace qlr
