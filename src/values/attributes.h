// Attributes: the one lookup rule behind attribute reads, method calls and field writes.
//
// Only instances and blueprints have attributes. On an instance, a name is
// its own field if it has one (a field hides a method of the same name),
// else a method of its blueprint or the nearest base that defines one; a
// blueprint's own non-method attributes are not visible through its
// instances. On a blueprint, a name is one of its own attributes (not
// those of its bases), else a method along its base chain.
//
// Reading obj.name as a value (Interpreter::getAttr) wraps a method into a
// new native function bound to the instance; a call written obj.name(args)
// finds the same member and calls it directly (both in interp/calls.cpp,
// since a bound method calls back into the evaluator). Writing obj.name
// sets a field, on instances only (setField).
#pragma once

#include <cstdint>
#include <string_view>

#include "values/value.h"

namespace qlr {

// What a name finds on an object: a value (an instance's field or a
// blueprint's attribute), or else a method with the instance it is bound
// to (null when it was found through the blueprint). Neither: no member.
struct Member {
  const Value* value = nullptr;
  FunctionValue* method = nullptr;
  InstanceValue* receiver = nullptr;
};

// Whether a value of obj's kind has attributes at all: its failed lookups
// are AttributeErrors, those of every other kind TypeMismatchErrors.
inline bool hasAttributes(const Value& obj) { return obj.is(ValueKind::Instance) || obj.is(ValueKind::Class); }

// The field name of obj when obj is an instance that has one, else null.
// hint is the position hint of the node that reads it (SymbolMap::find).
[[gnu::always_inline]] inline Value* findField(const Value& obj, Symbol name, uint32_t& hint) {
  return obj.is(ValueKind::Instance) ? obj.asInstance()->fields.find(name, hint) : nullptr;
}

// The member name finds on obj by the rule above.
[[gnu::always_inline]] inline Member findMember(const Value& obj, Symbol name, uint32_t& hint) {
  Member member;
  if (obj.is(ValueKind::Instance)) {
    InstanceValue* instance = obj.asInstance();
    member.value = instance->fields.find(name, hint);
    if (!member.value) {
      member.method = instance->cls->findMethod(name);
      member.receiver = instance;
    }
  } else if (obj.is(ValueKind::Class)) {
    ClassValue* cls = obj.asClass();
    member.value = cls->attrs.find(name);
    if (!member.value) member.method = cls->findMethod(name);
  }
  return member;
}

// The error of a read of name that finds no member on obj: an
// AttributeError on what has attributes, a TypeMismatchError on the rest.
[[noreturn]] void noAttribute(const Value& obj, std::string_view name, int line, const ErrorReporter& report);

// obj.name = value: sets the field of an instance; any other kind raises
// through report.
void setField(const Value& obj, Symbol name, const Value& value, int line, const ErrorReporter& report);
// setField for a name a script built at run time: the name is interned
// only once the write is known to succeed, so a failed one does not grow
// the symbol table.
void setFieldByName(const Value& obj, std::string_view name, const Value& value, int line,
                    const ErrorReporter& report);

}  // namespace qlr
