// The host: command line, script run, module loading and the interactive loop.
//
// main picks the mode from the command line and runs it on a thread with a
// large native stack (the evaluator recurses on the native stack, once per
// nested call and expression). A script is read whole, lexed and parsed
// before any interpreter exists, so a lexical or syntax error anywhere in
// the file means no statement runs.
#pragma once

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

#include "interp/errors.h"
#include "values/value.h"

namespace qlr {

// Native stack for the thread that runs scripts. The deepest script
// recursion the interpreter allows (kMaxCallDepth) needs a few hundred bytes
// per call in an optimised build and a few kilobytes under AddressSanitizer;
// the stack is only reserved address space, so generous costs nothing.
inline constexpr std::size_t kInterpreterStackBytes = std::size_t{4} << 30;

// The stack to ask for when an address-space limit (ulimit -v) refuses the
// generous one. Reserved whole when the thread starts, it can never fail to
// grow, as the main thread's stack does once the heap has taken the rest of
// the limit. Four times the usual main-thread stack: kMaxCallDepth plain
// calls fit in an optimised build, and deeper frames meet the stack guard
// sooner, with a RecursionError all the same.
inline constexpr std::size_t kFallbackStackBytes = std::size_t{32} << 20;

// Runs body on a thread with kInterpreterStackBytes of stack, or failing
// that kFallbackStackBytes, or failing that on the calling thread, and
// returns its result.
int runOnLargeStack(const std::function<int()>& body);

// Script mode: runs the file at path; returns the exit status.
int runScriptFile(const std::string& path);

// Which files readWholeFile takes: any readable one (a script may come
// through /dev/stdin or a pipe), or only regular files (a module named
// after a FIFO would wait for a writer for ever, one linked to /dev/zero
// would read until memory runs out).
enum class FileKinds { Any, RegularOnly };

// Reads a whole file as bytes; false when it cannot be opened or read, or
// is not of the kinds asked for. Running out of memory throws std::bad_alloc.
bool readWholeFile(const std::string& path, std::string& text, FileKinds kinds);

// Interactive mode: runs the loop on the standard streams; returns the exit status.
int runInteractive();

// The folder modules are looked up in for a script at path: everything
// before the last "/" or "\\", or "" when there is none.
std::string moduleDirOf(const std::string& path);

// Where a thrown value that nothing caught is reported.
enum class ReportForm {
  Script,       // path + ": uncaught " + kind + ": " + message; "Error" for a non-instance
  Interactive,  // kind + ": " + message; "error: " + rendering for a non-instance
};

// Writes the report of a thrown value that nothing caught as one
// diagnostic line. It never throws: when the message cannot be rendered
// (memory has run out, or the value nests too deep) the line keeps the
// kind and shows the message only if it is a string.
void reportThrown(ReportForm form, std::string_view path, const Value& thrown) noexcept;

// The text after the file name that reports a back, stop or skip outside its construct.
const char* signalText(Flow flow);

// The line for running out of memory where no script error can carry it:
// reading, lexing or parsing a script, making the interpreter.
inline constexpr std::string_view kOutOfMemoryLine = "qlr: out of memory";

// Flushes standard output, then writes the parts as one line to standard
// error and flushes that. Allocates nothing, so it cannot fail.
void writeDiagnostic(std::initializer_list<std::string_view> parts) noexcept;

}  // namespace qlr
