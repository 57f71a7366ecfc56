#!/usr/bin/env python3
"""Configures the project as on a machine without GoogleTest, python3 or libedit.

  configure_test.py CMAKE GENERATOR SOURCE_DIR

The interpreter must still configure (so that the README's first command
builds and runs the tour there), with a message for each group of tests left
out and one saying that line editing is left out, and the build must still
offer the qlr target. Asking for line editing there (QLR_LINE_EDITING=ON)
must fail the configure with a message naming what to install.
"""
import glob
import json
import os
import subprocess
import sys
import tempfile

from report import report


def main():
    cmake, generator, source = sys.argv[1:4]
    with tempfile.TemporaryDirectory(prefix="qlr-configure-") as build:
        # Ask CMake's file API for the configured targets.
        query = os.path.join(build, ".cmake", "api", "v1", "query")
        os.makedirs(query)
        open(os.path.join(query, "codemodel-v2"), "w").close()
        bare = [cmake, "-S", source, "-B", build, "-G", generator, "-DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON",
                "-DCMAKE_DISABLE_FIND_PACKAGE_Python3=ON", "-DCMAKE_DISABLE_FIND_PACKAGE_PkgConfig=ON"]
        proc = subprocess.run(bare, capture_output=True, text=True)
        failures = []
        if proc.returncode != 0:
            failures.append("configuring failed:\n" + proc.stdout + proc.stderr)
        for message in ("GoogleTest not found: the unit tests are left out",
                        "python3 not found: the tests run by scripts",
                        "Line editing: none, libedit not found (Debian packages libedit-dev and pkgconf)"):
            if message not in proc.stdout:
                failures.append("no message: " + message)
        targets = set()
        for reply in glob.glob(os.path.join(build, ".cmake", "api", "v1", "reply", "codemodel-v2-*.json")):
            with open(reply) as f:
                for config in json.load(f)["configurations"]:
                    targets.update(t["name"] for t in config["targets"])
        if "qlr" not in targets:
            failures.append("no qlr target among %s" % sorted(targets))
        if "qlr_unit_tests" in targets:
            failures.append("the unit tests were configured without GoogleTest")
        required = subprocess.run(bare + ["-DQLR_LINE_EDITING=ON"], capture_output=True, text=True)
        if required.returncode == 0 or "libedit was not found" not in required.stderr:
            failures.append("line editing required without libedit:\n" + required.stdout + required.stderr)
    return report(failures, "configure without GoogleTest, python3 and libedit")


if __name__ == "__main__":
    sys.exit(main())
