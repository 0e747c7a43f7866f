#!/usr/bin/env bash
# Builds into build/<kind>: win (the library, dxlhost, Win32 tests), native
# (portable core and its tests with sanitizers), fuzz (libFuzzer targets).
#   scripts/build.sh [win|native|fuzz]...   (default: win native)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
[ "${TARNIVEL_SKIP_SETUP:-0}" = 1 ] || ./scripts/setup.sh >/dev/null

kinds=("$@")
[ ${#kinds[@]} -gt 0 ] || kinds=(win native)
for kind in "${kinds[@]}"; do
  case "$kind" in
    win)
      cmake -S . -B build/win -G Ninja --toolchain cmake/mingw-i686.cmake >/dev/null
      ;;
    native)
      cmake -S . -B build/native -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
      ;;
    fuzz)
      cmake -S . -B build/fuzz -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
        -DTARNIVEL_FUZZ=ON >/dev/null
      ;;
    *)
      echo "build.sh: unknown build '$kind'" >&2
      exit 2
      ;;
  esac
  ninja -C "build/$kind" -j 2
done
