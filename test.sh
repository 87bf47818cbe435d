#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test. Its exit status is the tests' verdict.
#   ./test.sh             the dev preset (build/, warnings as errors), then a short libFuzzer
#                         smoke run (fuzz preset, build-fuzz/)
#   ./test.sh --sanitize  the same tests under AddressSanitizer and UndefinedBehaviorSanitizer
#                         (asan preset, build-asan/)
#   KESTRELON_WINDOWS=1 ./test.sh   also the Windows check: kestrelon-cli cross-built with
#                         mingw-w64, its end-to-end tests under wine64 (scripts/windows-check.sh)
set -euo pipefail
cd "$(dirname "$0")"

preset=dev
case "${1:-}" in
  "") ;;
  --sanitize) preset=asan ;;
  -h|--help) sed -n '2,8p' "$0"; exit 0 ;;
  *) echo "test.sh: unknown option: $1" >&2; exit 2 ;;
esac

scripts/install-deps.sh --tests
jobs=$(nproc)

cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "$jobs"

if [[ $preset == dev ]]; then
  # The fuzz targets need clang's libFuzzer; they run briefly over their seed corpus.
  cmake --preset fuzz >/dev/null
  cmake --build --preset fuzz -j "$jobs"
  ctest --preset fuzz
fi

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
ctest --preset "$preset" -j "$jobs"

if [[ $preset == dev && "${KESTRELON_WINDOWS:-}" == 1 ]]; then
  scripts/windows-check.sh
fi
