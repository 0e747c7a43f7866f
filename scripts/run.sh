#!/usr/bin/env bash
# The main job. Builds the library, dxlhost and TarnivelDesk, prints a chip's
# state for a sample memo text, and paints sample chips: into out/gallery/*.png
# when headless, or as live chips on the desktop when a display is set and
# --live is given. Headless it also starts TarnivelDesk on a fresh profile
# with two chips and captures the desktop with a chip's menu open
# (out/gallery/desk.png). --desk starts TarnivelDesk for real on the display,
# from build/win/desk/ beside the library and the sample files, keeping its
# chips in the Wine prefix's own profile.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
./scripts/setup.sh >/dev/null
export TARNIVEL_SKIP_SETUP=1
./scripts/build.sh win >/dev/null

# The desktop program with the library and the sample files in one folder.
stage_desk() {
  mkdir -p "$1"
  cp build/win/TarnivelDesk.exe build/win/Tarnivel.dxl examples/*.CNF examples/*.TBL "$1/"
  [ ! -f build/win/Tarnivel.chm ] || cp build/win/Tarnivel.chm "$1/"
}

if [ "${1:-}" = "--desk" ]; then
  [ -n "${DISPLAY:-}" ] || { echo "run.sh: --desk needs a display" >&2; exit 2; }
  stage_desk build/win/desk
  exec ./scripts/wine-run --prefix="$root/build/win/wineprefix" build/win/desk/TarnivelDesk.exe
fi

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

if [ "${1:-}" != "--live" ]; then
  echo "== TarnivelDesk on a fresh profile: two chips and a chip's menu (out/gallery/desk.png)"
  stage_desk "$scratch/desk"
  # The fresh profile holds the two chips a user made: this month, and two
  # months side by side.
  mkdir -p "$scratch/appdata/Tarnivel" out/gallery
  chip() {
    printf '[Chip%s]\r\nLeft=%s\r\nTop=80\r\nWidth=100\r\nHeight=100\r\nSaveData=%s\r\n' "$1" "$2" "$3"
  }
  {
    printf '[Desk]\r\nVersion=1\r\nChips=2\r\n'
    chip 1 40 180000000000000000FFFF00FF0000000000FF00FF00000001000000
    chip 2 320 180000000000000000FFFF00FF0000000000FF00FF00000001010000
    printf '[End]\r\n'
  } >"$scratch/appdata/Tarnivel/TarnivelDesk.ini"
  win() { echo "Z:${1//\//\\}"; }
  xvfb-run -a -s "-screen 0 1280x1024x24" ./scripts/wine-run --prefix="$root/build/win/wineprefix" \
    build/win/dxlhost.exe desk-shot "$(win "$scratch/desk/TarnivelDesk.exe")" "$(win "$scratch/appdata")" \
    "$(win "$root/out/gallery/desk.png")" 2>/dev/null | tr -d '\r'
fi
