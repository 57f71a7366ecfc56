// The cycle collector (see collector.h): generations, the reachability walk, and freeing garbage.
#include "values/collector.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <utility>

#include "values/value.h"

namespace qlr {

namespace {

// The generation mark of a container inside the set being collected.
constexpr uint8_t kInCollection = 0xfe;
// The scratch count of a container found reachable.
constexpr uint32_t kReachable = UINT32_MAX;

Container* asMember(Obj* obj) {
  return obj->gcGeneration == kInCollection ? static_cast<Container*>(obj) : nullptr;
}

void visitValue(const Value& v, RefVisitor visit, void* context) {
  if (v.isObj()) visit(v.asObj(), context);
}

template <class T>
void visitRef(const Ref<T>& ref, RefVisitor visit, void* context) {
  if (ref) visit(ref.get(), context);
}

template <class Table>
void visitTable(const Table& table, RefVisitor visit, void* context) {
  for (const auto& entry : table.entries()) {
    if constexpr (std::is_same_v<std::decay_t<decltype(entry.value)>, Value>) {
      visitValue(entry.value, visit, context);
    } else {
      visitRef(entry.value, visit, context);
    }
  }
}

}  // namespace

void forEachReference(Obj* obj, RefVisitor visit, void* context) {
  switch (obj->type) {
    case ObjType::String:
    case ObjType::Range:
      return;
    case ObjType::List:
      for (const Value& item : static_cast<ListValue*>(obj)->items) visitValue(item, visit, context);
      return;
    case ObjType::Dict:
      for (const DictValue::Entry& entry : static_cast<DictValue*>(obj)->entries) {
        visitValue(entry.key, visit, context);
        visitValue(entry.value, visit, context);
      }
      return;
    case ObjType::Function:
      visitRef(static_cast<FunctionValue*>(obj)->closure, visit, context);
      return;
    case ObjType::Class: {
      auto* cls = static_cast<ClassValue*>(obj);
      visitRef(cls->base, visit, context);
      visitTable(cls->methods, visit, context);
      visitTable(cls->attrs, visit, context);
      return;
    }
    case ObjType::Instance: {
      auto* instance = static_cast<InstanceValue*>(obj);
      visitRef(instance->cls, visit, context);
      visitTable(instance->fields, visit, context);
      return;
    }
    case ObjType::Native: {
      auto* native = static_cast<NativeFn*>(obj);
      visitRef(native->method, visit, context);
      visitRef(native->receiver, visit, context);
      return;
    }
    case ObjType::Environment:
      scopeKind().forEachReference(obj, visit, context);
      return;
  }
}

// Each container's references are moved out before they are dropped:
// dropping one may free other objects, and none of that may find the
// container half emptied.
void clearReferences(Obj* obj) {
  switch (obj->type) {
    case ObjType::String:
    case ObjType::Range:
      return;
    case ObjType::List: {
      std::vector<Value> items = std::move(static_cast<ListValue*>(obj)->items);
      return;
    }
    case ObjType::Dict: {
      auto* dict = static_cast<DictValue*>(obj);
      std::vector<DictValue::Entry> entries = std::move(dict->entries);
      dict->index.clear();
      dict->live = 0;
      return;
    }
    case ObjType::Function: {
      Ref<Container> closure = std::move(static_cast<FunctionValue*>(obj)->closure);
      return;
    }
    case ObjType::Class: {
      auto* cls = static_cast<ClassValue*>(obj);
      Ref<ClassValue> base = std::move(cls->base);
      SymbolMap<Ref<FunctionValue>> methods = std::move(cls->methods);
      SymbolMap<Value> attrs = std::move(cls->attrs);
      return;
    }
    case ObjType::Instance: {
      auto* instance = static_cast<InstanceValue*>(obj);
      Ref<ClassValue> cls = std::move(instance->cls);
      SymbolMap<Value> fields = std::move(instance->fields);
      return;
    }
    case ObjType::Native: {
      auto* native = static_cast<NativeFn*>(obj);
      Ref<FunctionValue> method = std::move(native->method);
      Ref<InstanceValue> receiver = std::move(native->receiver);
      return;
    }
    case ObjType::Environment:
      scopeKind().clearReferences(obj);
      return;
  }
}

constinit thread_local Collector threadCollector;

void trackContainer(Container* obj) { collector().track(obj); }

void Collector::grow(List& list) {
  uint32_t capacity = list.capacity ? list.capacity * 2 : 1024;
  auto* items = static_cast<Container**>(std::realloc(list.items, capacity * sizeof(Container*)));
  if (!items) throw std::bad_alloc();
  list.items = items;
  list.capacity = capacity;
}

// The oldest generation is collected only when what moved into it since
// its last collection is a quarter of what survived that collection:
// each full collection then costs time in proportion to the allocation
// that led to it, however large the live heap.
void Collector::collectAutomatically() {
  if (collecting_) return;
  int generation = 0;
  if (++youngCollections_ % kMiddleEvery == 0) {
    generation = 1;
    if (generations_[2].size > oldAfterLastFull_ + oldAfterLastFull_ / 4) generation = 2;
  }
  if (collect(generation) > 0) {
    youngThreshold_ = kYoungThreshold;
  } else if (youngThreshold_ < kMaxYoungThreshold) {
    youngThreshold_ *= 2;
  }
}

size_t Collector::collect(int generation) {
  if (collecting_) return 0;
  int survivorsGeneration = std::min(generation + 1, kGenerations - 1);
  // Everything a collection needs is allocated before anything changes, so
  // that running out of memory leaves every list as it was.
  size_t count = 0;
  for (int g = 0; g <= generation; ++g) count += generations_[g].size;
  std::vector<Container*> members;
  std::vector<Container*> pending;
  members.reserve(count);
  pending.reserve(count);
  while (generations_[survivorsGeneration].capacity < generations_[survivorsGeneration].size + count)
    grow(generations_[survivorsGeneration]);

  collecting_ = true;
  for (int g = 0; g <= generation; ++g) {
    List& list = generations_[g];
    members.insert(members.end(), list.items, list.items + list.size);
    list.size = 0;
  }
  for (Container* c : members) {
    c->gcGeneration = kInCollection;
    c->gcRefs = c->refCount;
  }
  // What is left of each count after this is held from outside the set.
  for (Container* c : members) {
    forEachReference(
        c,
        [](Obj* ref, void*) {
          if (Container* member = asMember(ref)) --member->gcRefs;
        },
        nullptr);
  }
  // Everything those outside references reach inside the set is reachable.
  for (Container* c : members) {
    if (c->gcRefs > 0) {
      c->gcRefs = kReachable;
      pending.push_back(c);
    }
  }
  while (!pending.empty()) {
    Container* c = pending.back();
    pending.pop_back();
    forEachReference(
        c,
        [](Obj* ref, void* context) {
          Container* member = asMember(ref);
          if (!member || member->gcRefs == kReachable) return;
          member->gcRefs = kReachable;
          static_cast<std::vector<Container*>*>(context)->push_back(member);
        },
        &pending);
  }
  // The survivors move on; the garbage stays in members, in place.
  size_t garbageCount = 0;
  for (Container* c : members) {
    if (c->gcRefs == kReachable) {
      link(c, survivorsGeneration);
    } else {
      c->gcGeneration = Obj::kUntracked;
      members[garbageCount++] = c;
    }
  }
  members.resize(garbageCount);
  if (generation == kGenerations - 1) oldAfterLastFull_ = generations_[kGenerations - 1].size;
  // See collector.h: hold every member, empty them all, then let them go.
  for (Container* c : members) retainObj(c);
  for (Container* c : members) clearReferences(c);
  for (Container* c : members) releaseObj(c);
  collecting_ = false;
  return garbageCount;
}

void Collector::releaseUnusedStorage() {
  for (List& list : generations_) {
    if (list.size != 0) continue;
    std::free(list.items);
    list = List();
  }
}

void Collector::collectAll() {
  while (collect(kGenerations - 1) > 0) {
  }
}

}  // namespace qlr
