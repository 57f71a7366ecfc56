#!/usr/bin/env bash
# Builds the fuzz targets and runs each for SECONDS (default 60) from a seed
# corpus of the project's golden scripts and examples. New crash inputs land
# in fuzz/regressions/<target>/, which the normal test suite replays.
#   fuzz/run.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(frontend_fuzz interpreter_fuzz values_fuzz)

cmake --preset fuzz >/dev/null && cmake --build --preset fuzz >/dev/null
# Every input must leave nothing behind: the leak check runs after each one.
export ASAN_OPTIONS="detect_leaks=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"

seeds=build/fuzz/seeds
mkdir -p "$seeds"
find tests/golden examples -type f \( -name '*.qlr' -o -name '*.repl' \) | while read -r f; do
  cp "$f" "$seeds/$(echo "$f" | tr '/\\' '__')"
done

status=0
for t in "${targets[@]}"; do
  corpus=build/fuzz/corpus/$t
  crashes=fuzz/regressions/$t
  mkdir -p "$corpus" "$crashes"
  seed_dirs=()
  [ "$t" = values_fuzz ] || seed_dirs=("$seeds")
  echo "== $t for ${seconds}s"
  if ! build/fuzz/fuzz/$t "$corpus" "${seed_dirs[@]}" -dict=fuzz/qlr.dict -max_total_time="$seconds" \
      -timeout=10 -rss_limit_mb=4096 -max_len=4096 -print_final_stats=1 -artifact_prefix="$crashes/" \
      2>build/fuzz/$t.log; then
    status=1
  fi
  grep -E '^(#[0-9]+ +DONE|stat::number_of_executed_units|stat::peak_rss_mb)' build/fuzz/$t.log || true
  tail -n 3 build/fuzz/$t.log | grep -E 'cov:' || true
done
exit $status
