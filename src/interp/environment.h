// Environment: one scope of a running program.
//
// There are three kinds of scope: the interpreter's one global environment,
// one fresh environment per call of a script function, and one per
// execution of a blueprint statement. Blocks, comprehensions and modules
// make none. Scoping is lexical: a call's parent is the function's closure,
// never the caller's scope.
//
// A call's scope keeps the names its function numbers (frontend/slots.h)
// in an array of slots, read and written by the slot the resolver gave
// each node; any other name it comes to bind (declared glob or nloc, or
// bound by a module loaded into the call) goes into a table keyed by
// interned Symbol, as every binding of the global scope and of blueprint
// bodies does. Every operation by symbol looks in the slots first, so the
// two stores never hold the same name. Call scopes are created and freed
// at every call, so freed environments go back to a small pool with their
// storage kept (the active runtime's, interp/runtime.h), and the next call
// reuses them without allocating.
//
// glob and nloc declarations are rare and tiny, so they sit in plain
// vectors searched linearly; most scopes never allocate them.
#pragma once

#include <memory>
#include <vector>

#include "frontend/slots.h"
#include "interp/runtime.h"
#include "values/collector.h"
#include "values/value.h"

namespace qlr {

class Environment : public Container {
 public:
  // A new scope whose parent is parent (null only for the global scope),
  // with the slots layout numbers when it is a call's.
  static Ref<Environment> make(Environment* parent, const SlotLayout* layout = nullptr) {
    Runtime& pool = runtime();
    Ref<Environment> env(pool.pooledScopes ? pool.scopePool[--pool.pooledScopes] : new Environment());
    env->parent = Ref<Environment>(parent);
    if (layout) env->numberSlots(layout);
    return env;
  }

  // The binding of name in this scope alone, or null. hint is the reading
  // node's position hint (see SymbolMap::find).
  [[gnu::always_inline]] Value* own(Symbol name, uint32_t& hint) {
    if (layout_) [[unlikely]] {
      if (Value* slot = ownSlot(name)) return slot->isUnbound() ? nullptr : slot;
    }
    return vars.find(name, hint);
  }
  // The binding that a read of name finds, searching outward; null if none.
  [[gnu::always_inline]] Value* lookup(Symbol name, uint32_t& hint) {
    for (Environment* env = this; env; env = env->parent.get()) {
      if (Value* v = env->own(name, hint)) return v;
    }
    return nullptr;
  }
  // lookup for a reader that keeps no hint.
  Value* lookup(Symbol name) {
    uint32_t hint = 0;
    return lookup(name, hint);
  }
  // lookup for a node of the code this scope runs, with the node's slot.
  [[gnu::always_inline]] Value* lookup(Symbol name, int32_t slot, uint32_t& hint) {
    if (slot >= 0) {
      Value& v = slots_[slot];
      if (!v.isUnbound()) return &v;
    } else if (slot == kBySymbol) {
      return lookup(name, hint);
    } else if (!vars.empty()) {
      if (Value* v = vars.find(name, hint)) return v;
    }
    return parent ? parent->lookup(name, hint) : nullptr;
  }
  // own for a node of the code this scope runs, with the node's slot.
  [[gnu::always_inline]] Value* own(Symbol name, int32_t slot, uint32_t& hint) {
    if (slot >= 0) return slots_[slot].isUnbound() ? nullptr : &slots_[slot];
    return slot == kBySymbol ? own(name, hint) : vars.find(name, hint);
  }

