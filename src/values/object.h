// Reference-counted heap objects: the header every shared script object carries.
//
// Every value with identity (lists, dicts, functions, blueprints, instances,
// native functions) and every immutable payload too big to sit inside a
// Value (strings, ranges) lives in an Obj. Counts are plain integers: an
// object belongs to one runtime (support/support.h), and a runtime runs on
// one thread at a time. Ref<T> is the owning pointer.
//
// Releasing the last reference never recurses: an object whose count drops
// to zero while another is being destroyed is queued and destroyed by the
// outermost release, so a list nested a million levels deep, or a chain of
// a million closures, is freed in constant native stack.
//
// Counting alone never frees a cycle (a list inside itself, a function bound
// in the scope it closes over). Objects that can hold references, the
// Containers, are therefore also known to the cycle collector
// (collector.h), which finds groups of them that only their own references
// keep alive.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <utility>

namespace qlr {

enum class ObjType : uint8_t {
  String,
  List,
  Dict,
  Function,
  Class,
  Instance,
  Native,
  Range,
  Environment,
};

// Small blocks for objects: a free list per 16-byte size class, so that
// the many short-lived strings, lists and scopes a script makes skip the
// general allocator. Blocks freed here are reused, and returned to the
// general allocator only when it runs out of memory (releaseFreeBlocks):
// a script that let go of a million instances can then make scopes or
// strings of it. The free lists are the active runtime's (runtime.h).
//
// Blocks up to kLargestBlock bytes come from the free lists, in classes
// kBlockGrain apart; larger ones from the general allocator.
inline constexpr size_t kBlockGrain = 16;
inline constexpr size_t kLargestBlock = 256;
inline constexpr size_t kBlockClasses = kLargestBlock / kBlockGrain + 1;
void* allocBlock(size_t bytes);
void freeBlock(void* block, size_t bytes);
// Hands every block on the active runtime's free lists back to the
// general allocator; false when there was none.
bool releaseFreeBlocks() noexcept;

struct Obj {
  explicit Obj(ObjType t) : type(t) {}
  static void* operator new(size_t bytes) { return allocBlock(bytes); }
  static void operator delete(void* block, size_t bytes) { freeBlock(block, bytes); }
  Obj(const Obj&) = delete;
  Obj& operator=(const Obj&) = delete;

  uint32_t refCount = 0;
  ObjType type;
  // Set while a rendering has this list or dict open (container_path.h):
  // met again then, it is inside itself.
  mutable bool rendering = false;
  // The collector's generation list that holds this object, or kUntracked
  // (always for strings and ranges, which hold no references).
  uint8_t gcGeneration = kUntracked;
  static constexpr uint8_t kUntracked = 0xff;
};
static_assert(sizeof(Obj) == 8, "the header is a count and three bytes of tags");

// An object that can hold references to others, and so be part of a cycle.
struct Container : Obj {
  using Obj::Obj;
  // Whether makeRef hands a new one to the collector; kinds that start
  // empty are handed over when they first hold a container (value.h).
  static constexpr bool kTrackedAtBirth = true;
  uint32_t gcIndex = 0;  // position in its generation's list
  uint32_t gcRefs = 0;   // the collector's scratch count
};

// Destroys an object whose count reached zero (see the file comment; the
// queue is the active runtime's).
void destroyObj(Obj* obj);

using RefVisitor = void (*)(Obj* ref, void* context);

// Scopes are the one kind of object defined above this layer; the layer
// that defines them tells the heap how to free, walk and empty one, in the
// runtime it makes (ValuesRuntime::scopeKind).
struct ForeignKind {
  void (*destroy)(Obj* obj);
  void (*forEachReference)(Obj* obj, RefVisitor visit, void* context);
  void (*clearReferences)(Obj* obj);
};
const ForeignKind& scopeKind();

// Tells the cycle collector about a new container (collector.h).
void trackContainer(Container* obj);

inline void retainObj(Obj* obj) { ++obj->refCount; }
inline void releaseObj(Obj* obj) {
  if (--obj->refCount == 0) destroyObj(obj);
}

template <class T>
class Ref {
 public:
  Ref() = default;
  Ref(std::nullptr_t) {}
  explicit Ref(T* p) : p_(p) {
    if (p_) retainObj(p_);
  }
  Ref(const Ref& o) : p_(o.p_) {
    if (p_) retainObj(p_);
  }
  Ref(Ref&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  template <class U>
  Ref(const Ref<U>& o) : Ref(o.get()) {}
  ~Ref() {
    if (p_) releaseObj(p_);
  }
  Ref& operator=(const Ref& o) {
    Ref(o).swap(*this);
    return *this;
  }
  Ref& operator=(Ref&& o) noexcept {
    Ref(std::move(o)).swap(*this);
    return *this;
  }
  void swap(Ref& o) noexcept { std::swap(p_, o.p_); }

  T* get() const { return p_; }
  // Gives up the reference without releasing it: the caller now owns it.
  T* release() { return std::exchange(p_, nullptr); }
  T* operator->() const { return p_; }
  T& operator*() const { return *p_; }
  explicit operator bool() const { return p_ != nullptr; }
  bool operator==(const Ref& o) const { return p_ == o.p_; }

 private:
  T* p_ = nullptr;
};

// A new object; containers become known to the cycle collector.
template <class T, class... A>
Ref<T> makeRef(A&&... args) {
  Ref<T> obj(new T(std::forward<A>(args)...));  // freed again if tracking runs out of memory
  if constexpr (std::is_base_of_v<Container, T>) {
    if constexpr (T::kTrackedAtBirth) trackContainer(obj.get());
  }
  return obj;
}

}  // namespace qlr
