// Interned names: every identifier the parser meets becomes a small integer.
//
// Scopes, instance fields and blueprint tables are keyed by Symbol, so a
// name lookup at run time compares integers and never hashes or compares
// the characters of the name. Each runtime has its own table (the front
// end's part of it, see support/support.h), which only grows; intern,
// findSymbol and symbolName use the active runtime's. Names interned at
// run time (attribute names built by a script) join it the same way. A
// tree's symbols are those of the runtime it was parsed in, so a tree is
// run by that runtime's interpreter.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>

#include "support/support.h"

namespace qlr {

using Symbol = uint32_t;

// The symbol of no name: what an unresolved Symbol field holds. Its text is
// the empty string, and intern never returns it.
inline constexpr Symbol kNoSymbol = 0;

// The names of one runtime. A fresh table gives symbols in order from 1.
class SymbolTable {
 public:
  SymbolTable() = default;
  SymbolTable(const SymbolTable&) = delete;
  SymbolTable& operator=(const SymbolTable&) = delete;

  Symbol intern(std::string_view name);
  Symbol find(std::string_view name) const;
  const std::string& name(Symbol sym) const { return names_[sym]; }

 private:
  // kNoSymbol holds the first slot (the map does not list it), so every
  // name interned gets another symbol. A deque never moves its elements,
  // so the map can key on views of the stored names and name() can hand
  // out references for the life of the table.
  std::deque<std::string> names_{std::string()};
  std::unordered_map<std::string_view, Symbol> ids_;
};

// The front end's part of a runtime.
struct FrontendRuntime : SupportRuntime {
  SymbolTable symbols;
};

// The active runtime, as the front end sees it.
inline FrontendRuntime& frontendRuntime() { return static_cast<FrontendRuntime&>(*activeRuntime); }

// The symbol for a name, creating it on first use.
Symbol intern(std::string_view name);
// The symbol for a name if it has one, else kNoSymbol; never grows the
// table. A name never interned is bound in no scope, field or blueprint, so
// a lookup of it needs no symbol of its own.
Symbol findSymbol(std::string_view name);

// The text of a symbol. The reference stays valid for the life of the runtime.
const std::string& symbolName(Symbol sym);

}  // namespace qlr
