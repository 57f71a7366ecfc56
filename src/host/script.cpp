// Script mode: read the file, lex and parse it whole, then run it.
#include <cstdio>
#include <fstream>
#include <sstream>

#include "frontend/parser.h"
#include "frontend/token.h"
#include "host/host.h"
#include "interp/interpreter.h"

namespace qlr {

bool readWholeFile(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  if (in.bad()) return false;  // a folder opens, but reading it fails
  text = buffer.str();
  return true;
}

int runScriptFile(const std::string& path) {
  std::string source;
  if (!readWholeFile(path, source)) {
    writeDiagnostic("qlr: no such file: " + path);
    return 1;
  }
  try {
    std::vector<Token> tokens = lex(source, path);
    std::unique_ptr<Node> program = parseProgram(tokens, path);
    Interpreter interp;
    interp.run(program.get(), path);
    std::fflush(stdout);
  } catch (const QuilloraFatal& fatal) {
    std::fflush(stdout);
    writeDiagnostic(fatal.what());
    return 1;
  }
  return 0;
}

}  // namespace qlr
