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

// The symbol of no name: what an unresolved Symbol field holds. Its text is
// the empty string, and intern never returns it.
inline constexpr Symbol kNoSymbol = 0;

// The symbol for a name, creating it on first use.
Symbol intern(std::string_view name);
// The symbol for a name if it has one, else kNoSymbol; never grows the
// table. A name never interned is bound in no scope, field or blueprint, so
// a lookup of it needs no symbol of its own.
Symbol findSymbol(std::string_view name);

// The text of a symbol. The reference stays valid for the life of the process.
const std::string& symbolName(Symbol sym);

}  // namespace qlr
