// OpenIndex: the hash index that dicts and symbol tables keep over their arrays of entries.
//
// Both tables keep their entries in an array in insertion order and find
// them through this index: open addressing with linear probing over a
// power-of-two number of slots, each holding the position of an entry,
// kEmpty, or kErased where a dict erased an entry in place (probes go on
// past it). Each table brings its own hash, its own test of a key and its
// own policy of how full the index may get.
//
// Only reset allocates. Everything else works in the slots it has, so a
// table can make room first and then change: an allocation that fails
// leaves the table as it was.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace qlr {

class OpenIndex {
 public:
  static constexpr int32_t kEmpty = -1;
  static constexpr int32_t kErased = -2;

  bool empty() const { return slots_.empty(); }
  size_t capacity() const { return slots_.size(); }

  // The position on hash's probe sequence that matches accepts, or -1.
  template <class Matches>
  int32_t find(uint32_t hash, Matches matches) const {
    if (slots_.empty()) return -1;
    size_t mask = slots_.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
      int32_t at = slots_[i];
      if (at == kEmpty) return -1;
      if (at >= 0 && matches(at)) return at;
    }
  }

  // Records position at under hash, in the first slot of its probe
  // sequence that holds no position.
  void place(uint32_t hash, int32_t at) {
    size_t mask = slots_.size() - 1;
    size_t i = hash & mask;
    while (slots_[i] >= 0) i = (i + 1) & mask;
    slots_[i] = at;
  }

  // Marks the slot that holds position at, found under hash, as erased.
  void erase(uint32_t hash, int32_t at) {
    size_t mask = slots_.size() - 1;
    size_t i = hash & mask;
    while (slots_[i] != at) i = (i + 1) & mask;
    slots_[i] = kErased;
  }

  // Places positions 0 to count - 1 afresh, hashAt(position) giving each
  // one's hash; the slots must number more than count.
  template <class HashAt>
  void rebuild(size_t count, HashAt hashAt) {
    std::fill(slots_.begin(), slots_.end(), kEmpty);
    for (size_t at = 0; at < count; ++at) place(hashAt(at), static_cast<int32_t>(at));
  }

  // Replaces the slots with the smallest power of two, from smallest on,
  // that is at least minimum, all empty. The one step that allocates; if
  // it fails, the index is as it was.
  void reset(size_t smallest, size_t minimum) {
    size_t capacity = smallest;
    while (capacity < minimum) capacity *= 2;
    std::vector<int32_t>(capacity, kEmpty).swap(slots_);
  }

  // Drops the slots, keeping their storage.
  void clear() { slots_.clear(); }

 private:
  std::vector<int32_t> slots_;
};

}  // namespace qlr
