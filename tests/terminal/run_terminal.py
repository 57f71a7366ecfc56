#!/usr/bin/env python3
"""qlr at a terminal: line editing, history, completion and Ctrl-C, through a pseudo-terminal.

Usage:
  run_terminal.py QLR CASE --line-editing ON|OFF   run one case; exit status 0 when it passes
  run_terminal.py --list                           print "NAME editing" or "NAME any", one a line

Each case starts qlr in a new session whose controlling terminal is a
pseudo-terminal (24 by 200, TERM=xterm), as a terminal window would, types
keys into it and reads what it shows; standard error is a pipe, read at the
end. Ctrl-C is the byte 0x03 typed, which the terminal turns into SIGINT
for qlr's process group, as for a person at the keyboard.

Cases marked "editing" need qlr built with libedit (--line-editing ON);
with OFF they are skipped with status 77, unless QLR_REQUIRE_TOOLS is set
(as continuous integration does after installing libedit-dev), when they
fail. The other cases pass with either build. Nothing waits for a fixed
time: every step waits for what qlr shows, and fails after EXPECT_TIMEOUT
seconds without it.
"""
import fcntl
import os
import select
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import termios

EXPECT_TIMEOUT = 60

BANNER = b"Quillora Native REPL (.qlr) -- type 'exit' to quit, blank line ends a block\r\n"
CTRL_C = b"\x03"
CTRL_D = b"\x04"
CTRL_V = b"\x16"  # type the next key as it is, both in libedit and in the terminal's own editing
ESC = b"\x1b"
UP = b"\x1b[A"
LEFT = b"\x1b[D"
BACKSPACE = b"\x7f"
TAB = b"\t"
INTERRUPTED = b"KeyboardInterrupt\n"
# The history file keeps this many lines.
HISTORY_LINES = 1000


class Failure(Exception):
    pass


# Whether qlr was built with line editing (--line-editing).
LINE_EDITING = False


