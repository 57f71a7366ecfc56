"""Peak memory and start-up time of qlr beside its peer interpreters.

For every program NAME.qlr in a benchmark folder that also has NAME.py
(and, if present, NAME.lua), runs each version once and prints its peak
resident memory (the kernel's maximum RSS of the child) and the ratio
qlr/python. Then times an empty script in each interpreter, best of a few
rounds of many runs, and prints qlr's start-up as a ratio to lua's.

    python3 bench/footprint.py [--qlr build/release/qlr] [--programs DIR]

DIR defaults to ../shared/bench/programs beside the checkout. The exit
status is 1 when a run fails; the figures themselves are reported, not
judged.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent


# The child's maximum RSS as the kernel keeps it counts what the process
# held before it replaced itself with the program: started from this
# script, that is the whole Python interpreter. GNU time starts programs
# from a process of its own size, a few hundred KiB.
GNU_TIME = "/usr/bin/time"


def peak_kib(argv):
    """Runs argv to completion; returns (exit status, max RSS in KiB)."""
    with tempfile.NamedTemporaryFile("r") as report:
        proc = subprocess.run([GNU_TIME, "-q", "-f", "%M", "-o", report.name] + argv,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return proc.returncode, int(report.read().split()[-1])


def startup_seconds(argv, runs, rounds=3):
    best = None
    for _ in range(rounds):
        start = time.perf_counter()
        for _ in range(runs):
            subprocess.run(argv, stdout=subprocess.DEVNULL, check=True)
        each = (time.perf_counter() - start) / runs
        best = each if best is None else min(best, each)
    return best


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--qlr", default=str(ROOT / "build" / "release" / "qlr"))
    parser.add_argument("--programs", default=str(ROOT.parent / "shared" / "bench" / "programs"))
    parser.add_argument("--python", default=shutil.which("python3.11") or "python3")
    parser.add_argument("--lua", default=shutil.which("lua5.4") or "lua")
    parser.add_argument("--startup-runs", type=int, default=200)
    args = parser.parse_args()

    if not os.access(GNU_TIME, os.X_OK):
        sys.exit(f"{GNU_TIME} is needed to measure peak memory (Debian package: time)")
    failed = False
    print(f"{'program':<16}{'qlr KiB':>10}{'python KiB':>12}{'lua KiB':>10}{'qlr/py':>9}")
    for qlr_file in sorted(Path(args.programs).glob("*.qlr")):
        py_file = qlr_file.with_suffix(".py")
        if not py_file.exists():
            continue
        lua_file = qlr_file.with_suffix(".lua")
        runs = {"qlr": [args.qlr, str(qlr_file)], "python": [args.python, str(py_file)]}
        if lua_file.exists():
            runs["lua"] = [args.lua, str(lua_file)]
        peaks = {}
        for name, argv in runs.items():
            status, kib = peak_kib(argv)
            if status != 0:
                print(f"{qlr_file.stem}: {name} exited with status {status}", file=sys.stderr)
                failed = True
            peaks[name] = kib
        lua = f"{peaks['lua']:>10}" if "lua" in peaks else f"{'-':>10}"
        print(f"{qlr_file.stem:<16}{peaks['qlr']:>10}{peaks['python']:>12}{lua}"
              f"{peaks['qlr'] / peaks['python']:>9.2f}")

    with tempfile.TemporaryDirectory() as tmp:
        empty_qlr = Path(tmp) / "empty.qlr"
        empty_lua = Path(tmp) / "empty.lua"
        empty_qlr.write_text("")
        empty_lua.write_text("")
        qlr_s = startup_seconds([args.qlr, str(empty_qlr)], args.startup_runs)
        lua_s = startup_seconds([args.lua, str(empty_lua)], args.startup_runs)
    print(f"start-up, empty script: qlr {qlr_s * 1000:.2f} ms, lua {lua_s * 1000:.2f} ms, "
          f"qlr/lua={qlr_s / lua_s:.2f}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
