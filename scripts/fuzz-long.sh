#!/usr/bin/env bash
# The long fuzzing run: one target at a time at the lowest priority, each for
# SECONDS (default 600), starting from its seeds and its kept corpus. Prints
# per target the executions, the coverage (cov/ft) at the start, at half time
# and at the end, and whether it still grew in the last half; then merges
# what the run found into fuzz/corpus/<target>, minimised (libFuzzer -merge=1,
# keeping only inputs that add coverage beyond the seeds).
#   scripts/fuzz-long.sh [SECONDS [TARGET...]]
# TARNIVEL_FUZZ_BUILD overrides the build directory (default build/fuzz);
# TARNIVEL_FUZZ_MERGE=0 leaves fuzz/corpus as it is.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-600}"
build="${TARNIVEL_FUZZ_BUILD:-$root/build/fuzz}"
merge="${TARNIVEL_FUZZ_MERGE:-1}"
case "$seconds" in '' | *[!0-9]* | 0) echo "usage: $0 [seconds [target...]]" >&2; exit 2 ;; esac
shift $(( $# > 0 ? 1 : 0 ))

# shellcheck source=fuzz-common.sh
. "$root/scripts/fuzz-common.sh"
fuzz_targets
if [ $# -gt 0 ]; then
  for name in "$@"; do
    [ -e "$root/fuzz/$name.cpp" ] || { echo "no fuzz target $name" >&2; exit 2; }
  done
  targets=("$@")
fi
fuzz_build "${targets[@]}"

runs="$build/long"
rm -rf "$runs"
mkdir -p "$runs"

# cov and ft of the last status line at or before second LIMIT of a log whose
# lines start with the second they were printed at ("-" if there is none).
coverage_at() {
  awk -v limit="$2" '
    $1 <= limit && match($0, / cov: [0-9]+ ft: [0-9]+/) {
      split(substr($0, RSTART, RLENGTH), f, " "); c = f[2] "/" f[4]
    }
    END { print (c == "" ? "-" : c) }' "$1"
}

count_files() { if [ -d "$1" ]; then find "$1" -maxdepth 1 -type f | wc -l; else echo 0; fi; }

report="$runs/report.md"
{
  echo "| Target | Seconds | Executions | cov/ft at start | at half time | at the end | Grew in last half | Corpus files |"
  echo "|---|---:|---:|---:|---:|---:|---|---:|"
} >"$report"

failed=0
started=$EPOCHSECONDS
for name in "${targets[@]}"; do
  dir="$runs/$name"
  mkdir -p "$dir"
  fuzz_start_corpus "$name" "$dir/corpus"
  kept="$root/fuzz/corpus/$name"
  before="$(count_files "$kept")"
  echo "== $name: $seconds s from $(count_files "$dir/corpus") inputs ($before kept)"

  t0=$EPOCHSECONDS
  rc=0
  set +e
  nice -n 19 "$build/$name" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=30 \
    -print_final_stats=1 -artifact_prefix="$dir/" "$dir/corpus" 2>&1 |
    while IFS= read -r line; do printf '%s %s\n' "$((EPOCHSECONDS - t0))" "$line"; done >"$dir/log"
  rc=${PIPESTATUS[0]}
  set -e
  took=$((EPOCHSECONDS - t0))

  execs="$(sed -n 's/^[0-9]* stat::number_of_executed_units: *//p' "$dir/log" | tail -n 1)"
  start="$(awk '/INITED/' "$dir/log" >"$dir/inited"; coverage_at "$dir/inited" 999999)"
  half="$(coverage_at "$dir/log" $((took / 2)))"
  end="$(coverage_at "$dir/log" 999999)"
  grew=no
  [ "$half" = "$end" ] || grew=yes
  artifacts="$(find "$dir" -maxdepth 1 -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' \
    -o -name 'oom-*' -o -name 'slow-unit-*' \) | sort)"

  after="$before"
  if [ "$rc" != 0 ] || [ -n "$artifacts" ]; then
    failed=1
    echo "$name FAILED (exit $rc; log $dir/log)" $artifacts
    grew="$grew (FAILED, not merged)"
  elif [ "$merge" = 1 ]; then
    # The seeds go first into the merged set so that only inputs adding
    # coverage beyond them are kept; they are taken out again afterwards.
    merged="$dir/merged"
    mkdir -p "$merged"
    [ -d "$root/fuzz/seeds/$name" ] && cp -R "$root/fuzz/seeds/$name/." "$merged/"
    inputs=("$dir/corpus")
    [ -d "$kept" ] && inputs=("$kept" "${inputs[@]}")
    if nice -n 19 "$build/$name" -merge=1 -rss_limit_mb=2048 -timeout=30 \
      -artifact_prefix="$dir/" "$merged" "${inputs[@]}" >"$dir/merge.log" 2>&1; then
      if [ -d "$root/fuzz/seeds/$name" ]; then
        (cd "$root/fuzz/seeds/$name" && find . -maxdepth 1 -type f -exec rm -f "$merged/{}" \;)
      fi
      rm -rf "$kept"
      mkdir -p "$kept"
      find "$merged" -maxdepth 1 -type f -exec mv {} "$kept/" \;
      after="$(count_files "$kept")"
    else
      failed=1
      echo "$name: merge FAILED (log $dir/merge.log); fuzz/corpus/$name left as it was"
      grew="$grew (merge FAILED)"
    fi
  fi

  echo "$name: ${took} s, ${execs:-?} executions, cov/ft $start -> $half -> $end, grew in last half: $grew, corpus $before -> $after"
  echo "| \`$name\` | $took | ${execs:-?} | $start | $half | $end | $grew | $before -> $after |" >>"$report"
done

echo
echo "Long run of ${#targets[@]} targets in $((EPOCHSECONDS - started)) s ($seconds s each):"
cat "$report"
exit "$failed"
