// Scopes: binding, lookup, assignment rules, removal and declarations.
#include "interp/environment.h"

#include <algorithm>

namespace qlr {

namespace {

bool contains(const std::vector<Symbol>& names, Symbol name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// How the heap frees, walks and empties a scope (object.h).
const ForeignKind kScopeKind{
    [](Obj* obj) { Environment::recycle(static_cast<Environment*>(obj)); },
    [](Obj* obj, RefVisitor visit, void* context) {
      auto* env = static_cast<Environment*>(obj);
      env->forEachBound([&](const Value& value) {
        if (value.isObj()) visit(value.asObj(), context);
      });
      if (env->parent) visit(env->parent.get(), context);
    },
    [](Obj* obj) {
      static_cast<Environment*>(obj)->empty();
    },
};
}  // namespace

const ForeignKind& Environment::heapKind() { return kScopeKind; }

// Emptying the scope releases what it bound, and that may free other
// scopes (closures made by the call), which come back here and take pool
// slots: room is looked for only once the scope is empty.
void Environment::recycle(Environment* env) {
  collector().untrack(env);
  if (env->vars.entries().capacity() > kPooledTableLimit || env->heapSlotCapacity_ > kPooledTableLimit) {
    delete env;
    return;
  }
  // Most call scopes bind nothing by symbol and declare nothing: their
  // tables are left alone.
  if (!env->vars.empty()) env->vars.clear();
  env->unbindSlots();
  env->parent = nullptr;
  if (env->hasDeclarations()) {
    env->globalNames.clear();
    env->nonlocalNames.clear();
  }
  Runtime& pool = runtime();
  if (pool.pooledScopes == Runtime::kScopePoolLimit) {
    delete env;
    return;
  }
  pool.scopePool[pool.pooledScopes++] = env;
}

bool Environment::assignDeclared(Symbol name, Value value, Environment* globals) {
  if (contains(globalNames, name)) {
    globals->bindLocal(name, std::move(value));
    return true;
  }
  if (contains(nonlocalNames, name)) {
    for (Environment* env = parent.get(); env; env = env->parent.get()) {
      uint32_t hint = 0;
      if (Value* slot = env->own(name, hint)) {
        *slot = std::move(value);
        return true;
      }
    }
    return false;
  }
  bindLocal(name, std::move(value));
  return true;
}

bool Environment::removeName(Symbol name) {
  for (Environment* env = this; env; env = env->parent.get()) {
    if (Value* slot = env->layout_ ? env->ownSlot(name) : nullptr) {
      if (slot->isUnbound()) continue;
      *slot = Value::unbound();
      return true;
    }
    if (env->vars.erase(name)) return true;
  }
  return false;
}

void Environment::empty() {
  SymbolMap<Value> bindings = std::move(vars);
  unbindSlots();
  Ref<Environment> outer = std::move(parent);
}

void Environment::declareGlobal(Symbol name) {
  if (!contains(globalNames, name)) globalNames.push_back(name);
}

void Environment::declareNonlocal(Symbol name) {
  if (!contains(nonlocalNames, name)) nonlocalNames.push_back(name);
}

}  // namespace qlr
