#!/usr/bin/env python3
"""Faults of the world around qlr, made the way they happen, with exact outcomes.

Usage:
  run_faults.py QLR CASE                  run one case; exit status 0 when it passes
  run_faults.py --list [--sanitized]      print the case names, one a line

Each case writes its files into a fresh temporary folder and runs QLR there
(so messages read "main.qlr: ..."): standard output on /dev/full, closed, or
a pipe its reader closes early (with SIGPIPE ignored or left alone);
standard input given; an address-space limit (ulimit -v) set in the child;
FIFOs, folders and links to /dev/zero standing where modules are looked for.
Status, standard output and standard error are compared exactly with what
the case allows; a run that does not end within RUN_TIMEOUT seconds fails.

--sanitized leaves out the cases that need an address-space limit: an
AddressSanitizer build reserves terabytes of shadow memory at start-up and
cannot start under one, and its allocator reports exhaustion itself instead
of throwing. Cases that set a limit only to keep a faulty build from eating
the machine's memory run without it there.
"""
import os
import resource
import signal
import subprocess
import sys
import tempfile

RUN_TIMEOUT = 60

# The address-space limit of the memory cases, as `ulimit -v 500000` sets it.
MEMORY_LIMIT = 500_000 * 1024
# The deepest nesting of script calls the interpreter allows.
MAX_CALL_DEPTH = 20_000

NO_SPACE = b"qlr: write error: No space left on device\n"
BAD_DESCRIPTOR = b"qlr: write error: Bad file descriptor\n"
BROKEN_PIPE = b"qlr: write error: Broken pipe\n"
OUT_OF_MEMORY = b"main.qlr: uncaught MemoryError: out of memory\n"


def lines(*texts):
    return "".join(t + "\n" for t in texts).encode()


class Case:
    """One run of qlr.

    stdout: "pipe" (captured), "full" (/dev/full), "closed" (descriptor 1
    closed) or "first-line" (a pipe closed after its first line is read).
    """

    def __init__(self, files, expect, args=("main.qlr",), stdin=b"", stdout="pipe", sigpipe="default", setup=None):
        self.files = files
        self.expect = expect  # list of allowed (stdout, stderr, status)
        self.args = list(args)
        self.stdin = stdin
        self.stdout = stdout
        self.sigpipe = sigpipe
        self.setup = setup  # called with the folder before the run


# name -> (make, limit, required): make builds the Case when it runs (some
# inputs are hundreds of megabytes); limit is the address-space limit in
# bytes or None; required says whether the case means anything without it.
CASES = {}


def case(name, limit=None, required=True):
    def register(make):
        CASES[name] = (make, limit, required)
        return make
    return register


# ---- A write failure on standard output ends the run with status 1 and
# one line naming the cause; nothing the script does can swallow it.

HELLO = lines('out("hi")')
ENDLESS = lines("spin yes:", '  out("y")')


@case("script_output_to_dev_full")
def _():
    # "hi" sits in the buffer until the final flush meets the full device.
    return Case({"main.qlr": HELLO}, [(b"", NO_SPACE, 1)], stdout="full")


@case("script_stdout_closed")
def _():
    return Case({"main.qlr": HELLO}, [(b"", BAD_DESCRIPTOR, 1)], stdout="closed")


@case("endless_output_to_dev_full_stops")
def _():
    return Case({"main.qlr": ENDLESS}, [(b"", NO_SPACE, 1)], stdout="full")


@case("endless_output_into_closed_pipe_sigpipe_ignored")
def _():
    return Case({"main.qlr": ENDLESS}, [(b"y\n", BROKEN_PIPE, 1)], stdout="first-line", sigpipe="ignore")


@case("endless_output_into_closed_pipe_sigpipe_default")
def _():
    # Like any command-line tool, qlr ends quietly on the signal.
    return Case({"main.qlr": ENDLESS}, [(b"y\n", b"", -signal.SIGPIPE)], stdout="first-line")


@case("write_failure_passes_catch_and_atlast")
def _():
    # The atlast block runs (its command still runs, its output on standard
    # error), but neither its back nor the untyped catch keeps the failure.
    src = lines(
        "exp f():",
        "  attempt:",
        "    spin yes:",
        '      out("y")',
        "  catch:",
        '    cmd("echo caught >&2")',
        "  atlast:",
        '    cmd("echo atlast >&2")',
        "    back 1",
        "f()",
        'cmd("echo after >&2")')
    return Case({"main.qlr": src}, [(b"", b"atlast\n" + NO_SPACE, 1)], stdout="full")


