// The interactive loop: entries end at a blank line and run in one persistent global scope.
#include <new>

#include "builtins/builtins.h"
#include "frontend/parser.h"
#include "host/host.h"
#include "interp/interpreter.h"

namespace qlr {

namespace {

const char* const kReplName = "<repl>";

// What an entry that ran out of memory outside its statements (lexing,
// parsing, a line too long to hold) reports: a MemoryError, as if a
// statement had raised it.
constexpr std::string_view kReplOutOfMemory = "MemoryError: out of memory";

void runEntry(Interpreter& interp, const std::string& entry) {
  interp.restoreMemoryReserve();  // spent by an earlier entry that ran out
  try {
    const Node* tree = interp.keepTree(parseSource(entry, kReplName));
    Flow flow = interp.execBlock(tree, interp.globals.get());
    if (flow == Flow::ErrorSignal) {
      reportThrown(ReportForm::Interactive, kReplName, interp.inFlight);
    } else if (flow != Flow::Normal) {
      writeDiagnostic({kReplName, signalText(flow)});
    }
  } catch (const WriteFailure&) {
    throw;  // the loop cannot go on without its output
  } catch (const QuilloraFatal& fatal) {  // a Ctrl-C among them
    writeDiagnostic({fatal.what()});
  } catch (const std::bad_alloc&) {
    writeDiagnostic({kReplOutOfMemory});
  }
  interp.inFlight = Value();  // also after a Ctrl-C or a fatal error
}

class PlainInput : public LineInput {
 public:
  LineRead read(const char* prompt, std::string& line) override {
    writeOutput(prompt);
    flushOutput();
    return readStdinLine(line) ? LineRead::Line : LineRead::End;
  }
};

}  // namespace

std::unique_ptr<LineInput> plainInput() { return std::make_unique<PlainInput>(); }

void Interpreter::runRepl() {
  RuntimeActivation active = activate();
  writeOutput("Quillora Native REPL (.qlr) -- type 'exit' to quit, blank line ends a block\n");
  moduleDir = std::string(1, '.');  // modules come from the working directory
  std::unique_ptr<LineInput> input = atTerminal() ? terminalInput(*this) : plainInput();
  std::string entry;
  std::string line;
  for (;;) {
    try {
      LineRead got = input->read(entry.empty() ? "qlr> " : "...> ", line);
      if (got == LineRead::End) break;
      if (got == LineRead::Interrupted) {
        writeOutput("\n");  // the fresh prompt starts a line of its own
        entry.clear();
        continue;
      }
      if (!line.empty() && line.back() == '\r') line.pop_back();  // CR LF input reads as LF input
      if (entry.empty() && (line == "exit" || line == "quit")) return;
      if (!entry.empty() && line.empty()) {
        runEntry(*this, entry);
        entry.clear();
      } else if (!line.empty()) {
        entry.append(line).push_back('\n');
      }
    } catch (const std::bad_alloc&) {
      // A line or an entry too long to hold: the entry is dropped.
      writeDiagnostic({kReplOutOfMemory});
      entry = std::string();
    }
  }
  writeOutput("\n");
  flushOutput();
}

int runInteractive() {
  try {
    Interpreter interp;
    interp.runRepl();
    flushOutput();
  } catch (const WriteFailure& failure) {
    writeDiagnostic({failure.what()});
    return 1;
  } catch (const std::bad_alloc&) {
    writeDiagnostic({kOutOfMemoryLine});
    return 1;
  }
  return 0;
}

}  // namespace qlr
