#!/usr/bin/env python3
"""Scripts whose memory must stay bounded: each runs under an address-space limit.

Usage:
  run_memory.py QLR CASE [--sanitized]   run one case; exit status 0 when it passes
  run_memory.py --list                   print the case names, one a line

A case writes main.qlr into a fresh temporary folder and runs QLR on it
under an address-space limit (RLIMIT_AS, what `ulimit -v` sets) far below
what the script would take if the interpreter kept, reserved or built what
no script asked for; it passes when qlr prints the expected output and
exits with 0. Under so small a limit the interpreter's large native stack
cannot be reserved either, and qlr runs on its smaller fallback stack (or,
below that, the main thread's), which these scripts, recursing nowhere, do
not need.

With --sanitized (a build under AddressSanitizer, which reserves terabytes
of address space for itself) no limit can be set: the case runs at a small
size and only its outcome is checked.
"""
import os
import resource
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "hostile"))
from run_hostile import lines  # noqa: E402

RUN_TIMEOUT = 100
MIB = 1 << 20

# Each case takes whether the build is sanitized and returns the script, the
# output it must print, and the address-space limit in MiB for a plain build.


def closures_freed(per_return, returns):
    """returns calls, each making per_return closures, each with a scope of its own, and freeing them on return."""
    src = lines(
        "exp mk(i):",
        "    back fn(): i",
        "exp many(n):",
        "    fs = [mk(i) loop i within nums(n)]",
        "    back fs[n - 1]()",
        "total = 0",
        "loop j within nums(%d):" % returns,
        "    total += many(%d)" % per_return,
        "out(total)")
    return src, "%d\n" % ((per_return - 1) * returns)


def closure_scopes_freed_by_returns(sanitized):
    # Every return frees 600 closure scopes, more than the scope pool holds.
    # The pool once lost track of its end there, and every scope freed after
    # that leaked: 2,000 calls took 300 MiB.
    return closures_freed(600, 50 if sanitized else 2000) + (48,)


def closure_scopes_freed_at_once(sanitized):
    # 100,000 closure scopes freed by one return, twenty times over: what one
    # round frees, the next reuses.
    return closures_freed(100000, 2 if sanitized else 20) + (128,)


def fields_reserved_after_put(sanitized):
    # One instance given 100,000 fields through put once made every later
    # instance of its blueprint reserve room for as many: 2.4 MB each.
    fields = 1000 if sanitized else 100000
    src = lines(
        "blueprint B():",
        "    exp init(self, v):",
        "        self.a = v",
        "        self.b = v + 1",
        "b = B(0)",
        "loop i within nums(%d):" % fields,
        '    put(b, "f" + i, i)',
        "keep = [B(i) loop i within nums(2000)]",
        "out(sizeof(keep), keep[1999].b, grab(b, \"f%d\"))" % (fields - 1))
    return src, "2000 2000 %d\n" % (fields - 1), 64


def attribute_names_not_interned(sanitized):
    # has, grab and put once interned every name they were given, for good.
    # A name bound nowhere is now looked up without a symbol of its own, and
    # put on a non-instance fails before interning.
    count = 10000 if sanitized else 300000
    src = lines(
        "blueprint B():",
        "    exp init(self):",
        "        self.a = 1",
        "b = B()",
        "found = 0",
        "failed = 0",
        "loop i within nums(%d):" % count,
        '    chk has(b, "attr" + i) either grab(b, "other" + i, null) != null:',
        "        found += 1",
        "    attempt:",
        '        put([], "field" + i, 1)',
        "    catch TypeMismatchError:",
        "        failed += 1",
        "attempt:",
        '    grab(b, "never" + 1)',
        "catch AttributeError called e:",
        "    out(e.msg)",
        "out(found, failed, has(b, \"a\"))")
    return src, "'B' has no attribute 'never1'\n0 %d yes\n" % count, 32


