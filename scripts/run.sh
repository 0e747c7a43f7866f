#!/usr/bin/env bash
# The main job. Builds the library and dxlhost, prints a chip's state for a
# sample memo text, and paints sample chips: into out/gallery/*.png when
# headless, or as live chips on the desktop when a display is set and --live
# is given.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
./scripts/setup.sh >/dev/null
export TARNIVEL_SKIP_SETUP=1
./scripts/build.sh win >/dev/null

x=()
[ -n "${DISPLAY:-}" ] || x=(xvfb-run -a)
echo "== a chip for the memo text 1998/2 (dxlhost state)"
# The library writes its settings file beside itself: a copy in a scratch
# folder keeps the build tree free of one that a later run would read.
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
cp build/win/Tarnivel.dxl "$scratch/"
"${x[@]}" ./scripts/wine-run --prefix="$root/build/win/wineprefix" build/win/dxlhost.exe state \
  "$scratch/Tarnivel.dxl" --memo 1998/2 2>/dev/null | iconv -f CP932 -t UTF-8

if [ -x scripts/gallery.sh ]; then
  ./scripts/gallery.sh "$@"
fi
