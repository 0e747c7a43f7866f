#!/usr/bin/env bash
# Paints sample chips with dxlhost into out/gallery/*.png (headless, under a
# virtual display when none is set). With --live and a display, shows them as
# live chips on the desktop instead (a right click shows a chip's menu, Escape
# closes it). The gallery also holds pictures of the about box and of a chip's
# menu as a host shows them.
# The chips read the sample scheduler files of examples/, so holidays and
# schedule days are marked.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

live=0
for arg in "$@"; do
  case "$arg" in
    --live) live=1 ;;
    *) echo "usage: scripts/gallery.sh [--live]" >&2; exit 2 ;;
  esac
done

# TARNIVEL_BUILD_DIR: paint with another build's library and host.
build="${TARNIVEL_BUILD_DIR:-build/win}"
build="$(mkdir -p "$build" && cd "$build" && pwd)"
if [ -z "${TARNIVEL_GALLERY_BUILT:-}" ]; then
  if [ -x scripts/build.sh ] && [ "$build" = "$root/build/win" ]; then
    ./scripts/build.sh win >/dev/null
  else
    [ -f "$build/build.ninja" ] || cmake -S . -B "$build" -G Ninja --toolchain cmake/mingw-i686.cmake >/dev/null
    ninja -C "$build" Tarnivel dxlhost >/dev/null
  fi
  export TARNIVEL_GALLERY_BUILT=1
fi

if [ "$live" = 1 ] && [ -z "${DISPLAY:-}" ]; then
  echo "gallery.sh: --live needs a display" >&2
  exit 2
fi
if [ -z "${DISPLAY:-}" ]; then
  # True colour: the tip picture is taken from the screen.
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$root/scripts/gallery.sh" "$@"
fi

# A library of its own beside the sample files, with a fresh settings file.
stage="$build/gallery"
rm -rf "$stage"
mkdir -p "$stage" out/gallery
cp "$build/Tarnivel.dxl" "$stage/"
# The help file too, so that a live chip's ヘルプ opens it.
[ ! -f "$build/Tarnivel.chm" ] || cp "$build/Tarnivel.chm" "$stage/"
cp examples/*.CNF examples/*.TBL "$stage/"
out="$root/out/gallery"
winout="Z:${out//\//\\}"

paint() {
  local name="$1" at="$2"
  shift 2
  if [ "$live" = 1 ]; then
    (cd "$stage" && "$root/scripts/wine-run" --prefix="$build/wineprefix" "$build/dxlhost.exe" \
      paint Tarnivel.dxl --live --at "$at" "$@" >/dev/null 2>&1) &
  else
    (cd "$stage" && "$root/scripts/wine-run" --prefix="$build/wineprefix" "$build/dxlhost.exe" \
      paint Tarnivel.dxl --out "$winout\\$name.png" "$@" 2>/dev/null | tr -d '\r')
  fi
}

font=(--font-height -16 --font-face IPAGothic)
paint one-month 20,20 --memo 1998/2 "${font[@]}"
paint side-by-side 280,20 --memo 1998/2 --months 2 "${font[@]}"
paint stacked 20,200 --memo 1998/2 --months 2 --stacked "${font[@]}"
paint english 280,200 --memo 1998/2 --months 2 --english "${font[@]}"
paint current-month 760,20 "${font[@]}"
paint current-two-months 760,200 --months 2 --style underline "${font[@]}"
paint year-end 280,400 --memo 1999/12 --months 2 --english --style italic \
  --back 202830 --text E8E8E8 --today 406080 --sunday FF7070 --saturday 70A0FF --holiday FFB040 "${font[@]}"
paint last-month 20,560 --memo 9999/12 --months 2 --stacked "${font[@]}"
# 23 November 2025 is a Sunday: the 24th is a substitute holiday.
paint substitute 520,400 --memo 2025/11 --style bold "${font[@]}"
paint golden-week 520,560 --memo 2026/4 --months 2 --stacked --style normal "${font[@]}"
# The tip over 11 January 2027 in the second month: a holiday and two
# schedule texts, one of them on two lines.
if [ "$live" = 1 ]; then
  paint tip 760,400 --memo 2026/12 --months 2 "${font[@]}"
else
  paint tip 760,400 --memo 2026/12 --months 2 --hover 2027/01/11 --at 40,40 "${font[@]}"
fi

# The about box, a chip's menu, the dialogs and a control's help popup as a
# host shows them, from the screen.
shot() {
  (cd "$stage" && "$root/scripts/wine-run" --prefix="$build/wineprefix" "$build/dxlhost.exe" "$@" 2>/dev/null |
    tr -d '\r' | grep '\.png:' | iconv -f CP932 -t UTF-8) ||
    { echo "gallery: dxlhost $1 wrote no picture" >&2; exit 1; }
}
if [ "$live" = 0 ]; then
  # Without a window manager Wine draws captions only on windows it decorates itself.
  "$root/scripts/wine-run" --prefix="$build/wineprefix" reg add 'HKCU\Software\Wine\X11 Driver' \
    /v Decorated /d N /f >/dev/null 2>&1 || true
  library="Z:${stage//\//\\}\\Tarnivel.dxl"
  shot about "$library" --shot "$winout\\about.png"
  shot menu "$library" --memo 1998/2 --months 2 --at 20,20 --shot "$winout\\menu.png"
  shot configure "$library" --shot "$winout\\config-dialog.png" --close cancel
  # The help of a control of the configuration dialog, as F1 on the editor's field shows it.
  shot configure "$library" --help-on 1105 --shot "$winout\\help-popup.png" --close cancel
  # The chip settings dialog for two months of May 1999 with magenta holidays.
  printf '\x18\0\0\0\0\0\0\0\0\xff\xff\0\xff\0\0\0\0\0\xff\0\xff\0\xff\0\x01\x01\0\0' >"$stage/chip-settings.bin"
  shot edit "$library" --memo 1999/5 --save-in chip-settings.bin --shot "$winout\\chip-settings.png" --press cancel
fi

if [ "$live" = 1 ]; then
  wait
else
  echo "gallery: $(ls "$out"/*.png | wc -l) pictures in out/gallery"
fi