def string_walked_lazily(sanitized):
    # A loop or comprehension over a string once made a value of every byte
    # before the first item: 16 bytes each, 512 MiB for a 32 MiB string.
    doublings = 15 if sanitized else 20
    size = 32 << doublings
    src = lines(
        's = "%s"' % ("abcdefgh" * 4),
        "loop i within nums(%d):" % doublings,
        "    s = s + s",
        "n = 0",
        "loop c within s:",
        "    n += 1",
        "    chk n == 3:",
        "        stop",
        'xs = [c loop c within s chk c == "q"]',
        "out(sizeof(s), n, c, sizeof(xs))")
    return src, "%d 3 h 0\n" % size, 128


BENCH = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "bench", "memory")
# What each program of bench/memory/ prints at the two sizes the cases use.
GARBAGE_OUTPUTS = {
    "acyclic": (17994, 1799997), "bound_method": (8994, 899997), "counter": (6000, 600000),
    "function_in_dict": (8994, 899997), "local_blueprint": (8994, 899997), "parent_child": (3000, 300000),
    "self_function": (3000, 300000), "self_instance": (8994, 899997), "self_list": (6000, 600000),
}


def garbage_reclaimed(program):
    """A program of bench/memory/, which drops one kind of garbage per
    iteration (cycles of scopes, functions, blueprints, instances and lists,
    or acyclic garbage), run 300,000 times: kept, its garbage would take
    25 to 225 MiB."""
    def case(sanitized):
        with open(os.path.join(BENCH, program + ".qlr")) as f:
            source = f.read().replace("N = 1000000", "N = %d" % (3000 if sanitized else 300000), 1)
        return source, "%d\n" % GARBAGE_OUTPUTS[program][0 if sanitized else 1], 32
    return case


CASES = {
    "closure_scopes_freed_by_returns": closure_scopes_freed_by_returns,
    "closure_scopes_freed_at_once": closure_scopes_freed_at_once,
    "fields_reserved_after_put": fields_reserved_after_put,
    "attribute_names_not_interned": attribute_names_not_interned,
    "string_walked_lazily": string_walked_lazily,
}
CASES.update({"garbage_reclaimed/" + name: garbage_reclaimed(name) for name in GARBAGE_OUTPUTS})


def run_case(qlr, name, sanitized):
    source, want, limit_mib = CASES[name](sanitized)
    env = dict(os.environ)
    env.setdefault("ASAN_OPTIONS", "detect_leaks=1")

    def limit():
        resource.setrlimit(resource.RLIMIT_AS, (limit_mib * MIB, limit_mib * MIB))

    with tempfile.TemporaryDirectory(prefix="qlr-memory-") as folder:
        with open(os.path.join(folder, "main.qlr"), "w") as f:
            f.write(source)
        try:
            proc = subprocess.run([os.path.abspath(qlr), "main.qlr"], cwd=folder, stdin=subprocess.DEVNULL,
                                  capture_output=True, timeout=RUN_TIMEOUT, env=env,
                                  preexec_fn=None if sanitized else limit)
        except subprocess.TimeoutExpired:
            print("FAIL %s: no end within %d s" % (name, RUN_TIMEOUT))
            return 1
    got = (proc.stdout, proc.stderr, proc.returncode)
    if got != (want.encode(), b"", 0):
        print("FAIL %s (address space limited to %s)\n  got:      %r\n  expected: %r" % (
            name, "nothing" if sanitized else "%d MiB" % limit_mib,
            tuple(v[:500] if isinstance(v, bytes) else v for v in got), (want.encode(), b"", 0)))
        return 1
    return 0


def main():
    args = sys.argv[1:]
    if args == ["--list"]:
        print("\n".join(CASES))
        return 0
    sanitized = "--sanitized" in args
    args = [a for a in args if a != "--sanitized"]
    if len(args) != 2 or args[1] not in CASES:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    return run_case(args[0], args[1], sanitized)


if __name__ == "__main__":
    sys.exit(main())
