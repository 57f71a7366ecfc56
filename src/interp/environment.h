// Environment: one scope of a running program.
//
// There are three kinds of scope: the interpreter's one global environment,
// one fresh environment per call of a script function, and one per
// execution of a blueprint statement. Blocks, comprehensions and modules
// make none. Scoping is lexical: a call's parent is the function's closure,
// never the caller's scope.
//
// Bindings are keyed by interned Symbol. Call scopes are created and freed
// at every call, so freed environments go back to a small pool with their
// table storage kept, and the next call reuses them without allocating.
//
// glob and nloc declarations are rare and tiny, so they sit in plain
// vectors searched linearly; most scopes never allocate them.
#pragma once

#include <vector>

#include "values/collector.h"
#include "values/value.h"

namespace qlr {

class Environment : public Container {
 public:
  // A new scope whose parent is parent (null only for the global scope).
  static Ref<Environment> make(Environment* parent) {
    Environment* env = pooled_ ? pool_[--pooled_] : new Environment();
    env->parent = Ref<Environment>(parent);
    return Ref<Environment>(env);
  }

  // The binding that a read of name finds, searching outward; null if none.
  // hint is the reading node's position hint (see SymbolMap::find).
  [[gnu::always_inline]] Value* lookup(Symbol name, uint32_t& hint) {
    for (Environment* env = this; env; env = env->parent.get()) {
      if (Value* v = env->vars.find(name, hint)) return v;
    }
    return nullptr;
  }
  // lookup for a reader that keeps no hint.
  Value* lookup(Symbol name) {
    uint32_t hint = 0;
    return lookup(name, hint);
  }
  void bindLocal(Symbol name, Value value) { vars.set(name, std::move(value)); }
  // Whether glob or nloc declared a name here.
  bool hasDeclarations() const { return !globalNames.empty() || !nonlocalNames.empty(); }
  // Assignment to a bare name: global declaration, then nonlocal, then local.
  // Returns false when name is declared nonlocal and no enclosing scope binds
  // it; the caller reports that.
  bool assignName(Symbol name, Value value, Environment* globals, uint32_t& hint) {
    if (!hasDeclarations()) {
      vars.set(name, std::move(value), hint);
      return true;
    }
    return assignDeclared(name, std::move(value), globals);
  }
  // The loop variable of a for loop: the binding lookup finds, else a new
  // local one. hint is the loop node's (see SymbolMap::find).
  void assignLoopVariable(Symbol name, Value value, uint32_t& hint) {
    if (Value* slot = lookup(name, hint)) {
      *slot = std::move(value);
    } else {
      vars.set(name, std::move(value), hint);
    }
  }
  // Erases the binding lookup would find; false when there is none.
  bool removeName(Symbol name);
  void declareGlobal(Symbol name);
  void declareNonlocal(Symbol name);

  // A function is closing over this scope. From now on the scope, and every
  // scope around it, can be part of a cycle, so the collector follows them;
  // until then only the native stack can reach them (see collector.h).
  void capture() {
    for (Environment* env = this; env && env->gcGeneration == kUntracked; env = env->parent.get())
      collector().track(env);
  }

  SymbolMap<Value> vars;
  Ref<Environment> parent;
  std::vector<Symbol> globalNames;
  std::vector<Symbol> nonlocalNames;

  // assignName for a scope that has glob or nloc declarations.
  bool assignDeclared(Symbol name, Value value, Environment* globals);

  // Returns a scope whose count reached zero to the pool (object.cpp).
  static void recycle(Environment* env);

  // Bindings a pooled scope keeps room for: a scope that grew past this (a
  // long run of top-level-like code in one call) is freed, not kept, so the
  // pool never pins large tables.
  static constexpr size_t kPooledTableLimit = 64;

 private:
  Environment() : Container(ObjType::Environment) {}

  // Freed scopes kept for reuse, their tables' storage with them. Bounded so
  // that a burst of deep recursion does not pin its peak memory; a plain
  // array, so that it outlives every scope released at exit.
  static constexpr size_t kPoolLimit = 512;
  static inline Environment* pool_[kPoolLimit];
  static inline size_t pooled_ = 0;
};

// The scope of one call, held for as long as the call runs. Most calls
// make no closure, so when the call ends nothing else holds the scope and
// it goes straight back to the pool.
class CallScope {
 public:
  explicit CallScope(Environment* parent) : env_(Environment::make(parent).release()) {}
  ~CallScope() {
    if (--env_->refCount == 0) Environment::recycle(env_);
  }
  CallScope(const CallScope&) = delete;
  CallScope& operator=(const CallScope&) = delete;
  Environment* get() const { return env_; }

 private:
  Environment* env_;
};

}  // namespace qlr
