#!/usr/bin/env bash
# Fault sweep of dxlhost soak: every scenario with every counted call failing
# at N = 1, 2, 3 ... until the scenario makes no Nth call. A crash or hang ends
# one dxlhost process; the sweep records the case and goes on at N + 1.
#   soak-sweep.sh [--build DIR] [--max-n N] [--calls A,B] [--scenarios A,B] [--table FILE]
#   soak-sweep.sh --sample [--build DIR]   short soak and a sample of faults (the test)
# Exit status 0 when no case crashed, hung, leaked, gave a wrong result or left
# a fresh chip different from one before any fault.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/win"
maxn=0
calls=""
scenarios=""
table=""
sample=0
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build="$2"; shift 2 ;;
    --max-n) maxn="$2"; shift 2 ;;
    --calls) calls="$2"; shift 2 ;;
    --scenarios) scenarios="$2"; shift 2 ;;
    --table) table="$2"; shift 2 ;;
    --sample) sample=1; shift ;;
    *) echo "usage: soak-sweep.sh [--build DIR] [--max-n N] [--calls A,B] [--scenarios A,B] [--table FILE] [--sample]" >&2; exit 2 ;;
  esac
done
build="$(cd "$build" && pwd)"
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" --build "$build" --max-n "$maxn" ${calls:+--calls "$calls"} \
    ${scenarios:+--scenarios "$scenarios"} ${table:+--table "$table"} $([ "$sample" = 1 ] && echo --sample)
fi
data="Z:${root//\//\\}\\examples"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# A crash or hang ends one run; the timeout is only the last resort (dxlhost's
# own watchdog reports a case that hangs).
soak() {
  (cd "$build" && timeout 900 nice -n 10 "$root/scripts/wine-run" --prefix="$build/wineprefix" ./dxlhost.exe \
    soak Tarnivel.dxl --data "$data" "$@" 2>&1 | tr -d '\r')
}

if [ "$sample" = 1 ]; then
  # Every scenario once without a fault, then with faults that reach each kind
  # of failure path: allocations with their message, locks, fonts, brushes,
  # selections, files, reads, the tag window, the date command, the menu, the
  # chip-window hook and the tip's painting; and the cases
  # that once went wrong (GlobalLock:1 and :17, GetDC:1, CreateFileA:57, ReadFile:73).
  faults="GlobalAlloc:1,GlobalAlloc:2,GlobalLock:1,GlobalLock:3,GlobalLock:17,CreateFontIndirectA:1"
  faults+=",CreateFontIndirectA:5,CreateSolidBrush:2,SelectObject:2,GetDC:1,CreateWindowExA:1,LocalAlloc:1"
  faults+=",CreateFileA:1,CreateFileA:57,ReadFile:1,ReadFile:73,GetFileSize:2,CreateProcessA:1,LoadMenuA:1"
  faults+=",FindFirstFileA:1,SetWindowLongA:1,BeginPaint:1"
  # The dialogs take a while to open: two faults for them, one of them the
  # settings dialog's record (SetWindowLongA:2) that once went wrong.
  quick="paint,update,lifecycle,savedata,click,menu,hover"
  status=0
  # The menu's reloads with TODAY.CNF failing to open and with the holiday
  # table failing at each of its reads.
  for args in "" "--scenario $quick --fail $faults${TARNIVEL_SOAK_SAMPLE:+,$TARNIVEL_SOAK_SAMPLE}" \
    "--scenario edit,configure --fail SetWindowLongA:2,GlobalLock:3" \
    "--scenario menu --sweep CreateFileA@TODAY.CNF" "--scenario menu --sweep ReadFile@HOLIDAY.TBL"; do
    out="$work/sample.txt"
    # shellcheck disable=SC2086
    soak $args > "$out"
    rc=$?
    if [ $rc -ne 0 ] || ! grep -q '^soak: ok' "$out"; then
      echo "soak ${args:-(no fault)}: FAILED (exit $rc)"
      grep -E -B12 'result: FAILED|after=FAILED|fresh=differs|wrong=yes|^(crash|hang) ' "$out" | head -80 |
        "$root/scripts/symbolize.sh" "$build/Tarnivel.dxl"
      status=1
    else
      echo "soak ${args:-(no fault)}: $(grep -c -E '^(scenario|case) ' "$out") scenario runs ok"
    fi
  done
  exit $status
fi

list="$work/list.txt"
soak --list > "$list"
all_calls="$(awk '$1 == "call" {print $2}' "$list")"
all_scenarios="$(awk '$1 == "scenario" {print $2}' "$list")"
[ -n "$calls" ] && all_calls="${calls//,/ }"
[ -n "$scenarios" ] && all_scenarios="${scenarios//,/ }"
results="$work/results.txt"
: > "$results"

