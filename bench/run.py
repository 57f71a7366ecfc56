"""Times qlr beside CPython 3.11 and Lua 5.4 on the benchmark programs.

Every benchmark NAME in bench/ has three versions, NAME.qlr, NAME.py and
NAME.lua, which compute the same thing and print the same bytes; a .qlr
program without both peers is left out with a note. For every benchmark the
three interpreters run alternately (qlr, python, lua, qlr, ...) --runs times
each, every run timed around the whole process, start-up included. Every
output of a benchmark, across interpreters and across runs, must be the same
bytes, and every run must exit with status 0; otherwise the benchmark fails.

    python3 bench/run.py [--qlr PATH] [--runs N] [--quick] [--only NAME]
                         [--shared] [--timeout S] [--python CMD] [--lua CMD]

The table gives each interpreter's median seconds and the ratios qlr/python
and qlr/lua; its last line is the geometric mean of both ratios over the
benchmarks that passed: "geomean qlr/python=X.XX qlr/lua=Y.YY". The exit
status is 1 when any benchmark failed.

--shared adds the programs of ../shared/bench/programs beside the checkout,
named shared/NAME in the table. --quick rewrites the line "N = ..." near
the top of every program to a small size (in a temporary copy): it checks
outputs in seconds and its times mean nothing. --only takes table names,
repeated or comma-separated; a shared/NAME needs no --shared. --qlr,
--python and --lua take command lines, split as a shell would.

These are programs for measuring by hand; no test runs them, because the
machine's load makes any one timing unreliable.
"""
import argparse
import importlib.util
import math
import os
import re
import shlex
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

BENCH_DIR = Path(__file__).resolve().parent
ROOT = BENCH_DIR.parent
SHARED_DIR = ROOT.parent / "shared" / "bench" / "programs"
SHARED_PREFIX = "shared/"

LANGS = ("qlr", "python", "lua")
EXTS = {"qlr": ".qlr", "python": ".py", "lua": ".lua"}

# The size each program of bench/ takes under --quick: big enough to go
# through every path of the program, small enough to finish at once.
QUICK_SIZES = {
    "alloc_tree": 6,
    "calls": 4,
    "closures": 300,
    "dicts": 20000,
    "ecosystem": 60,
    "errors": 2000,
    "floats": 40,
    "graph": 200,
    "higher_order": 40,
    "int_loop": 5000,
    "life": 5,
    "lists": 200,
    "matrix": 8,
    "methods": 300,
    "nested_loops": 30,
    "parser": 40,
    "queens": 5,
    "recursion": 1,
    "sieve": 2000,
    "sorting": 900,
    "string_build": 200,
    "strings": 300,
    "wordcount": 100,
}

# Only the first such line is rewritten: the size is the first thing a
# program sets. Lua programs declare it local.
SIZE_LINE = re.compile(rb"^((?:local )?N = )\d+[ \t]*$", re.M)


class Failure(Exception):
    """One benchmark cannot be timed or compared; the message says why."""


class Benchmark:
    def __init__(self, name, folder, stem):
        self.name = name
        self.folder = folder
        self.stem = stem

    def path(self, lang):
        return self.folder / (self.stem + EXTS[lang])


def discover(folder, prefix):
    """The benchmarks of a folder: every NAME.qlr with NAME.py and NAME.lua
    beside it, in name order, and the names of .qlr programs lacking one."""
    found, lacking = [], []
    for qlr in sorted(folder.glob("*.qlr")):
        stem = qlr.stem
        if all((folder / (stem + EXTS[lang])).is_file() for lang in LANGS):
            found.append(Benchmark(prefix + stem, folder, stem))
        else:
            lacking.append(prefix + stem)
    return found, lacking


def shared_quick_sizes():
    """The quick sizes the shared runner keeps for its own programs."""
    runner = SHARED_DIR.parent / "run.py"
    loader_spec = importlib.util.spec_from_file_location("shared_bench_run", runner)
    module = importlib.util.module_from_spec(loader_spec)
    try:
        loader_spec.loader.exec_module(module)
        return {SHARED_PREFIX + name: size for name, size in module.BENCHMARKS}
    except (OSError, AttributeError, ValueError, TypeError) as e:
        raise SystemExit("run.py: cannot read the quick sizes of %s: %s" % (runner, e))


def sized_copy(path, size, tmpdir):
    """A copy of the program in tmpdir with its size line set to size."""
    text, count = SIZE_LINE.subn(lambda m: m.group(1) + str(size).encode(),
                                 path.read_bytes(), count=1)
    if count != 1:
        raise Failure("no size line 'N = ...' in " + path.name)
    folder = Path(tmpdir) / path.parent.name
    folder.mkdir(exist_ok=True)
    copy = folder / path.name
    copy.write_bytes(text)
    return copy


