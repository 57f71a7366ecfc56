// The intern table behind Symbol.
#include "frontend/symbols.h"

namespace qlr {

Symbol SymbolTable::intern(std::string_view name) {
  if (auto found = ids_.find(name); found != ids_.end()) return found->second;
  auto sym = static_cast<Symbol>(names_.size());
  const std::string& stored = names_.emplace_back(name);
  try {
    ids_.emplace(stored, sym);
  } catch (...) {
    names_.pop_back();  // out of memory: the name is not half interned
    throw;
  }
  return sym;
}

Symbol SymbolTable::find(std::string_view name) const {
  auto found = ids_.find(name);
  return found == ids_.end() ? kNoSymbol : found->second;
}

Symbol intern(std::string_view name) { return frontendRuntime().symbols.intern(name); }

Symbol findSymbol(std::string_view name) { return frontendRuntime().symbols.find(name); }

const std::string& symbolName(Symbol sym) { return frontendRuntime().symbols.name(sym); }

}  // namespace qlr
