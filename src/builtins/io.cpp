// Built-ins that touch the process's streams and host: out, getuser, cmd.
#include <cstdio>
#include <cstdlib>

#include "builtins/builtins.h"

namespace qlr {

bool readStdinLine(std::string& line) {
  line.clear();
  bool any = false;
  for (int c; (c = std::getc(stdin)) != EOF;) {
    any = true;
    if (c == '\n') return true;
    line += static_cast<char>(c);
  }
  return any;
}

namespace builtins {

Value out(NativeFn&, Args args) {
  std::string text;
  for (size_t i = 0; i < args.size(); ++i) {
    if (i) text += ' ';
    appendValue(text, args[i], false);
  }
  text += '\n';
  std::fwrite(text.data(), 1, text.size(), stdout);
  return Value();
}

Value getuser(NativeFn&, Args args) {
  if (!args.empty()) {
    std::string prompt = valueToString(args[0], false);
    std::fwrite(prompt.data(), 1, prompt.size(), stdout);
    std::fflush(stdout);
  }
  std::string line;
  if (!readStdinLine(line)) throw QuilloraThrow{Value()};  // end of input: a thrown null
  return makeString(line);
}

Value cmd(NativeFn& self, Args args) {
  if (args.empty() || !args[0].is(ValueKind::String))
    self.interp->throwError("ArgumentError", "cmd(command) expects a string", 0);
  std::string_view command = args[0].asString()->view();
  // The command processor takes a C string: a NUL would silently cut the
  // command short and run what precedes it.
  if (command.find('\0') != std::string_view::npos)
    self.interp->throwError("ArgumentError", "cmd(command) cannot contain a NUL byte", 0);
  // What the script printed so far must come before the command's own output.
  std::fflush(stdout);
  return Value::integer(static_cast<int32_t>(std::system(std::string(command).c_str())));
}

}  // namespace builtins
}  // namespace qlr