def run_once(argv, timeout):
    """Runs one program; returns (seconds, stdout bytes)."""
    start = time.perf_counter()
    try:
        proc = subprocess.run(argv, stdin=subprocess.DEVNULL, capture_output=True,
                              timeout=timeout)
    except subprocess.TimeoutExpired:
        raise Failure("timed out after %gs" % timeout)
    except OSError as e:
        raise Failure("cannot start %s: %s" % (argv[0], e))
    elapsed = time.perf_counter() - start
    if proc.returncode != 0:
        err = proc.stderr.decode("utf-8", "backslashreplace").strip()
        last = err.splitlines()[-1] if err else "(no message)"
        raise Failure("exit status %d: %s" % (proc.returncode, last[:300]))
    return elapsed, proc.stdout


def first_difference(a, b):
    """(line number, line of a, line of b) where two outputs first differ."""
    la = a.decode("utf-8", "backslashreplace").split("\n")
    lb = b.decode("utf-8", "backslashreplace").split("\n")
    for i in range(max(len(la), len(lb))):
        x = la[i] if i < len(la) else "(end of output)"
        y = lb[i] if i < len(lb) else "(end of output)"
        if x != y:
            return i + 1, x[:200], y[:200]
    return None


def output_problems(outputs):
    """outputs: lang -> stdout of every run. Returns what disagrees."""
    problems = []
    for lang in LANGS:
        for k, other in enumerate(outputs[lang][1:], 2):
            if other != outputs[lang][0]:
                problems.append("%s printed different output on run %d" % (lang, k))
    first = {lang: outputs[lang][0] for lang in LANGS}
    # Python against Lua first: when the two peers disagree, the fault is in a
    # peer program, not in qlr.
    for a, b in (("python", "lua"), ("qlr", "python")):
        diff = first_difference(first[a], first[b])
        if diff:
            problems.append("%s and %s differ at line %d: %r vs %r" % (a, b, *diff))
    return problems


def time_benchmark(bench, commands, runs, timeout, quick_size, tmpdir):
    """Returns (median seconds per lang, list of problems)."""
    paths = {}
    for lang in LANGS:
        path = bench.path(lang)
        paths[lang] = path if quick_size is None else sized_copy(path, quick_size, tmpdir)
    times = {lang: [] for lang in LANGS}
    outputs = {lang: [] for lang in LANGS}
    problems = []
    for _ in range(runs):
        for lang in LANGS:
            try:
                elapsed, out = run_once(commands[lang] + [str(paths[lang])], timeout)
            except Failure as e:
                problems.append("%s: %s" % (lang, e))
                return {lang: None for lang in LANGS}, problems
            times[lang].append(elapsed)
            outputs[lang].append(out)
    problems.extend(output_problems(outputs))
    return {lang: statistics.median(times[lang]) for lang in LANGS}, problems


def is_script(path):
    try:
        with open(path, "rb") as f:
            return f.read(2) == b"#!"
    except OSError:
        return True


def default_python():
    """The first python3.11 (else python3) on PATH that is a real binary
    outside pyenv's tree: a wrapper script such as a pyenv shim would add its
    own start-up to every timing, and the peer is meant to be the system's
    optimised build, while pyenv puts its own first on PATH when it runs this
    script."""
    pyenv_root = os.environ.get("PYENV_ROOT")
    skip = os.path.realpath(pyenv_root) + os.sep if pyenv_root else None
    for name in ("python3.11", "python3"):
        for folder in os.environ.get("PATH", "").split(os.pathsep):
            path = os.path.join(folder or ".", name)
            if not (os.path.isfile(path) and os.access(path, os.X_OK)) or is_script(path):
                continue
            if skip and os.path.realpath(path).startswith(skip):
                continue
            return [path]
    return [sys.executable]


def version_of(argv):
    try:
        proc = subprocess.run(argv, capture_output=True, timeout=30)
    except (OSError, subprocess.TimeoutExpired):
        return "unknown version"
    text = (proc.stdout + proc.stderr).decode("utf-8", "replace").strip()
    return text.splitlines()[0] if text else "unknown version"


def geomean(values):
    if not values:
        return "n/a"
    return "%.2f" % math.exp(sum(math.log(v) for v in values) / len(values))


def fmt_time(t):
    return "%9.3f" % t if t is not None else "%9s" % "-"


def fmt_ratio(a, b):
    return "%9.2f" % (a / b) if a is not None and b else "%9s" % "-"


