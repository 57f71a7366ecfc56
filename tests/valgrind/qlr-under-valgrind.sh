#!/bin/sh
# Runs the release qlr under valgrind's memory checker; status 99 marks a memory error.
# Leaks are not checked: the interpreter ends without tearing down its heap.
here=$(cd "$(dirname "$0")" && pwd)
exec valgrind --error-exitcode=99 -q "${QLR:-$here/../../build/release/qlr}" "$@"
