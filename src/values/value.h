// The value model: Value and the records it points to.
//
// A Value is sixteen bytes: a kind tag and an eight-byte payload. Null,
// bools, ints and floats live in the payload; every other kind is a pointer
// to a reference-counted Obj (object.h). Strings and ranges are immutable,
// so sharing one buffer between copies is indistinguishable from copying
// it: copying any Value never allocates and never copies string bytes.
// Lists, dicts, functions, blueprints, instances and native functions have
// identity: copies alias one object, and a change made through one copy is
// seen through every other.
//
// The kind order below is part of the language (dispatch tables and the
// "same" test compare kind indices) and must not change.
//
// Dicts keep insertion order: a new key goes to the end, assigning an
// existing key keeps its place, a removed and re-added key goes to the end.
// Rendering, loops over a dict, keys and values all follow it, so output is
// the same on every platform and every run.
//
// Dicts and the symbol tables of symbol_map.h make room before they change:
// an allocation that fails inside them (std::bad_alloc) leaves them as they
// were, so a script that catches the MemoryError can go on using them.
//
// Helpers that have no interpreter (equality, indexing helpers) raise
// script errors through an ErrorReporter.
//
// Equality and rendering follow nested lists and dicts to any depth: they
// walk them with a stack on the heap (container_path.h), never recursing
// on the native stack, and so do all that render or compare values (keys,
// membership, joining, printing). A container inside itself renders as
// "[...]" or "{...}" where it is met again. Comparing two containers whose
// walk side by side comes back to a pair it is still inside (a list that
// holds itself, compared with itself) would never end; it raises
// RecursionError through the reporter of the active runtime's interpreter
// (ValuesRuntime::reporter) instead.
#pragma once

#include <cstdint>
#include <cstring>
#include <new>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "frontend/symbols.h"
#include "support/budget.h"
#include "values/collector.h"
#include "values/object.h"
#include "values/open_index.h"
#include "values/runtime.h"
#include "values/symbol_map.h"

namespace qlr {

struct Node;
class Environment;
class Interpreter;

enum class ValueKind : uint8_t {
  Null,
  Bool,
  Int,
  Float,
  String,
  List,
  Dict,
  Function,
  Class,
  Instance,
  Native,
  Range,
};

struct StringValue;
struct ListValue;
struct DictValue;
struct FunctionValue;
struct ClassValue;
struct InstanceValue;
struct NativeFn;
struct RangeVal;

class Value {
 public:
  Value() { u_.i = 0; }
  static Value boolean(bool b) {
    Value v(ValueKind::Bool);
    v.u_.b = b;
    return v;
  }
  static Value integer(int64_t i) {
    Value v(ValueKind::Int);
    v.u_.i = i;
    return v;
  }
  static Value number(double d) {
    Value v(ValueKind::Float);
    v.u_.d = d;
    return v;
  }
  // The marker the evaluator returns instead of a value when an error, a
  // stop or a skip is in flight (see interp/errors.h). It is a null with a
  // payload no real null has, so it never needs a case of its own.
  static Value abrupt() {
    Value v;
    v.u_.i = 1;
    return v;
  }
  bool isAbrupt() const { return kind_ == ValueKind::Null && u_.i == 1; }
  // What a scope's slot holds while no binding fills it (frontend/slots.h);
  // like the marker above, a null no script ever sees.
  static Value unbound() {
    Value v;
    v.u_.i = 2;
    return v;
  }
  bool isUnbound() const { return kind_ == ValueKind::Null && u_.i == 2; }

  // Takes a reference to obj; kind must be the one matching obj's type.
  Value(ValueKind kind, Obj* obj) : kind_(kind) {
    u_.obj = obj;
    retainObj(obj);
  }
  template <class T>
  Value(const Ref<T>& ref) : Value(kindOf(ref->type), ref.get()) {}

