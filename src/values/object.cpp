// Destruction of heap objects, without recursion on the native stack.
#include "values/object.h"

#include <new>
#include <vector>

#include "support/stack.h"
#include "values/runtime.h"
#include "values/value.h"

namespace qlr {

namespace {

size_t sizeClass(size_t bytes) { return (bytes + kBlockGrain - 1) / kBlockGrain; }

}  // namespace

// Under AddressSanitizer every block goes to the general allocator, which
// the sanitizer watches: a block reused from a free list would hide a use
// after free.
#if defined(QLR_ADDRESS_SANITIZER)
constexpr bool kPoolBlocks = false;
#else
constexpr bool kPoolBlocks = true;
#endif

void* allocBlock(size_t bytes) {
  if (!kPoolBlocks || bytes > kLargestBlock) return ::operator new(bytes);
  void*& head = valuesRuntime().freeBlocks[sizeClass(bytes)];
  if (!head) return ::operator new(sizeClass(bytes) * kBlockGrain);
  void* block = head;
  head = *static_cast<void**>(block);
  return block;
}

void freeBlock(void* block, size_t bytes) {
  if (!kPoolBlocks || bytes > kLargestBlock) {
    ::operator delete(block);
    return;
  }
  void*& head = valuesRuntime().freeBlocks[sizeClass(bytes)];
  *static_cast<void**>(block) = head;
  head = block;
}

bool releaseFreeBlocks() noexcept {
  bool released = false;
  for (void*& head : valuesRuntime().freeBlocks) {
    while (head) {
      void* block = head;
      head = *static_cast<void**>(block);
      ::operator delete(block);
      released = true;
    }
  }
  return released;
}

namespace {

void destroyOne(Obj* obj) {
  if (obj->gcGeneration != Obj::kUntracked) collector().untrack(static_cast<Container*>(obj));
  switch (obj->type) {
    case ObjType::String:
      delete static_cast<StringValue*>(obj);
      return;
    case ObjType::List:
      delete static_cast<ListValue*>(obj);
      return;
    case ObjType::Dict:
      delete static_cast<DictValue*>(obj);
      return;
    case ObjType::Function:
      delete static_cast<FunctionValue*>(obj);
      return;
    case ObjType::Class:
      delete static_cast<ClassValue*>(obj);
      return;
    case ObjType::Instance:
      delete static_cast<InstanceValue*>(obj);
      return;
    case ObjType::Native:
      delete static_cast<NativeFn*>(obj);
      return;
    case ObjType::Range:
      delete static_cast<RangeVal*>(obj);
      return;
    case ObjType::Environment:
      scopeKind().destroy(obj);
      return;
  }
}

}  // namespace

const ForeignKind& scopeKind() { return *valuesRuntime().scopeKind; }

void destroyObj(Obj* obj) {
  if (obj->type == ObjType::String) {  // owns nothing: no queue needed
    delete static_cast<StringValue*>(obj);
    return;
  }
  ValuesRuntime& runtime = valuesRuntime();
  std::vector<Obj*>& queue = runtime.releaseQueue;
  if (runtime.releasing) {
    try {
      queue.push_back(obj);
    } catch (const std::bad_alloc&) {
      // Releasing runs in destructors, which must not throw: with no room
      // to queue it, the object goes at once, recursing this one time.
      destroyOne(obj);
    }
    return;
  }
  runtime.releasing = true;
  destroyOne(obj);
  while (!queue.empty()) {
    Obj* next = queue.back();
    queue.pop_back();
    destroyOne(next);
  }
  runtime.releasing = false;
}

}  // namespace qlr
