// The value model: kinds, truth, equality, identity, strings and dicts.
#include "values/value.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include "frontend/node.h"
#include "support/budget.h"
#include "support/fatal.h"
#include "values/container_path.h"
#include "values/messages.h"

namespace qlr {

ValueKind Value::kindOf(ObjType t) {
  switch (t) {
    case ObjType::String:
      return ValueKind::String;
    case ObjType::List:
      return ValueKind::List;
    case ObjType::Dict:
      return ValueKind::Dict;
    case ObjType::Function:
      return ValueKind::Function;
    case ObjType::Class:
      return ValueKind::Class;
    case ObjType::Instance:
      return ValueKind::Instance;
    case ObjType::Native:
      return ValueKind::Native;
    case ObjType::Range:
      return ValueKind::Range;
    case ObjType::Environment:
      break;
  }
  return ValueKind::Null;  // an environment is never a value
}

// ---- strings ----

Ref<StringValue> StringValue::joined(std::string_view a, std::string_view b, size_t room) {
  size_t n = a.size() + b.size();
  void* mem = allocBlock(sizeof(StringValue) + n + room);
  auto* s = ::new (mem) StringValue(n);
  s->spare = static_cast<uint32_t>(room);
  if (!a.empty()) std::memcpy(s->data(), a.data(), a.size());
  if (!b.empty()) std::memcpy(s->data() + a.size(), b.data(), b.size());
  return Ref<StringValue>(s);
}

Ref<StringValue> StringValue::concat(std::string_view a, std::string_view b) {
  spendBudget(1 + (a.size() + b.size()) / 16);
  return joined(a, b, 0);
}

Ref<StringValue> StringValue::make(std::string_view text) { return concat(text, {}); }

void StringValue::appendTo(Value& target, std::string_view tail) {
  StringValue* s = target.asString();
  size_t n = tail.size();
  spendBudget(1 + n / 16);
  if (n <= s->spare) {
    std::memcpy(s->data() + s->size, tail.data(), n);
    s->size += n;
    s->spare -= static_cast<uint32_t>(n);
    s->hashCache = 0;
    return;
  }
  // Doubling keeps the copies linear in the final length; the room is
  // capped by what spare can count.
  size_t room = std::min<size_t>(std::max<size_t>(s->size + n, 16), UINT32_MAX);
  target = Value(joined(s->view(), tail, room));
}

StringValue* StringValue::ofByte(unsigned char byte) {
  StringValue*& shared = valuesRuntime().byteStrings[byte];
  if (!shared) {
    char c = static_cast<char>(byte);
    shared = make(std::string_view(&c, 1)).release();  // the runtime's reference
  }
  return shared;
}

uint32_t hashString(std::string_view text) {
  uint32_t h = 2166136261u;  // FNV-1a
  for (unsigned char c : text) {
    h ^= c;
    h *= 16777619u;
  }
  return h == 0 ? 1 : h;
}

uint32_t StringValue::hash() const {
  if (hashCache == 0) hashCache = hashString(view());
  return hashCache;
}

Value makeString(std::string_view text) {
  if (text.size() == 1) return Value(ValueKind::String, StringValue::ofByte(static_cast<unsigned char>(text[0])));
  return Value(StringValue::make(text));
}

Value makeList(std::vector<Value> items) {
  auto list = makeRef<ListValue>();
  for (const Value& item : items) holding(list.get(), item);
  list->items = std::move(items);
  return Value(list);
}

// ---- dicts ----

int32_t DictValue::probe(std::string_view key, uint32_t hash) const {
  return index.find(hash, [&](int32_t at) {
    const StringValue* k = entries[at].key.asString();
    return k->hash() == hash && k->view() == key;
  });
}

Value* DictValue::find(std::string_view key, uint32_t hash) {
  int32_t at = probe(key, hash);
  return at >= 0 ? &entries[at].value : nullptr;
}

void DictValue::reindex() {
  size_t kept = 0;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].key.is(ValueKind::Null)) continue;
    if (kept != i) entries[kept] = std::move(entries[i]);
    ++kept;
  }
  entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(kept), entries.end());
  index.rebuild(entries.size(), [&](size_t at) { return entries[at].key.asString()->hash(); });
}

