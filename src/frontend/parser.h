// The parser entry point: tokens to one Program tree.
//
// Recursive descent with ten expression levels (lambda and either at the
// bottom, primaries at the top) and one rule per statement. There is no
// recovery: the first syntax error ends the parse with a QuilloraFatal
// carrying "file:line: parse error: message (near 'token')".
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "frontend/node.h"
#include "frontend/token.h"

namespace qlr {

// Deepest nesting of brackets, prefix operators, right operands of "**",
// lambda bodies and blocks the parser accepts. The parser and the evaluator
// recurse once per level on the native stack; the bound keeps hostile input
// (a hundred thousand "(" in a row) an orderly "too deeply nested" error
// instead of a stack overflow, while leaving far more room than any real
// script uses.
inline constexpr int kMaxNestingDepth = 256;

std::unique_ptr<Node> parseProgram(const std::vector<Token>& tokens, const std::string& fileName);

// lex then parseProgram: the tree of a whole source. The tokens are gone
// by the time it returns, so only the tree stays in memory. Throws
// QuilloraFatal on the first lexical or syntax error.
std::unique_ptr<Node> parseSource(const std::string& source, const std::string& fileName);

}  // namespace qlr
