#!/usr/bin/env bash
# Builds the libFuzzer targets and runs every fuzz/fuzz_*.cpp target for the
# given number of seconds (default 20), two at a time, each starting from a
# scratch copy of its seed corpus. Fails if any target finds a crash.
#   scripts/fuzz.sh [seconds]
# TARNIVEL_FUZZ_BUILD overrides the build directory (default build/fuzz);
# TARNIVEL_FUZZ_JOBS the number of targets run at once (default 2).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-20}"
build="${TARNIVEL_FUZZ_BUILD:-$root/build/fuzz}"
jobs="${TARNIVEL_FUZZ_JOBS:-2}"
case "$seconds" in '' | *[!0-9]*) echo "usage: $0 [seconds]" >&2; exit 2 ;; esac

targets=()
for src in "$root"/fuzz/fuzz_*.cpp; do
  [ -e "$src" ] || continue
  targets+=("$(basename "$src" .cpp)")
done
if [ ${#targets[@]} -eq 0 ]; then
  echo "no fuzz targets in $root/fuzz" >&2
  exit 1
fi

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
  -DTARNIVEL_FUZZ=ON >/dev/null
ninja -C "$build" -j2 "${targets[@]}"

runs="$build/runs"
rm -rf "$runs"
mkdir -p "$runs"

run_one() {
  local name="$1" dir="$runs/$1"
  mkdir -p "$dir/corpus"
  if [ -d "$root/fuzz/seeds/$name" ]; then
    cp -R "$root/fuzz/seeds/$name/." "$dir/corpus/"
  fi
  local rc=0
  "$build/$name" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=30 -print_final_stats=1 \
    -artifact_prefix="$dir/" "$dir/corpus" >"$dir/log" 2>&1 || rc=$?
  echo "$rc" >"$dir/rc"
  echo "$name finished (exit $rc)"
}
export -f run_one
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
