#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: native unit
# tests (sanitizers on), Win32 and host-level tests under Wine (the tips also
# on a display of three monitors), and a short fuzz run of every target.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
./scripts/setup.sh
export TARNIVEL_SKIP_SETUP=1

./scripts/build.sh native win

echo "== native tests"
ctest --test-dir build/native --output-on-failure

echo "== Win32 and host-level tests (Wine, code page 932)"
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir build/win --output-on-failure

echo "== tips and desktop chips on a desktop of three monitors (Xorg's dummy driver)"
WINEPREFIX="$root/build/win/wineprefix" wineserver -w || true
TARNIVEL_MONITORS=3 ./scripts/monitors.sh ./scripts/wine-run --prefix="$root/build/win/wineprefix" \
  build/win/wintests.exe --gtest_filter='Tips.KeptOnTheMonitorUnderTheCursor'
WINEPREFIX="$root/build/win/wineprefix" wineserver -w || true
TARNIVEL_MONITORS=3 ./scripts/monitors.sh ./scripts/wine-run --prefix="$root/build/win/wineprefix" \
  build/win/hosttests.exe --gtest_filter='Desk.ChipOfAGoneMonitorComesBack'

echo "== short fuzz run"
./scripts/fuzz.sh "${TARNIVEL_FUZZ_SECONDS:-10}"
echo "== all tests passed"