class Terminal:
    """qlr running with its controlling terminal on a pseudo-terminal.

    stdin and stdout say which of qlr's streams are the terminal ("tty")
    and which a pipe ("pipe"); standard error is always a pipe. sigint is
    the disposition of SIGINT qlr starts with.
    """

    def __init__(self, argv, folder, env, stdin="tty", stdout="tty", sigint=signal.SIG_DFL):
        self.master, slave = os.openpty()
        fcntl.ioctl(slave, termios.TIOCSWINSZ, struct.pack("HHHH", 24, 200, 0, 0))

        def start():
            fcntl.ioctl(slave, termios.TIOCSCTTY, 0)
            signal.signal(signal.SIGINT, sigint)

        self.proc = subprocess.Popen(
            argv, cwd=folder, env=env,
            stdin=slave if stdin == "tty" else subprocess.PIPE,
            stdout=slave if stdout == "tty" else subprocess.PIPE,
            stderr=subprocess.PIPE, start_new_session=True, preexec_fn=start)
        os.close(slave)
        # libedit reads keys with the terminal's own editing off; keys typed
        # before that would be echoed and taken by the terminal first.
        self.edited = LINE_EDITING and stdin == stdout == "tty"
        self.source = self.master if stdout == "tty" else self.proc.stdout.fileno()
        self.shown = b""  # everything read from qlr's standard output
        self.seen = 0  # how much of it the expectations consumed

    def type(self, keys):
        """Types keys where qlr reads them: on the terminal, or into its input pipe."""
        if self.proc.stdin:
            self.proc.stdin.write(keys)
            self.proc.stdin.flush()
        else:
            self.press(keys)

    def press(self, keys):
        """Presses keys on the terminal, whatever qlr reads."""
        os.write(self.master, keys)

    def expect(self, text):
        """Waits until qlr shows text; returns what it showed before it."""
        while True:
            at = self.shown.find(text, self.seen)
            if at >= 0:
                before = self.shown[self.seen:at]
                self.seen = at + len(text)
                return before
            ready, _, _ = select.select([self.source], [], [], EXPECT_TIMEOUT)
            data = b""
            if ready:
                try:
                    data = os.read(self.source, 65536)
                except OSError:  # the terminal closes once qlr has gone
                    pass
            if not data:
                raise Failure("waited for %r; qlr showed:\n%r" % (text, self.shown[self.seen:]))
            self.shown += data

    def at_prompt(self, prompt=b"qlr> "):
        """Waits for prompt, and for the line editor to read keys."""
        self.expect(prompt)
        while self.edited and termios.tcgetattr(self.master)[3] & termios.ICANON:
            ready, _, _ = select.select([self.master], [], [], 0.01)
            if ready:
                self.shown += os.read(self.master, 65536)

    def line(self, text, prompt=b"qlr> "):
        """Waits for prompt, then types text and Enter."""
        self.at_prompt(prompt)
        self.type(text + b"\r")

    def entry(self, *lines):
        """Types an entry line by line, then the empty line that runs it;
        returns what the entry printed, up to the next primary prompt."""
        prompt = b"qlr> "
        for text in lines:
            self.line(text, prompt)
            prompt = b"...> "
        self.line(b"", prompt)
        self.expect(b"\r\n")  # the empty line's own
        return self.until_prompt()

    def until_prompt(self):
        """Returns what qlr shows before its next primary prompt, which is
        left for the next line to wait for."""
        output = self.expect(b"qlr> ")
        self.seen -= len(b"qlr> ")
        return output

    def finish(self):
        """Waits for qlr to end; returns its status and standard error."""
        try:
            status = self.proc.wait(timeout=EXPECT_TIMEOUT)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            raise Failure("qlr did not end; it showed:\n%r" % self.shown)
        while True:  # what it showed last
            ready, _, _ = select.select([self.source], [], [], 0)
            try:
                data = os.read(self.source, 65536) if ready else b""
            except OSError:
                data = b""
            if not data:
                break
            self.shown += data
        errors = self.proc.stderr.read()
        os.close(self.master)
        return status, errors


def leave(t, errors=b""):
    """Types exit at the next primary prompt; the loop must end with status
    0, having written errors on standard error."""
    t.line(b"exit")
    status, written = t.finish()
    check(status == 0, "status %d" % status)
    check_errors(written, errors)


def check(condition, message):
    if not condition:
        raise Failure(message)


def check_errors(errors, expected):
    check(errors == expected, "standard error was %r, expected %r" % (errors, expected))


def output_lines(shown):
    return shown.split(b"\r\n")


CASES = {}


def case(name, editing=False):
    def register(run):
        CASES[name] = (run, editing)
        return run
    return register


# ---- Line editing (libedit)


@case("history_recall_and_editing", editing=True)
def _(qlr, folder, env):
    t = Terminal([qlr], folder, env)
    t.expect(BANNER)
    check(t.entry(b'out("ab")') == b"ab\r\n", "the first entry")
    # Up brings the line back; two Lefts put the cursor after the b, which
    # Backspace deletes before z goes in its place.
    t.at_prompt()
    t.type(UP)
    t.expect(b'out("ab")')
    t.type(LEFT + LEFT + BACKSPACE + b"z\r")
    t.line(b"", b"...> ")
    t.expect(b"\r\n")
    check(t.until_prompt() == b"az\r\n", "the edited line printed %r" % t.shown[t.seen - 40:])
    leave(t)


