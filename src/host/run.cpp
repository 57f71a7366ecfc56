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

void reportThrown(ReportForm form, std::string_view path, const Value& thrown) noexcept {
  bool script = form == ReportForm::Script;
  const InstanceValue* error = thrown.is(ValueKind::Instance) ? thrown.asInstance() : nullptr;
  std::string_view kind = error ? std::string_view(error->cls->name) : script ? "Error" : "error";
  const Value* shown = error ? error->fields.find(kMsgSymbol) : &thrown;
  if (!shown && !script) shown = &thrown;  // an instance without "msg" shows itself
  std::string rendered;
  std::string_view message = "uncaught error";
  if (shown) {
    try {
      rendered = valueToString(*shown, false);
      message = rendered;
    } catch (...) {
      message = shown->is(ValueKind::String) ? shown->asString()->view() : "(message could not be rendered)";
    }
  }
  writeDiagnostic({script ? path : "", script ? ": uncaught " : "", kind, ": ", message});
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

void writeDiagnostic(std::initializer_list<std::string_view> parts) noexcept {
  flushStdout();  // what the script printed first stays first on a terminal
  for (std::string_view part : parts) std::fwrite(part.data(), 1, part.size(), stderr);
  std::fputc('\n', stderr);
  std::fflush(stderr);
}

void Interpreter::run(const Node* program, const std::string& path) {
  RuntimeActivation active = activate();
  moduleDir = moduleDirOf(path);
  Flow flow = execBlock(program, globals.get());
  if (flow == Flow::Normal) return;
  // Output the script wrote before it failed must not be lost unnoticed either.
  if (int error = flushStdout()) writeDiagnostic({kWriteErrorPrefix, std::strerror(error)});
  if (flow == Flow::ErrorSignal) {
    reportThrown(ReportForm::Script, path, inFlight);
  } else {
    writeDiagnostic({path, signalText(flow)});
  }
  std::exit(1);
}

}  // namespace qlr
