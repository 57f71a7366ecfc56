"""Peak memory of loops that make garbage, in qlr beside its peer interpreters.

Every program in bench/memory/ (NAME.qlr with NAME.py and NAME.lua doing the
same) runs a loop that makes one kind of garbage per iteration and drops it:
cycles of scopes and functions, blueprints, instances and lists, acyclic
garbage for contrast, and `none`, the same loop making no garbage. Each runs
at two sizes (its `N = ...` line rewritten), and the table gives the peak
resident memory of each interpreter (GNU time) and, for qlr, how far it lies
above qlr's own `none` at the same size. The outputs of the three versions
must agree.

    python3 bench/memory.py [--qlr build/release/qlr] [--sizes 100000,1000000] [NAME...]

The exit status is 1 when a run fails or the outputs differ; the figures
themselves are reported, not judged.
"""
import argparse
import re
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

from footprint import GNU_TIME, ROOT

PROGRAMS = Path(__file__).resolve().parent / "memory"


def sized(source, n):
    return re.sub(r"^(local )?N = \d+$", lambda m: f"{m.group(1) or ''}N = {n}", source, count=1, flags=re.M)


def measure(argv):
    """Runs argv; returns (exit status, stdout, max RSS in KiB)."""
    with tempfile.NamedTemporaryFile("r") as report:
        proc = subprocess.run([GNU_TIME, "-q", "-f", "%M", "-o", report.name] + argv,
                              capture_output=True, text=True)
        return proc.returncode, proc.stdout, int(report.read().split()[-1])


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--qlr", default=str(ROOT / "build" / "release" / "qlr"))
    parser.add_argument("--python", default=shutil.which("python3.11") or "python3")
    parser.add_argument("--lua", default=shutil.which("lua5.4") or "lua")
    parser.add_argument("--sizes", default="100000,1000000")
    parser.add_argument("names", nargs="*")
    args = parser.parse_args()

    sizes = [int(s) for s in args.sizes.split(",")]
    names = args.names or sorted(p.stem for p in PROGRAMS.glob("*.qlr"))
    if "none" in names:
        names.remove("none")
    names.insert(0, "none")
    interpreters = {"qlr": (args.qlr, ".qlr"), "python": (args.python, ".py"), "lua": (args.lua, ".lua")}
    failed = False
    baseline = {}
    print(f"{'program':<18}{'N':>9}{'qlr KiB':>10}{'python KiB':>12}{'lua KiB':>10}{'qlr-none MiB':>14}")
    with tempfile.TemporaryDirectory() as tmp:
        for name in names:
            for n in sizes:
                peaks, outputs = {}, {}
                for who, (exe, ext) in interpreters.items():
                    script = Path(tmp) / (name + ext)
                    script.write_text(sized((PROGRAMS / (name + ext)).read_text(), n))
                    status, out, kib = measure([exe, str(script)])
                    if status != 0:
                        print(f"{name} N={n}: {who} exited with status {status}", file=sys.stderr)
                        failed = True
                    peaks[who], outputs[who] = kib, out
                if len(set(outputs.values())) != 1:
                    print(f"{name} N={n}: outputs differ: {outputs}", file=sys.stderr)
                    failed = True
                if name == "none":
                    baseline[n] = peaks["qlr"]
                above = (peaks["qlr"] - baseline[n]) / 1024
                print(f"{name:<18}{n:>9}{peaks['qlr']:>10}{peaks['python']:>12}{peaks['lua']:>10}{above:>14.1f}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