@case("getuser_prompt_to_dev_full")
def _():
    src = lines('name = getuser("name? ")', 'cmd("echo after >&2")')
    return Case({"main.qlr": src}, [(b"", NO_SPACE, 1)], stdin=b"bob\n", stdout="full")


@case("failed_output_then_uncaught_error")
def _():
    src = lines('out("partial")', 'throw "boom"')
    return Case({"main.qlr": src}, [(b"", NO_SPACE + b"main.qlr: uncaught Error: boom\n", 1)], stdout="full")


@case("repl_output_to_dev_full")
def _():
    return Case({}, [(b"", NO_SPACE, 1)], args=(), stdin=lines("out(1)", ""), stdout="full")


@case("repl_stdout_closed")
def _():
    return Case({}, [(b"", BAD_DESCRIPTOR, 1)], args=(), stdin=lines("out(1)", ""), stdout="closed")


# ---- Running out of memory: a catchable MemoryError where the allocation
# failed; uncaught, the usual report after the output so far.

def uncaught_memory_case(name, *body):
    src = lines('out("before")', *body)
    case(name, MEMORY_LIMIT)(lambda: Case({"main.qlr": src}, [(b"before\n", OUT_OF_MEMORY, 1)]))


uncaught_memory_case("append_without_end", "xs = []", "spin yes:", "  append(xs, 1)")
uncaught_memory_case("comprehension_over_huge_range", "xs = [i loop i within nums(10**12)]")
uncaught_memory_case("string_doubled_40_times", 's = "ab"', "loop i within nums(40):", "  s = s + s")


@case("memory_error_caught_atlast_runs", MEMORY_LIMIT)
def _():
    # Memory filled by many small lists: the handlers still have room, and
    # once the data is let go the run goes on as before.
    src = lines(
        "xs = []",
        "attempt:",
        "  spin yes:",
        "    append(xs, [1, 2, 3])",
        "catch MemoryError called e:",
        "  out(classname(e), e.msg, e.line)",
        "atlast:",
        '  out("atlast ran")',
        "n = sizeof(xs)",
        "xs = null",
        "out(n > 1000, [i * 2 loop i within nums(5)])")
    return Case({"main.qlr": src}, [(lines("MemoryError out of memory 4", "atlast ran", "yes [0, 2, 4, 6, 8]"), b"", 0)])


@case("memory_freed_in_one_size_serves_others", MEMORY_LIMIT)
def _():
    # A million instances fill memory; once they are let go, their memory
    # must serve the scopes of a deep recursion and a growing dict.
    src = lines(
        "blueprint Link():",
        "  exp init(self, nxt):",
        "    self.nxt = nxt",
        "head = null",
        "attempt:",
        "  spin yes:",
        "    head = Link(head)",
        "catch MemoryError called e:",
        '  out("instances", e.msg)',
        "head = null",
        "exp dive(k):",
        "  back dive(k + 1)",
        "attempt:",
        "  dive(0)",
        "catch RecursionError called e:",
        "  out(e.msg)",
        "d = {}",
        "i = 0",
        "attempt:",
        "  spin yes:",
        "    d[i] = i",
        "    i += 1",
        "catch MemoryError called e:",
        '  out("dict", e.msg)',
        "out(sizeof(d) == i, d[i - 1] == i - 1, has(d, \"x\"))")
    want = lines("instances out of memory", "maximum recursion depth exceeded", "dict out of memory", "yes yes no")
    return Case({"main.qlr": src}, [(want, b"", 0)])


@case("deep_recursion_under_memory_limit", MEMORY_LIMIT)
def _():
    # The generous interpreter stack cannot be reserved under the limit; the
    # smaller one still holds calls nested to the depth limit, and no more.
    src = lines(
        "exp down(n):",
        "  chk n > 0:",
        "    back down(n - 1) + 1",
        "  back 0",
        "out(down(%d))" % (MAX_CALL_DEPTH - 1),
        "attempt:",
        "  down(%d)" % MAX_CALL_DEPTH,
        "catch RecursionError called e:",
        "  out(e.msg, e.line)")
    want = lines(str(MAX_CALL_DEPTH - 1), "maximum recursion depth exceeded 3")
    return Case({"main.qlr": src}, [(want, b"", 0)])


@case("deep_frames_under_memory_limit", MEMORY_LIMIT)
def _():
    # Every call nests 246 brackets deep: far more stack per call than the
    # call count foresees, so the stack guard must stop it.
    parens = 246
    call = "(" * parens + "dive(n + 1)" + ")" * parens
    src = lines('out("start")', "exp dive(n):", "  back 1 + " + call, "dive(0)")
    report = b"main.qlr: uncaught RecursionError: maximum recursion depth exceeded\n"
    return Case({"main.qlr": src}, [(b"start\n", report, 1)])