@case("tab_completes_keywords_builtins_and_globals", editing=True)
def _(qlr, folder, env):
    t = Terminal([qlr], folder, env)
    # A built-in: "sizeo" can only be sizeof.
    t.at_prompt()
    t.type(b"out(sizeo" + TAB + b"([1, 2, 3]))\r")
    t.line(b"", b"...> ")
    check(t.until_prompt().endswith(b"\r\n3\r\n"), "sizeof was not completed: %r" % t.shown)
    # Globals bound by earlier entries, as they are when Tab is pressed.
    t.entry(b"longname_value = 7", b"alpha_one = 1", b"alpha_two = 2")
    t.at_prompt()
    t.type(b"out(longn" + TAB + b")\r")
    t.line(b"", b"...> ")
    check(t.until_prompt().endswith(b"\r\n7\r\n"), "a global was not completed: %r" % t.shown)
    # Two names that go on differently: Tab completes what they share, a
    # second Tab lists them.
    t.at_prompt()
    t.type(b"out(alp" + TAB)
    t.expect(b"ha_")
    t.type(TAB)
    t.expect(b"alpha_one  alpha_two")
    t.type(b"two)\r")
    t.line(b"", b"...> ")
    check(t.until_prompt().endswith(b"\r\n2\r\n"), "alpha_two: %r" % t.shown)
    # A name removed no longer completes; a keyword does.
    t.entry(b"remove alpha_one")
    t.at_prompt()
    t.type(b"out(alpha_" + TAB + b")\r")
    t.line(b"", b"...> ")
    check(t.until_prompt().endswith(b"\r\n2\r\n"), "after remove: %r" % t.shown)
    # Tab where only blanks precede the cursor indents instead: a tab
    # character there would be a lexical error.
    t.at_prompt()
    t.type(b"blue" + TAB + b" Box:\r")
    t.line(TAB + b"exp show(self):", b"...> ")
    t.line(TAB + TAB + b'out("shown")', b"...> ")
    t.line(b"", b"...> ")
    t.line(b"Box().show()")
    t.line(b"", b"...> ")
    check(t.until_prompt().endswith(b"\r\nshown\r\n"), "blueprint typed with Tab: %r" % t.shown)
    leave(t)


@case("history_file_written_and_read_back", editing=True)
def _(qlr, folder, env):
    history = os.path.join(env["HOME"], ".qlr_history")

    def content():
        with open(history, "rb") as f:
            return f.read()

    # The file is written when the loop ends, whichever way: exit, quit, Ctrl-D.
    t = Terminal([qlr], folder, env)
    t.entry(b"a1 = 1")
    t.line(b"exit")
    check(t.finish() == (0, b""), "first session")
    check(content() == b"a1 = 1\nexit\n", "after exit the file holds %r" % content())
    check(os.stat(history).st_mode & 0o777 == 0o600, "the file is readable by others")

    # A second session starts with those lines: Up, Up reaches a1 = 1.
    t = Terminal([qlr], folder, env)
    t.at_prompt()
    t.type(UP + UP)
    t.expect(b"a1 = 1")
    t.type(b"\r")
    t.line(b"", b"...> ")
    t.expect(b"\r\n")
    check(t.entry(b"out(a1 + 1)") == b"2\r\n", "the recalled line did not run")
    t.line(b"quit")
    check(t.finish() == (0, b""), "second session")
    check(content() == b"a1 = 1\nexit\na1 = 1\nout(a1 + 1)\nquit\n", "after quit: %r" % content())

    t = Terminal([qlr], folder, env)
    t.entry(b"b = 2")
    t.at_prompt()
    t.type(CTRL_D)
    check(t.finish() == (0, b""), "third session")
    check(content().endswith(b"quit\nb = 2\n"), "after Ctrl-D: %r" % content())


@case("history_file_keeps_the_last_lines", editing=True)
def _(qlr, folder, env):
    history = os.path.join(env["HOME"], ".qlr_history")
    for kept in (HISTORY_LINES - 1, HISTORY_LINES):
        with open(history, "wb") as f:
            f.write(b"".join(b"x%d = %d\n" % (i, i) for i in range(kept)))
        t = Terminal([qlr], folder, env)
        t.line(b"exit")
        check(t.finish() == (0, b""), "session")
        with open(history, "rb") as f:
            lines = f.read().split(b"\n")[:-1]
        dropped = kept + 1 - HISTORY_LINES
        check(len(lines) == HISTORY_LINES, "%d lines kept of %d" % (len(lines), kept + 1))
        check(lines[0] == b"x%d = %d" % (dropped, dropped) and lines[-1] == b"exit",
              "kept %r ... %r" % (lines[0], lines[-1]))


