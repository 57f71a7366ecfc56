#!/usr/bin/env python3
"""Hostile inputs for qlr: each case is generated here, run and checked for exact output.

Usage:
  run_hostile.py QLR CASE     run one case; exit status 0 when it passes
  run_hostile.py QLR --list   print the case names, one a line

A case writes main.qlr into a fresh temporary folder, runs QLR on it there
(so messages read "main.qlr:...") and compares standard output, standard
error and the exit status with what the case allows; a run that does not
end within RUN_TIMEOUT seconds fails. The inputs are far too large to keep
as golden files, and the expectations are computed from the same
parameters that shaped the input, so changing a size keeps them in step.
"""
import os
import random
import re
import subprocess
import sys
import tempfile

RUN_TIMEOUT = 60

# The limits the interpreter promises; every expectation below derives from them.
MAX_NESTING = 256
DEEP = 100_000

RECURSION_REPORT = b"main.qlr: uncaught RecursionError: maximum recursion depth exceeded\n"


def outcome(stdout=b"", stderr=b"", status=0):
    return (stdout, stderr, status)


def lines(*texts):
    return "".join(t + "\n" for t in texts)


CASES = {}


def case(name):
    def register(fn):
        CASES[name] = fn
        return fn
    return register


# ---- Nesting: every construct that recurses in the parser counts towards one limit.
#
# Each construct is (prelude, opener, innermost, closer, near): the deep input
# puts every opener on a line of its own, joined by backslash continuations,
# so the line of the error pins down which opener tripped the limit.

NESTERS = {
    "parens": ("", "(", "7", ")", "("),
    "lists": ("", "[", "7", "]", "["),
    "dicts": ("", "{1: ", "7", "}", "{"),
    "minus": ("", "- ", "7", "", "-"),
    "deny": ("", "deny ", "yes", "", "deny"),
    "power": ("", "2 ** ", "2", "", "**"),
    "lambdas": ("", "fn(): ", "7", "", "fn"),
    "calls": ("f = fn(v): v + 1", "f(", "0", ")", "("),
    "indexes": ("xs = [v + 1 loop v within nums(300)]", "xs[", "0", "]", "["),
}


def nested_source(prelude, opener, inner, closer, depth, continued):
    joint = " \\\n" if continued else ""
    body = "x = " + joint.join([opener] * depth) + (joint if continued else "") + inner + closer * depth
    return (prelude + "\n" if prelude else "") + 'out("parsed")\n' + body + "\n"


def deep_nesting_case(kind):
    prelude, opener, inner, closer, near = NESTERS[kind]

    def run():
        source = nested_source(prelude, opener, inner, closer, DEEP, True)
        first = 3 if prelude else 2  # line of "x = " and of the first opener
        line = first + MAX_NESTING  # the opener of level MAX_NESTING + 1
        if kind == "lambdas":
            # A lambda's level opens with its body, whose first token is the
            # next lambda's "fn", one line further down.
            line += 1
        err = "main.qlr:%d: parse error: too deeply nested (near '%s')\n" % (line, near)
        return source, [outcome(stderr=err.encode(), status=1)]
    return run


def wrapped_power_tower(operators):
    # 2 ** 2 ** ... ** 2 is right-associative; each power wraps into signed 64 bits.
    value = 2
    for _ in range(operators):
        assert value >= 0, "a negative exponent would leave the ints"
        value = pow(2, value, 1 << 64)
        if value >= 1 << 63:
            value -= 1 << 64
    return value


def at_limit_case(kind):
    prelude, opener, inner, closer, _ = NESTERS[kind]

    def run():
        def levels(depth):
            return nested_source(prelude, opener, inner, closer, depth, False).splitlines()[-1]
        src = [prelude] if prelude else []
        src.append(levels(MAX_NESTING))
        if kind in ("parens", "calls", "indexes"):
            src.append("out(x)")
            # f adds 1 per level; xs[i] is i + 1
            want = "7" if kind == "parens" else str(MAX_NESTING)
        elif kind in ("lists", "dicts"):
            # Walk down instead of rendering, so the shape itself is checked.
            step = "d[0]" if kind == "lists" else "d[1]"
            container = "list" if kind == "lists" else "dict"
            src += ["d = x", "n = 0", 'spin kind(d) == "%s":' % container,
                    "  d = %s" % step, "  n += 1", "out(n, d)"]
            want = "%d 7" % MAX_NESTING
        elif kind in ("minus", "deny", "power"):
            # One level fewer as well: an even and an odd count tell a dropped level.
            src += ["y" + levels(MAX_NESTING - 1)[1:], "out(x, y)"]
            want = {"minus": "7 -7", "deny": "yes no",
                    "power": "%d %d" % (wrapped_power_tower(MAX_NESTING), wrapped_power_tower(MAX_NESTING - 1))}[kind]
        else:  # lambdas: each call peels one
            src.append("out(x%s, kind(x%s))" % ("()" * MAX_NESTING, "()" * (MAX_NESTING - 1)))
            want = "7 function"
        return lines(*src), [outcome(stdout=(want + "\n").encode())]
    return run


