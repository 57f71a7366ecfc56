"""Runs the Quillora benchmark programs in bench/ and tabulates median wall time and checksum."""
import argparse
import statistics
import subprocess
import sys
import time
from pathlib import Path

BENCH_DIR = Path(__file__).resolve().parent
ROOT = BENCH_DIR.parent


def run_once(qlr, program):
    start = time.perf_counter()
    proc = subprocess.run([str(qlr), str(program)], capture_output=True, text=True)
    elapsed = time.perf_counter() - start
    return elapsed, proc.returncode, proc.stdout, proc.stderr


def bench(qlr, program, runs):
    """Returns (median seconds, checksum line, problem or None)."""
    times, outputs = [], []
    for _ in range(runs):
        elapsed, rc, stdout, stderr = run_once(qlr, program)
        if rc != 0:
            detail = stderr.strip().splitlines()[-1] if stderr.strip() else "no message"
            return None, "", f"exit status {rc}: {detail}"
        times.append(elapsed)
        outputs.append(stdout)
    if any(o != outputs[0] for o in outputs[1:]):
        return statistics.median(times), "", "output differs between runs"
    lines = outputs[0].strip().splitlines()
    checksum = lines[-1] if lines else ""
    return statistics.median(times), checksum, None


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--qlr", default=str(ROOT / "build" / "release" / "qlr"),
                        help="interpreter to run (default: build/release/qlr)")
    parser.add_argument("--runs", type=int, default=3, help="runs per program (default: 3)")
    parser.add_argument("names", nargs="*", metavar="NAME",
                        help="programs to run, without .qlr (default: all)")
    args = parser.parse_args()

    if args.runs < 1:
        parser.error("--runs must be at least 1")
    qlr = Path(args.qlr)
    if not qlr.is_file():
        print(f"run.py: no interpreter at {qlr}", file=sys.stderr)
        return 1

    if args.names:
        programs = [BENCH_DIR / (n if n.endswith(".qlr") else n + ".qlr") for n in args.names]
    else:
        programs = sorted(BENCH_DIR.glob("*.qlr"))

    failed = False
    width = max((len(p.stem) for p in programs), default=4)
    print(f"{'name':<{width}}  {'median s':>8}  checksum")
    for program in programs:
        if not program.is_file():
            print(f"{program.stem:<{width}}  {'-':>8}  FAILED: no such program")
            failed = True
            continue
        median, checksum, problem = bench(qlr, program, args.runs)
        secs = f"{median:8.3f}" if median is not None else f"{'-':>8}"
        if problem:
            print(f"{program.stem:<{width}}  {secs}  FAILED: {problem}")
            failed = True
        else:
            print(f"{program.stem:<{width}}  {secs}  {checksum}")
        sys.stdout.flush()
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
