#!/usr/bin/env bash
# Builds the libFuzzer targets and runs every fuzz/fuzz_*.cpp target for the
# given number of seconds (default 20), two at a time, each starting from a
# scratch copy of its seeds and its kept corpus (fuzz/corpus/<target>). Fails
# if any target finds a crash.
#   scripts/fuzz.sh [seconds]
# TARNIVEL_FUZZ_BUILD overrides the build directory (default build/fuzz);
# TARNIVEL_FUZZ_JOBS the number of targets run at once (default 2).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-20}"
build="${TARNIVEL_FUZZ_BUILD:-$root/build/fuzz}"
jobs="${TARNIVEL_FUZZ_JOBS:-2}"
case "$seconds" in '' | *[!0-9]*) echo "usage: $0 [seconds]" >&2; exit 2 ;; esac

# shellcheck source=fuzz-common.sh
. "$root/scripts/fuzz-common.sh"
fuzz_targets
fuzz_build "${targets[@]}"

runs="$build/runs"
rm -rf "$runs"
mkdir -p "$runs"

run_one() {
  local name="$1" dir="$runs/$1"
  fuzz_start_corpus "$name" "$dir/corpus"
  local rc=0
  "$build/$name" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=30 -print_final_stats=1 \
    -artifact_prefix="$dir/" "$dir/corpus" >"$dir/log" 2>&1 || rc=$?
  echo "$rc" >"$dir/rc"
  echo "$name finished (exit $rc)"
}
export -f run_one fuzz_start_corpus
export root build runs seconds

printf '%s\n' "${targets[@]}" | xargs -P "$jobs" -I{} bash -c 'run_one "$1"' _ {}

failed=0
printf '\n%-28s %14s  %s\n' target executions result
for name in "${targets[@]}"; do
  dir="$runs/$name"
  rc="$(cat "$dir/rc" 2>/dev/null || echo missing)"
  execs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/log" | tail -n 1)"
  artifacts="$(find "$dir" -maxdepth 1 -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' \
    -o -name 'oom-*' -o -name 'slow-unit-*' \) | sort)"
  result=ok
  if [ "$rc" != 0 ] || [ -n "$artifacts" ]; then
    result="FAILED (exit $rc; log $dir/log)"
    failed=1
  fi
  printf '%-28s %14s  %s\n' "$name" "${execs:-?}" "$result"
  [ -z "$artifacts" ] || printf '    %s\n' $artifacts
done
exit "$failed"