for _kind in NESTERS:
    CASES["deep_" + _kind] = deep_nesting_case(_kind)
    CASES[_kind + "_at_limit"] = at_limit_case(_kind)


# The kinds cycle, so the limit holds across a mix of them, not per kind.
MIXED = [("[", "]", "["), ("(", ")", "("), ("{1: ", "}", "{"), ("f(", ")", "(")]


def mixed_source(depth, continued):
    joint = " \\\n" if continued else ""
    openers = [MIXED[i % len(MIXED)][0] for i in range(depth)]
    closers = "".join(MIXED[i % len(MIXED)][1] for i in reversed(range(depth)))
    return "f = fn(v): v\n" + "x = " + joint.join(openers) + (joint if continued else "") + "7" + closers + "\n"


@case("deep_mixed")
def deep_mixed():
    near = MIXED[MAX_NESTING % len(MIXED)][2]
    err = "main.qlr:%d: parse error: too deeply nested (near '%s')\n" % (2 + MAX_NESTING, near)
    return mixed_source(DEEP, True), [outcome(stderr=err.encode(), status=1)]


@case("mixed_at_limit")
def mixed_at_limit():
    src = mixed_source(MAX_NESTING, False) + lines(
        "d = x", "n = 0",
        'spin kind(d) != "int":',
        '  chk kind(d) == "list":',
        "    d = d[0]",
        "  nah:",
        "    d = d[1]",
        "  n += 1",
        "out(n, d)")
    containers = sum(1 for i in range(MAX_NESTING) if MIXED[i % len(MIXED)][0] in ("[", "{1: "))
    return src, [outcome(stdout=b"%d 7\n" % containers)]


# ---- Nested blocks. Indentation grows with depth, so blocks cannot reach
# DEEP levels; they go well past the limit instead.

BLOCK_KINDS = {
    # header, lines after the inner block at the body's indentation,
    # lines after the block at the header's indentation
    "chk": ("chk yes:", [], []),
    "loop": ("loop i within [1]:", [], []),
    "spin": ("spin yes:", ["stop"], []),
    "attempt": ("attempt:", [], ["atlast:", " nop"]),
    "exp": ("exp g():", [], []),
    "blueprint": ("blueprint B():", [], []),
}


def blocks_source(kinds, depth, step):
    """Returns the source and the line of the first token in block MAX_NESTING + 1.

    Every block opens with "count += 1", so a run proves each level ran once.
    """
    src = ['out("parsed")', "count = 0"]
    limit_line = None
    tails = []
    for level in range(depth):
        header, inner_tail, outer_tail = BLOCK_KINDS[kinds[level % len(kinds)]]
        pad = " " * (step * level)
        src.append(pad + header)
        src.append(pad + " " * step + "count += 1")
        if level == MAX_NESTING:
            limit_line = len(src)
        tails.append((pad, inner_tail, outer_tail))
    for pad, inner_tail, outer_tail in reversed(tails):
        src += [pad + " " * step + t for t in inner_tail]
        src += [pad + (" " * (step - 1) + t if t.startswith(" ") else t) for t in outer_tail]
    return lines(*src), limit_line


def deep_blocks_case(kinds, depth, step):
    def run():
        source, line = blocks_source(kinds, depth, step)
        err = "main.qlr:%d: parse error: too deeply nested (near 'count')\n" % line
        return source, [outcome(stderr=err.encode(), status=1)]
    return run


def blocks_at_limit_case(kinds):
    def run():
        source, _ = blocks_source(kinds, MAX_NESTING, 2)
        return source + "out(count)\n", [outcome(stdout=b"parsed\n%d\n" % MAX_NESTING)]
    return run


