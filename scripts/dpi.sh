#!/usr/bin/env bash
# On a desktop of 144 dots per inch, in a wine prefix of its own (the build's
# stays at 96 for the other tests' pixel-exact pictures): the tests of the
# library's windows in an aware and an unaware host, and dxlhost, which is not
# DPI-aware, painting a chip with its tip as at 96.   scripts/dpi.sh [BUILD_DIR]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build/win}" && pwd)"
[ -n "${DISPLAY:-}" ] || exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build"
prefix="$build/wineprefix-144"
"$root/scripts/wine-run" --prefix="$prefix" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f \
  >/dev/null 2>&1
TARNIVEL_DPI=144 "$root/scripts/wine-run" --prefix="$prefix" "$build/wintests.exe" --gtest_filter='*AtDpi*'
stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
cp "$build/Tarnivel.dxl" "$root"/examples/*.CNF "$root"/examples/*.TBL "$stage/"
for p in "$build/wineprefix" "$prefix"; do
  (cd "$stage" && "$root/scripts/wine-run" --prefix="$p" "$build/dxlhost.exe" paint Tarnivel.dxl --memo 2026/12 \
    --months 2 --english --hover 2027/01/11 --at 40,40 --font-face IPAGothic --out "${p##*/}.png" >/dev/null)
done
cmp "$stage/wineprefix.png" "$stage/wineprefix-144.png" || { echo "dpi.sh: dxlhost paints otherwise at 144" >&2; exit 1; }
