#!/usr/bin/env python3
"""Builds the Debian package with CPack and reads it back with dpkg-deb.

  package_test.py CPACK BUILD_DIR VERSION --line-editing ON|OFF

Checks the control data (name, version, architecture, maintainer, section,
description and the dependencies found for the binary: libedit's package
too where qlr was built with line editing, and only then), the file list,
and that the packaged binary, unpacked, runs the packaged tour to its
expected output.
"""
import glob
import os
import re
import subprocess
import sys
import tempfile

from report import report

HERE = os.path.dirname(os.path.abspath(__file__))
RUN_GOLDEN = os.path.join(HERE, "..", "golden", "run_golden.py")

REQUIRED_FILES = [
    "./usr/bin/qlr",
    "./usr/share/man/man1/qlr.1",
    "./usr/share/doc/qlr/README.md",
    "./usr/share/doc/qlr/docs/reference.md",
    "./usr/share/doc/qlr/examples/tour.qlr",
    "./usr/share/vim/vimfiles/syntax/qlr.vim",
]


def run(argv, **kw):
    return subprocess.run(argv, capture_output=True, text=True, **kw)


def control_fields(text):
    fields, key = {}, None
    for line in text.splitlines():
        if line.startswith((" ", "\t")) and key:
            fields[key] += "\n" + line.strip()
        elif ":" in line:
            key, value = line.split(":", 1)
            fields[key] = value.strip()
    return fields


def main():
    cpack, build, version = sys.argv[1:4]
    line_editing = sys.argv[4:6] == ["--line-editing", "ON"]
    failures = []
    with tempfile.TemporaryDirectory(prefix="qlr-deb-") as out:
        proc = run([cpack, "-G", "DEB", "--config", os.path.join(build, "CPackConfig.cmake"), "-B", out])
        if proc.returncode != 0:
            print("cpack failed:\n" + proc.stdout + proc.stderr)
            return 1
        debs = glob.glob(os.path.join(out, "*.deb"))
        if len(debs) != 1:
            print("expected one package, found %s" % debs)
            return 1
        deb = debs[0]
        arch = run(["dpkg", "--print-architecture"]).stdout.strip()
        if os.path.basename(deb) != "qlr_%s_%s.deb" % (version, arch):
            failures.append("package file named %s" % os.path.basename(deb))

        fields = control_fields(run(["dpkg-deb", "-I", deb, "control"]).stdout)
        expect = {"Package": "qlr", "Version": version, "Architecture": arch,
                  "Section": "interpreters", "Priority": "optional"}
        for key, want in expect.items():
            if fields.get(key) != want:
                failures.append("control %s is %r, expected %r" % (key, fields.get(key), want))
        if not re.fullmatch(r".+ <[^<>@\s]+@[^<>@\s]+>", fields.get("Maintainer", "")):
            failures.append("control Maintainer is %r" % fields.get("Maintainer"))
        description = fields.get("Description", "")
        if not description.startswith("interpreter for the Quillora scripting language\n"):
            failures.append("control Description is %r" % description)
        # The C library comes from dpkg-shlibdeps, with the version the binary needs.
        depends = fields.get("Depends", "")
        if not re.search(r"(^|, )libc6 \(>= [0-9.]+\)", depends):
            failures.append("control Depends is %r" % depends)
        if bool(re.search(r"(^|, )libedit2 \(>= [^)]+\)", depends)) != line_editing:
            failures.append("control Depends is %r, with qlr built %s line editing"
                            % (depends, "with" if line_editing else "without"))

        listing = run(["dpkg-deb", "-c", deb]).stdout.splitlines()
        paths = [line.split()[-1] for line in listing if line]
        for path in REQUIRED_FILES:
            if path not in paths:
                failures.append("not in the package: " + path)
        for path in paths:
            if not path.startswith("./usr/"):
                failures.append("packaged outside /usr: " + path)
        modes = {line.split()[-1]: line.split()[0] for line in listing if line}
        if not modes.get("./usr/bin/qlr", "").startswith("-rwxr-xr-x"):
            failures.append("usr/bin/qlr has mode %r" % modes.get("./usr/bin/qlr"))

        root = os.path.join(out, "root")
        if run(["dpkg-deb", "-x", deb, root]).returncode != 0:
            failures.append("dpkg-deb -x failed")
        else:
            tour = os.path.join(root, "usr", "share", "doc", "qlr", "examples", "tour.qlr")
            golden = run([sys.executable, RUN_GOLDEN, os.path.join(root, "usr", "bin", "qlr"), tour])
            if golden.returncode != 0:
                failures.append("packaged binary on the packaged tour: " + golden.stdout)
    return report(failures, "package")


if __name__ == "__main__":
    sys.exit(main())
