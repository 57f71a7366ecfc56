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
      for (const auto& binding : env->vars.entries())
        if (binding.value.isObj()) visit(binding.value.asObj(), context);
      if (env->parent) visit(env->parent.get(), context);
    },
    [](Obj* obj) {
      auto* env = static_cast<Environment*>(obj);
      SymbolMap<Value> vars = std::move(env->vars);
      Ref<Environment> parent = std::move(env->parent);
    },
};
const bool kScopeKindSet = (setScopeKind(&kScopeKind), true);

}  // namespace

// Emptying the scope releases what it bound, and that may free other
// scopes (closures made by the call), which come back here and take pool
// slots: room is looked for only once the scope is empty.
void Environment::recycle(Environment* env) {
  collector().untrack(env);
  if (env->vars.entries().capacity() > kPooledTableLimit) {
    delete env;
    return;
  }
  env->vars.clear();
  env->parent = nullptr;
  env->globalNames.clear();
  env->nonlocalNames.clear();
  if (pooled_ == kPoolLimit) {
    delete env;
    return;
  }
  pool_[pooled_++] = env;
}

bool Environment::assignDeclared(Symbol name, Value value, Environment* globals) {
  if (contains(globalNames, name)) {
    globals->bindLocal(name, std::move(value));
    return true;
  }
  if (contains(nonlocalNames, name)) {
    for (Environment* env = parent.get(); env; env = env->parent.get()) {
      if (Value* slot = env->vars.find(name)) {
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
    if (env->vars.erase(name)) return true;
  }
  return false;
}

void Environment::declareGlobal(Symbol name) {
  if (!contains(globalNames, name)) globalNames.push_back(name);
}

void Environment::declareNonlocal(Symbol name) {
  if (!contains(nonlocalNames, name)) nonlocalNames.push_back(name);
}

}  // namespace qlr