void DictValue::set(const Value& key, Value value) {
  holding(this, value);
  StringValue* k = key.asString();
  uint32_t hash = k->hash();
  if (Value* slot = find(k->view(), hash)) {
    *slot = std::move(value);
    return;
  }
  // Keep the index at most half full, counting erased slots as used. The
  // room is made before the entry is added, and a bigger index is
  // allocated before anything changes, so running out of memory on either
  // leaves the dict as it was. Without growing, dropping the erased makes
  // the room.
  if ((entries.size() + 1) * 2 > index.capacity()) {
    if ((live + 1) * 2 > index.capacity()) index.reset(8, (live + 1) * 2);
    reindex();
  }
  entries.push_back(Entry{key, std::move(value)});
  ++live;
  index.place(hash, static_cast<int32_t>(entries.size() - 1));
}

bool DictValue::erase(std::string_view key, uint32_t hash) {
  int32_t at = probe(key, hash);
  if (at < 0) return false;
  index.erase(hash, at);
  entries[at].key = Value();
  entries[at].value = Value();
  --live;
  if (live * 4 < entries.size() && entries.size() > 16) reindex();
  return true;
}

// ---- functions and blueprints ----

FunctionValue::FunctionValue(const Node* definition, Ref<Container> env)
    : Container(ObjType::Function),
      def(definition),
      body(definition->body()),
      isLambda(definition->kind == NodeKind::Lambda),
      distinctParams(true),
      paramSymbols(definition->paramSyms),
      closure(std::move(env)) {
  const auto& names = definition->paramSyms;
  for (size_t i = 0; i < names.size(); ++i)
    for (size_t j = 0; j < i; ++j)
      if (names[i] == names[j]) distinctParams = false;
}

FunctionValue::~FunctionValue() = default;

std::string_view FunctionValue::name() const { return isLambda ? std::string_view("<lambda>") : def->text; }

const std::vector<std::string>& FunctionValue::params() const { return def->params; }

const Node* FunctionValue::defaultAt(size_t i) const {
  return i < def->defaults.size() ? def->defaults[i].get() : nullptr;
}

FunctionValue* ClassValue::findMethod(Symbol method) const {
  for (const ClassValue* c = this; c; c = c->base.get()) {
    if (const Ref<FunctionValue>* m = c->methods.find(method)) return m->get();
  }
  return nullptr;
}

// ---- the small functions every part uses ----

std::string_view valueKind(const Value& v) {
  static constexpr std::string_view names[] = {"null", "bool",     "int",   "float",    "string",   "list",
                                               "dict", "function", "class", "instance", "function", "range"};
  return names[static_cast<int>(v.kind())];
}

bool truthOfAny(const Value& v) {
  switch (v.kind()) {
    case ValueKind::Null:
      return false;
    case ValueKind::Bool:
      return v.asBool();
    case ValueKind::Int:
      return v.asInt() != 0;
    case ValueKind::Float:
      return v.asFloat() != 0.0;
    case ValueKind::String:
      return v.asString()->size != 0;
    case ValueKind::List:
      return !v.asList()->items.empty();
    case ValueKind::Dict:
      return v.asDict()->size() != 0;
    case ValueKind::Function:
    case ValueKind::Class:
    case ValueKind::Instance:
    case ValueKind::Native:
    case ValueKind::Range:
      return true;
  }
  return true;
}


