#!/usr/bin/env python3
"""Fails when a source file includes a header of a layer above its own.

usage: check_layers.py SRC_DIR     checks every file under SRC_DIR
       check_layers.py --self-test checks that a tree with an upward include fails

The folders of src/ are layered (src/support/support.h): a file includes only
headers of its own folder or of the folders below it, each named by its
folder ("values/value.h"). A folder in no layer, or an include that names no
folder, is an error too, so that a new folder has to be placed first.
"""
import os
import re
import sys
import tempfile

LAYERS = ["support", "frontend", "values", "interp", "builtins", "host"]  # bottom first
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def violations(src):
    found = []
    for folder in sorted(os.listdir(src)):
        path = os.path.join(src, folder)
        if not os.path.isdir(path):
            continue
        if folder not in LAYERS:
            found.append("src/%s/: a folder in no layer" % folder)
            continue
        for root, _, files in os.walk(path):
            for name in sorted(files):
                if not name.endswith((".h", ".cpp")):
                    continue
                file = os.path.join(root, name)
                shown = os.path.relpath(file, os.path.dirname(src))
                with open(file, encoding="utf-8") as text:
                    for number, line in enumerate(text, 1):
                        match = INCLUDE.match(line)
                        if not match:
                            continue
                        header = match.group(1)
                        layer = header.split("/")[0] if "/" in header else None
                        if layer not in LAYERS:
                            found.append('%s:%d: "%s" names no layer' % (shown, number, header))
                        elif LAYERS.index(layer) > LAYERS.index(folder):
                            found.append('%s:%d: "%s" is above %s' % (shown, number, header, folder))
    return found


def self_test():
    with tempfile.TemporaryDirectory() as tmp:
        src = os.path.join(tmp, "src")
        for folder, text in [("values", '#include "values/b.h"\n#include "frontend/c.h"\n'),
                             ("frontend", '#include "support/d.h"\n')]:
            os.makedirs(os.path.join(src, folder))
            with open(os.path.join(src, folder, "a.cpp"), "w") as out:
                out.write(text)
        if violations(src):
            print("self-test: a tree that only looks down was rejected: %s" % violations(src))
            return 1
        with open(os.path.join(src, "values", "up.h"), "w") as out:
            out.write('#pragma once\n#include "interp/interpreter.h"\n')
        os.makedirs(os.path.join(src, "extras"))
        with open(os.path.join(src, "frontend", "bare.cpp"), "w") as out:
            out.write('#include "local.h"\n')
        expected = ['src/extras/: a folder in no layer',
                    'src/frontend/bare.cpp:1: "local.h" names no layer',
                    'src/values/up.h:2: "interp/interpreter.h" is above values']
        if violations(src) != expected:
            print("self-test: expected %s, got %s" % (expected, violations(src)))
            return 1
    print("self-test passed")
    return 0


def main():
    if sys.argv[1:] == ["--self-test"]:
        return self_test()
    if len(sys.argv) != 2:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    found = violations(sys.argv[1])
    for line in found:
        print(line)
    if found:
        print("%d includes break the layer order %s" % (len(found), " -> ".join(reversed(LAYERS))))
        return 1
    print("every include looks down: %s" % " -> ".join(reversed(LAYERS)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