def select(args, parser):
    """The benchmarks to run and their quick sizes (None unless --quick)."""
    benches, lacking = discover(BENCH_DIR, "")
    for name in lacking:
        print("note: %s.qlr has no .py or .lua beside it; left out" % name, file=sys.stderr)
    wanted = [n.strip() for item in args.only for n in item.split(",") if n.strip()]
    if args.shared or any(n.startswith(SHARED_PREFIX) for n in wanted):
        if not SHARED_DIR.is_dir():
            parser.error("no shared programs at %s" % SHARED_DIR)
        shared, _ = discover(SHARED_DIR, SHARED_PREFIX)
        benches += shared
    known = [b.name for b in benches]
    for n in wanted:
        if n not in known:
            parser.error("unknown benchmark %r (known: %s)" % (n, ", ".join(known)))
    if wanted:
        benches = [b for b in benches if b.name in wanted]
    sizes = {b.name: None for b in benches}
    if args.quick:
        quick = dict(QUICK_SIZES)
        if any(b.name.startswith(SHARED_PREFIX) for b in benches):
            quick.update(shared_quick_sizes())
        for b in benches:
            if b.name not in quick:
                parser.error("no quick size for %s: add it to QUICK_SIZES" % b.name)
            sizes[b.name] = quick[b.name]
    return benches, sizes


def main():
    parser = argparse.ArgumentParser(
        description="Time qlr beside python3.11 and lua5.4 on the benchmark programs.")
    parser.add_argument("--qlr", default=str(ROOT / "build" / "release" / "qlr"),
                        help="the qlr interpreter, a command line (default: build/release/qlr)")
    parser.add_argument("--runs", type=int, default=3, metavar="N",
                        help="timed runs per interpreter and benchmark (default 3)")
    parser.add_argument("--quick", action="store_true",
                        help="small sizes, to check outputs; the times mean nothing")
    parser.add_argument("--only", action="append", default=[], metavar="NAME",
                        help="run only this benchmark (repeatable, or comma-separated)")
    parser.add_argument("--shared", action="store_true",
                        help="also run the programs of ../shared/bench/programs")
    parser.add_argument("--timeout", type=float, default=600.0, metavar="S",
                        help="limit for one run in seconds (default 600)")
    parser.add_argument("--python", metavar="CMD",
                        help="the CPython peer (default: the system's python3.11)")
    parser.add_argument("--lua", default="lua5.4", metavar="CMD",
                        help="the Lua peer (default lua5.4)")
    args = parser.parse_args()

    if args.runs < 1:
        parser.error("--runs must be at least 1")
    commands = {"qlr": shlex.split(args.qlr),
                "python": shlex.split(args.python) if args.python else default_python(),
                "lua": shlex.split(args.lua)}
    for lang in LANGS:
        if not commands[lang] or shutil.which(commands[lang][0]) is None:
            parser.error("%s interpreter not found: %s" % (lang, " ".join(commands[lang])))
    benches, sizes = select(args, parser)

    python_version = version_of(commands["python"] + ["--version"])
    print("qlr:    " + " ".join(commands["qlr"]))
    print("python: %s (%s)" % (" ".join(commands["python"]), python_version))
    print("lua:    %s (%s)" % (" ".join(commands["lua"]), version_of(commands["lua"] + ["-v"])))
    if not python_version.startswith("Python 3.11"):
        print("warning: the python peer is meant to be CPython 3.11, not " + python_version,
              file=sys.stderr)
    print("runs:   %d each%s" % (args.runs, ", quick sizes (times mean nothing)"
                                 if args.quick else ""))
    print()
    width = max([len(b.name) for b in benches] + [len("benchmark")])
    print("%-*s %9s %9s %9s %9s %9s" % (width, "benchmark", "qlr s", "python s", "lua s",
                                        "qlr/py", "qlr/lua"))
    sys.stdout.flush()

    failed = False
    ratios_py, ratios_lua = [], []
    with tempfile.TemporaryDirectory(prefix="qlr-bench-") as tmpdir:
        for bench in benches:
            try:
                medians, problems = time_benchmark(bench, commands, args.runs, args.timeout,
                                                   sizes[bench.name], tmpdir)
            except Failure as e:
                medians, problems = {lang: None for lang in LANGS}, [str(e)]
            q, p, l = medians["qlr"], medians["python"], medians["lua"]
            if problems:
                failed = True
                print("%-*s %s %s %s %9s %9s  FAIL" % (width, bench.name, fmt_time(q),
                                                       fmt_time(p), fmt_time(l), "-", "-"))
                for line in problems:
                    print("    " + line)
            else:
                print("%-*s %s %s %s %s %s" % (width, bench.name, fmt_time(q), fmt_time(p),
                                               fmt_time(l), fmt_ratio(q, p), fmt_ratio(q, l)))
                if p and l:
                    ratios_py.append(q / p)
                    ratios_lua.append(q / l)
            sys.stdout.flush()

    print("geomean qlr/python=%s qlr/lua=%s" % (geomean(ratios_py), geomean(ratios_lua)))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
