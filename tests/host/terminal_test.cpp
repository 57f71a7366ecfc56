// Tests of the interactive loop's terminal helpers: escape sequences, Tab completion and the history file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "../values/value_builders.h"
#include "host/host.h"
#include "support/budget.h"

namespace qlr {
namespace {

using namespace qlr::testing;

std::string dropped(std::string line) {
  dropEscapeSequences(line);
  return line;
}

TEST(DropEscapeSequences, RemovesEveryFormAKeyOrALiteralEscapeTakes) {
  EXPECT_EQ(dropped("out(1)"), "out(1)");
  EXPECT_EQ(dropped("a\x1b[Ab"), "ab");          // a cursor key
  EXPECT_EQ(dropped("a\x1b[15~b"), "ab");        // a function key
  EXPECT_EQ(dropped("a\x1b[1;5Db"), "ab");       // with a modifier
  EXPECT_EQ(dropped("a\x1bOPb"), "ab");          // keypad application mode
  EXPECT_EQ(dropped("a\x1b" "fb"), "ab");        // a key with Alt
  EXPECT_EQ(dropped("\x1b[A\x1b[B"), "");        // nothing but keys
  EXPECT_EQ(dropped("ab\x1b"), "ab");            // cut short at the end of the line
  EXPECT_EQ(dropped("ab\x1b["), "ab");
  EXPECT_EQ(dropped("ab\x1b[12"), "ab");
  EXPECT_EQ(dropped("ab\x1bO"), "ab");
  EXPECT_EQ(dropped("\xc3\xa9\x1b[C\xff"), "\xc3\xa9\xff");  // other bytes stay as typed
}

Completion completed(Interpreter& interp, std::string_view before) { return completeAt(interp, before); }

TEST(CompleteAt, BlanksBeforeTheCursorIndent) {
  Interpreter interp;
  RuntimeActivation active = interp.activate();
  EXPECT_EQ(completed(interp, "").insert, kIndent);
  EXPECT_EQ(completed(interp, "    ").insert, kIndent);
}

TEST(CompleteAt, CompletesKeywordsBuiltinsAndGlobalsAsFarAsTheyAgree) {
  Interpreter interp;
  RuntimeActivation active = interp.activate();
  EXPECT_EQ(completed(interp, "out(sizeo").insert, "f");
  EXPECT_EQ(completed(interp, "blue").insert, "print");
  EXPECT_EQ(completed(interp, "x = orc").insert, "hk");
  runAndRead(interp, "alpha_one = 1\nalpha_two = 2\nlonely = 3\n", "lonely");
  EXPECT_EQ(completed(interp, "out(lon").insert, "ely");
  Completion shared = completed(interp, "out(alp");
  EXPECT_EQ(shared.insert, "ha_");
  EXPECT_TRUE(shared.choices.empty());
  // Where the names part at once, they are listed, sorted, each once.
  Completion listed = completed(interp, "out(alpha_");
  EXPECT_EQ(listed.insert, "");
  EXPECT_EQ(listed.choices, (std::vector<std::string>{"alpha_one", "alpha_two"}));
  EXPECT_EQ(completed(interp, "a").choices,
            (std::vector<std::string>{"absval", "add", "alpha_one", "alpha_two", "also", "append", "atlast",
                                      "attempt"}));
  // The names bound when Tab is pressed: a removed one is gone.
  runAndRead(interp, "remove alpha_one\n", "lonely");
  EXPECT_EQ(completed(interp, "out(alpha_").insert, "two");
}

TEST(CompleteAt, DoesNothingWhereNoNameCanGo) {
  Interpreter interp;
  RuntimeActivation active = interp.activate();
  for (std::string_view before : {"out(", "x = 12", "x = 1 +", "p.ou", "out(zzz", "out"}) {
    Completion completion = completed(interp, before);
    EXPECT_EQ(completion.insert, "") << before;
    EXPECT_TRUE(completion.choices.empty()) << before;
  }
}

// A pipe whose ends close with the test.
struct Pipe {
  Pipe() { EXPECT_EQ(pipe(ends), 0); }
  ~Pipe() {
    close(ends[0]);
    close(ends[1]);
  }
  int ends[2];
};

TEST(InterruptedBeforeInput, InputOrACtrlCEndsTheWait) {
  InterruptCatcher catcher;
  Pipe input;
  ASSERT_EQ(write(input.ends[1], "x", 1), 1);
  EXPECT_FALSE(interruptedBeforeInput(input.ends[0]));
  interruptRequested = 1;
  Pipe empty;
  EXPECT_TRUE(interruptedBeforeInput(empty.ends[0])) << "a flag already set does not wait";
  interruptRequested = 0;
}

TEST(InterruptedBeforeInput, ACtrlCThatCameJustBeforeTheWaitEndsItToo) {
  InterruptCatcher catcher;
  // The SIGINT arrives while the signal is blocked, as it would between
  // the test of the flag and the wait: it must still end the wait.
  sigset_t interrupt;
  sigset_t previous;
  sigemptyset(&interrupt);
  sigaddset(&interrupt, SIGINT);
  pthread_sigmask(SIG_BLOCK, &interrupt, &previous);
  raise(SIGINT);
  EXPECT_EQ(interruptRequested, 0) << "blocked, it waits";
  Pipe empty;
  EXPECT_TRUE(interruptedBeforeInput(empty.ends[0]));
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  interruptRequested = 0;
}

// A fresh folder for history files, removed afterwards.
class HistoryFile : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/qlr-history-XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    folder = name;
    path = folder + "/.qlr_history";
  }
  void TearDown() override {
    std::remove(path.c_str());
    rmdir(folder.c_str());
  }
  std::string content() const {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }
  std::string folder;
  std::string path;
};

