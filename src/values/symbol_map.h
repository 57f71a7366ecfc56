// SymbolMap: the table behind scopes, instance fields and blueprint members.
//
// Keys are interned Symbols, so a probe compares integers. Most tables are
// tiny (a call's parameters, an instance's few fields) and a linear scan of
// a contiguous array beats any hash there; past kLinearLimit entries an
// OpenIndex over the same array takes over. Entries stay in insertion
// order, which also makes every walk over a table deterministic.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "frontend/symbols.h"
#include "values/open_index.h"

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
  // is more than half full. Should that run out of memory, the entry goes
  // again, so the table is as it was.
  [[gnu::noinline]] void indexLast() {
    if (entries_.size() * 2 > index_.capacity()) {
      try {
        index_.reset(16, entries_.size() * 4);
      } catch (...) {
        entries_.pop_back();
        throw;
      }
      fillIndex();
      return;
    }
    index_.place(hashOf(entries_.back().key), static_cast<int32_t>(entries_.size() - 1));
  }

  int32_t locate(Symbol key) const {
    if (index_.empty()) {
      for (size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].key == key) return static_cast<int32_t>(i);
      return -1;
    }
    return index_.find(hashOf(key), [&](int32_t at) { return entries_[at].key == key; });
  }

  // Symbols are small consecutive integers: multiplying spreads them over the slots.
  static uint32_t hashOf(Symbol key) { return key * 2654435761u; }

  // Fills the index afresh from the entries, in place: it allocates
  // nothing, so an erase cannot fail halfway.
  void fillIndex() {
    index_.rebuild(entries_.size(), [&](size_t at) { return hashOf(entries_[at].key); });
  }

  std::vector<Entry> entries_;
  OpenIndex index_;
};

}  // namespace qlr