@case("no_history_file_without_a_writable_home", editing=True)
def _(qlr, folder, env):
    # A home that cannot hold the file, even for root: a regular file.
    home = os.path.join(folder, "home-is-a-file")
    with open(home, "wb"):
        pass
    for variant in (dict(env, HOME=home), {k: v for k, v in env.items() if k != "HOME"}):
        t = Terminal([qlr], folder, variant)
        check(t.entry(b'out("works")') == b"works\r\n", "the session did not run")
        leave(t)
    check(os.path.getsize(home) == 0, "something was written into HOME")
    # A folder the user may not write to, where the user is not root.
    if os.geteuid() != 0:
        locked = os.path.join(folder, "locked")
        os.mkdir(locked, 0o500)
        t = Terminal([qlr], folder, dict(env, HOME=locked))
        t.line(b"exit")
        check(t.finish() == (0, b""), "session with a locked home")
        check(os.listdir(locked) == [], "a file appeared in the locked home")


# ---- Either build: Ctrl-C, Ctrl-D and escape sequences


@case("ctrl_c_stops_the_running_entry")
def _(qlr, folder, env):
    t = Terminal([qlr], folder, env)
    t.entry(b"x = 41")
    t.line(b"attempt:")
    for text in (b'    out("running")', b"    spin yes:", b"        nop", b"catch:", b'    out("caught")',
                 b"atlast:", b'    out("cleanup")', b""):
        t.line(text, b"...> ")
    t.expect(b"running\r\n")
    t.type(CTRL_C)
    shown = t.until_prompt()
    check(b"cleanup\r\n" in shown, "the atlast block did not run: %r" % shown)
    check(b"caught" not in shown, "a catch clause caught the Ctrl-C: %r" % shown)
    check(t.entry(b"out(x + 1)") == b"42\r\n", "the earlier binding is gone")
    leave(t, INTERRUPTED)


@case("ctrl_c_cannot_be_swallowed")
def _(qlr, folder, env):
    # An atlast block with a way out of its own would replace an error; it
    # cannot replace a Ctrl-C. Loop items of a comprehension and calls stop too.
    t = Terminal([qlr], folder, env)
    t.entry(b"exp stubborn():",
            b"    attempt:",
            b'        out("in stubborn")',
            b"        spin yes:",
            b"            nop",
            b"    atlast:",
            b"        back 5")
    entries = [
        (b"loop i within nums(3):",
         b"    attempt:",
         b'        out("in loop")',
         b"        spin yes:",
         b"            nop",
         b"    atlast:",
         b"        stop",
         b'out("after the loop")'),
        (b"out(stubborn())", b'out("after the call")'),
        (b'out("in comprehension")', b"xs = [i loop i within nums(1000000000000) chk no]", b'out("after it")'),
    ]
    for entry, started in zip(entries, (b"in loop", b"in stubborn", b"in comprehension")):
        t.line(entry[0])
        for text in entry[1:] + (b"",):
            t.line(text, b"...> ")
        t.expect(started + b"\r\n")
        t.type(CTRL_C)
        shown = t.until_prompt()
        check(b"after" not in shown and b"5" not in shown, "the entry went on: %r" % shown)
    leave(t, INTERRUPTED * 3)


@case("ctrl_c_while_typing_discards_the_entry")
def _(qlr, folder, env):
    t = Terminal([qlr], folder, env)
    t.line(b'out("one")')
    t.at_prompt(b"...> ")
    t.type(b'out("two")')
    t.expect(b'out("two")')
    t.type(CTRL_C)
    # A fresh primary prompt, and the discarded lines never run.
    check(t.entry(b'out("three")') == b"three\r\n", "after Ctrl-C")
    leave(t)
    check(b"\r\none\r\n" not in t.shown and b"\r\ntwo\r\n" not in t.shown, "a discarded line ran: %r" % t.shown)


