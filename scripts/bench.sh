#!/usr/bin/env bash
# Builds and runs the mark benchmark under Wine on a generated data set, then
# the TODAY.CNF load benchmark, then TarnivelDesk's start, weight and idleness.
#   scripts/bench.sh [build dir]   (default build/win)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build/win}"
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja --toolchain "$root/cmake/mingw-i686.cmake"
fi
ninja -C "$build" Tarnivel TarnivelDesk marks_bench todaycnf_bench desk_bench
data="$build/bench/data"
if [ ! -f "$data/PM16_202702.TBL" ] || [ "$root/bench/gen_data.py" -nt "$data/PM16_202702.TBL" ]; then
  rm -rf "$data"
  python3 "$root/bench/gen_data.py" "$data"
fi
cd "$build/bench"
xvfb-run -a "$root/scripts/wine-run" --prefix="$build/wineprefix" ./marks_bench.exe 2>&1 |
  grep -v -e '^X connection' -e '^XIO' -e 'after [0-9]* requests'
echo
xvfb-run -a "$root/scripts/wine-run" --prefix="$build/wineprefix" ./todaycnf_bench.exe 2>&1 |
  grep -v -e '^X connection' -e '^XIO' -e 'after [0-9]* requests'
echo
xvfb-run -a -s "-screen 0 1280x1024x24" "$root/scripts/wine-run" --prefix="$build/wineprefix" ./desk_bench.exe 2>&1 |
  grep -v -e '^X connection' -e '^XIO' -e 'after [0-9]* requests'
