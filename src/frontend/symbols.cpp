// The process-wide intern table behind Symbol.
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>

#include "frontend/symbols.h"

namespace qlr {

namespace {

// kNoSymbol holds the first slot (the map does not list it), so every name
// interned gets another symbol. A deque never moves its elements, so the
// map can key on views of the stored names and symbolName can hand out
// references for good. Everything runs on one thread, so the table takes
// no lock.
struct SymbolTable {
  std::deque<std::string> names{std::string()};
  std::unordered_map<std::string_view, Symbol> ids;
};

SymbolTable& table() {
  static SymbolTable instance;
  return instance;
}

}  // namespace

Symbol intern(std::string_view name) {
  SymbolTable& t = table();
  if (auto found = t.ids.find(name); found != t.ids.end()) return found->second;
  auto sym = static_cast<Symbol>(t.names.size());
  const std::string& stored = t.names.emplace_back(name);
  try {
    t.ids.emplace(stored, sym);
  } catch (...) {
    t.names.pop_back();  // out of memory: the name is not half interned
    throw;
  }
  return sym;
}

Symbol findSymbol(std::string_view name) {
  const SymbolTable& t = table();
  auto found = t.ids.find(name);
  return found == t.ids.end() ? kNoSymbol : found->second;
}

const std::string& symbolName(Symbol sym) { return table().names[sym]; }

}  // namespace qlr
