// Built-ins that touch the process's streams and host: out, getuser, cmd.
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "builtins/builtins.h"
#include "support/budget.h"

namespace qlr {

namespace {

// The errno of the first failed write to standard output. Later calls may
// overwrite errno before the failure is reported, and every report of it
// must name the same cause. Standard output is the process's, and so is
// its first failure, whichever interpreter met it on whichever thread.
std::atomic<int> firstOutputError{0};

int outputError() {
  int none = 0;
  firstOutputError.compare_exchange_strong(none, errno != 0 ? errno : EIO);
  return firstOutputError.load();
}

[[noreturn, gnu::cold, gnu::noinline]] void outputFailed() { throw WriteFailure(outputError()); }

// Whether the next getc on stdin reads the descriptor: nothing is
// buffered, and the end of input was not met (stdio does not read past
// it again). Only glibc shows its buffer; elsewhere the answer is no, and
// a Ctrl-C that comes just before a read is seen once a line arrives.
bool stdinWouldRead() {
#if defined(__GLIBC__)
  return stdin->_IO_read_ptr >= stdin->_IO_read_end && !std::feof(stdin);
#else
  return false;
#endif
}

}  // namespace

bool readStdinLine(std::string& line) {
  line.clear();
  bool any = false;
  for (;;) {
    if (stdinWouldRead() && interruptedBeforeInput(STDIN_FILENO)) takeInterrupt();
    int c = std::getc(stdin);
    if (c == EOF) {
      // A signal with a handler breaks off the read: a Ctrl-C at the
      // interactive prompt is taken, anything else read through.
      if (!std::ferror(stdin) || errno != EINTR) break;
      std::clearerr(stdin);
      pollInterrupt();
      continue;
    }
    any = true;
    if (c == '\n') return true;
    try {
      line += static_cast<char>(c);
    } catch (const std::bad_alloc&) {
      // A line too long to hold is dropped whole: what is left of it must
      // not be read as the next line.
      while ((c = std::getc(stdin)) != EOF && c != '\n') {
      }
      line = std::string();
      throw;
    }
  }
  return any;
}

void writeOutput(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  // The flag is sticky and set by whichever write met the error, so one
  // test after each write finds it as soon as the buffer does.
  if (ferror_unlocked(stdout)) [[unlikely]] outputFailed();
}

int flushStdout() noexcept {
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return 0;
  return outputError();
}

void flushOutput() {
  if (flushStdout() != 0) outputFailed();
}

namespace builtins {

namespace {

Value out(NativeFn&, Args args) {
  std::string text;
  for (size_t i = 0; i < args.size(); ++i) {
    if (i) text += ' ';
    appendValue(text, args[i], false);
  }
  text += '\n';
  writeOutput(text);
  return Value();
}

Value getuser(NativeFn&, Args args) {
  if (!args.empty()) {
    writeOutput(valueToString(args[0], false));
    flushOutput();
  }
  std::string line;
  if (!readStdinLine(line)) throw QuilloraThrow{Value()};  // end of input: a thrown null
  return makeString(line);
}

Value cmd(NativeFn& self, Args args) {
  std::string_view command = stringArg(self, args, 0, "cmd(command) expects a string");
  // The command processor takes a C string: a NUL would silently cut the
  // command short and run what precedes it.
  if (command.find('\0') != std::string_view::npos)
    fail(self, "ArgumentError", "cmd(command) cannot contain a NUL byte");
  // What the script printed so far must come before the command's own
  // output. A failed flush is not raised here: the error state stays and
  // the next write or the final flush reports it, so an atlast block can
  // still run its clean-up commands after standard output failed.
  flushStdout();
  return Value::integer(static_cast<int32_t>(std::system(std::string(command).c_str())));
}

const Builtin kTable[] = {{"out", out}, {"getuser", getuser}, {"cmd", cmd}};

}  // namespace

constinit const Table kIoBuiltins = kTable;

}  // namespace builtins
}  // namespace qlr
