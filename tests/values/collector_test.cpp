// Tests of the cycle collector: what each container names, which groups a collection frees, and what it keeps.
#include <gtest/gtest.h>

#include <map>

#include "failing_allocator.h"
#include "value_builders.h"
#include "values/collector.h"

namespace qlr {
namespace {

using namespace qlr::testing;

// A string that stands for "still held": its count is one while only the
// test holds it, and higher while a container holds it too.
struct Probe {
  Value value = S("probe value");
  uint32_t holders() const { return value.asObj()->refCount - 1; }
};

// Appends item to list as the built-in does.
void append(const Value& list, const Value& item) {
  holding(list.asList(), item);
  list.asList()->items.push_back(item);
}

// How many times forEachReference names each object.
std::map<Obj*, int> referencesOf(Obj* obj) {
  std::map<Obj*, int> seen;
  forEachReference(
      obj, [](Obj* ref, void* context) { ++(*static_cast<std::map<Obj*, int>*>(context))[ref]; }, &seen);
  return seen;
}

// Every counted reference a container holds is named, as often as it is held.
TEST(Collector, EveryKindNamesTheReferencesItHolds) {
  Probe p;
  Value other = L({});
  auto def = definition("f");

  Value list = L({p.value, I(1), other, p.value});
  EXPECT_EQ(referencesOf(list.asObj()), (std::map<Obj*, int>{{p.value.asObj(), 2}, {other.asObj(), 1}}));

  Value dict = D({{"a", p.value}, {"b", other}});
  auto dictRefs = referencesOf(dict.asObj());
  EXPECT_EQ(dictRefs[p.value.asObj()], 1);
  EXPECT_EQ(dictRefs[other.asObj()], 1);
  EXPECT_EQ(dictRefs.size(), 4u) << "the two key strings are held too";

  Ref<Environment> scope = Environment::make(nullptr);
  Ref<Environment> inner = Environment::make(scope.get());
  inner->bindLocal(intern("x"), p.value);
  EXPECT_EQ(referencesOf(inner.get()), (std::map<Obj*, int>{{p.value.asObj(), 1}, {scope.get(), 1}}));

  Value function(makeRef<FunctionValue>(def.get(), Ref<Container>(inner.get())));
  EXPECT_EQ(referencesOf(function.asObj()), (std::map<Obj*, int>{{inner.get(), 1}}));

  auto base = makeRef<ClassValue>("Base", nullptr);
  auto cls = makeRef<ClassValue>("Point", base);
  cls->methods.set(intern("m"), Ref<FunctionValue>(function.asFunction()));
  cls->attrs.set(intern("a"), p.value);
  EXPECT_EQ(referencesOf(cls.get()),
            (std::map<Obj*, int>{{base.get(), 1}, {function.asObj(), 1}, {p.value.asObj(), 1}}));

  auto instance = makeRef<InstanceValue>(cls);
  instance->fields.set(intern("f"), p.value);
  EXPECT_EQ(referencesOf(instance.get()), (std::map<Obj*, int>{{cls.get(), 1}, {p.value.asObj(), 1}}));

  auto bound = makeRef<NativeFn>([](NativeFn&, Args) { return Value(); });
  bound->method = Ref<FunctionValue>(function.asFunction());
  bound->receiver = instance;
  EXPECT_EQ(referencesOf(bound.get()), (std::map<Obj*, int>{{function.asObj(), 1}, {instance.get(), 1}}));

  EXPECT_TRUE(referencesOf(p.value.asObj()).empty());
  EXPECT_TRUE(referencesOf(R(0, 3, 1).asObj()).empty());
}

// A group that only its own references keep alive is freed, whatever its
// shape; what it held is let go.
TEST(Collector, FreesGroupsOnlyTheirOwnReferencesKeep) {
  auto def = definition("f");
  Probe p;
  {
    Value self = L({p.value});
    append(self, self);
  }
  {
    Value a = L({p.value});
    Value b = L({a});
    append(a, b);
  }
  {
    auto cls = makeRef<ClassValue>("Node", nullptr);
    auto node = makeRef<InstanceValue>(cls);
    node->fields.set(intern("me"), Value(node));
    node->fields.set(intern("p"), p.value);
  }
  {
    Ref<Environment> scope = Environment::make(nullptr);
    scope->bindLocal(intern("p"), p.value);
    scope->capture();
    scope->bindLocal(intern("f"), Value(makeRef<FunctionValue>(def.get(), Ref<Container>(scope.get()))));
  }
  {
    Value dict = D({{"p", p.value}});
    dict.asDict()->set(S("self"), dict);
  }
  EXPECT_EQ(p.holders(), 5u) << "counting alone frees none of them";
  collector().collectAll();
  EXPECT_EQ(p.holders(), 0u);
}

// A cycle that something outside still reaches survives, whole, and so does
// everything it reaches.
TEST(Collector, KeepsWhatOutsideReferencesReach) {
  Probe p;
  Value kept = L({});
  {
    Value a = L({});
    Value b = L({a, p.value});
    append(a, b);
    append(kept, a);
  }
  collector().collectAll();
  EXPECT_EQ(p.holders(), 1u);
  const Value& a = kept.asList()->items[0];
  const Value& b = a.asList()->items[0];
  EXPECT_EQ(valueToString(b.asList()->items[1], false), "probe value");
  EXPECT_TRUE(identicalValues(b.asList()->items[0], a));
  kept.asList()->items.clear();
  collector().collectAll();
  EXPECT_EQ(p.holders(), 0u);
}

TEST(Collector, SurvivorsMoveToAnOlderGeneration) {
  collector().collectAll();
  Value held = L({});
  append(held, L({}));
  size_t middle = collector().trackedIn(1);
  collector().collect(0);
  EXPECT_EQ(collector().trackedIn(0), 0u);
  EXPECT_EQ(collector().trackedIn(1), middle + 1);
  collector().collect(1);
  EXPECT_EQ(collector().trackedIn(1), 0u);
}

// A list or dict of plain values cannot be part of a cycle and is not
// followed until it first holds a container.
TEST(Collector, ListsAndDictsAreFollowedFromTheirFirstContainer) {
  Value list = L({I(1), S("two")});
  Value dict = D({{"a", I(1)}});
  EXPECT_EQ(list.asObj()->gcGeneration, Obj::kUntracked);
  EXPECT_EQ(dict.asObj()->gcGeneration, Obj::kUntracked);
  append(list, R(0, 1, 1));
  dict.asDict()->set(S("b"), S("text"));
  EXPECT_EQ(list.asObj()->gcGeneration, Obj::kUntracked) << "ranges and strings hold nothing";
  EXPECT_EQ(dict.asObj()->gcGeneration, Obj::kUntracked);
  append(list, L({}));
  dict.asDict()->set(S("c"), dict);
  EXPECT_NE(list.asObj()->gcGeneration, Obj::kUntracked);
  EXPECT_NE(dict.asObj()->gcGeneration, Obj::kUntracked);
  EXPECT_NE(L({L({})}).asObj()->gcGeneration, Obj::kUntracked) << "a list made holding a container";
}

// Freeing a group as long as memory allows takes no native stack per member.
TEST(Collector, FreesAMillionMemberCycleWithoutRecursion) {
  Probe p;
  {
    Value first = L({p.value});
    Value last = first;
    for (int i = 0; i < 1'000'000; ++i) {
      Value next = L({});
      append(last, next);
      last = next;
    }
    append(last, first);
  }
  collector().collectAll();
  EXPECT_EQ(p.holders(), 0u);
}

// A collection allocates nothing, so it can free memory when none is left.
TEST(Collector, CollectsWithNoMemoryLeft) {
  Probe p;
  for (int i = 0; i < 1000; ++i) {
    Value self = L({p.value});
    append(self, self);
  }
  {
    AllocationFailure failure(0);
    collector().collectAll();
    EXPECT_FALSE(failure.failed());
  }
  EXPECT_EQ(p.holders(), 0u);
}

// Allocation alone starts collections: a loop that makes a cycle per round
// never has more than a bounded number of them alive.
TEST(Collector, AllocationStartsCollections) {
  Probe p;
  collector().collectAll();
  for (uint32_t i = 0; i < 2 * Collector::kMaxYoungThreshold; ++i) {
    Value self = L({p.value});
    append(self, self);
  }
  EXPECT_LT(p.holders(), Collector::kMaxYoungThreshold);
  collector().collectAll();
  EXPECT_EQ(p.holders(), 0u);
}

}  // namespace
}  // namespace qlr
