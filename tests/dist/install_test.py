#!/usr/bin/env python3
"""Installs the build into a fresh prefix and uses what was installed.

  install_test.py CMAKE BUILD_DIR SOURCE_DIR

Checks that `cmake --install` puts the binary, the manual page, the
documentation, the examples and the editor files where the README says, and
nothing anywhere else; then runs every installed example with the installed
binary, from the installed copy, against its installed expected output.
"""
import os
import subprocess
import sys
import tempfile

from report import report

HERE = os.path.dirname(os.path.abspath(__file__))
RUN_GOLDEN = os.path.join(HERE, "..", "golden", "run_golden.py")

# Every installed file lies under one of these.
ALLOWED_ROOTS = ("bin/", "share/man/man1/", "share/doc/qlr/", "share/vim/vimfiles/")
REQUIRED = [
    "bin/qlr",
    "share/man/man1/qlr.1",
    "share/doc/qlr/README.md",
    "share/doc/qlr/docs/tutorial.md",
    "share/doc/qlr/docs/reference.md",
    "share/doc/qlr/docs/builtins.md",
    "share/doc/qlr/examples/tour.qlr",
    "share/doc/qlr/examples/tour.stdout",
    "share/doc/qlr/editors/vscode/package.json",
    "share/doc/qlr/editors/vscode/syntaxes/quillora.tmLanguage.json",
    "share/vim/vimfiles/syntax/qlr.vim",
    "share/vim/vimfiles/ftdetect/qlr.vim",
]


def installed_files(prefix):
    found = []
    for folder, _, names in os.walk(prefix):
        for name in names:
            found.append(os.path.relpath(os.path.join(folder, name), prefix))
    return sorted(found)


def example_cases(examples):
    for folder, _, names in os.walk(examples):
        for name in sorted(names):
            stem, ext = os.path.splitext(name)
            if ext == ".qlr" and os.path.exists(os.path.join(folder, stem + ".stdout")):
                yield os.path.join(folder, name)


def main():
    cmake, build, source = sys.argv[1:4]
    failures = []
    with tempfile.TemporaryDirectory(prefix="qlr-install-") as prefix:
        proc = subprocess.run([cmake, "--install", build, "--prefix", prefix],
                              capture_output=True, text=True)
        if proc.returncode != 0:
            print("cmake --install failed:\n" + proc.stdout + proc.stderr)
            return 1
        files = installed_files(prefix)
        for path in REQUIRED:
            if path not in files:
                failures.append("not installed: " + path)
        for path in files:
            if not path.startswith(ALLOWED_ROOTS):
                failures.append("installed outside the layout: " + path)
        qlr = os.path.join(prefix, "bin", "qlr")
        if not os.access(qlr, os.X_OK):
            failures.append("bin/qlr is not executable")
        # The source tree's examples must all have arrived, expected output included.
        source_cases = [os.path.relpath(c, os.path.join(source, "examples"))
                        for c in example_cases(os.path.join(source, "examples"))]
        examples = os.path.join(prefix, "share", "doc", "qlr", "examples")
        installed_cases = list(example_cases(examples))
        if sorted(source_cases) != sorted(os.path.relpath(c, examples) for c in installed_cases):
            failures.append("installed examples differ from the source tree's: %s" % source_cases)
        for case in installed_cases:
            run = subprocess.run([sys.executable, RUN_GOLDEN, qlr, case], capture_output=True, text=True)
            if run.returncode != 0:
                failures.append("installed example %s: %s" % (os.path.relpath(case, examples), run.stdout))
    return report(failures, "install, %d installed examples run" % len(installed_cases))


if __name__ == "__main__":
    sys.exit(main())