namespace {

// What comparing two values decides without looking inside two containers.
enum class Shallow : uint8_t {
  Equal,
  Unequal,
  Open,  // two lists, or two dicts, of one size: their items decide
};

Shallow compareShallow(const Value& a, const Value& b) {
  auto decided = [](bool equal) { return equal ? Shallow::Equal : Shallow::Unequal; };
  // An int and a float are equal by value; any other two kinds differ.
  if (a.is(ValueKind::Int)) {
    if (b.is(ValueKind::Int)) return decided(a.asInt() == b.asInt());
    return decided(b.is(ValueKind::Float) && static_cast<double>(a.asInt()) == b.asFloat());
  }
  if (a.is(ValueKind::Float)) return decided(b.isNumber() && a.asFloat() == toDouble(b));
  if (a.kind() != b.kind()) return Shallow::Unequal;
  switch (a.kind()) {
    case ValueKind::Null:
      return Shallow::Equal;
    case ValueKind::Bool:
      return decided(a.asBool() == b.asBool());
    case ValueKind::String:
      return decided(a.asString() == b.asString() || a.asString()->view() == b.asString()->view());
    case ValueKind::List:
      return a.asList()->items.size() == b.asList()->items.size() ? Shallow::Open : Shallow::Unequal;
    case ValueKind::Dict:
      return a.asDict()->size() == b.asDict()->size() ? Shallow::Open : Shallow::Unequal;
    // Numbers were decided above; functions, blueprints, instances and
    // ranges equal nothing, not even themselves (identity is "same").
    case ValueKind::Int:
    case ValueKind::Float:
    case ValueKind::Function:
    case ValueKind::Class:
    case ValueKind::Instance:
    case ValueKind::Native:
    case ValueKind::Range:
      return Shallow::Unequal;
  }
  return Shallow::Unequal;
}

// The RecursionError of a comparison that came back to a pair it is
// inside, raised through the active runtime's reporter; a runtime with no
// interpreter has none to make a script error, and gets a fatal error.
[[noreturn, gnu::cold]] void comparedInsideItself() {
  if (const ErrorReporter* report = valuesRuntime().reporter) (*report)(kRecursionError, message::kRecursionLimit, 0);
  throw QuilloraFatal(std::string(kRecursionError) + ": " + std::string(message::kRecursionLimit));
}

// Opens a pair that compareShallow found Open. A pair met again while it
// is open would take the comparison round that cycle for ever: it raises
// RecursionError instead (see container_path.h for when it is noticed).
void openPair(ContainerPath& path, const Value& a, const Value& b) {
  if (path.returnsToCheckpoint(a.asObj(), b.asObj())) comparedInsideItself();
  // Lists sharing sublists compare in time exponential in their depth.
  spendBudget(a.is(ValueKind::List) ? a.asList()->items.size() : a.asDict()->size());
  path.open(a.asObj(), b.asObj());
}

// valuesEqual of two lists or two dicts that compareShallow found Open:
// item by item, depth first, in the order of a (a dict's entries in
// insertion order, each looked up in b); the first difference decides.
[[gnu::noinline]] bool containersEqual(const Value& a, const Value& b) {
  ContainerPath path;
  openPair(path, a, b);
  while (!path.empty()) {
    ContainerPath::Frame& open = path.top();
    const Value* x;
    const Value* y;
    if (open.first->type == ObjType::List) {
      const auto& xs = static_cast<const ListValue*>(open.first)->items;
      const auto& ys = static_cast<const ListValue*>(open.second)->items;
      if (open.next >= xs.size() || open.next >= ys.size()) {
        path.close();
        continue;
      }
      x = &xs[open.next];
      y = &ys[open.next];
      ++open.next;
    } else {
      const auto* dict = static_cast<const DictValue*>(open.first);
      open.next = dict->liveFrom(open.next);
      if (open.next >= dict->entries.size()) {
        path.close();
        continue;
      }
      const DictValue::Entry& entry = dict->entries[open.next++];
      x = &entry.value;
      y = static_cast<const DictValue*>(open.second)->find(entry.key.asString());
      if (!y) return false;
    }
    switch (compareShallow(*x, *y)) {
      case Shallow::Equal:
        break;
      case Shallow::Unequal:
        return false;
      case Shallow::Open:
        openPair(path, *x, *y);
        break;
    }
  }
  return true;
}

}  // namespace

void ErrorReporter::operator()(std::string_view kind, std::string_view message, int line) const {
  fn_(ctx_, kind, message, line);
  std::abort();  // fn_ throws: a reporter whose fn returns is a fault of its maker
}

bool valuesEqual(const Value& a, const Value& b) {
  Shallow shallow = compareShallow(a, b);
  if (shallow != Shallow::Open) return shallow == Shallow::Equal;
  return containersEqual(a, b);
}

bool identicalValues(const Value& a, const Value& b) {
  switch (a.kind()) {
    case ValueKind::List:
    case ValueKind::Dict:
    case ValueKind::Function:
    case ValueKind::Class:
    case ValueKind::Instance:
      return a.asObj() == b.asObj();
    case ValueKind::Null:
    case ValueKind::Bool:
    case ValueKind::Int:
    case ValueKind::Float:
    case ValueKind::String:
      return valuesEqual(a, b);
    case ValueKind::Native:
    case ValueKind::Range:
      return false;
  }
  return false;
}

}  // namespace qlr