# Three thousand levels one space apart: a 9 MB source whose indentation
# stack the lexer must carry before the parser refuses it.
CASES["deep_blocks"] = deep_blocks_case(["chk"], 3000, 1)
CASES["deep_mixed_blocks"] = deep_blocks_case(list(BLOCK_KINDS), 300, 2)
CASES["blocks_at_limit"] = blocks_at_limit_case(["chk"])
# Function and blueprint bodies do not run where they are written, so the
# running mix keeps to the kinds that do.
CASES["mixed_blocks_at_limit"] = blocks_at_limit_case(["chk", "loop", "spin", "attempt"])


# ---- Long chains: parsed by loops, evaluated by recursion. The release
# build has the stack to finish them; the debug build keeps its native
# stack to about 62 MB and may stop with a RecursionError instead. Both are
# orderly ends, so those two outcomes (and only those) are accepted.

def chain_case(prelude, expression, want):
    def run():
        source = lines(*prelude, 'out("start")', "out(%s)" % expression)
        return source, [outcome(stdout=b"start\n" + want.encode() + b"\n"),
                        outcome(stdout=b"start\n", stderr=RECURSION_REPORT, status=1)]
    return run


PLUS_TERMS = 200_000
POSTFIX_LINKS = 100_000
# release: 200000; debug: RecursionError
CASES["long_plus_chain"] = chain_case([], " + ".join(["1"] * PLUS_TERMS), str(PLUS_TERMS))
# release: 7; debug: RecursionError
CASES["long_either_chain"] = chain_case([], " either ".join(["no"] * PLUS_TERMS + ["7"]), "7")
# release: yes; debug: RecursionError
CASES["long_call_chain"] = chain_case(["f = fn(): f"], "f%s same f" % ("()" * POSTFIX_LINKS), "yes")
# both builds: 0
CASES["long_index_chain"] = chain_case(
    ["xs = 0", "loop i within nums(%d):" % POSTFIX_LINKS, "  xs = [xs]"], "xs" + "[0]" * POSTFIX_LINKS, "0")
# both builds: 0
CASES["long_attribute_chain"] = chain_case(
    ["blueprint Link():", "  exp init(self, nxt, n):", "    self.nxt = nxt", "    self.n = n",
     "head = null", "loop i within nums(%d):" % (POSTFIX_LINKS + 1), "  head = Link(head, i)"],
    "head" + ".nxt" * POSTFIX_LINKS + ".n", "0")


@case("long_orchk_chain")
def long_orchk_chain():
    # The else parts nest inside one another; walking and releasing them must not recurse.
    count = 100_000
    src = ["x = %d" % (count - 1), "chk x == 0:", "  out(0)"]
    for i in range(1, count):
        src += ["orchk x == %d:" % i, "  out(%d)" % i]
    src += ["nah:", '  out("none")']
    return lines(*src), [outcome(stdout=b"%d\n" % (count - 1))]


@case("deep_data")
def deep_data():
    # Nesting built at run time has no parse limit: rendering and comparing
    # follow it to any depth, a cycle however long renders its marker where
    # it closes and stops a comparison with a RecursionError, and letting it
    # all go must not crash.
    depth = 1_000_000
    src = lines(
        "exp report(f):",
        "  attempt:",
        "    out(f())",
        "  catch called e:",
        "    out(classname(e), e.msg)",
        "xs = 0",
        "ys = 0",
        "zs = 1",
        "d = {}",
        "loop i within nums(%d):" % depth,
        "  xs = [xs]",
        "  ys = [ys]",
        "  zs = [zs]",
        '  d = {"k": d}',
        "report(fn(): sizeof(xs))",
        "out(xs, d)",
        "report(fn(): sizeof(strval(xs)))",
        'report(fn(): strval(xs)[%d] + strval(xs)[%d])' % (depth - 1, depth),
        "report(fn(): xs == ys)",
        "report(fn(): xs == zs)",
        "report(fn(): xs within [1, zs, ys])",
        "report(fn(): sizeof(strval(d)))",
        "report(fn(): sizeof(\"\" + d))",
        "ring = []",
        "at = ring",
        "loop i within nums(%d):" % (depth - 1),
        "  inner = []",
        "  append(at, inner)",
        "  at = inner",
        "append(at, ring)",
        "text = strval(ring)",
        "report(fn(): sizeof(text))",
        'report(fn(): text[%d] + text[%d] + text[%d])' % (depth - 1, depth, depth + 1),
        "report(fn(): ring == ring)",
        "at = null",
        "inner = null",
        "xs = null",
        "ys = null",
        "zs = null",
        "d = null",
        "blueprint C():",
        "  exp m(self):",
        "    back 7",
        "loop i within nums(%d):" % depth,
        "  blueprint C(C):",
        "    nop",
        "report(fn(): C().m())",
        "report(fn(): C().missing)",
        "C = null",
        'out("released")')
    rec = "RecursionError maximum recursion depth exceeded\n"
    want = ("1\n" + "[" * depth + "0" + "]" * depth + " " + '{"k": ' * depth + "{}" + "}" * depth
            + "\n%d\n[0\nyes\nno\nyes\n%d\n%d\n" % (2 * depth + 1, 7 * depth + 2, 7 * depth + 2)
            + "%d\n[[.\n" % (2 * depth + 5) + rec
            + "7\nAttributeError 'C' has no attribute 'missing'\nreleased\n")
    return src, [outcome(stdout=want.encode())]


