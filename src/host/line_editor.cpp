// The line editor of the interactive loop at a terminal, built on libedit where qlr is built with it.
//
// libedit reads keys through readCharacter, not its own reader: a Ctrl-C
// must end the line being typed at once (libedit's reader retries a read
// the signal broke off), and a line's bytes must reach the lexer as typed
// whatever the locale says (libedit's reader decodes by the locale and
// drops what it cannot). Keys are decoded here as UTF-8; a byte that is
// not part of UTF-8 travels as a code point of its own in U+DC80..U+DCFF
// and becomes that byte again when the line is done. The locale set from
// the environment only decides how libedit shows characters.
#if defined(QLR_LINE_EDITING)

#include <histedit.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <utility>

#include "builtins/builtins.h"
#include "host/host.h"
#include "support/budget.h"

namespace qlr {

namespace {

// The code point a byte that is not UTF-8 travels as: kRawByte + byte.
constexpr wchar_t kRawByte = 0xDC00;

// Key sequences bound beyond libedit's own: Ctrl-Left and Ctrl-Right move
// by words, Home, End and Delete do what they say, in the forms of the
// usual terminals.
constexpr std::pair<const char*, const char*> kMoreKeys[] = {
    {"\\e[1;5D", "ed-prev-word"},    {"\\e[1;5C", "em-next-word"},       {"\\e[H", "ed-move-to-beg"},
    {"\\e[F", "ed-move-to-end"},     {"\\e[1~", "ed-move-to-beg"},       {"\\e[4~", "ed-move-to-end"},
    {"\\e[3~", "ed-delete-next-char"},
};

enum class Decoded { Complete, NeedMore, Invalid };

// Decodes the UTF-8 character at the start of bytes into c and its length.
Decoded decodeUtf8(std::string_view bytes, wchar_t& c, size_t& length) {
  auto lead = static_cast<unsigned char>(bytes[0]);
  if (lead < 0x80) {
    c = lead;
    length = 1;
    return Decoded::Complete;
  }
  size_t need = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3 : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
  if (need == 0) return Decoded::Invalid;
  char32_t code = lead & (0x7F >> need);
  for (size_t i = 1; i < need; ++i) {
    if (i == bytes.size()) return Decoded::NeedMore;
    auto next = static_cast<unsigned char>(bytes[i]);
    if ((next & 0xC0) != 0x80) return Decoded::Invalid;
    code = code << 6 | (next & 0x3F);
  }
  char32_t least = need == 2 ? 0x80 : need == 3 ? 0x800 : 0x10000;
  if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return Decoded::Invalid;
  c = static_cast<wchar_t>(code);
  length = need;
  return Decoded::Complete;
}

std::wstring toWide(std::string_view bytes) {
  std::wstring wide;
  while (!bytes.empty()) {
    wchar_t c;
    size_t length;
    if (decodeUtf8(bytes, c, length) != Decoded::Complete) {
      c = kRawByte + static_cast<unsigned char>(bytes[0]);
      length = 1;
    }
    wide += c;
    bytes.remove_prefix(length);
  }
  return wide;
}

std::string toBytes(const wchar_t* text, size_t n) {
  std::string bytes;
  for (size_t i = 0; i < n; ++i) {
    auto c = static_cast<char32_t>(text[i]);
    if (c < 0x80) {
      bytes += static_cast<char>(c);
    } else if (c >= kRawByte + 0x80u && c <= kRawByte + 0xFFu) {
      bytes += static_cast<char>(c - kRawByte);
    } else if (c < 0x800) {
      bytes += static_cast<char>(0xC0 | c >> 6);
      bytes += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      bytes += static_cast<char>(0xE0 | c >> 12);
      bytes += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      bytes += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      bytes += static_cast<char>(0xF0 | c >> 18);
      bytes += static_cast<char>(0x80 | (c >> 12 & 0x3F));
      bytes += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      bytes += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return bytes;
}

class LineEditor : public LineInput {
 public:
  explicit LineEditor(const Interpreter& interp);
  ~LineEditor() override;
  LineEditor(const LineEditor&) = delete;
  LineEditor& operator=(const LineEditor&) = delete;

  bool started() const { return editor_ && keys_; }
  LineRead read(const char* prompt, std::string& line) override;

 private:
  static LineEditor& of(EditLine* editor);
  static char* promptText(EditLine* editor) { return const_cast<char*>(of(editor).prompt_); }
  static int readKey(EditLine* editor, wchar_t* c) { return of(editor).readCharacter(*c); }
  static unsigned char onTab(EditLine* editor, int) { return of(editor).completeWord(); }
  int readCharacter(wchar_t& c);
  unsigned char completeWord();
  void remember(const std::string& line);

  InterruptCatcher catcher_;
  const Interpreter& interp_;
  std::string previousLocale_;
  EditLine* editor_ = nullptr;
  HistoryW* keys_ = nullptr;  // the history Up and Down walk
  History history_;           // the same lines, as bytes, for the file
  std::string historyFile_ = historyPath();
  const char* prompt_ = "";
  std::string undecoded_;  // bytes read that make no character yet
  bool inputEnded_ = false;
};

LineEditor::LineEditor(const Interpreter& interp) : interp_(interp) {
  if (const char* locale = std::setlocale(LC_CTYPE, nullptr)) previousLocale_ = locale;
  std::setlocale(LC_CTYPE, "");
  editor_ = el_init("qlr", stdin, stdout, stderr);
  keys_ = history_winit();
  if (!started()) return;
  HistEventW event;
  history_w(keys_, &event, H_SETSIZE, static_cast<int>(kHistoryLines));
  if (!historyFile_.empty()) history_.load(historyFile_);
  for (const std::string& line : history_.lines()) history_w(keys_, &event, H_ENTER, toWide(line).c_str());
  el_set(editor_, EL_CLIENTDATA, this);
  el_set(editor_, EL_EDITOR, "emacs");
  el_set(editor_, EL_PROMPT, &LineEditor::promptText);
  el_set(editor_, EL_GETCFN, &LineEditor::readKey);
  el_wset(editor_, EL_HIST, history_w, keys_);
  // The wide form keeps the strings it is given; the narrow one copies them and never frees the copies.
  el_wset(editor_, EL_ADDFN, L"qlr-complete", L"Complete the name before the cursor", &LineEditor::onTab);
  el_set(editor_, EL_BIND, "^I", "qlr-complete", nullptr);
  // Keys of common terminals that libedit does not know by itself.
  for (const auto& [keys, action] : kMoreKeys) el_set(editor_, EL_BIND, keys, action, nullptr);
  // Alt-x would open libedit's own command line, which reads no Quillora
  // and can write files; the key does nothing instead.
  el_set(editor_, EL_BIND, "\\ex", "ed-unassigned", nullptr);
  el_set(editor_, EL_BIND, "\\eX", "ed-unassigned", nullptr);
}

LineEditor::~LineEditor() {
  if (editor_) el_end(editor_);
  if (keys_) history_wend(keys_);
  if (!historyFile_.empty() && started()) history_.save(historyFile_);
  std::setlocale(LC_CTYPE, previousLocale_.empty() ? "C" : previousLocale_.c_str());
}

LineEditor& LineEditor::of(EditLine* editor) {
  void* self = nullptr;
  el_get(editor, EL_CLIENTDATA, &self);
  return *static_cast<LineEditor*>(self);
}

LineRead LineEditor::read(const char* prompt, std::string& line) {
  interruptRequested = 0;  // a Ctrl-C after the last entry's last checkpoint has nothing left to stop
  prompt_ = prompt;
  flushOutput();  // what the last entry printed comes before the prompt
  int count = 0;
  const wchar_t* text = el_wgets(editor_, &count);
  if (interruptRequested) {
    interruptRequested = 0;
    undecoded_.clear();
    return LineRead::Interrupted;
  }
  if (!text) return LineRead::End;
  line = toBytes(text, static_cast<size_t>(count));
  if (!line.empty() && line.back() == '\n') line.pop_back();
  dropEscapeSequences(line);
  remember(line);
  return LineRead::Line;
}

void LineEditor::remember(const std::string& line) {
  if (line.empty() || !history_.add(line)) return;
  HistEventW event;
  history_w(keys_, &event, H_ENTER, toWide(line).c_str());
}

int LineEditor::readCharacter(wchar_t& c) {
  for (;;) {
    if (!undecoded_.empty()) {
      size_t length = 0;
      Decoded decoded = decodeUtf8(undecoded_, c, length);
      if (decoded == Decoded::Invalid || (decoded == Decoded::NeedMore && inputEnded_)) {
        c = kRawByte + static_cast<unsigned char>(undecoded_[0]);
        length = 1;
        decoded = Decoded::Complete;
      }
      if (decoded == Decoded::Complete) {
        undecoded_.erase(0, length);
        return 1;
      }
    }
    if (inputEnded_) return 0;
    if (interruptedBeforeInput(STDIN_FILENO)) return -1;  // ends el_wgets; read() sees the flag
    char byte;
    ssize_t got = ::read(STDIN_FILENO, &byte, 1);
    if (got == 1) {
      undecoded_ += byte;
    } else if (got == 0 || errno != EINTR) {
      inputEnded_ = true;  // the end of input, or a terminal that went away
    }
  }
}

unsigned char LineEditor::completeWord() {
  const LineInfoW* info = el_wline(editor_);
  Completion completion = completeAt(interp_, toBytes(info->buffer, static_cast<size_t>(info->cursor - info->buffer)));
  if (!completion.insert.empty()) {
    el_winsertstr(editor_, toWide(completion.insert).c_str());
    return CC_REFRESH;
  }
  if (completion.choices.empty()) return CC_ERROR;
  // The names that fit go below the line, which is then drawn again.
  std::string listing = "\r\n";
  for (const std::string& name : completion.choices) listing.append(name).append("  ");
  listing.append("\r\n");
  std::fwrite(listing.data(), 1, listing.size(), stdout);
  return CC_REDISPLAY;
}

}  // namespace

std::unique_ptr<LineInput> lineEditor(const Interpreter& interp) {
  auto editor = std::make_unique<LineEditor>(interp);
  if (!editor->started()) return nullptr;
  return editor;
}

}  // namespace qlr

#endif
