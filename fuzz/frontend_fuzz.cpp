// Fuzz target: arbitrary bytes through the lexer and the parser.
#include <cstddef>
#include <cstdint>
#include <string>

#include "frontend/parser.h"
#include "frontend/symbols.h"
#include "frontend/token.h"
#include "support/fatal.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string source(reinterpret_cast<const char*>(data), size);
  qlr::FrontendRuntime runtime;  // only the front end runs: its part of a runtime is enough
  qlr::RuntimeActivation active(runtime);
  try {
    std::vector<qlr::Token> tokens = qlr::lex(source, "fuzz.qlr");
    qlr::parseProgram(tokens, "fuzz.qlr");
  } catch (const qlr::QuilloraFatal&) {
  }
  return 0;
}
