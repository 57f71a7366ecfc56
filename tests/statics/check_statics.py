#!/usr/bin/env python3
"""Fails when the interpreter's library holds process-wide state that is not the process's by nature.

usage: check_statics.py OBJDUMP LIBRARY   lists LIBRARY's writable static data
       check_statics.py --self-test       checks the reading of a made-up listing

Everything an interpreter changes as it runs lives in its runtime
(src/support/support.h). Writable static data (.bss, .data, .tbss, .tdata,
but for relocated read-only data) of qlr's own is therefore limited to
what the process has only one of, listed below with the reason.
"""
import re
import subprocess
import sys

ALLOWED = {
    r"qlr::activeRuntime": "the pointer to each thread's active runtime (support/support.h)",
    r"qlr::interruptRequested": "the flag a SIGINT handler sets (support/budget.h)",
    r"qlr::\(anonymous namespace\)::firstOutputError": "the first write error of standard output (builtins/io.cpp)",
}
WRITABLE = re.compile(r"^\.(bss|data|tbss|tdata)\b")
# address, seven flag characters, section, size, name
SYMBOL = re.compile(r"^[0-9a-f]+ (.{7}) (\S+)\s+[0-9a-f]+\s+(.*)$")


def unexpected(listing):
    found = []
    for line in listing.splitlines():
        match = SYMBOL.match(line)
        if not match:
            continue
        flags, section, name = match.groups()
        if "d" in flags or not WRITABLE.match(section) or section.startswith(".data.rel.ro"):
            continue
        if not name.startswith("qlr::") or name.startswith("guard variable"):
            continue
        if not any(re.fullmatch(pattern, name) for pattern in ALLOWED):
            found.append("%s (%s)" % (name, section))
    return sorted(set(found))


# A made-up listing, and what the check must report of it.
SAMPLE = """
In archive libqlrcore.a:

support.cpp.o:     file format elf64-x86-64

SYMBOL TABLE:
0000000000000000 l    df *ABS*\t0000000000000000 support.cpp
0000000000000000 l    d  .tbss\t0000000000000000 .tbss
0000000000000000 g       .tbss\t0000000000000008 qlr::activeRuntime
0000000000000000 l     O .bss\t0000000000000004 qlr::(anonymous namespace)::firstOutputError
0000000000000000 l     O .data.rel.ro.local\t0000000000000018 qlr::(anonymous namespace)::kScopeKind
0000000000000010 l     O .rodata\t0000000000000018 qlr::(anonymous namespace)::kOrder
0000000000000020 l     O .bss\t0000000000000180 qlr::Environment::pool_
0000000000000000 u     O .bss._ZN3qlr11Environment7pooled_E\t0000000000000008 qlr::Environment::pooled_
0000000000000000 l     O .data\t0000000000000004 qlr::(anonymous namespace)::counter
0000000000000000 l     O .bss\t0000000000000008 guard variable for qlr::table()::instance
0000000000000000 l     O .bss\t0000000000000008 std::__ioinit
"""
SAMPLE_REPORT = ["qlr::(anonymous namespace)::counter (.data)", "qlr::Environment::pool_ (.bss)",
                 "qlr::Environment::pooled_ (.bss._ZN3qlr11Environment7pooled_E)"]


def check(objdump, library):
    listing = subprocess.run([objdump, "-t", "-C", library], capture_output=True, text=True, check=True).stdout
    if not any(SYMBOL.match(line) for line in listing.splitlines()):
        print("no symbols read from %s" % library)
        return 1
    found = unexpected(listing)
    for name in found:
        print("process-wide state: %s" % name)
    allowed = "; ".join(pattern.replace("\\", "") + ": " + reason for pattern, reason in ALLOWED.items())
    if found:
        print("%d statics outside the runtime (src/support/support.h); only these may be: %s" % (len(found), allowed))
        return 1
    print("no process-wide state but %s" % allowed)
    return 0


if __name__ == "__main__":
    if sys.argv[1:] == ["--self-test"]:
        report = unexpected(SAMPLE)
        print("self-test %s" % ("passed" if report == SAMPLE_REPORT else "failed: reported %s" % report))
        sys.exit(0 if report == SAMPLE_REPORT else 1)
    if len(sys.argv) != 3:
        sys.exit(__doc__.strip().splitlines()[2])
    sys.exit(check(sys.argv[1], sys.argv[2]))