# ---- Recursion whose every frame already sits at the deepest allowed
# expression nesting: the most native stack per script call the parser lets
# through, which the call-depth limit and the stack floor must both absorb.

FRAME_PARENS = MAX_NESTING - 10


@case("endless_recursion_deep_frames")
def endless_recursion_deep_frames():
    call = "(" * FRAME_PARENS + "dive(n + 1)" + ")" * FRAME_PARENS
    src = lines('out("start")', "exp dive(n):", "  back 1 + " + call, "dive(0)", 'out("not reached")')
    return src, [outcome(stdout=b"start\n", stderr=RECURSION_REPORT, status=1)]


@case("mutual_method_recursion_deep_frames")
def mutual_method_recursion_deep_frames():
    def wrap(expr):
        return "[" * FRAME_PARENS + expr + "]" * FRAME_PARENS + "[0]" * FRAME_PARENS
    src = lines(
        "blueprint Ping():",
        "  exp hit(self, other, n):",
        "    back " + wrap("other.hit(self, n + 1)"),
        "blueprint Pong():",
        "  exp hit(self, other, n):",
        "    back " + "(" * FRAME_PARENS + "other.hit(self, n + 1)" + ")" * FRAME_PARENS,
        "attempt:",
        "  Ping().hit(Pong(), 0)",
        "catch RecursionError called e:",
        "  out(e.msg)",
        "exp depth(n):",
        "  chk n == 0:",
        "    back 0",
        "  back 1 + depth(n - 1)",
        "out(depth(10000))")
    return src, [outcome(stdout=b"maximum recursion depth exceeded\n10000\n")]


# ---- Sheer size.

