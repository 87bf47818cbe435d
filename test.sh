#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test. Its exit status is the tests' verdict.
#   ./test.sh             the ordinary build (build/), then a short libFuzzer smoke run (build-fuzz/)
#   ./test.sh --sanitize  the same tests under AddressSanitizer and UndefinedBehaviorSanitizer
set -euo pipefail
cd "$(dirname "$0")"

mode=plain
case "${1:-}" in
  "") ;;
  --sanitize) mode=sanitize ;;
  -h|--help) sed -n '2,4p' "$0"; exit 0 ;;
  *) echo "test.sh: unknown option: $1" >&2; exit 2 ;;
esac

scripts/install-deps.sh
jobs=$(nproc)

if [[ $mode == sanitize ]]; then
  build=build-asan
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKESTRELON_SANITIZE=ON \
        -DKESTRELON_BUILD_BENCH=OFF >/dev/null
else
  build=build
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j "$jobs"

if [[ $mode == plain ]]; then
  # The fuzz targets need clang's libFuzzer; they run briefly over their seed corpus.
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DKESTRELON_FUZZ=ON >/dev/null
  cmake --build build-fuzz -j "$jobs"
  ctest --test-dir build-fuzz --output-on-failure
fi

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
ctest --test-dir "$build" --output-on-failure -j "$jobs"