for scenario in $all_scenarios; do
  for call in $all_calls; do
    from=1
    while :; do
      out="$work/run.txt"
      args=(--scenario "$scenario" --sweep "$call:$from")
      [ "$maxn" -gt 0 ] && args+=(--max-n "$maxn")
      soak "${args[@]}" > "$out"
      rc=$?
      grep -E '^(case|message|crash|hang|wrong) ' "$out" >> "$results"
      grep -q "^sweep-end $scenario $call" "$out" && break
      # The process ended inside a case: record it and go on after it.
      last="$(awk '$1 == "start" {n = $3} END {print n}' "$out")"
      if [ -z "$last" ]; then
        echo "crash $scenario $call:$from before any case (exit $rc)" >> "$results"
        break
      fi
      if ! grep -q -E "^(crash|hang) $scenario $last" "$out"; then
        kind=crash
        [ $rc -eq 124 ] && kind=hang
        echo "$kind $scenario $last exit $rc" >> "$results"
      fi
      from=$(( ${last##*:} + 1 ))
    done
    echo "swept $scenario $call" >&2
  done
done

# One row per scenario and call, and one per scenario: cases run, failures
# fired, and what went wrong. A fresh chip that differs (its picture or state
# not that of a chip before any fault) is counted apart from one that only
# leaves something live, which counts as a leak.
tally='
  function count(key) {
    if (!(key in cases)) order[++rows] = key
    cases[key]++
    if ($1 == "crash" || $1 == "hang") {
      fired[key]++
      if ($1 == "crash") crashes[key]++; else hangs[key]++
      return
    }
    if ($4 == "fired") fired[key]++
    leaked = 0; after = 0; diff = 0
    for (i = 5; i <= NF; ++i) {
      if ($i ~ /^leak=/ && $i != "leak=none") leaked = 1
      if ($i == "after=FAILED") after = 1
      if ($i == "fresh=differs") diff = 1
      if ($i == "wrong=yes") wrong[key]++
      if ($i ~ /^messages=/ && $i != "messages=0") msgs[key]++
      if ($i ~ /^beeps=/ && $i != "beeps=0") beeps[key]++
    }
    differs[key] += diff
    leaks[key] += leaked || (after && !diff)
  }
  $1 == "case" || $1 == "crash" || $1 == "hang" {
    split($3, cn, ":")
    count(bycall ? $2 " " cn[1] : $2)
  }
  END {
    head = bycall ? "| scenario | call " : "| scenario "
    print head "| cases | faults made | crashes | hangs | leaks | wrong results | fresh chip differs | with a message | with a beep |"
    print (bycall ? "|---|---" : "|---") "|---:|---:|---:|---:|---:|---:|---:|---:|---:|"
    for (r = 1; r <= rows; ++r) {
      k = order[r]; split(k, p, " ")
      tc += cases[k]
      if (fired[k] + 0 == 0) continue
      printf "| %s %s| %d | %d | %d | %d | %d | %d | %d | %d | %d |\n", p[1], bycall ? "| " p[2] " " : "", cases[k], fired[k], crashes[k], hangs[k], leaks[k], wrong[k], differs[k], msgs[k], beeps[k]
      tf += fired[k]; tcr += crashes[k]; th += hangs[k]; tl += leaks[k]; tw += wrong[k]; td += differs[k]
    }
    printf "| **all** %s| %d | %d | %d | %d | %d | %d | %d | | |\n", bycall ? "| " : "", tc, tf, tcr, th, tl, tw, td
  }'
summary="$(awk -v bycall=1 "$tally" "$results")"
scenario_summary="$(awk -v bycall=0 "$tally" "$results")"
messages="$(awk '$1 == "message" {$1 = ""; $2 = ""; split($3, cn, ":"); $3 = cn[1]; print}' "$results" | sed 's/^ *//' | sort | uniq -c)"
echo "$scenario_summary"
echo
echo "$summary"
echo
echo "Messages shown (count, call that failed, caption: text):"
echo "$messages"
problems="$(grep -E '^(crash|hang|wrong) | leak=[^n]|after=FAILED|fresh=differs' "$results")"
if [ -n "$problems" ]; then
  echo
  echo "Cases that went wrong:"
  echo "$problems" | "$root/scripts/symbolize.sh" "$build/Tarnivel.dxl"
fi
if [ -n "$table" ]; then
  { echo "$scenario_summary"; echo; echo "$summary"; echo; echo '```'; echo "$messages"; echo '```'; } > "$table"
fi
[ -z "$problems" ]