TEST_F(HistoryFile, KeepsTheLastLinesUpToTheLimit) {
  History history;
  for (size_t i = 0; i < kHistoryLines; ++i) EXPECT_TRUE(history.add("x" + std::to_string(i)));
  EXPECT_EQ(history.lines().size(), kHistoryLines);
  EXPECT_EQ(history.lines().front(), "x0");
  EXPECT_TRUE(history.add("one more"));
  EXPECT_EQ(history.lines().size(), kHistoryLines);
  EXPECT_EQ(history.lines().front(), "x1");
  EXPECT_EQ(history.lines().back(), "one more");
}

TEST_F(HistoryFile, ALineRepeatingTheLastIsNotAdded) {
  History history;
  EXPECT_TRUE(history.add("a"));
  EXPECT_FALSE(history.add("a"));
  EXPECT_TRUE(history.add("b"));
  EXPECT_TRUE(history.add("a"));
  EXPECT_EQ(history.lines(), (std::vector<std::string>{"a", "b", "a"}));
}

TEST_F(HistoryFile, SavedAndLoadedBackByteForByte) {
  History history;
  history.add("out(\"\xc3\xa9\xff\")");
  history.add("  indented");
  history.save(path);
  EXPECT_EQ(content(), "out(\"\xc3\xa9\xff\")\n  indented\n");
  struct stat info;
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u) << "the user's alone";
  History again;
  again.load(path);
  EXPECT_EQ(again.lines(), history.lines());
}

TEST_F(HistoryFile, ALongFileLoadsItsLastLinesAndEmptyLinesAreSkipped) {
  {
    std::ofstream file(path, std::ios::binary);
    file << "\n";
    for (size_t i = 0; i <= kHistoryLines; ++i) file << "x" << i << "\n\n";
    file << "last without a newline";
  }
  History history;
  history.load(path);
  EXPECT_EQ(history.lines().size(), kHistoryLines);
  EXPECT_EQ(history.lines().front(), "x2");
  EXPECT_EQ(history.lines().back(), "last without a newline");
}

TEST_F(HistoryFile, WhereNoFileCanBeNothingHappens) {
  History history;
  history.load(folder + "/missing");
  history.load(folder);  // a folder is no history
  EXPECT_TRUE(history.lines().empty());
  history.add("a");
  history.save(folder + "/no/such/folder/.qlr_history");
  history.save(folder);  // a folder cannot be written as a file
  std::string fifo = folder + "/fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  history.save(fifo);  // no reader: nothing waits for one
  unlink(fifo.c_str());
  EXPECT_EQ(content(), "");
}

}  // namespace
}  // namespace qlr
