// The built-in functions: one table, bound into every new global scope.
//
// Each built-in is a plain function taking its NativeFn (for the
// interpreter pointer) and the evaluated arguments. Built-ins check only
// the arguments they use, ignore any further ones, and raise every error
// with line 0: a built-in does not know the line of its call. The shared
// checkers below keep each built-in to its own rule.
#pragma once

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
// stream's error state and raises WriteFailure (interp/fatal.h).
void writeOutput(std::string_view text);
// Flushes standard output; WriteFailure when anything written did not arrive.
void flushOutput();
// flushOutput for a caller that is already ending: 0 when everything
// arrived, else the errno of the first failed write.
int flushStdout() noexcept;

namespace builtins {

// Raises ArgumentError with message unless args has at least count entries.
void need(NativeFn& self, Args args, size_t count, const char* message);
// The number in a numeric built-in's first argument, as a double; a
// non-number raises TypeMismatchError "name: expected a number".
double numArg(Args args, size_t position, const char* name, Interpreter& interp);
// The int a whole float converts to; NaN, infinities and floats outside the
// 64-bit range raise ValueError.
int64_t floatToInt(Interpreter& interp, double x);

// io.cpp
Value out(NativeFn& self, Args args);
Value getuser(NativeFn& self, Args args);
Value cmd(NativeFn& self, Args args);
// reflect.cpp
Value sizeOf(NativeFn& self, Args args);
Value kind(NativeFn& self, Args args);
Value grab(NativeFn& self, Args args);
Value put(NativeFn& self, Args args);
Value has(NativeFn& self, Args args);
Value classname(NativeFn& self, Args args);
// collections.cpp
Value nums(NativeFn& self, Args args);
Value append(NativeFn& self, Args args);
Value pop(NativeFn& self, Args args);
Value keys(NativeFn& self, Args args);
Value values(NativeFn& self, Args args);
Value joinstr(NativeFn& self, Args args);
Value splitstr(NativeFn& self, Args args);
// numeric.cpp
Value sqrt(NativeFn& self, Args args);
Value floor(NativeFn& self, Args args);
Value ceil(NativeFn& self, Args args);
Value absval(NativeFn& self, Args args);
Value roundval(NativeFn& self, Args args);
// convert.cpp
Value intval(NativeFn& self, Args args);
Value floatval(NativeFn& self, Args args);
Value strval(NativeFn& self, Args args);

}  // namespace builtins
}  // namespace qlr
