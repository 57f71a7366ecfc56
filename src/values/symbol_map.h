// SymbolMap: the table behind scopes, instance fields and blueprint members.
//
// Keys are interned Symbols, so a probe compares integers. Most tables are
// tiny (a call's parameters, an instance's few fields) and a linear scan of
// a contiguous array beats any hash there; past kLinearLimit entries an
// open-addressing index over the same array takes over. Entries stay in
// insertion order, which also makes every walk over a table deterministic.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "frontend/symbols.h"

namespace qlr {

template <class V>
class SymbolMap {
 public:
  struct Entry {
    // Made in place by insert: a temporary entry would have to be kept in
    // memory for the case where the vector regrows.
    Entry(Symbol k, V&& v) : key(k), value(std::move(v)) {}
    Symbol key;
    V value;
  };

  V* find(Symbol key) {
    int32_t at = locate(key);
    return at >= 0 ? &entries_[at].value : nullptr;
  }
  const V* find(Symbol key) const { return const_cast<SymbolMap*>(this)->find(key); }

  // find, trying first the position hint names. A hint belongs to one place
  // in the program and remembers where its key was found last: the scopes of
  // one function and the instances of one blueprint bind their names in the
  // same order, so the guess is usually right and costs one comparison.
  [[gnu::always_inline]] V* find(Symbol key, uint32_t& hint) {
    if (hint < entries_.size() && entries_[hint].key == key) return &entries_[hint].value;
    int32_t at = locate(key);
    if (at < 0) return nullptr;
    hint = static_cast<uint32_t>(at);
    return &entries_[at].value;
  }

  // Binds key to value, overwriting an existing binding in place.
  void set(Symbol key, V value) {
    if (V* slot = find(key)) {
      *slot = std::move(value);
      return;
    }
    insert(key, std::move(value));
  }

  void set(Symbol key, V value, uint32_t& hint) {
    if (V* slot = find(key, hint)) {
      *slot = std::move(value);
      return;
    }
    hint = static_cast<uint32_t>(entries_.size());
    insert(key, std::move(value));
  }

  // Binds a key known to be unbound in this table.
  void add(Symbol key, V&& value) { insert(key, std::move(value)); }

  bool erase(Symbol key) {
    for (size_t i = 0; i < entries_.size(); ++i) {
      if (entries_[i].key == key) {
        entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(i));
        if (entries_.size() <= kLinearLimit) {
          index_.clear();  // small again: scanned, with the storage kept
        } else if (!index_.empty()) {
          fillIndex();
        }
        return true;
      }
    }
    return false;
  }

  void reserve(size_t n) { entries_.reserve(n); }

  // Empties the table but keeps its storage, for reuse of pooled scopes.
  void clear() {
    entries_.clear();
    index_.clear();
  }

  size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  std::vector<Entry>& entries() { return entries_; }
  const std::vector<Entry>& entries() const { return entries_; }

 private:
  static constexpr size_t kLinearLimit = 8;

  // A key not yet bound: kept out of line so that set inlines to a probe
  // and an overwrite.
  [[gnu::noinline]] void insert(Symbol key, V&& value) {
    entries_.emplace_back(key, std::move(value));
    if (!index_.empty() || entries_.size() > kLinearLimit) indexLast();
  }

  // Indexes the entry insert just added, growing the index first when it
  // is too full. Should that run out of memory, the entry goes again, so
  // the table is as it was.
  [[gnu::noinline]] void indexLast() {
    if (entries_.size() * 2 > index_.size()) {
      size_t cap = 16;
      while (cap < entries_.size() * 4) cap *= 2;
      try {
        std::vector<int32_t>(cap).swap(index_);
      } catch (...) {
        entries_.pop_back();
        throw;
      }
      fillIndex();
      return;
    }
    insertIndex(static_cast<int32_t>(entries_.size() - 1));
  }

  int32_t locate(Symbol key) const {
    if (index_.empty()) {
      for (size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].key == key) return static_cast<int32_t>(i);
      return -1;
    }
    return probe(key);
  }

  static uint32_t slotOf(Symbol key, size_t mask) { return (key * 2654435761u) & static_cast<uint32_t>(mask); }

  int32_t probe(Symbol key) const {
    size_t mask = index_.size() - 1;
    for (uint32_t i = slotOf(key, mask);; i = (i + 1) & mask) {
      int32_t at = index_[i];
      if (at < 0) return -1;
      if (entries_[at].key == key) return at;
    }
  }

  void insertIndex(int32_t at) {
    size_t mask = index_.size() - 1;
    uint32_t i = slotOf(entries_[at].key, mask);
    while (index_[i] >= 0) i = (i + 1) & mask;
    index_[i] = at;
  }

  // Fills the index afresh from the entries, in place: it allocates
  // nothing, so an erase cannot fail halfway.
  void fillIndex() {
    std::fill(index_.begin(), index_.end(), -1);
    for (size_t i = 0; i < entries_.size(); ++i) insertIndex(static_cast<int32_t>(i));
  }

  std::vector<Entry> entries_;
  std::vector<int32_t> index_;
};

}  // namespace qlr
