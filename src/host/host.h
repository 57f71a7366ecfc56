// The host: command line, script run, module loading and the interactive loop.
//
// main picks the mode from the command line and runs it on a thread with a
// large native stack (the evaluator recurses on the native stack, once per
// nested call and expression); the main thread only waits, with every
// signal blocked, so that signals reach the thread that reads and runs. A
// script is read whole, then lexed and parsed whole by the interpreter
// that will run it (its names are interned in that interpreter's symbol
// table) before any statement runs, so a lexical or syntax error anywhere
// in the file means no statement runs.
//
// The interactive loop (repl.cpp) takes its lines from a LineInput. When
// standard input or output is not a terminal, it reads plainly, as from a
// file or a pipe, and a signal acts on the process as on any other
// program. When both are terminals, a person is typing (terminal.cpp):
// SIGINT only sets the interrupt flag (support/budget.h), which stops a
// running entry at its next checkpoint or discards the entry being typed;
// lines are edited with libedit where qlr was built with it
// (QLR_LINE_EDITING, line_editor.cpp), with a history in ~/.qlr_history
// and Tab completion; and no escape sequence a key sends reaches the lexer.
// Script mode installs no signal handler: Ctrl-C ends a script as it ends
// any command-line tool, and cmd's children get it as usual.
#pragma once

#include <csignal>
#include <cstddef>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "interp/errors.h"
#include "values/value.h"

namespace qlr {

class Interpreter;

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

// What LineInput::read found.
enum class LineRead {
  Line,         // a line, without its line feed
  End,          // the end of input (or a read that failed)
  Interrupted,  // Ctrl-C while the line was typed
};

// Where the interactive loop reads its lines.
class LineInput {
 public:
  virtual ~LineInput() = default;
  // Shows prompt and reads one line.
  virtual LineRead read(const char* prompt, std::string& line) = 0;
};

// Reading as from a file or a pipe: the prompt written to standard output,
// the line read with readStdinLine.
std::unique_ptr<LineInput> plainInput();

// Whether standard input and standard output are both terminals.
bool atTerminal();

// The input of a loop at a terminal: a LineEditor where qlr was built with
// libedit and it starts, else plain reading that takes Ctrl-C and drops
// escape sequences. Either catches SIGINT while it lives.
std::unique_ptr<LineInput> terminalInput(const Interpreter& interp);

// While one lives, SIGINT sets interruptRequested instead of ending the
// process, and breaks off a read in progress. Where SIGINT was ignored
// when it began (a program started in the background), it stays ignored.
class InterruptCatcher {
 public:
  InterruptCatcher();
  ~InterruptCatcher();
  InterruptCatcher(const InterruptCatcher&) = delete;
  InterruptCatcher& operator=(const InterruptCatcher&) = delete;

 private:
  struct sigaction previous_;
  bool installed_;
};

// Removes from a line typed at a terminal every escape sequence (a
// function or cursor key that the line reader did not take, or an escape
// typed literally), so that none reaches the lexer.
void dropEscapeSequences(std::string& line);

// What Tab does at a cursor with the text before it on the line.
struct Completion {
  std::string insert;                // text to insert at the cursor
  std::vector<std::string> choices;  // when nothing is inserted: the names that fit, to list
};

// Where only blanks precede the cursor, Tab indents (a tab character in
// indentation is a lexical error). After the start of a name it completes
// the name as far as the keywords and the names bound in the global scope
// that fit agree, or lists them when they differ at once. Anywhere else,
// and after a "." (an attribute), it does nothing.
Completion completeAt(const Interpreter& interp, std::string_view before);

// The spaces Tab indents by: as the examples and editors indent.
inline constexpr std::string_view kIndent = "    ";

// The history file of the line editor, ".qlr_history" in the folder HOME
// names; "" when HOME is unset or empty.
std::string historyPath();

// Lines the history keeps, in a session and in its file: the oldest go
// first. Enough for weeks of sessions; each is a line typed, so the file
// stays small.
inline constexpr size_t kHistoryLines = 1000;

// The history of lines typed, oldest first, without a line repeating the
// one before it, and at most kHistoryLines long.
class History {
 public:
  // Adds a line; false when it repeats the last one and was not added.
  bool add(std::string line);
  // Reads the file at path, one line a line; a file that cannot be read adds nothing.
  void load(const std::string& path);
  // Writes the lines to path, readable by the user alone; a path that
  // cannot be written is left alone.
  void save(const std::string& path) const;
  const std::vector<std::string>& lines() const { return lines_; }

 private:
  std::vector<std::string> lines_;
};

#if defined(QLR_LINE_EDITING)
// The line editor at a terminal, or null when libedit cannot start on it.
std::unique_ptr<LineInput> lineEditor(const Interpreter& interp);
#endif

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
