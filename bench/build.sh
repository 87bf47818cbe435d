# Sourced by the bench scripts: bench_build TARGET... configures $build (Release, no GUI or tests,
# the benches on) when it is not yet, warns when it is not a Release build, and builds the targets.
# Needs root (the checkout) and build (the build folder) set. stat_of: a figure of timed runs.
bench_build() {
  if [[ ! -f $build/CMakeCache.txt ]]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTRELON_BUILD_GUI=OFF \
      -DKESTRELON_BUILD_TESTS=OFF >/dev/null
  elif grep -q '^KESTRELON_BUILD_BENCH:BOOL=OFF$' "$build/CMakeCache.txt"; then
    cmake -S "$root" -B "$build" -DKESTRELON_BUILD_BENCH=ON >/dev/null
  fi
  if ! grep -q '^CMAKE_BUILD_TYPE:STRING=Release$' "$build/CMakeCache.txt"; then
    echo "warning: $build is not a Release build; the figures will not be representative" >&2
  fi
  local log
  if ! log=$(cmake --build "$build" --target "$@" 2>&1); then
    echo "$log" >&2
    exit 1
  fi
}

# Median (or with "best", the least) of column $2 of file $1.
stat_of() {
  awk -v c="$2" '{ print $c }' "$1" | sort -g |
    awk -v best="${3:-}" '{ v[NR] = $1 }
      END { print best ? v[1] : (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