  // Binds name in this scope, whatever glob and nloc declared.
  void bindLocal(Symbol name, Value value) {
    if (Value* slot = layout_ ? ownSlot(name) : nullptr) {
      *slot = std::move(value);
      return;
    }
    vars.set(name, std::move(value));
  }
  // bindLocal for a node of the code this scope runs, with the node's slot.
  void bindLocal(Symbol name, int32_t slot, Value value, uint32_t& hint) {
    if (slot >= 0) {
      slots_[slot] = std::move(value);
    } else if (slot == kBySymbol) {
      bindLocal(name, std::move(value));
    } else {
      vars.set(name, std::move(value), hint);
    }
  }
  // Whether glob or nloc declared a name here.
  bool hasDeclarations() const { return !globalNames.empty() || !nonlocalNames.empty(); }
  // Assignment to a bare name: global declaration, then nonlocal, then local.
  // Returns false when name is declared nonlocal and no enclosing scope binds
  // it; the caller reports that.
  bool assignName(Symbol name, int32_t slot, Value value, Environment* globals, uint32_t& hint) {
    if (!hasDeclarations()) {
      bindLocal(name, slot, std::move(value), hint);
      return true;
    }
    return assignDeclared(name, std::move(value), globals);
  }
  // The loop variable of a for loop or comprehension: the binding lookup
  // finds, else a new local one.
  void assignLoopVariable(Symbol name, int32_t slot, Value value, uint32_t& hint) {
    if (Value* bound = lookup(name, slot, hint)) {
      *bound = std::move(value);
    } else {
      bindLocal(name, slot, std::move(value), hint);
    }
  }
  // The slots a call fills with its arguments.
  Value* slots() { return slots_; }
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

  SymbolMap<Value> vars;  // the bindings no slot holds
  Ref<Environment> parent;
  std::vector<Symbol> globalNames;
  std::vector<Symbol> nonlocalNames;

  // assignName for a scope that has glob or nloc declarations.
  bool assignDeclared(Symbol name, Value value, Environment* globals);

  // Returns a scope whose count reached zero to the active runtime's pool (object.cpp).
  static void recycle(Environment* env);
  // How the heap frees, walks and empties a scope (values/object.h).
  static const ForeignKind& heapKind();
  // Lets go of everything the scope holds, for the collector to break a
  // cycle through it.
  void empty();
  // Hands each value bound here, slots first, to visit.
  template <class F>
  void forEachBound(F&& visit) const {
    for (uint32_t i = 0; i < slotCount_; ++i)
      if (!slots_[i].isUnbound()) visit(slots_[i]);
    for (const auto& binding : vars.entries()) visit(binding.value);
  }

  // Bindings a pooled scope keeps room for: a scope that grew past this (a
  // long run of top-level-like code in one call) is freed, not kept, so the
  // pool never pins large tables.
  static constexpr size_t kPooledTableLimit = 64;

 private:
  Environment() : Container(ObjType::Environment) {
    for (Value& slot : inlineSlots_) slot = Value::unbound();
  }

  // The slot layout numbers name, unbound or not; null when it has none.
  Value* ownSlot(Symbol name) {
    int32_t at = layout_->find(name);
    return at == kNoSlot ? nullptr : &slots_[at];
  }
  // Gives a fresh scope one slot per name layout numbers. A scope out of
  // the pool has every slot it keeps unbound already: recycle leaves them so.
  void numberSlots(const SlotLayout* layout) {
    auto count = static_cast<uint32_t>(layout->size());
    if (count > kInlineSlots) [[unlikely]] {
      if (count > heapSlotCapacity_) {
        auto heap = std::make_unique<Value[]>(count);
        for (uint32_t i = 0; i < count; ++i) heap[i] = Value::unbound();
        heapSlots_ = std::move(heap);
        heapSlotCapacity_ = count;
      }
      slots_ = heapSlots_.get();
    }
    slotCount_ = count;
    layout_ = layout;
  }
  // Unbinds every slot, releasing what they held.
  void unbindSlots() {
    for (uint32_t i = 0; i < slotCount_; ++i) {
      Value held = std::move(slots_[i]);
      slots_[i] = Value::unbound();
    }
    slots_ = inlineSlots_;
    slotCount_ = 0;
    layout_ = nullptr;
  }

  // Slots a scope keeps in itself; a function with more locals has its
  // scope's slots allocated apart, and the pool keeps that storage too.
  static constexpr uint32_t kInlineSlots = 8;

  const SlotLayout* layout_ = nullptr;
  Value* slots_ = inlineSlots_;
  uint32_t slotCount_ = 0;
  uint32_t heapSlotCapacity_ = 0;
  Value inlineSlots_[kInlineSlots];
  std::unique_ptr<Value[]> heapSlots_;
};

// The scope of one call, held for as long as the call runs. Most calls
// make no closure, so when the call ends nothing else holds the scope and
// it goes straight back to the pool.
class CallScope {
 public:
  CallScope(Environment* parent, const SlotLayout* layout) : env_(Environment::make(parent, layout).release()) {}
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
