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
#include <string>

#include "interp/errors.h"
#include "values/value.h"

namespace qlr {

// Native stack for the thread that runs scripts. The deepest script
// recursion the interpreter allows (kMaxCallDepth) needs a few hundred bytes
// per call in an optimised build and a few kilobytes under AddressSanitizer;
// the stack is only reserved address space, so generous costs nothing.
inline constexpr std::size_t kInterpreterStackBytes = std::size_t{4} << 30;

// Runs body on a thread with kInterpreterStackBytes of stack and returns its result.
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

// "Kind: message" for a thrown value, as the top-level reports write it;
// missingMessage stands in for an instance without a "msg" field.
std::string describeThrown(const Value& thrown, const std::string& missingMessage);

// The text after the file name that reports a back, stop or skip outside its construct.
const char* signalText(Flow flow);

// Writes one diagnostic line to standard error and flushes it.
void writeDiagnostic(const std::string& line);

}  // namespace qlr
