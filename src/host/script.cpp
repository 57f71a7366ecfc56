// Script mode: read the file, lex and parse it whole, then run it.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>

#include "builtins/builtins.h"
#include "frontend/parser.h"
#include "host/host.h"
#include "interp/interpreter.h"

namespace qlr {

namespace {

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

bool readWholeFile(const std::string& path, std::string& text, FileKinds kinds) {
  // Opening a FIFO for reading waits for a writer unless it does not block;
  // the kind is then checked on what was opened, not on the path, which
  // could change in between.
  int flags = O_RDONLY | O_CLOEXEC | (kinds == FileKinds::RegularOnly ? O_NONBLOCK : 0);
  Descriptor file(::open(path.c_str(), flags));
  if (file.get() < 0) return false;
  struct stat info;
  if (::fstat(file.get(), &info) != 0) return false;
  bool regular = S_ISREG(info.st_mode);
  if (kinds == FileKinds::RegularOnly && !regular) return false;
  text.clear();
  if (regular) text.reserve(static_cast<size_t>(info.st_size));
  char chunk[65536];
  for (;;) {
    ssize_t got = ::read(file.get(), chunk, sizeof chunk);
    if (got == 0) return true;
    if (got > 0) {
      text.append(chunk, static_cast<size_t>(got));
    } else if (errno != EINTR) {
      return false;  // a folder opens, but reading it fails
    }
  }
}

int runScriptFile(const std::string& path) {
  try {
    std::string source;
    if (!readWholeFile(path, source, FileKinds::Any)) {
      writeDiagnostic({"qlr: no such file: ", path});
      return 1;
    }
    Interpreter interp;
    RuntimeActivation active = interp.activate();  // the tree's names are interned in its symbol table
    std::unique_ptr<Node> program = parseSource(source, path);
    interp.run(program.get(), path);
    flushOutput();
  } catch (const QuilloraFatal& fatal) {  // a WriteFailure among them
    writeDiagnostic({fatal.what()});
    return 1;
  } catch (const std::bad_alloc&) {
    writeDiagnostic({kOutOfMemoryLine});
    return 1;
  }
  return 0;
}

}  // namespace qlr
