// The cycle collector: frees groups of containers that only their own references keep alive.
//
// Reference counting frees almost everything the moment it becomes
// unreachable, but never a cycle: a function bound in the scope it closes
// over, an instance whose field holds one of its bound methods, a list
// inside itself. Ordinary code makes such cycles all the time, so the
// collector finds them as follows.
//
// Every container (an object that can hold references: lists, dicts,
// functions, blueprints, instances, native functions and scopes) is in one
// of three generations, each a list. A collection takes the youngest
// generations up to some age as its set, copies each member's reference
// count into a scratch count, and subtracts from it every reference that
// another member of the set holds. What is left over is the number of
// references from outside the set: from the C++ stack, the interpreter's
// own members, an older generation, a string literal. A member with any
// left is reachable, and so is everything it reaches inside the set; the
// rest can only be reached from itself and is freed. The collector needs
// no list of roots, only that every container can name the references it
// holds (forEachReference), so it places no constraint on how the
// evaluator keeps its frames.
//
// Freeing a group is safe against what freeing does: the collector first
// takes a reference to every member, then empties each member (which may
// free other objects through the counts, but never a member), and only then
// drops its own references, so each member is freed exactly once, after no
// other member can still reach it. There are no finalizers: nothing a
// script can observe runs during a collection, and nothing is ever
// resurrected.
//
// Collections are started by allocation, never by a script: when the
// youngest generation has grown by kYoungThreshold containers since the
// last collection (freed ones do not count), it is collected and its
// survivors move to the middle generation; every kMiddleEvery young
// collections the middle one is collected too, and the oldest one only when
// it has grown by a quarter since it was last collected, so that a program
// with a large live heap does not rescan it over and over. Collections
// that find nothing to free come less and less often (kMaxYoungThreshold).
//
// Each runtime has its own collector (values/runtime.h), which follows the
// containers made in it. When the runtime ends, its collector lets go of
// whatever it still follows: a value that outlives its runtime is then
// freed by counting alone.
//
// Scopes are tracked lazily: a call's scope that no function has closed
// over can only be reached from the native stack, so it cannot be part of a
// cycle, and most calls never make one known to the collector (see
// Environment::capture).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "values/object.h"

namespace qlr {

class Collector {
 public:
  Collector() = default;
  // Lets go of the containers still followed (see the file comment).
  ~Collector();
  Collector(const Collector&) = delete;
  Collector& operator=(const Collector&) = delete;

  static constexpr int kGenerations = 3;
  // Net new containers that start a collection of the youngest generation:
  // large enough that a collection costs little beside the allocations
  // that led to it, small enough that garbage cycles stay a few hundred
  // kilobytes.
  static constexpr uint32_t kYoungThreshold = 2000;
  // A program that makes no cycles gains nothing from collections, and
  // one that builds a large structure pays for each of them in a walk over
  // what it just built: every collection that frees nothing doubles the
  // distance to the next one, up to this, and one that frees something
  // brings it back to kYoungThreshold. The bound keeps what a program that
  // starts making cycles late can leave behind to a few megabytes.
  static constexpr uint32_t kMaxYoungThreshold = 64 * kYoungThreshold;
  // Young collections per collection of the middle generation.
  static constexpr int kMiddleEvery = 10;

  // Starts following a container; may collect first (never the container
  // itself, which is not yet tracked).
  void track(Container* obj) {
    if (ends_[0] - ends_[1] >= youngThreshold_) collectAutomatically();
    if (ends_[0] == capacity_) grow();
    obj->gcGeneration = 0;
    place(obj, ends_[0]++);
  }
  // Stops following a container that is being freed or pooled.
  void untrack(Container* obj) {
    if (obj->gcGeneration < kGenerations) unlink(obj);
  }
  // Collects generations 0 to generation; returns how many containers it freed.
  size_t collect(int generation);
  // Collects everything, as often as that frees something.
  void collectAll();
  size_t trackedIn(int generation) const { return ends_[generation] - begin(generation); }

 private:
  // All tracked containers sit in one array, oldest generation first:
  // generation g holds the positions from begin(g) to ends_[g], and each
  // container knows its position. New containers are added at the end,
  // and a collection's set is always a tail of the array, which it sorts
  // in place into what survives and what does not: a collection allocates
  // nothing, so it can run, and free memory, when memory has run out.
  uint32_t begin(int generation) const { return generation == kGenerations - 1 ? 0 : ends_[generation + 1]; }
  void place(Container* obj, uint32_t at) {
    items_[at] = obj;
    obj->gcIndex = at;
  }
  // Fills obj's place with the last container of its generation, that
  // one's place with the last of the next younger generation, and so on:
  // every generation stays contiguous.
  void unlink(Container* obj) {
    uint32_t hole = obj->gcIndex;
    for (int g = obj->gcGeneration; g >= 0; --g) {
      uint32_t last = --ends_[g];
      if (last != hole) place(items_[last], hole);
      hole = last;
    }
    obj->gcGeneration = Obj::kUntracked;
  }
  void grow();
  void collectAutomatically();

  Container** items_ = nullptr;
  uint32_t capacity_ = 0;
  uint32_t ends_[kGenerations] = {};  // ends_[0] is the number tracked
  uint32_t youngThreshold_ = kYoungThreshold;
  int youngCollections_ = 0;
  uint32_t oldAfterLastFull_ = 0;
  bool collecting_ = false;
};

// Calls visit once for every counted reference obj holds to another object.
void forEachReference(Obj* obj, RefVisitor visit, void* context);
// Drops every reference obj holds, leaving it empty but valid.
void clearReferences(Obj* obj);

}  // namespace qlr
