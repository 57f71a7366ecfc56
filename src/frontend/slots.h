// Local slots: the names each function's scope can bind, numbered once, so that a call keeps them in an array.
//
// Scoping is per function, and every way a name comes to be bound in a
// call's scope is written in the function's own body: a parameter, an
// assignment, exp and blueprint, a loop or comprehension variable, a catch
// name. (Modules are the exception: add runs a whole file in the scope of
// the statement; such a scope also keeps a table for the names no slot
// holds.) So when a definition is first run, resolveSlots numbers those
// names, and every node of the body that reads or binds one of them learns
// its slot. Reading a slot is then an index, not a search.
//
// The rules of the language stay dynamic: a slot starts unbound, and a
// read of an unbound slot goes on outward through the defining scopes,
// exactly as a read of a name the scope does not bind. Reading, remove and
// loop variables keep their meaning; only where a scope's own bindings
// live changes. A name that the function declares glob or nloc anywhere
// gets no slot: where its assignments go is decided as the declarations
// run.
//
// Names in a blueprint's body are not numbered: the body's scope is copied
// into the blueprint by name. Top-level code and module files run in
// scopes that bind names by symbol too.
#pragma once

#include <cstdint>
#include <vector>

#include "frontend/symbols.h"

namespace qlr {

struct Node;

// A node's slot when its function numbers no slot for the name: the scope
// of a call keeps that name, if ever, in its table of names.
inline constexpr int32_t kNoSlot = -1;
// A node's slot outside every function (top level, modules, blueprint
// bodies), and before resolution: the scope it runs in may be anyone's,
// even a call's that numbers the name (a module loaded in a function), so
// the name is looked for by symbol.
inline constexpr int32_t kBySymbol = -2;

struct SlotLayout {
  // Slot i binds names[i]; the parameters come first, in order.
  std::vector<Symbol> names;
  // The slot each parameter position binds (a name may be given twice;
  // kNoSlot for one the body declares glob or nloc).
  std::vector<int32_t> paramSlots;
  // A function, lambda or blueprint defined in the body, or a module
  // loaded by it, can keep the scope alive after the call returns.
  bool escapes = false;
  // The body loads modules, which bind names that no slot holds.
  bool loadsModules = false;

  int32_t find(Symbol name) const;
  size_t size() const { return names.size(); }
};

// Numbers the local names of every function and lambda in the tree at root
// and records the slot of each name node, loop, comprehension, definition
// and catch clause that reads or binds one. The parser runs it on every
// tree it makes.
void resolveSlots(const Node* root);

}  // namespace qlr
