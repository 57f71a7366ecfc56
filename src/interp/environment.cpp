// Scopes: binding, lookup, assignment rules, removal and declarations.
#include "interp/environment.h"

#include <algorithm>

namespace qlr {

namespace {

bool contains(const std::vector<Symbol>& names, Symbol name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

// Emptying the scope releases what it bound, and that may free other
// scopes (closures made by the call), which come back here and take pool
// slots: room is looked for only once the scope is empty.
void Environment::recycle(Environment* env) {
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
