// QuilloraFatal, WriteFailure and Interrupted: the errors a script cannot catch.
//
// Lexical and syntax errors and the evaluator's internal faults travel as
// QuilloraFatal. It carries nothing but its finished message (file name and
// line already inside it); only main and the interactive loop catch it.
//
// Two of them come from outside the script and end its work whatever it
// does (an Unreplaceable): an atlast block still runs on the way out, but
// cannot replace them with a way out of its own (a back, stop, skip or
// error of its own). WriteFailure is the fatal error of a standard output
// that no longer takes what is written to it (a full disk, a closed
// descriptor, a reader gone from a pipe): nothing a script does afterwards
// can reach its reader, so the run ends at the first failed write, and the
// interactive loop ends on it too. Interrupted is a Ctrl-C at the
// interactive prompt (support/budget.h): the loop reports it and goes on.
#pragma once

#include <cstring>
#include <stdexcept>
#include <string>

namespace qlr {

class QuilloraFatal : public std::runtime_error {
 public:
  explicit QuilloraFatal(const std::string& message) : std::runtime_error(message) {}
};

// The report of a failed write is this, then the text of its errno.
inline constexpr const char* kWriteErrorPrefix = "qlr: write error: ";

class Unreplaceable : public QuilloraFatal {
 public:
  using QuilloraFatal::QuilloraFatal;
};

class WriteFailure : public Unreplaceable {
 public:
  // errorNumber is the errno of the failed write.
  explicit WriteFailure(int errorNumber) : Unreplaceable(kWriteErrorPrefix + std::string(std::strerror(errorNumber))) {}
};

class Interrupted : public Unreplaceable {
 public:
  Interrupted() : Unreplaceable("KeyboardInterrupt") {}
};

}  // namespace qlr
