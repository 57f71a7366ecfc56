// Script mode: read the file, lex and parse it whole, then run it.
#include <cstdio>

#include "frontend/parser.h"
#include "frontend/token.h"
#include "host/host.h"
#include "interp/interpreter.h"

namespace qlr {

bool readWholeFile(const std::string& path, std::string& text) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  text.clear();
  char chunk[65536];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, got);
  bool failed = std::ferror(file) != 0;  // a folder opens, but reading it fails
  std::fclose(file);
  return !failed;
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
