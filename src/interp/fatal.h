// QuilloraFatal and WriteFailure: the errors a script cannot catch.
//
// Lexical and syntax errors and the evaluator's internal faults travel as
// QuilloraFatal. It carries nothing but its finished message (file name and
// line already inside it); only main and the interactive loop catch it.
//
// WriteFailure is the fatal error of a standard output that no longer takes
// what is written to it (a full disk, a closed descriptor, a reader gone
// from a pipe). Nothing a script does afterwards can reach its reader, so
// the run ends at the first failed write: an atlast block still runs on the
// way out, but cannot replace it with a way out of its own, and the
// interactive loop ends on it too.
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

class WriteFailure : public QuilloraFatal {
 public:
  // errorNumber is the errno of the failed write.
  explicit WriteFailure(int errorNumber) : QuilloraFatal(kWriteErrorPrefix + std::string(std::strerror(errorNumber))) {}
};

}  // namespace qlr
