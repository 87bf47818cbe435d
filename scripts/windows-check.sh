#!/usr/bin/env bash
# The Windows check: cross-builds the core and kestrelon-cli for 64-bit Windows with Debian's
# mingw-w64 (build-windows/), then runs the command-line program's end-to-end tests on the .exe
# under wine64, every written file compared byte for byte as on Linux.
#   scripts/windows-check.sh     ./test.sh runs it when KESTRELON_WINDOWS=1 is set
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS

KESTRELON_WINDOWS=1 scripts/install-deps.sh

build=build-windows
cmake -S . -B "$build" -G Ninja --toolchain cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTRELON_WERROR=ON \
  -DKESTRELON_BUILD_GUI=OFF -DKESTRELON_BUILD_TESTS=OFF -DKESTRELON_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target kestrelon-cli
exe=$PWD/$build/bin/kestrelon-cli.exe

# Debian's wine64 package keeps its launcher out of PATH.
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver64)
# A prefix of our own (made once, about ten seconds), quiet, without the Mono and Gecko
# installers; the arguments and file names pass through wine as UTF-8.
export WINEPREFIX=$PWD/$build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=C.UTF-8
# One server for the whole run (each test starts the program anew), stopped at the end; one
# left running in this prefix by an earlier run serves as well.
"$wineserver" --persistent 2>/dev/null || true
trap '"$wineserver" --kill 2>/dev/null || true' EXIT
if [[ ! -e $WINEPREFIX/.initialised ]]; then
  "$wine" wineboot --init >/dev/null 2>&1
  touch "$WINEPREFIX/.initialised"
fi

# The tests run "$KESTRELON_BIN/kestrelon-cli": here that is the .exe under wine.
runner=$PWD/$build/wine-bin
mkdir -p "$runner"
# It carries wine's settings, so it runs alone too. Windows has no file-size signal: a write over
# the limit fails, as on Windows when a disk fills.
cat >"$runner/kestrelon-cli" <<EOF
#!/bin/sh
export WINEPREFIX='$WINEPREFIX' WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' LC_ALL=C.UTF-8
trap "" XFSZ
exec '$wine' '$exe' "\$@"
EOF
chmod +x "$runner/kestrelon-cli"

status=0
for test in cli_test routes_test diff_test bad_input_test user_files_test readme_example_test; do
  echo "== $test (kestrelon-cli.exe under wine64)"
  if ! KESTRELON_BIN=$runner KESTRELON_SOURCE=$PWD KESTRELON_WINDOWS=1 \
    bash "tests/e2e/$test.sh"; then
    status=1
  fi
done
echo "windows-check: $((SECONDS - start)) s"
exit $status
