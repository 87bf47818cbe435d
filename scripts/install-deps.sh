#!/usr/bin/env bash
# Installs, with apt-get, whatever the build, the tests and the window need and is not there yet.
# Quick when everything is installed: it only asks dpkg. --tests adds what only the tests need
# (lintian), --gui-tools an X server and screenshot tools.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  libgtest-dev libgmock-dev googletest libbenchmark-dev nlohmann-json3-dev
  rapidjson-dev libcsv-dev
  qt6-base-dev qt6-qpa-plugins libgl-dev qt6-translations-l10n
  fonts-ipafont-gothic
  dpkg-dev desktop-file-utils man-db      # the Debian package and its tests
  clang libclang-rt-14-dev
)
for option in "$@"; do
  case $option in
    --gui-tools) packages+=(xvfb x11-apps imagemagick) ;;
    # the package test lints the Debian package; the HTML report test opens it in a browser
    --tests) packages+=(lintian chromium python3) ;;
  esac
done
# The Windows check (scripts/windows-check.sh): the cross compiler and wine, only when asked.
if [[ "${KESTRELON_WINDOWS:-}" == 1 ]]; then
  packages+=(g++-mingw-w64-x86-64-posix wine64)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "install-deps: installing ${missing[*]}" >&2
sudo_cmd=()
[[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
