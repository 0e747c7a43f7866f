#!/usr/bin/env bash
# Checks the built library: a PE32 DLL whose exports are exactly the names of
# the .def file, undecorated, and whose imports are system libraries only.
#   check-exports.sh Tarnivel.dxl Tarnivel.def
set -euo pipefail
dll="$1"
def="$2"
dump=$(i686-w64-mingw32-objdump -p "$dll")
fail=0

grep -q '^Magic[[:space:]]*010b' <<<"$dump" || { echo "not a PE32 image"; fail=1; }
grep -q '^[[:space:]]*DLL$' <<<"$dump" || { echo "not a DLL"; fail=1; }

exported=$(awk '/^\[Ordinal\/Name Pointer\] Table/{t=1;next} t&&/^[[:space:]]*\[/{print $NF} t&&/^[[:space:]]*$/{t=0}' <<<"$dump" | sort)
wanted=$(awk '/^EXPORTS/{e=1;next} e&&NF{print $1}' "$def" | sort)
if [ "$exported" != "$wanted" ]; then
  echo "exports differ from $def:"
  diff <(echo "$wanted") <(echo "$exported") || true
  fail=1
fi
if grep -E '[@_]' <<<"$exported" | grep -q .; then
  echo "decorated export names:"; grep -E '[@_]' <<<"$exported"; fail=1
fi

allowed='^(KERNEL32|USER32|GDI32|ADVAPI32|COMDLG32|msvcrt)\.dll$'
while read -r name; do
  [[ "$name" =~ $allowed ]] || { echo "imports a non-system library: $name"; fail=1; }
done < <(awk '/DLL Name:/{print $3}' <<<"$dump")

[ $fail -eq 0 ] && echo "exports and imports ok: $(echo $exported)"
exit $fail
