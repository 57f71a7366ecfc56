// The interactive loop: entries end at a blank line and run in one persistent global scope.
#include "builtins/builtins.h"
#include "frontend/parser.h"
#include "frontend/token.h"
#include "host/host.h"
#include "interp/interpreter.h"

namespace qlr {

namespace {

const char* const kReplName = "<repl>";

void runEntry(Interpreter& interp, const std::string& entry) {
  try {
    std::unique_ptr<Node> program;
    {
      std::vector<Token> tokens = lex(entry, kReplName);
      program = parseProgram(tokens, kReplName);
    }
    const Node* tree = program.get();
    interp.keepTree(std::move(program));
    Flow flow = interp.execBlock(tree, interp.globals.get());
    if (flow == Flow::ErrorSignal) {
      const Value& thrown = interp.pending;
      std::string rendered = valueToString(thrown, false);
      writeDiagnostic(thrown.is(ValueKind::Instance) ? describeThrown(thrown, rendered) : "error: " + rendered);
    } else if (flow != Flow::Normal) {
      std::string report = kReplName;
      report += signalText(flow);
      writeDiagnostic(report);
    }
    interp.pending = Value();
  } catch (const WriteFailure&) {
    throw;  // the loop cannot go on without its output
  } catch (const QuilloraFatal& fatal) {
    writeDiagnostic(fatal.what());
  }
}

}  // namespace

void Interpreter::runRepl() {
  writeOutput("Quillora Native REPL (.qlr) -- type 'exit' to quit, blank line ends a block\n");
  moduleDir = std::string(1, '.');  // modules come from the working directory
  std::string pending;
  std::string line;
  for (;;) {
    writeOutput(pending.empty() ? "qlr> " : "...> ");
    flushOutput();
    if (!readStdinLine(line)) {
      writeOutput("\n");
      flushOutput();
      return;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();  // CR LF input reads as LF input
    if (pending.empty()) {
      if (line == "exit" || line == "quit") return;
    } else if (line.empty()) {
      runEntry(*this, pending);
      pending.clear();
      continue;
    }
    if (!line.empty()) pending.append(line).push_back('\n');
  }
}

int runInteractive() {
  try {
    Interpreter interp;
    interp.runRepl();
    flushOutput();
  } catch (const WriteFailure& failure) {
    writeDiagnostic(failure.what());
    return 1;
  }
  return 0;
}

}  // namespace qlr
