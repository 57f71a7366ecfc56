#!/usr/bin/env python3
"""Runs one golden case and compares what qlr did with the files beside it.

A case is NAME.qlr (run as a script) or NAME.repl (fed to the interactive
loop on standard input). Beside it:
  NAME.stdout   expected standard output (absent: empty)
  NAME.stderr   expected standard error (absent: empty)
  NAME.status   expected exit status (absent: 0)
  NAME.stdin    standard input for a script (absent: empty)
  NAME.args     optional: the script path to pass, relative to the case's
                folder, instead of NAME.qlr (for paths with folders)
A script runs with its own folder as the working directory, so paths in
messages read as written in the expected files.
"""
import os
import subprocess
import sys


def read(path, default=b""):
    try:
        with open(path, "rb") as f:
            return f.read()
    except FileNotFoundError:
        return default


def main():
    qlr, case = sys.argv[1], sys.argv[2]
    folder, name = os.path.split(case)
    stem, ext = os.path.splitext(name)
    base = os.path.join(folder, stem)
    if ext == ".repl":
        argv = [qlr]
        stdin = read(case)
    else:
        script = read(base + ".args").decode().strip() or name
        argv = [qlr, script]
        stdin = read(base + ".stdin")
    try:
        proc = subprocess.run(argv, cwd=folder, input=stdin, capture_output=True, timeout=100)
    except subprocess.TimeoutExpired:
        print("FAIL %s: timed out" % case)
        return 1
    ok = True
    want_status = int(read(base + ".status", b"0").strip() or b"0")
    if proc.returncode != want_status:
        print("status %d, expected %d" % (proc.returncode, want_status))
        ok = False
    for stream, got in (("stdout", proc.stdout), ("stderr", proc.stderr)):
        want = read(base + "." + stream)
        if got != want:
            print("%s differs\n  got:      %r\n  expected: %r" % (stream, got[:2000], want[:2000]))
            ok = False
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
