// The catalogue of runtime errors: every kind name and every message text, each written once.
//
// Whatever raises an error (an operator, indexing, an attribute lookup,
// a handler of the evaluator, module loading) takes its kind and its
// message from here, so one situation reads the same wherever it is
// detected. Messages without a variable part are constants; the others
// are composed by the functions below, which follow two rules: a kind of
// value comes after a text ending in "a " whatever the kind ("cannot
// index into a int"), and names and keys stand in single quotes.
//
// The messages of the built-in functions, and the lexical, syntax and
// report texts of the front end and the host, live with their code.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "frontend/node.h"

namespace qlr {

class Value;

// Error kinds: the names of the blueprints of runtime errors.
inline constexpr std::string_view kTypeMismatchError = "TypeMismatchError";
inline constexpr std::string_view kIndexError = "IndexError";
inline constexpr std::string_view kKeyError = "KeyError";
inline constexpr std::string_view kAttributeError = "AttributeError";
inline constexpr std::string_view kNameError = "NameError";
inline constexpr std::string_view kDivisionError = "DivisionError";
inline constexpr std::string_view kArgumentError = "ArgumentError";
inline constexpr std::string_view kAssertionError = "AssertionError";
inline constexpr std::string_view kImportError = "ImportError";
inline constexpr std::string_view kSyntaxError = "SyntaxError";
inline constexpr std::string_view kRecursionError = "RecursionError";
inline constexpr std::string_view kMemoryError = "MemoryError";

namespace message {

// Fixed messages.
inline constexpr std::string_view kListIndexOutOfRange = "list index out of range";
inline constexpr std::string_view kStringIndexOutOfRange = "string index out of range";
inline constexpr std::string_view kStringsAreImmutable = "strings are immutable";
inline constexpr std::string_view kAssertionFailed = "assertion failed";
inline constexpr std::string_view kInvalidAssignmentTarget = "invalid assignment target";
inline constexpr std::string_view kInvalidRemoveTarget = "invalid 'remove' target";
inline constexpr std::string_view kRecursionLimit = "maximum recursion depth exceeded";
inline constexpr std::string_view kOutOfMemory = "out of memory";

// The DivisionError of op with a zero divisor.
constexpr std::string_view divisionByZero(OpCode op) {
  return op == OpCode::Mod ? "modulo by zero" : "division by zero";
}

// Names.
std::string notDefined(std::string_view name);
std::string noNonlocalBinding(std::string_view name);
std::string baseNotDefined(std::string_view name);

// Operators, indexing and iteration.
std::string unsupportedOperands(OpCode op, const Value& left, const Value& right);
std::string cannotTestMembership(const Value& container);
std::string cannotNegate(const Value& operand);
std::string indexNotInt(const Value& index);
std::string keyNotFound(std::string_view key);
std::string cannotIndex(const Value& container);
std::string cannotAssignInto(const Value& container);
std::string cannotRemoveIndex(const Value& container);
std::string cannotLoopOver(const Value& iterable);

// Attributes. noAttribute is the failed read of name on obj: it names
// the blueprint of an instance or a blueprint, and the kind of anything else.
std::string noAttribute(const Value& obj, std::string_view name);
std::string cannotSetAttribute(const Value& obj, std::string_view name);
std::string cannotCallAttribute(const Value& obj);
std::string noAttributeToRemove(std::string_view name);

// Calls.
std::string notCallable(const Value& callee);
std::string noSelfParameter(std::string_view function);
std::string tooManyArguments(std::string_view function, size_t expected, size_t got);
std::string missingArgument(std::string_view parameter, std::string_view function);

// Modules.
std::string moduleNotFound(std::string_view name, std::string_view path);

// Internal faults, raised as QuilloraFatal: a tree no parser makes.
inline constexpr std::string_view kEvalGotStatement = "internal error: eval() got a statement node kind";
inline constexpr std::string_view kExecGotExpression = "internal error: exec() got an expression node kind";
inline constexpr std::string_view kBinaryWithoutOperator =
    "internal error: a binary operator node without a binary operator";
std::string unhandledOperator(OpCode op);

}  // namespace message
}  // namespace qlr