  [[gnu::always_inline]] Value(const Value& o) : u_(o.u_), kind_(o.kind_) {
    if (isObj()) retainObj(u_.obj);
  }
  Value(Value&& o) noexcept : u_(o.u_), kind_(o.kind_) {
    o.kind_ = ValueKind::Null;
    o.u_.i = 0;
  }
  Value& operator=(const Value& o) {
    if (o.isObj()) retainObj(o.u_.obj);
    if (isObj()) releaseObj(u_.obj);
    u_ = o.u_;
    kind_ = o.kind_;
    return *this;
  }
  Value& operator=(Value&& o) noexcept {
    if (this != &o) {
      if (isObj()) releaseObj(u_.obj);
      u_ = o.u_;
      kind_ = o.kind_;
      o.kind_ = ValueKind::Null;
      o.u_.i = 0;
    }
    return *this;
  }
  [[gnu::always_inline]] ~Value() {
    if (isObj()) releaseObj(u_.obj);
  }

  ValueKind kind() const { return kind_; }
  bool is(ValueKind k) const { return kind_ == k; }
  bool isObj() const { return kind_ >= ValueKind::String; }
  // A value that can hold references, and so lead back to whatever holds it.
  bool isContainer() const { return kind_ >= ValueKind::List && kind_ <= ValueKind::Native; }
  bool isNumber() const { return kind_ == ValueKind::Int || kind_ == ValueKind::Float; }

  bool asBool() const { return u_.b; }
  int64_t asInt() const { return u_.i; }
  double asFloat() const { return u_.d; }
  Obj* asObj() const { return u_.obj; }
  StringValue* asString() const { return reinterpret_cast<StringValue*>(u_.obj); }
  ListValue* asList() const { return reinterpret_cast<ListValue*>(u_.obj); }
  DictValue* asDict() const { return reinterpret_cast<DictValue*>(u_.obj); }
  FunctionValue* asFunction() const { return reinterpret_cast<FunctionValue*>(u_.obj); }
  ClassValue* asClass() const { return reinterpret_cast<ClassValue*>(u_.obj); }
  InstanceValue* asInstance() const { return reinterpret_cast<InstanceValue*>(u_.obj); }
  NativeFn* asNative() const { return reinterpret_cast<NativeFn*>(u_.obj); }
  RangeVal* asRange() const { return reinterpret_cast<RangeVal*>(u_.obj); }

  static ValueKind kindOf(ObjType t);

 private:
  explicit Value(ValueKind k) : kind_(k) {}
  union Payload {
    bool b;
    int64_t i;
    double d;
    Obj* obj;
  } u_;
  ValueKind kind_ = ValueKind::Null;
};
static_assert(sizeof(Value) == 16, "a Value is a tag and an eight-byte payload");

using Args = std::span<Value>;

// An immutable byte string. The bytes follow the header in one allocation.
struct StringValue : Obj {
  static Ref<StringValue> make(std::string_view text);
  // The string a followed by b, made in one allocation.
  static Ref<StringValue> concat(std::string_view a, std::string_view b);
  // Appends tail to the string target holds, which nothing else may hold
  // (its count is one): in the room kept after its bytes when there is
  // enough, else in a new block with room to spare, so that a run of
  // appends to one binding copies each byte a bounded number of times.
  static void appendTo(Value& target, std::string_view tail);
  // A string of one byte; these are shared, and the runtime holds them.
  static StringValue* ofByte(unsigned char byte);

  std::string_view view() const { return {data(), size}; }
  const char* data() const { return reinterpret_cast<const char*>(this + 1); }
  char* data() { return reinterpret_cast<char*>(this + 1); }
  uint32_t hash() const;

  size_t size;
  mutable uint32_t hashCache = 0;  // 0 until computed
  // Bytes of room after the string's own, left by appendTo.
  uint32_t spare = 0;

  // The header and the bytes are one block; its size comes from the length.
  static void operator delete(StringValue* s, std::destroying_delete_t) {
    size_t bytes = sizeof(StringValue) + s->size + s->spare;
    s->~StringValue();
    freeBlock(s, bytes);
  }

 private:
  explicit StringValue(size_t n) : Obj(ObjType::String), size(n) {}
  // a followed by b in one new block, with room bytes to spare after them.
  static Ref<StringValue> joined(std::string_view a, std::string_view b, size_t room);
};

// Lists and dicts of plain values (numbers, strings) cannot be part of a
// cycle, so a new one is unknown to the collector until it first holds a
// container: every store into items goes through holding().
struct ListValue : Container {
  static constexpr bool kTrackedAtBirth = false;
  ListValue() : Container(ObjType::List) {}
  std::vector<Value> items;
};

// String-keyed, insertion-ordered hash map (see the file comment).
struct DictValue : Container {
  struct Entry {
    Value key;  // a string; Null marks an erased entry until the next compaction
    Value value;
  };

