#!/usr/bin/env bash
# Builds the release archive dist/Tarnivel-<version>.zip: the stripped library,
# the stripped desktop program TarnivelDesk.exe, the library's help file
# Tarnivel.chm (made from docs/guide.ja.md), the user guide (the
# same source as Shift-JIS text with CR LF line ends), the sample scheduler
# files of examples/ and SHA256SUMS, all in one folder Tarnivel-<version>/.
# The library's debug information goes to dist/Tarnivel.dxl.debug, which the
# library's debug link names (scripts/symbolize.sh reads it).
#   scripts/package.sh [--out DIR] [--build DIR] [--no-build]
# --out: where the archive goes (default dist/); --build: the Windows build
# whose Tarnivel.dxl is packed (default build/win); --no-build: take that
# library as it is.
# The guide's contact line (an address or page of whoever hands the release
# out) is TARNIVEL_CONTACT, else the value below; empty leaves the line out.
set -euo pipefail
contact=""
export TARNIVEL_CONTACT="${TARNIVEL_CONTACT:-$contact}"
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

out="$root/dist"
build="$root/build/win"
do_build=1
while [ $# -gt 0 ]; do
  case "$1" in
    --out) out="${2:?}"; shift 2 ;;
    --build) build="${2:?}"; shift 2 ;;
    --no-build) do_build=0; shift ;;
    *) echo "usage: scripts/package.sh [--out DIR] [--build DIR] [--no-build]" >&2; exit 2 ;;
  esac
done

version="$(sed -n 's/^#define TARNIVEL_PRODUCTVERSION_STR "\(.*\)"$/\1/p' resources/resource.h)"
[ -n "$version" ] || { echo "package.sh: no product version in resources/resource.h" >&2; exit 1; }
name="Tarnivel-$version"

if [ "$do_build" = 1 ]; then
  ./scripts/build.sh win >/dev/null
fi
for file in Tarnivel.dxl TarnivelDesk.exe; do
  [ -f "$build/$file" ] || { echo "package.sh: no $build/$file" >&2; exit 1; }
done

# Dated by the last commit (the archive's entries, the help file, the
# stripped library's header), so that the same sources give the same archive.
stamp="${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || date +%s)}"
export SOURCE_DATE_EPOCH="$stamp"

stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
dir="$stage/$name"
mkdir -p "$dir/samples" "$out"
out="$(cd "$out" && pwd)"
i686-w64-mingw32-objcopy --only-keep-debug "$build/Tarnivel.dxl" "$stage/Tarnivel.dxl.debug"
i686-w64-mingw32-strip --strip-all -o "$dir/Tarnivel.dxl" "$build/Tarnivel.dxl"
i686-w64-mingw32-objcopy --add-gnu-debuglink="$stage/Tarnivel.dxl.debug" "$dir/Tarnivel.dxl"
i686-w64-mingw32-strip --strip-all -o "$dir/TarnivelDesk.exe" "$build/TarnivelDesk.exe"
size="$(stat -c %s "$dir/Tarnivel.dxl")"
[ "$size" -lt 204800 ] || { echo "package.sh: the stripped library has $size bytes, 200 KB at most" >&2; exit 1; }
python3 scripts/make-help.py docs/guide.ja.md resources/Tarnivel.rc "$dir/Tarnivel.chm"
python3 scripts/make-guide.py docs/guide.ja.md "$dir/Tarnivel.txt"
cp examples/TODAY.CNF examples/*.TBL "$dir/samples/"
(cd "$dir" && find . -type f ! -name SHA256SUMS | sed 's|^\./||' | LC_ALL=C sort | xargs sha256sum >SHA256SUMS)

zip="$out/$name.zip"
python3 - "$stage" "$name" "$zip" "$stamp" <<'PY'
import os, sys, time, zipfile
stage, name, target, stamp = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
when = time.gmtime(max(stamp, 315532800))[:6]  # zip dates start in 1980
paths = []
for folder, _, files in os.walk(os.path.join(stage, name)):
    paths += [os.path.join(folder, f) for f in files]
with zipfile.ZipFile(target + ".part", "w", zipfile.ZIP_DEFLATED) as z:
    for path in sorted(paths):
        info = zipfile.ZipInfo(os.path.relpath(path, stage).replace(os.sep, "/"), when)
        info.compress_type = zipfile.ZIP_DEFLATED
        info.external_attr = 0o644 << 16
        with open(path, "rb") as f:
            z.writestr(info, f.read())
os.replace(target + ".part", target)
PY
mv "$stage/Tarnivel.dxl.debug" "$out/Tarnivel.dxl.debug"
echo "$zip"
(cd "$dir" && sed 's/^/  /' SHA256SUMS)
