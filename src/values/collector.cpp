// The cycle collector (see collector.h): generations, the reachability walk, and freeing garbage.
#include "values/collector.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <utility>

#include "values/runtime.h"
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

void trackContainer(Container* obj) { collector().track(obj); }

void Collector::grow() {
  uint32_t capacity = capacity_ ? capacity_ * 2 : 1024;
  auto* items = static_cast<Container**>(std::realloc(items_, capacity * sizeof(Container*)));
  if (!items) throw std::bad_alloc();
  items_ = items;
  capacity_ = capacity;
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
    if (trackedIn(2) > oldAfterLastFull_ + oldAfterLastFull_ / 4) generation = 2;
  }
  if (collect(generation) > 0) {
    youngThreshold_ = kYoungThreshold;
  } else if (youngThreshold_ < kMaxYoungThreshold) {
    youngThreshold_ *= 2;
  }
}

namespace {

// The walk of a collection: reachable members are moved to the front of
// the set as they are found, so that the front is also the queue of those
// whose references are still to be followed.
struct Walk {
  Container** items;
  uint32_t reached;

  void reach(Container* c) {
    c->gcRefs = kReachable;
    uint32_t from = c->gcIndex;
    Container* displaced = items[reached];
    items[from] = displaced;
    displaced->gcIndex = from;
    items[reached] = c;
    c->gcIndex = reached++;
  }
};

}  // namespace

size_t Collector::collect(int generation) {
  if (collecting_) return 0;
  collecting_ = true;
  const uint32_t start = begin(generation);
  const uint32_t end = ends_[0];
  for (uint32_t i = start; i < end; ++i) {
    Container* c = items_[i];
    c->gcGeneration = kInCollection;
    c->gcRefs = c->refCount;
  }
  // What is left of each count after this is held from outside the set.
  for (uint32_t i = start; i < end; ++i) {
    forEachReference(
        items_[i],
        [](Obj* ref, void*) {
          if (Container* member = asMember(ref)) --member->gcRefs;
        },
        nullptr);
  }
  // Everything those outside references reach inside the set is reachable.
  Walk walk{items_, start};
  for (uint32_t i = start; i < end; ++i) {
    if (items_[i]->gcRefs > 0) walk.reach(items_[i]);
  }
  for (uint32_t next = start; next < walk.reached; ++next) {
    forEachReference(
        items_[next],
        [](Obj* ref, void* context) {
          Container* member = asMember(ref);
          if (member && member->gcRefs != kReachable) static_cast<Walk*>(context)->reach(member);
        },
        &walk);
  }
  // The survivors move on to the next generation; the garbage is left past
  // the end of the array, where only this collection looks.
  const uint32_t reached = walk.reached;
  const int survivorsGeneration = std::min(generation + 1, kGenerations - 1);
  for (uint32_t i = start; i < reached; ++i) items_[i]->gcGeneration = static_cast<uint8_t>(survivorsGeneration);
  for (int g = survivorsGeneration; g >= 0; --g) ends_[g] = reached;
  if (generation == kGenerations - 1) oldAfterLastFull_ = reached;
  for (uint32_t i = reached; i < end; ++i) items_[i]->gcGeneration = Obj::kUntracked;
  // See collector.h: hold every member, empty them all, then let them go.
  // Freeing untracks other containers, which moves only what lies before
  // the garbage; nothing is tracked meanwhile.
  for (uint32_t i = reached; i < end; ++i) retainObj(items_[i]);
  for (uint32_t i = reached; i < end; ++i) clearReferences(items_[i]);
  for (uint32_t i = reached; i < end; ++i) releaseObj(items_[i]);
  collecting_ = false;
  return end - reached;
}

Collector::~Collector() {
  for (uint32_t i = 0; i < ends_[0]; ++i) items_[i]->gcGeneration = Obj::kUntracked;
  std::free(items_);
}

void Collector::collectAll() {
  while (collect(kGenerations - 1) > 0) {
  }
}

}  // namespace qlr
