#!/usr/bin/env bash
# The library's own windows on a desktop of 144 dots per inch, in a wine
# prefix of its own beside the build's (which stays at 96: the other tests
# paint pixel-exact pictures):
# - the tip and help tests, in a per-monitor aware and in an unaware thread;
# - dxlhost, which is not DPI-aware, paints a chip with its tip and shows a
#   control's help popup exactly as at 96 dots per inch.
#   scripts/dpi.sh [BUILD_DIR]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build/win}" && pwd)"
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build"
fi
dpi=144
base="$build/wineprefix"
prefix="$build/wineprefix-$dpi"
run() {
  local p="$1"
  shift
  "$root/scripts/wine-run" --prefix="$p" "$@"
}
run "$prefix" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
WINEPREFIX="$prefix" wineserver -w || true

TARNIVEL_DPI="$dpi" run "$prefix" "$build/wintests.exe" --gtest_filter='*AtDpi*'

stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
cp "$build/Tarnivel.dxl" "$root"/examples/*.CNF "$root"/examples/*.TBL "$stage/"
win="Z:${stage//\//\\}"
for p in "$base" "$prefix"; do
  at="$(basename "$p")"
  (cd "$stage" && run "$p" "$build/dxlhost.exe" paint Tarnivel.dxl --memo 2026/12 --months 2 --english \
    --hover 2027/01/11 --at 40,40 --font-height -16 --font-face IPAGothic --out "$win\\tip-$at.png" >/dev/null)
  (cd "$stage" && run "$p" "$build/dxlhost.exe" configure "$win\\Tarnivel.dxl" --help-on 1105 \
    --shot "$win\\help-$at.png" --close cancel >/dev/null)
  WINEPREFIX="$p" wineserver -w || true
done
for picture in tip help; do
  if ! cmp -s "$stage/$picture-wineprefix.png" "$stage/$picture-wineprefix-$dpi.png"; then
    echo "dpi.sh: dxlhost's $picture picture at $dpi dpi differs from the one at 96" >&2
    exit 1
  fi
done
echo "dpi.sh: dxlhost's pictures at $dpi dpi are those at 96"
