#!/bin/sh
# Runs every golden case with qlr under valgrind and counts passes and failures.
# Slow (several minutes), so it is run by hand and kept out of CTest.
# A valgrind report shows up as a failed case whose standard error differs.
here=$(cd "$(dirname "$0")" && pwd)
golden="$here/../golden"
log=$(mktemp)
passed=0
failed=0
for case in $(find "$golden" -type f \( -name '*.qlr' -o -name '*.repl' \) | sort); do
  stem=${case%.*}
  # Scripts that cases load as modules have no expectation files and are no cases.
  [ -e "$stem.stdout" ] || [ -e "$stem.stderr" ] || [ -e "$stem.status" ] || continue
  if python3 "$golden/run_golden.py" "$here/qlr-under-valgrind.sh" "$case" >"$log" 2>&1; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL ${case#$golden/}"
    sed 's/^/  /' "$log"
  fi
done
rm -f "$log"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