@case("ctrl_c_while_getuser_waits")
def _(qlr, folder, env):
    t = Terminal([qlr], folder, env)
    t.line(b'name = getuser("who? ")')
    t.line(b"", b"...> ")
    t.expect(b"who? ")
    t.type(CTRL_C)
    t.line(b"attempt:")
    for text in (b'    getuser("again? ")', b"catch:", b'    out("caught")', b""):
        t.line(text, b"...> ")
    t.expect(b"again? ")
    t.type(CTRL_C)
    shown = t.until_prompt()
    check(b"caught" not in shown, "a catch clause caught the Ctrl-C in getuser: %r" % shown)
    check(t.entry(b"out(42)") == b"42\r\n", "the loop did not go on")
    leave(t, INTERRUPTED * 2)


@case("getuser_after_ctrl_d_meets_the_end_at_once")
def _(qlr, folder, env):
    # Ctrl-D ends the input getuser reads; a second getuser meets that end
    # at once instead of waiting on the terminal for more.
    t = Terminal([qlr], folder, env)
    t.line(b"attempt:")
    for text in (b'    getuser("first? ")', b"catch:", b'    out("first ended")', b"attempt:",
                 b'    getuser("second? ")', b"catch:", b'    out("second ended")', b""):
        t.line(text, b"...> ")
    t.expect(b"first? ")
    t.type(CTRL_D)
    t.expect(b"first ended\r\nsecond? second ended\r\n")
    if LINE_EDITING:
        leave(t)  # the line editor reads the terminal itself, past the end getuser met
    else:
        status, errors = t.finish()  # the loop reads through the same stdio as getuser
        check(status == 0, "status %d" % status)
        check_errors(errors, b"")


@case("ctrl_c_reaches_cmd_children")
def _(qlr, folder, env):
    # The command gets the Ctrl-C as it would in a shell; the entry goes on
    # with what the command returned.
    t = Terminal([qlr], folder, env)
    t.line(b'code = cmd("trap \'echo interrupted; exit 3\' INT; echo started; while :; do sleep 1; done")')
    t.line(b'out("after the command")', b"...> ")
    t.line(b"", b"...> ")
    t.expect(b"started\r\n")
    t.type(CTRL_C)
    shown = t.until_prompt()
    check(shown.endswith(b"interrupted\r\nafter the command\r\n"), "the entry did not go on: %r" % shown)
    check(t.entry(b"out(code)") == b"768\r\n", "the command did not end on the Ctrl-C")
    leave(t)


@case("sigint_ignored_at_start_stays_ignored")
def _(qlr, folder, env):
    # Started with SIGINT ignored (as a shell starts a program in the
    # background), qlr does not take it up: getuser goes on waiting.
    t = Terminal([qlr], folder, env, sigint=signal.SIG_IGN)
    t.line(b'answer = getuser("waiting? ")')
    t.line(b'out("got", answer)', b"...> ")
    t.line(b"", b"...> ")
    t.expect(b"waiting? ")
    t.press(CTRL_C)
    t.type(b"x\r")
    check(t.until_prompt().endswith(b"got x\r\n"), "getuser was stopped: %r" % t.shown)
    leave(t)


@case("ctrl_d_ends_like_the_end_of_input")
def _(qlr, folder, env):
    for pending in (False, True):
        t = Terminal([qlr], folder, env)
        if pending:
            t.line(b'out("pending")')
            t.at_prompt(b"...> ")
        else:
            t.at_prompt()
        t.type(CTRL_D)
        status, errors = t.finish()
        check(status == 0, "status %d" % status)
        check_errors(errors, b"")
        check(t.shown.endswith(b"\r\n"), "no newline at the end: %r" % t.shown)
        check(b"\r\npending\r\n" not in t.shown, "the pending entry ran")