  static constexpr bool kTrackedAtBirth = false;
  DictValue() : Container(ObjType::Dict) {}

  Value* find(std::string_view key, uint32_t hash);
  Value* find(const StringValue* key) { return find(key->view(), key->hash()); }
  const Value* find(const StringValue* key) const { return const_cast<DictValue*>(this)->find(key); }
  // Binds key (a string value) to value, keeping the place of an existing key.
  void set(const Value& key, Value value);
  bool erase(std::string_view key, uint32_t hash);
  size_t size() const { return live; }

  // The position of the first entry at or after at that is not erased, or
  // entries.size() when none is.
  size_t liveFrom(size_t at) const {
    while (at < entries.size() && entries[at].key.is(ValueKind::Null)) ++at;
    return at;
  }

  template <class F>
  void forEach(F&& f) const {
    for (const Entry& e : entries)
      if (!e.key.is(ValueKind::Null)) f(e.key, e.value);
  }

  std::vector<Entry> entries;  // in insertion order, with erased holes
  OpenIndex index;             // over entries, by the keys' hashes
  size_t live = 0;

 private:
  int32_t probe(std::string_view key, uint32_t hash) const;
  // Drops the erased entries and places the rest in index, which has room
  // for them. It allocates nothing, so it cannot fail halfway.
  void reindex();
};

// A script function or lambda. Everything but the closure comes from the
// defining node, which the host keeps alive; making a closure copies nothing.
struct FunctionValue : Container {
  FunctionValue(const Node* definition, Ref<Container> env);
  ~FunctionValue();

  std::string_view name() const;
  const std::vector<std::string>& params() const;
  std::span<const Symbol> paramSyms() const { return paramSymbols; }
  // The default expression for parameter position i, or null.
  const Node* defaultAt(size_t i) const;

  const Node* def;   // the FuncDef or Lambda node
  const Node* body;  // the block, or a lambda's expression
  bool isLambda;
  bool distinctParams;  // no name repeats, so a call binds each without a search
  std::span<const Symbol> paramSymbols;  // the definition's, held here for the call path
  Ref<Container> closure;  // the defining scope, an Environment
};

struct ClassValue : Container {
  ClassValue(std::string n, Ref<ClassValue> b) : Container(ObjType::Class), name(std::move(n)), base(std::move(b)) {}

  // Looks method up in methods along the base chain; null when none has it.
  FunctionValue* findMethod(Symbol method) const;

  std::string name;
  Ref<ClassValue> base;
  SymbolMap<Ref<FunctionValue>> methods;
  SymbolMap<Value> attrs;
  // The fields the last init of this blueprint left, at most
  // kReservedFieldsLimit: new instances reserve that much room, so that init
  // fills them without regrowing.
  size_t fieldsHint = 0;
};

// Most field slots a new instance reserves. Inits rarely set more; an
// instance given more (through put, say) grows its table as any table
// grows, and does not make every later instance reserve room for them.
inline constexpr size_t kReservedFieldsLimit = 32;

struct InstanceValue : Container {
  explicit InstanceValue(Ref<ClassValue> c) : Container(ObjType::Instance), cls(std::move(c)) {
    fields.reserve(cls->fieldsHint);
  }
  Ref<ClassValue> cls;
  SymbolMap<Value> fields;
};

// A built-in function, or a method read through an attribute. The callable
// is a plain function pointer; what it captured sits beside it.
struct NativeFn : Container {
  using Call = Value (*)(NativeFn& self, Args args);

  explicit NativeFn(Call c) : Container(ObjType::Native), call(c) {}

