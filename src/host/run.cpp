// The top-level run of a program, and the one-line report of whatever escapes it.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "builtins/builtins.h"
#include "host/host.h"
#include "interp/interpreter.h"

namespace qlr {

std::string moduleDirOf(const std::string& path) {
  size_t sep = path.find_last_of("/\\");
  return sep == std::string::npos ? std::string() : path.substr(0, sep);
}

std::string describeThrown(const Value& thrown, const std::string& missingMessage) {
  static const Symbol msgSym = intern("msg");
  if (!thrown.is(ValueKind::Instance)) return "Error: " + valueToString(thrown, false);
  const InstanceValue* error = thrown.asInstance();
  const Value* msg = error->fields.find(msgSym);
  return error->cls->name + ": " + (msg ? valueToString(*msg, false) : missingMessage);
}

const char* signalText(Flow flow) {
  switch (flow) {
    case Flow::ReturnSignal:
      return ": 'back' used outside a function";
    case Flow::BreakSignal:
      return ": 'stop' used outside a loop";
    case Flow::ContinueSignal:
      return ": 'skip' used outside a loop";
    case Flow::Normal:
    case Flow::ErrorSignal:
      break;
  }
  return "";
}

void writeDiagnostic(const std::string& line) {
  flushStdout();  // what the script printed first stays first on a terminal
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fputc('\n', stderr);
  std::fflush(stderr);
}

void Interpreter::run(const Node* program, const std::string& path) {
  moduleDir = moduleDirOf(path);
  Flow flow = execBlock(program, globals.get());
  if (flow == Flow::Normal) return;
  // Output the script wrote before it failed must not be lost unnoticed either.
  if (int error = flushStdout()) writeDiagnostic(kWriteErrorPrefix + std::string(std::strerror(error)));
  if (flow == Flow::ErrorSignal) {
    writeDiagnostic(path + ": uncaught " + describeThrown(pending, "uncaught error"));
  } else {
    writeDiagnostic(path + signalText(flow));
  }
  std::exit(1);
}

}  // namespace qlr
