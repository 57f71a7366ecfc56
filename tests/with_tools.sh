#!/usr/bin/env bash
# Runs a test only where the tools it needs exist:
#   with_tools.sh TOOL... -- COMMAND [ARG...]
# A missing tool skips the test (status 77, ctest's SKIP_RETURN_CODE), unless
# QLR_REQUIRE_TOOLS is set, as continuous integration does after installing
# them: there a missing tool is a failure, so a lost install step shows.
set -u
tools=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do tools+=("$1"); shift; done
shift
for tool in "${tools[@]}"; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    if [ -n "${QLR_REQUIRE_TOOLS:-}" ]; then
      echo "required tool not found: $tool"
      exit 1
    fi
    echo "skipped: $tool not found"
    exit 77
  fi
done
exec "$@"
