#!/usr/bin/env bash
# Names the library's functions in a soak report: a line with
# "(Tarnivel.dxl+0xOFFSET)" gets " in FUNCTION FILE:LINE" appended.
#   symbolize.sh DEBUG_FILE < report
# DEBUG_FILE: the build's Tarnivel.dxl (it keeps its debug information), the
# release's dist/Tarnivel.dxl.debug, or the stripped library with that file
# beside it (found through its debug link).
set -euo pipefail
file="${1:?usage: symbolize.sh DEBUG_FILE < report}"
tools=i686-w64-mingw32
if ! $tools-objdump -h "$file" | grep -q '\.debug_info'; then
  link="$(mktemp)"
  trap 'rm -f "$link" "$link.dxl"' EXIT
  if $tools-objcopy --dump-section .gnu_debuglink="$link" "$file" "$link.dxl" 2>/dev/null; then
    file="$(dirname "$file")/$(tr '\0' '\n' <"$link" | head -1)"
  fi
fi
base="$($tools-objdump -p "$file" | awk '$1 == "ImageBase" && !b {b = $2} END {print b}')"
[ -n "$base" ] || { echo "symbolize.sh: $file is no Windows library" >&2; exit 1; }
symbols="$($tools-nm -n "$file" 2>/dev/null | awk '$2 ~ /^[Tt]$/ {print $1, $3}')"
while IFS= read -r line; do
  if [[ "$line" =~ \(Tarnivel\.dxl\+0x([0-9a-fA-F]+)\) ]]; then
    address=$(( 0x$base + 0x${BASH_REMATCH[1]} ))
    read -r function place < <($tools-addr2line -f -C -e "$file" "$(printf '0x%x' $address)" | paste -sd ' ')
    if [ "$function" = "??" ]; then
      # Code the debug information gives no name, such as a folded function:
      # the nearest symbol at or before the address.
      while read -r value name; do
        if (( 0x$value <= address )); then function="${name#_}"; else break; fi
      done <<<"$symbols"
    fi
    # C++ names come mangled and without the target's leading underscore.
    if [[ "$function" =~ ^_?Z(N|L|[0-9]) ]]; then function="$($tools-c++filt "__${function#_}")"; fi
    line="$line in $function $place"
  fi
  printf '%s\n' "$line"
done
