#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: native unit
# tests (sanitizers on), Win32 and host-level tests under Wine (the tips also
# on a display of three monitors and on a desktop of 144 dots per inch), and a
# short fuzz run of every target.
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
  build/win/hosttests.exe --gtest_filter='Desk.ChipsStayInSight'

# A prefix of its own: the build's stays at 96 for the pixel-exact pictures.
echo "== tip and help on a desktop of 144 dots per inch; dxlhost, not DPI-aware, shows them as at 96"
dpi="$root/build/win/wineprefix-144"
./scripts/wine-run --prefix="$dpi" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
WINEPREFIX="$dpi" wineserver -w || true  # its desktop went with no display
TARNIVEL_DPI=144 xvfb-run -a -s "-screen 0 1280x1024x24" ./scripts/wine-run --prefix="$dpi" build/win/wintests.exe \
  --gtest_filter='Tips.TipAndHelpFollowTheMonitorInAnAwareHost'
stage="$(mktemp -d)" && cp build/win/Tarnivel.dxl examples/*.CNF examples/*.TBL "$stage/"
lib="Z:${stage//\//\\}\\Tarnivel.dxl"
WINEPREFIX="$root/build/win/wineprefix" wineserver -w || true
for p in "$root/build/win/wineprefix" "$dpi"; do
  host=(xvfb-run -a "$root/scripts/wine-run" --prefix="$p" "$root/build/win/dxlhost.exe") out="${lib%.dxl}-${p##*/}"
  ("${host[@]}" paint "$lib" --memo 2026/12 --months 2 --hover 2027/01/11 --at 40,40 --out "$out-tip.png" &&
    "${host[@]}" configure "$lib" --help-on 1105 --shot "$out-help.png" --close cancel) >/dev/null || true
done
same=1 && for f in tip help; do cmp -s "$stage/Tarnivel-wineprefix-$f.png" "$stage/Tarnivel-wineprefix-144-$f.png" || same=0; done
rm -rf "$stage"
[ "$same" = 1 ] || { echo "dxlhost shows the tip or help otherwise at 144 dots per inch" >&2; exit 1; }

echo "== short fuzz run"
./scripts/fuzz.sh "${TARNIVEL_FUZZ_SECONDS:-10}"
echo "== all tests passed"
