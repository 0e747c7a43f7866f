#!/usr/bin/env bash
# Builds into build/<kind>: win (the library, dxlhost, Win32 tests), native
# (portable core and its tests with sanitizers), fuzz (libFuzzer targets).
#   scripts/build.sh [win|native|fuzz]...   (default: win native)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
[ "${TARNIVEL_SKIP_SETUP:-0}" = 1 ] || ./scripts/setup.sh >/dev/null

# The toolchain and compilers are chosen when a build tree is made; CMake
# takes them from its cache afterwards and warns about them when given again.
# The native builds never take a cross toolchain from the environment.
configure() {
  local dir="$1"
  shift
  if [ -f "$dir/CMakeCache.txt" ]; then
    cmake -S . -B "$dir" >/dev/null
  else
    env -u CMAKE_TOOLCHAIN_FILE cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  fi
}

kinds=("$@")
[ ${#kinds[@]} -gt 0 ] || kinds=(win native)
for kind in "${kinds[@]}"; do
  case "$kind" in
    win) configure build/win --toolchain cmake/mingw-i686.cmake ;;
    native) configure build/native -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ ;;
    fuzz) configure build/fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DTARNIVEL_FUZZ=ON ;;
    *)
      echo "build.sh: unknown build '$kind'" >&2
      exit 2
      ;;
  esac
  ninja -C "build/$kind" -j 2
done
