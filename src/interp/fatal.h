// QuilloraFatal: the one error a script cannot catch.
//
// Lexical and syntax errors and the evaluator's internal faults travel as
// QuilloraFatal. It carries nothing but its finished message (file name and
// line already inside it); only main and the interactive loop catch it.
#pragma once

#include <stdexcept>
#include <string>

namespace qlr {

class QuilloraFatal : public std::runtime_error {
 public:
  explicit QuilloraFatal(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace qlr
