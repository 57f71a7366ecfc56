// Destruction of heap objects, without recursion on the native stack.
#include "values/object.h"

#include <new>
#include <vector>

#include "support/stack.h"
#include "values/collector.h"
#include "values/value.h"

namespace qlr {

namespace {

// Blocks up to this size come from the free lists; larger ones from the
// general allocator.
constexpr size_t kBlockGrain = 16;
constexpr size_t kLargestBlock = 256;
void* freeBlocks[kLargestBlock / kBlockGrain + 1] = {};

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
  void*& head = freeBlocks[sizeClass(bytes)];
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
  void*& head = freeBlocks[sizeClass(bytes)];
  *static_cast<void**>(block) = head;
  head = block;
}

bool releaseFreeBlocks() noexcept {
  bool released = false;
  for (void*& head : freeBlocks) {
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

// Objects whose count reached zero while another object was being
// destroyed; the outermost destroyObj works through them. Never freed, so
// that values released by static destructors at exit still find it.
std::vector<Obj*>& pendingObjs() {
  // Made in static storage: making it must not allocate either, since the
  // first release may come when memory has run out.
  alignas(std::vector<Obj*>) static unsigned char storage[sizeof(std::vector<Obj*>)];
  static auto* pending = ::new (storage) std::vector<Obj*>();
  return *pending;
}
bool draining = false;

const ForeignKind* scopes = nullptr;

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
      scopes->destroy(obj);
      return;
  }
}

}  // namespace

void setScopeKind(const ForeignKind* kind) { scopes = kind; }
const ForeignKind& scopeKind() { return *scopes; }

void destroyObj(Obj* obj) {
  if (obj->type == ObjType::String) {  // owns nothing: no queue needed
    delete static_cast<StringValue*>(obj);
    return;
  }
  if (draining) {
    try {
      pendingObjs().push_back(obj);
    } catch (const std::bad_alloc&) {
      // Releasing runs in destructors, which must not throw: with no room
      // to queue it, the object goes at once, recursing this one time.
      destroyOne(obj);
    }
    return;
  }
  draining = true;
  destroyOne(obj);
  auto& pending = pendingObjs();
  while (!pending.empty()) {
    Obj* next = pending.back();
    pending.pop_back();
    destroyOne(next);
  }
  draining = false;
}

}  // namespace qlr
