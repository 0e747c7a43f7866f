# Shared by fuzz.sh and fuzz-long.sh (sourced): the target list, the build and
# the scratch corpus a run starts from. Expects $root and $build.

fuzz_targets() {
  targets=()
  local src
  for src in "$root"/fuzz/fuzz_*.cpp; do
    [ -e "$src" ] || continue
    targets+=("$(basename "$src" .cpp)")
  done
  if [ ${#targets[@]} -eq 0 ]; then
    echo "no fuzz targets in $root/fuzz" >&2
    exit 1
  fi
}

fuzz_build() {
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
    -DTARNIVEL_FUZZ=ON >/dev/null
  ninja -C "$build" -j2 "$@"
}

# Fills DIR with the seeds and the kept corpus of a target; the copies in the
# repository are never written by a run.
fuzz_start_corpus() {
  local name="$1" dir="$2" from
  mkdir -p "$dir"
  for from in "$root/fuzz/seeds/$name" "$root/fuzz/corpus/$name"; do
    if [ -d "$from" ]; then
      cp -R "$from/." "$dir/"
    fi
  done
}
