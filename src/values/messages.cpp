// The composed messages of the runtime error catalogue.
#include "values/messages.h"

#include <initializer_list>

#include "values/value.h"

namespace qlr::message {

namespace {

std::string join(std::initializer_list<std::string_view> parts) {
  std::string text;
  for (std::string_view part : parts) text += part;
  return text;
}

// text, which ends in "a ", followed by the kind of v.
std::string ofKind(std::string_view text, const Value& v) { return join({text, valueKind(v)}); }

}  // namespace

std::string notDefined(std::string_view name) { return join({"name '", name, "' is not defined"}); }

std::string noNonlocalBinding(std::string_view name) { return join({"no binding for nonlocal '", name, "'"}); }

std::string baseNotDefined(std::string_view name) { return join({"base blueprint '", name, "' is not defined"}); }

std::string unsupportedOperands(OpCode op, const Value& left, const Value& right) {
  return join({"unsupported operand types for '", opText(op), "': ", valueKind(left), " and ", valueKind(right)});
}

std::string cannotTestMembership(const Value& container) { return ofKind("cannot test membership in a ", container); }

std::string cannotNegate(const Value& operand) { return ofKind("cannot negate a ", operand); }

std::string indexNotInt(const Value& index) { return ofKind("index must be an int, got ", index); }

std::string keyNotFound(std::string_view key) { return join({"key '", key, "' not found"}); }

std::string cannotIndex(const Value& container) { return ofKind("cannot index into a ", container); }

std::string cannotAssignInto(const Value& container) { return ofKind("cannot assign into a ", container); }

std::string cannotRemoveIndex(const Value& container) { return ofKind("cannot remove an index from a ", container); }

std::string cannotLoopOver(const Value& iterable) { return ofKind("cannot loop over a ", iterable); }

std::string noAttribute(const Value& obj, std::string_view name) {
  if (obj.is(ValueKind::Instance)) return join({"'", obj.asInstance()->cls->name, "' has no attribute '", name, "'"});
  if (obj.is(ValueKind::Class)) return join({"class '", obj.asClass()->name, "' has no attribute '", name, "'"});
  return join({"cannot access attribute '", name, "' on a ", valueKind(obj)});
}

std::string cannotSetAttribute(const Value& obj, std::string_view name) {
  return join({"cannot set attribute '", name, "' on a ", valueKind(obj)});
}

std::string cannotCallAttribute(const Value& obj) { return ofKind("cannot call an attribute on a ", obj); }

std::string noAttributeToRemove(std::string_view name) { return join({"no attribute '", name, "' to remove"}); }

std::string notCallable(const Value& callee) { return join({"a ", valueKind(callee), " is not callable"}); }

std::string noSelfParameter(std::string_view function) {
  return join({"method '", function, "' declares no 'self' parameter"});
}

std::string tooManyArguments(std::string_view function, size_t expected, size_t got) {
  return join({"too many arguments to '", function, "' (expected at most ", std::to_string(expected), ", got ",
               std::to_string(got), ")"});
}

std::string missingArgument(std::string_view parameter, std::string_view function) {
  return join({"missing required argument '", parameter, "' in call to '", function, "'"});
}

std::string moduleNotFound(std::string_view name, std::string_view path) {
  return join({"module '", name, "' not found (looked for ", path, ")"});
}

std::string unhandledOperator(OpCode op) { return join({"internal error: unhandled operator '", opText(op), "'"}); }

}  // namespace qlr::message