@case("long_line_10mb")
def long_line_10mb():
    items = []
    size = 0
    i = 0
    while size < 10 << 20:
        text = str(i % 1000)
        items.append(text)
        size += len(text) + 1
        i += 1
    src = "xs = [" + ",".join(items) + "]\nout(sizeof(xs), xs[0], xs[-1], xs[%d])\n" % (len(items) // 2)
    want = "%d %s %s %s\n" % (len(items), items[0], items[-1], items[len(items) // 2])
    return src, [outcome(stdout=want.encode())]


@case("long_string_literal_10mb")
def long_string_literal_10mb():
    body = "".join("abcdefghij"[i % 10] for i in range(1000)) * (10 << 10)
    src = 's = "%s"\nout(sizeof(s), s[-1], s[123456])\n' % body
    return src, [outcome(stdout=b"%d %s %s\n" % (len(body), body[-1].encode(), body[123456].encode()))]


@case("string_doubling_64mb")
def string_doubling_64mb():
    doublings = 26
    src = lines('s = "ab"', "loop i within nums(%d):" % doublings, "  s = s + s",
                "out(sizeof(s), s[-1], s[-2])")
    return src, [outcome(stdout=b"%d b a\n" % (2 << doublings))]


# ---- Garbage. Whatever the bytes, qlr must end with status 0, or with status
# 1 and one report line; a lexical or syntax error comes before any output.

ERROR_LINE = re.compile(
    rb"main\.qlr(:\d+: (lex|parse) error: [^\n]*|: uncaught \w+: [^\n]*|: '(back|stop|skip)' used outside a \w+)\n\Z")
PARSE_ERROR = re.compile(rb"main\.qlr:\d+: (lex|parse) error")


def garbage_check(proc):
    problems = []
    if proc.returncode == 0:
        if proc.stderr:
            problems.append("status 0 with standard error output")
    elif proc.returncode == 1:
        if not ERROR_LINE.match(proc.stderr):
            problems.append("status 1 without exactly one report line")
        elif PARSE_ERROR.match(proc.stderr) and proc.stdout:
            problems.append("output before a lexical or syntax error")
    else:
        problems.append("status %d" % proc.returncode)
    return problems


def garbage_case(seed, size, alphabet):
    def run():
        rng = random.Random(seed)
        return bytes(rng.choice(alphabet) for _ in range(size)), garbage_check
    return run


ANY_BYTE_BUT_NUL = bytes(range(1, 256))
SOURCE_BYTES = b"".join([bytes(range(0x20, 0x7F)), b"\n" * 8, b"\\\t\r"])
CASES["garbage_bytes_small"] = garbage_case(1, 256, bytes(range(256)))
CASES["garbage_bytes_64k"] = garbage_case(2, 64 << 10, ANY_BYTE_BUT_NUL)
CASES["garbage_source_bytes_64k"] = garbage_case(3, 64 << 10, SOURCE_BYTES)

# Words and marks of the language minus the ones that could loop for ever,
# load files or run commands, so a soup that happens to parse also ends.
SOUP = ["x", "y", "f", "out", "sizeof", "kind", "strval", "nums", "chk", "orchk", "nah", "exp", "back",
        "stop", "skip", "nop", "blueprint", "yes", "no", "null", "also", "either", "deny", "within", "same",
        "attempt", "catch", "atlast", "throw", "called", "fn", "glob", "nloc", "remove", "ensure",
        "0", "1", "2.5", "99999999", "'s'", '"t"', "+", "-", "*", "/", "//", "%", "**", "==", "!=", "<", ">=",
        "=", "+=", "(", ")", "[", "]", "{", "}", ":", ",", "."]


def soup_case(seed, count):
    """Lines of random words, indented as the lexer allows, so most soups reach the parser."""
    def run():
        rng = random.Random(seed)
        src = []
        depth = 0
        opened = False
        for _ in range(count):
            if opened:
                depth += 1
            elif depth and rng.random() < 0.3:
                depth = rng.randrange(depth)
            words = [rng.choice(SOUP) for _ in range(rng.randrange(1, 8))]
            opened = rng.random() < 0.25
            src.append("  " * depth + " ".join(words) + (":" if opened else ""))
        return lines(*src), garbage_check
    return run


CASES["garbage_tokens_small"] = soup_case(100, 30)
CASES["garbage_tokens_large"] = soup_case(101, 5000)


# ---- Running.

def describe(got, allowed):
    text = "  got:      %r\n" % (tuple(v[:300] if isinstance(v, bytes) else v for v in got),)
    for want in allowed:
        text += "  expected: %r\n" % (tuple(v[:300] if isinstance(v, bytes) else v for v in want),)
    return text


def run_case(qlr, name):
    source, expect = CASES[name]()
    if isinstance(source, str):
        source = source.encode()
    env = dict(os.environ)
    # The interpreter ends without tearing down its heap; leak reports would be noise.
    env.setdefault("ASAN_OPTIONS", "detect_leaks=0")
    with tempfile.TemporaryDirectory(prefix="qlr-hostile-") as folder:
        with open(os.path.join(folder, "main.qlr"), "wb") as f:
            f.write(source)
        try:
            proc = subprocess.run([os.path.abspath(qlr), "main.qlr"], cwd=folder, stdin=subprocess.DEVNULL,
                                  capture_output=True, timeout=RUN_TIMEOUT, env=env)
        except subprocess.TimeoutExpired:
            print("FAIL %s: no end within %d s" % (name, RUN_TIMEOUT))
            return 1
    if callable(expect):
        problems = expect(proc)
        if problems:
            print("FAIL %s: %s\n  status %d\n  stdout %r\n  stderr %r" % (
                name, "; ".join(problems), proc.returncode, proc.stdout[:300], proc.stderr[:2000]))
            return 1
        return 0
    got = (proc.stdout, proc.stderr, proc.returncode)
    if got not in expect:
        print("FAIL %s\n%s" % (name, describe(got, expect)))
        return 1
    return 0


def main():
    if len(sys.argv) != 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    qlr, what = sys.argv[1], sys.argv[2]
    if what == "--list":
        print("\n".join(CASES))
        return 0
    if what not in CASES:
        print("no such case: %s" % what, file=sys.stderr)
        return 2
    return run_case(qlr, what)


if __name__ == "__main__":
    sys.exit(main())