  Call call;
  Interpreter* interp = nullptr;
  Ref<FunctionValue> method;      // bound and unbound methods
  Ref<InstanceValue> receiver;    // bound methods only
};

struct RangeVal : Obj {
  RangeVal(int64_t a, int64_t b, int64_t s) : Obj(ObjType::Range), start(a), stop(b), step(s) {}
  int64_t start, stop, step;
};

// Called before a list or dict stores value: from its first container on,
// the collector follows it (see ListValue).
inline void holding(Container* holder, const Value& value) {
  if (value.isContainer() && holder->gcGeneration == Obj::kUntracked) collector().track(holder);
}

// Raises a script error (kind and message from values/messages.h); never
// returns. The interpreter supplies one whose fn forwards to
// Interpreter::throwError, which throws.
class ErrorReporter {
 public:
  using Fn = void (*)(void* ctx, std::string_view kind, std::string_view message, int line);
  ErrorReporter(void* ctx, Fn fn) : ctx_(ctx), fn_(fn) {}
  [[noreturn]] void operator()(std::string_view kind, std::string_view message, int line) const;

 private:
  void* ctx_;
  Fn fn_;
};

// The hash of a dict key; never 0.
uint32_t hashString(std::string_view text);

// Helpers for building values.
Value makeString(std::string_view text);
Value makeList(std::vector<Value> items = {});

std::string_view valueKind(const Value& v);
bool truthOfAny(const Value& v);
// Conditions are mostly comparisons: their bools are decided inline.
inline bool isTruthy(const Value& v) { return v.is(ValueKind::Bool) ? v.asBool() : truthOfAny(v); }
bool valuesEqual(const Value& a, const Value& b);
bool identicalValues(const Value& a, const Value& b);
// The numeric value of an int or a float; callers give it nothing else.
inline double toDouble(const Value& v) {
  return v.is(ValueKind::Int) ? static_cast<double>(v.asInt()) : v.asFloat();
}

// Rendering (render.cpp).
std::string valueToString(const Value& v, bool quoteStrings);
void appendValue(std::string& out, const Value& v, bool quoteStrings);
std::string formatDouble(double x);
// What v adds to a string it is added to: a string's own bytes, anything
// else rendered unquoted into scratch.
std::string_view concatText(const Value& v, std::string& scratch);

// Indexing and iteration (indexing.cpp).
int64_t asIndex(const Value& index, int line, const ErrorReporter& report);
// The position a (possibly negative) index names in a sequence of length n,
// or -1 when it lies outside.
int64_t sequencePosition(int64_t i, size_t n);
// The key a non-string value stands for in a dict: its unquoted rendering.
Value dictKey(const Value& key);
std::vector<Value> materializeIterable(const Value& iterable, int line, const ErrorReporter& report);
// container[index] read, and written with value: lists and strings by
// position (counted from the end when negative), dicts by key; strings
// cannot be written. Every other case raises through report.
Value readIndex(const Value& container, const Value& index, int line, const ErrorReporter& report);
void writeIndex(const Value& container, const Value& index, const Value& value, int line, const ErrorReporter& report);

// Calls visit with each value of a range, in order, while it returns true.
// The walk ends after the last value before stop and never wraps around,
// also when stop lies within one step of the 64-bit limits.
template <class F>
void walkRange(const RangeVal& r, F&& visit) {
  for (int64_t v = r.start; r.step > 0 ? v < r.stop : v > r.stop;) {
    spendBudget(1);
    if (!visit(v)) return;
    if (__builtin_add_overflow(v, r.step, &v)) return;
  }
}

// Calls visit with each item a loop over iterable sees, while it returns
// true. Ranges and strings are walked lazily, an item at a time (a string
// never changes, so its bytes as the loop reaches them are its bytes when
// the loop began); a list or a dict is a snapshot taken before the first item.
template <class F>
void forEachItem(const Value& iterable, int line, const ErrorReporter& report, F&& visit) {
  if (iterable.is(ValueKind::Range)) {
    walkRange(*iterable.asRange(), [&](int64_t v) { return visit(Value::integer(v)); });
    return;
  }
  if (iterable.is(ValueKind::String)) {
    spendBudget(1);
    Ref<StringValue> text(iterable.asString());  // the loop may rebind whatever held it
    for (unsigned char byte : text->view())
      if (!visit(Value(ValueKind::String, StringValue::ofByte(byte)))) return;
    return;
  }
  for (Value& item : materializeIterable(iterable, line, report))
    if (!visit(std::move(item))) return;
}

}  // namespace qlr