@case("huge_source_out_of_memory", MEMORY_LIMIT)
def _():
    # 40 MB of source fits; its twenty million tokens do not.
    src = b"out(1)\nxs = [" + b"1," * 20_000_000 + b"1]\n"
    return Case({"main.qlr": src}, [(b"", b"qlr: out of memory\n", 1)])


@case("script_is_dev_zero", MEMORY_LIMIT)
def _():
    return Case({}, [(b"", b"qlr: out of memory\n", 1)], args=("/dev/zero",))


@case("repl_survives_memory_error", MEMORY_LIMIT)
def _():
    stdin = lines("xs = []", "spin yes:", "  append(xs, 1)", "", "out(sizeof(xs) > 0)", "xs = null", "", 'out("alive")', "")
    want = (b"Quillora Native REPL (.qlr) -- type 'exit' to quit, blank line ends a block\n"
            b"qlr> ...> ...> ...> qlr> ...> ...> yes\nqlr> ...> alive\nqlr> \n")
    return Case({}, [(want, b"MemoryError: out of memory\n", 0)], args=(), stdin=stdin)


# A smaller limit for a line that must not fit in it: the input is made
# whole in this process and sent through a pipe.
LINE_LIMIT = 150 << 20


@case("repl_line_too_long", LINE_LIMIT)
def _():
    # One line larger than the limit: dropped whole, with the entry it began.
    stdin = b'out("' + b"x" * LINE_LIMIT + b'")\n\nout("alive")\n\n'
    want = (b"Quillora Native REPL (.qlr) -- type 'exit' to quit, blank line ends a block\n"
            b"qlr> qlr> qlr> ...> alive\nqlr> \n")
    return Case({}, [(want, b"MemoryError: out of memory\n", 0)], args=(), stdin=stdin)


# A message too big to render within the limit: the report keeps the kind.
BIG_MESSAGE = [
    "blueprint Boom():",
    "  nop",
    's = "abcdefghij"',
    "loop i within nums(7):",
    "  s = s + s",
    "xs = []",
    "loop i within nums(1000000):",
    "  append(xs, s)",
    "b = Boom()",
    "b.msg = xs",
]


@case("uncaught_report_too_big_to_render", MEMORY_LIMIT)
def _():
    src = lines(*BIG_MESSAGE, 'out("built")', "throw b")
    return Case({"main.qlr": src}, [(b"built\n", b"main.qlr: uncaught Boom: (message could not be rendered)\n", 1)])


@case("repl_report_too_big_to_render", MEMORY_LIMIT)
def _():
    stdin = lines(*BIG_MESSAGE, "", "throw b", "", "throw xs", "", 'out("alive")', "")
    want = (b"Quillora Native REPL (.qlr) -- type 'exit' to quit, blank line ends a block\n" + b"qlr> "
            + b"...> " * len(BIG_MESSAGE) + b"qlr> ...> qlr> ...> qlr> ...> alive\nqlr> \n")
    errors = b"Boom: (message could not be rendered)\nerror: (message could not be rendered)\n"
    return Case({}, [(want, errors, 0)], args=(), stdin=stdin)


DEPTH = 20_000
DEEP_LIST = "[" * DEPTH + "0" + "]" * DEPTH


@case("uncaught_deeply_nested_value")
def _():
    # Rendering a value this deep may fail with a RecursionError or may
    # succeed; either way the report is one orderly line, never an abort.
    src = lines("xs = 0", "loop i within nums(%d):" % DEPTH, "  xs = [xs]", "throw xs")
    head = b"main.qlr: uncaught Error: "
    return Case({"main.qlr": src}, [(b"", head + b"(message could not be rendered)\n", 1),
                                    (b"", head + DEEP_LIST.encode() + b"\n", 1)])


@case("repl_deeply_nested_value")
def _():
    stdin = lines("xs = 0", "loop i within nums(%d):" % DEPTH, "  xs = [xs]", "", "throw xs", "", 'out("alive")', "")
    want = (b"Quillora Native REPL (.qlr) -- type 'exit' to quit, blank line ends a block\n"
            b"qlr> ...> ...> ...> qlr> ...> qlr> ...> alive\nqlr> \n")
    return Case({}, [(want, b"error: (message could not be rendered)\n", 0),
                     (want, b"error: " + DEEP_LIST.encode() + b"\n", 0)], args=(), stdin=stdin)


