// The built-in functions: a table in each file, bound into every new global scope.
//
// Each file of this folder defines its built-ins as functions of its own,
// each taking its NativeFn (for the interpreter pointer) and the evaluated
// arguments, and lists them by name in one table; builtins.cpp binds the
// tables' entries in a fixed order. Built-ins check only the arguments they
// use, ignore any further ones, and raise every error with line 0: a
// built-in does not know the line of its call.
//
// The argument readers below hold the checks that the built-ins share: each
// takes the message to raise as an ArgumentError when the argument is
// missing or of the wrong kind, and returns it as the kind it asked for, so
// that a built-in reads as its own rule. They are inline because append,
// sizeof, nums, joinstr and splitstr are on the hot paths of scripts; only
// a failure leaves the caller, through the cold fail.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "interp/interpreter.h"

namespace qlr {

// Reads one line from standard input without its line feed; false at end
// of input. Shared by getuser and the interactive loop. A line too long to
// hold in memory is skipped to its end and throws std::bad_alloc.
bool readStdinLine(std::string& line);

// Standard output, for out, getuser, cmd and the host. Writes are
// buffered; a write error, whenever the buffer meets it, is found in the
// stream's error state and raises WriteFailure (support/fatal.h). The
// stream and its first error belong to the process, not to an interpreter.
void writeOutput(std::string_view text);
// Flushes standard output; WriteFailure when anything written did not arrive.
void flushOutput();
// flushOutput for a caller that is already ending: 0 when everything
// arrived, else the errno of the first failed write.
int flushStdout() noexcept;

namespace builtins {

// A built-in as a file lists it: the global name and the function.
struct Builtin {
  const char* name;
  NativeFn::Call call;
};
using Table = std::span<const Builtin>;

// The tables, one a file.
extern const Table kIoBuiltins;          // io.cpp: the process's streams and host
extern const Table kReflectBuiltins;     // reflect.cpp: inspection and attributes by name
extern const Table kCollectionBuiltins;  // collections.cpp: ranges, lists, dicts, strings
extern const Table kNumericBuiltins;     // numeric.cpp
extern const Table kConvertBuiltins;     // convert.cpp

// Raises an error of kind whose message is the parts joined, with line 0.
// Out of line and cold, so that the checks calling it stay small.
[[noreturn, gnu::cold, gnu::noinline]] void fail(NativeFn& self, const char* kind, std::string_view message,
                                                 std::string_view more = {}, std::string_view end = {});

// Raises ArgumentError with message: how the readers below fail. self
// comes second because a built-in receives it second (the address of its
// result comes first), so a check need not move it on the path that passes.
[[noreturn, gnu::cold, gnu::noinline]] void argumentError(const char* message, NativeFn& self);

// Raises ArgumentError with message unless args has at least count entries.
inline void need(NativeFn& self, Args args, size_t count, const char* message) {
  if (args.size() < count) argumentError(message, self);
}

// The argument at position; ArgumentError with message when the call has
// fewer arguments.
inline const Value& arg(NativeFn& self, Args args, size_t position, const char* message) {
  need(self, args, position + 1, message);
  return args[position];
}

// The argument at position, which must be of kind; ArgumentError with
// message when it is missing or of another kind.
inline const Value& kindArg(NativeFn& self, Args args, size_t position, ValueKind kind, const char* message) {
  if (args.size() <= position || !args[position].is(kind)) argumentError(message, self);
  return args[position];
}
inline ListValue& listArg(NativeFn& self, Args args, size_t position, const char* message) {
  return *kindArg(self, args, position, ValueKind::List, message).asList();
}
inline DictValue& dictArg(NativeFn& self, Args args, size_t position, const char* message) {
  return *kindArg(self, args, position, ValueKind::Dict, message).asDict();
}
inline std::string_view stringArg(NativeFn& self, Args args, size_t position, const char* message) {
  return kindArg(self, args, position, ValueKind::String, message).asString()->view();
}
inline int64_t intArg(NativeFn& self, Args args, size_t position, const char* message) {
  return kindArg(self, args, position, ValueKind::Int, message).asInt();
}

// The number at position (present: the caller checked) as a double; a
// non-number raises TypeMismatchError name + ": expected a number".
double numArg(NativeFn& self, Args args, size_t position, const char* name);

// The int a whole float converts to; NaN, infinities and floats outside the
// 64-bit range raise ValueError.
int64_t floatToInt(NativeFn& self, double x);

}  // namespace builtins
}  // namespace qlr