@case("escape_sequences_never_reach_the_lexer")
def _(qlr, folder, env):
    # Escapes typed literally (Ctrl-V, Escape), with the rest of a function
    # or cursor key after them: the line reaches the lexer without them.
    t = Terminal([qlr], folder, env)
    t.at_prompt()
    t.type(b'out("a' + CTRL_V + ESC + b"[15~b" + CTRL_V + ESC + b'OAc", 1 +' + CTRL_V + ESC + b"[1;5D 2)\r")
    t.line(b"", b"...> ")
    t.expect(b"\r\n")
    check(t.until_prompt() == b"abc 3\r\n", "escapes reached the line: %r" % t.shown)
    leave(t)


@case("script_mode_ends_on_ctrl_c")
def _(qlr, folder, env):
    # No handler in script mode: SIGINT ends the process as it ends any
    # command-line tool (a shell shows status 130). The command a script
    # runs gets it too, and the script goes on once the command has ended.
    with open(os.path.join(folder, "main.qlr"), "w") as f:
        f.write('code = cmd("trap \'echo child interrupted; exit 7\' INT; echo child ready; '
                'while :; do sleep 1; done")\n'
                'out("command returned", code)\n'
                "spin yes:\n"
                "    nop\n")
    t = Terminal([qlr, "main.qlr"], folder, env)
    t.expect(b"child ready\r\n")
    t.type(CTRL_C)
    t.expect(b"child interrupted\r\ncommand returned 1792\r\n")
    t.type(CTRL_C)
    status, errors = t.finish()
    check(status == -signal.SIGINT, "status %d, expected the end by SIGINT" % status)
    check_errors(errors, b"")


@case("not_a_terminal_reads_plainly")
def _(qlr, folder, env):
    # Standard input or output not a terminal: the loop reads as from a
    # file, shows the plain prompts, keeps no history and leaves SIGINT alone.
    for stdin, stdout in (("pipe", "tty"), ("tty", "pipe")):
        t = Terminal([qlr], folder, env, stdin=stdin, stdout=stdout)
        newline = b"\r\n" if stdout == "tty" else b"\n"
        for text in (b"spin yes:", b"    nop", b""):
            t.type(text + (b"\n" if stdin == "pipe" else b"\r"))
        t.expect(BANNER.replace(b"\r\n", newline) + b"qlr> ...> ...> ")
        t.press(CTRL_C)
        status, errors = t.finish()
        check(status == -signal.SIGINT, "stdin %s, stdout %s: status %d" % (stdin, stdout, status))
        check_errors(errors, b"")
    check(not os.path.exists(os.path.join(env["HOME"], ".qlr_history")), "a history file was written")


def main():
    args = sys.argv[1:]
    if args == ["--list"]:
        for name, (_, editing) in CASES.items():
            print(name, "editing" if editing else "any")
        return 0
    if len(args) != 4 or args[2] != "--line-editing" or args[1] not in CASES:
        print(__doc__)
        return 2
    global LINE_EDITING
    qlr, name, built_with = os.path.abspath(args[0]), args[1], args[3] == "ON"
    LINE_EDITING = built_with
    run, editing = CASES[name]
    if editing and not built_with:
        if os.environ.get("QLR_REQUIRE_TOOLS"):
            print("required: qlr built with line editing (libedit)")
            return 1
        print("skipped: qlr was built without line editing")
        return 77
    folder = tempfile.mkdtemp(prefix="qlr-terminal-")
    try:
        home = os.path.join(folder, "home")
        os.mkdir(home)
        env = dict(os.environ, TERM="xterm", HOME=home)
        env.pop("QLR_REQUIRE_TOOLS", None)
        run(qlr, folder, env)
    except Failure as failure:
        print("FAIL %s: %s" % (name, failure))
        return 1
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    print("ok %s" % name)
    return 0


if __name__ == "__main__":
    sys.exit(main())
