// Interned names: every identifier the parser meets becomes a small integer.
//
// Scopes, instance fields and blueprint tables are keyed by Symbol, so a
// name lookup at run time compares integers and never hashes or compares
// the characters of the name. The table is process-wide and only grows;
// names interned at run time (attribute names built by a script) join it
// the same way.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qlr {

using Symbol = uint32_t;

// The symbol for a name, creating it on first use.
Symbol intern(std::string_view name);

// The text of a symbol. The reference stays valid for the life of the process.
const std::string& symbolName(Symbol sym);

}  // namespace qlr
