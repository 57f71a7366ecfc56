// The interactive loop at a terminal: Ctrl-C, escape sequences, completion and history.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "frontend/token.h"
#include "host/host.h"
#include "interp/interpreter.h"
#include "support/budget.h"

namespace qlr {

namespace {

constexpr char kEscape = '\x1b';

void onInterrupt(int) { interruptRequested = 1; }

bool isWordByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// Reading without line editing: the terminal's own line discipline edits,
// and a Ctrl-C breaks off the read (readStdinLine raises Interrupted).
class PlainTerminalInput : public LineInput {
 public:
  LineRead read(const char* prompt, std::string& line) override {
    interruptRequested = 0;  // a Ctrl-C after the last entry's last checkpoint has nothing left to stop
    try {
      LineRead got = plain_->read(prompt, line);
      pollInterrupt();  // one that came as the read ended
      if (got == LineRead::Line) dropEscapeSequences(line);
      return got;
    } catch (const Interrupted&) {
      return LineRead::Interrupted;
    }
  }

 private:
  InterruptCatcher catcher_;
  std::unique_ptr<LineInput> plain_ = plainInput();
};

}  // namespace

bool atTerminal() { return ::isatty(STDIN_FILENO) == 1 && ::isatty(STDOUT_FILENO) == 1; }

std::unique_ptr<LineInput> terminalInput([[maybe_unused]] const Interpreter& interp) {
#if defined(QLR_LINE_EDITING)
  if (std::unique_ptr<LineInput> editor = lineEditor(interp)) return editor;
#endif
  return std::make_unique<PlainTerminalInput>();
}

InterruptCatcher::InterruptCatcher() {
  struct sigaction action = {};
  action.sa_handler = onInterrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // not SA_RESTART: a read waiting for the user must break off
  installed_ = sigaction(SIGINT, nullptr, &previous_) == 0 && previous_.sa_handler == SIG_DFL &&
               sigaction(SIGINT, &action, nullptr) == 0;
}

InterruptCatcher::~InterruptCatcher() {
  if (installed_) sigaction(SIGINT, &previous_, nullptr);
  interruptRequested = 0;
}

void dropEscapeSequences(std::string& line) {
  std::string kept;
  for (size_t i = 0; i < line.size();) {
    if (line[i] != kEscape) {
      kept += line[i++];
      continue;
    }
    ++i;
    if (i < line.size() && line[i] == '[') {
      // A control sequence: parameter and intermediate bytes, then one final byte.
      ++i;
      while (i < line.size() && line[i] >= 0x20 && line[i] <= 0x3f) ++i;
      if (i < line.size() && line[i] >= 0x40 && line[i] <= 0x7e) ++i;
    } else if (i < line.size() && line[i] == 'O') {
      i += 2;  // a key of the keypad's application mode: one more byte
    } else if (i < line.size()) {
      ++i;  // a key typed with Alt
    }
  }
  line = std::move(kept);
}

Completion completeAt(const Interpreter& interp, std::string_view before) {
  Completion completion;
  if (before.find_first_not_of(' ') == std::string_view::npos) {
    completion.insert = kIndent;
    return completion;
  }
  size_t start = before.size();
  while (start > 0 && isWordByte(before[start - 1])) --start;
  std::string_view word = before.substr(start);
  bool attribute = start > 0 && before[start - 1] == '.';
  if (word.empty() || attribute || (word[0] >= '0' && word[0] <= '9')) return completion;
  std::vector<std::string> names;
  auto consider = [&](std::string_view name) {
    if (name.substr(0, word.size()) == word) names.emplace_back(name);
  };
  for (int k = static_cast<int>(Keyword::None) + 1; k <= static_cast<int>(Keyword::Ensure); ++k)
    consider(keywordText(static_cast<Keyword>(k)));
  for (const auto& binding : interp.globals->vars.entries()) consider(symbolName(binding.key));
  if (names.empty()) return completion;
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  // The sorted names agree as far as the first and the last do.
  const std::string& first = names.front();
  const std::string& last = names.back();
  size_t agreed = word.size();
  while (agreed < first.size() && agreed < last.size() && first[agreed] == last[agreed]) ++agreed;
  if (names.size() == 1) agreed = first.size();
  if (agreed > word.size()) {
    completion.insert = first.substr(word.size(), agreed - word.size());
  } else if (names.size() > 1) {
    completion.choices = std::move(names);
  }
  return completion;
}

std::string historyPath() {
  const char* home = std::getenv("HOME");
  if (!home || !*home) return std::string();
  return std::string(home) + "/.qlr_history";
}

bool History::add(std::string line) {
  if (!lines_.empty() && lines_.back() == line) return false;
  if (lines_.size() == kHistoryLines) lines_.erase(lines_.begin());
  lines_.push_back(std::move(line));
  return true;
}

void History::load(const std::string& path) {
  std::string text;
  if (!readWholeFile(path, text, FileKinds::RegularOnly)) return;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    if (end > start) add(text.substr(start, end - start));
    start = end + 1;
  }
}

void History::save(const std::string& path) const {
  // Opening a FIFO to write would wait for a reader unless it does not block.
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK, S_IRUSR | S_IWUSR);
  if (fd < 0) return;
  std::string text;
  for (const std::string& line : lines_) text.append(line).push_back('\n');
  for (size_t done = 0; done < text.size();) {
    ssize_t wrote = ::write(fd, text.data() + done, text.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote < 0) break;  // a full disk: what is there stays
    done += static_cast<size_t>(wrote);
  }
  ::close(fd);
}

}  // namespace qlr