# ---- Modules are regular files only: anything else is missing. The limit
# only keeps a build that reads /dev/zero from taking the machine's memory.

MODULE_SCRIPT = lines(
    'loop name within ["fifo", "zero", "folder"]:',
    "  attempt:",
    '    chk name == "fifo":',
    "      add fifo",
    '    orchk name == "zero":',
    "      add zero",
    "    nah:",
    "      add folder",
    "  catch ImportError called e:",
    "    out(e.msg, e.line)",
    'out("done")')


def special_modules(folder):
    os.mkfifo(os.path.join(folder, "fifo.qlr"))
    os.symlink("/dev/zero", os.path.join(folder, "zero.qlr"))
    os.mkdir(os.path.join(folder, "folder.qlr"))


@case("modules_that_are_not_regular_files", MEMORY_LIMIT, required=False)
def _():
    want = lines("module 'fifo' not found (looked for fifo.qlr) 4",
                 "module 'zero' not found (looked for zero.qlr) 6",
                 "module 'folder' not found (looked for folder.qlr) 8",
                 "done")
    return Case({"main.qlr": MODULE_SCRIPT}, [(want, b"", 0)], setup=special_modules)


@case("script_through_dev_stdin")
def _():
    # The script itself may be any readable file.
    return Case({}, [(b"via stdin\n", b"", 0)], args=("/dev/stdin",), stdin=lines('out("via stdin")'))


# ---- Running.

def preexec(fault, limit):
    def run():
        if limit is not None:
            resource.setrlimit(resource.RLIMIT_AS, (limit, limit))
        if fault.sigpipe == "ignore":
            signal.signal(signal.SIGPIPE, signal.SIG_IGN)
        if fault.stdout == "closed":
            os.close(1)
    return run


def run_first_line(argv, folder, fault, limit, env):
    proc = subprocess.Popen(argv, cwd=folder, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, preexec_fn=preexec(fault, limit), env=env)
    first = proc.stdout.readline()
    proc.stdout.close()
    try:
        proc.wait(timeout=RUN_TIMEOUT)  # standard error carries a line at most
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()
        raise
    finally:
        err = proc.stderr.read()
        proc.stderr.close()
    return first, err, proc.returncode


def listed(sanitized):
    return [name for name, (_, limit, required) in CASES.items() if not (sanitized and limit is not None and required)]


def run_case(qlr, name, sanitized):
    make, limit, _ = CASES[name]
    fault = make()
    if sanitized:
        limit = None
    env = dict(os.environ)
    # The interpreter ends without tearing down its heap; leak reports would be noise.
    env.setdefault("ASAN_OPTIONS", "detect_leaks=0")
    argv = [os.path.abspath(qlr)] + fault.args
    with tempfile.TemporaryDirectory(prefix="qlr-faults-") as folder:
        for file_name, content in fault.files.items():
            with open(os.path.join(folder, file_name), "wb") as f:
                f.write(content)
        if fault.setup:
            fault.setup(folder)
        try:
            if fault.stdout == "first-line":
                got = run_first_line(argv, folder, fault, limit, env)
            else:
                with open("/dev/full", "wb") as full:
                    target = {"pipe": subprocess.PIPE, "full": full, "closed": None}[fault.stdout]
                    proc = subprocess.run(argv, cwd=folder, input=fault.stdin, stdout=target, stderr=subprocess.PIPE,
                                          preexec_fn=preexec(fault, limit), env=env, timeout=RUN_TIMEOUT)
                got = (proc.stdout or b"", proc.stderr, proc.returncode)
        except subprocess.TimeoutExpired:
            print("FAIL %s: no end within %d s" % (name, RUN_TIMEOUT))
            return 1
    if got not in fault.expect:
        print("FAIL %s" % name)
        print("  got:      %r" % (tuple(v[:300] if isinstance(v, bytes) else v for v in got),))
        for want in fault.expect:
            print("  expected: %r" % (tuple(v[:300] if isinstance(v, bytes) else v for v in want),))
        return 1
    return 0


def main():
    args = sys.argv[1:]
    if args[:1] == ["--list"]:
        print("\n".join(listed("--sanitized" in args)))
        return 0
    if len(args) not in (2, 3):
        print(__doc__.strip(), file=sys.stderr)
        return 2
    qlr, name = args[0], args[1]
    if name not in CASES:
        print("no such case: %s" % name, file=sys.stderr)
        return 2
    return run_case(qlr, name, sanitized=args[2:] == ["--sanitized"])


if __name__ == "__main__":
    sys.exit(main())
