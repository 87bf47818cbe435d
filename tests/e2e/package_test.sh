#!/usr/bin/env bash
# The Debian package, end to end: the README's own cpack line packs this build folder, lintian
# finds nothing to object to, dpkg -x unpacks the package into a scratch root, and both
# programs run from there (--version, a batch sort, a compare) on golden captures, their results
# compared byte for byte. As root, the unpacked programs also run from a folder under /usr (a
# private mount), as root and as nobody, and write nothing beside themselves.
#   KESTRELON_BUILD   the build folder (with CPackConfig.cmake)
#   KESTRELON_SOURCE  the source tree
source "$(dirname "$0")/lib.sh"
: "${KESTRELON_BUILD:?set KESTRELON_BUILD to the build folder}"
work=$root
trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
contains() { [[ $1 == *"$2"* ]]; }

version=$(sed -n 's/^project(Kestrelon VERSION \([0-9.]*\).*/\1/p' "$source_tree/CMakeLists.txt")

# The README's commands, as written, in a tree whose build/ is this build folder.
readme_line() { grep -m1 "^$1" "$source_tree/README.md" | sed 's/ *#.*//'; }
pack=$(readme_line "cpack ")
install=$(readme_line "sudo apt install ")
mkdir "$work/tree" && ln -s "$KESTRELON_BUILD" "$work/tree/build"
if ! (cd "$work/tree" && bash -c "$pack") >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  echo "0 passed, 1 failed"
  exit 1
fi
debs=$(cd "$work/tree" && bash -c "printf '%s\\n' ${install#sudo apt install }")
check "the README's install line names one package ($debs)" test -f "$work/tree/$debs"
deb=$work/tree/$debs

if command -v lintian >/dev/null; then
  lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1
  check "lintian finds no error or warning" test $? -eq 0
  grep -E '^[EW]:' "$work/lintian.log"
else
  echo "lintian not installed (scripts/install-deps.sh --tests installs it): not linted"
fi

# The control fields: what apt needs to install the programs' libraries, Qt's platform
# plugins and the captions' font.
fields=$(dpkg-deb -f "$deb" Package Version Depends)
check "package name" contains "$fields" "Package: kestrelon"
check "package version" contains "$fields" "Version: $version"
for needed in libqt6widgets6 libqt6gui6 libqt6core6 libstdc++6 qt6-qpa-plugins \
  fonts-ipafont-gothic; do
  check "depends on $needed" contains "$fields" "$needed"
done

contents=$(dpkg-deb -c "$deb")$'\n'
for path in ./usr/bin/kestrelon ./usr/bin/kestrelon-cli \
  ./usr/share/applications/kestrelon.desktop \
  ./usr/share/icons/hicolor/16x16/apps/kestrelon.png \
  ./usr/share/icons/hicolor/48x48/apps/kestrelon.png \
  ./usr/share/icons/hicolor/256x256/apps/kestrelon.png \
  ./usr/share/man/man1/kestrelon-cli.1.gz ./usr/share/man/man1/kestrelon.1.gz \
  ./usr/share/bash-completion/completions/kestrelon-cli; do
  check "package holds $path" contains "$contents" " $path"$'\n'
done

unpacked=$work/unpacked
dpkg -x "$deb" "$unpacked"
bin=$unpacked/usr/bin
check "the entry names the program and the icon" grep -qx 'Exec=kestrelon' \
  "$unpacked/usr/share/applications/kestrelon.desktop"
if command -v desktop-file-validate >/dev/null; then
  check "desktop entry is valid" desktop-file-validate "$unpacked/usr/share/applications/kestrelon.desktop"
fi
# The installed programs find their libraries by the system's rules alone, not in the build.
for program in kestrelon kestrelon-cli; do
  check "$program carries no library path" bash -c "! readelf -d '$bin/$program' | grep -q PATH"
done

check "kestrelon-cli --version" test "$("$bin/kestrelon-cli" --version)" == "kestrelon-cli $version"
check "kestrelon --version" test "$("$bin/kestrelon" --version)" == "Kestrelon $version"

# A compare with the installed command-line program.
mkdir "$work/cli" && cd "$work/cli" || exit 2
cp "$golden/before111.log" "$golden/after111.log" .
"$bin/kestrelon-cli" compare -o result before111.log after111.log
status=$?
check "installed compare status" test "$status" -le 1
check "installed compare writes the golden result" same "$golden/compare111.expected" result

# A batch sort with the installed desktop program; the scratch root can be written, so the
# settings file beside the program counts.
mkdir "$work/batch" && cd "$work/batch" || exit 2
cp "$golden/sort101.log" .
printf '[Kestrelon]\r\nSortExt1=.s1\r\nEnableOpt=0\r\n' >"$bin/Kestrelon.ini"
check "installed batch sort" "$bin/kestrelon" sort101.log
check "installed batch sort writes the golden result" same "$golden/sort101.nooptions.expected" \
  sort101.s1

# The installed layout: the unpacked programs seen under /usr/local/bin in a private mount
# namespace. Whoever runs them, root too, the settings are the user's and nothing is added to
# the package's files.
if [[ $(id -u) == 0 && -d /usr/local/bin ]] && unshare --mount true 2>/dev/null; then
  rm "$bin/Kestrelon.ini"
  chmod a+rx "$work"
  before=$(cd "$unpacked" && find . | sort)
  for who in root nobody; do
    home=$work/home-$who
    mkdir -p "$home/config/kestrelon"
    cp "$golden/sort101.log" "$home/"
    printf '[Kestrelon]\r\nSortExt1=.u1\r\nEnableOpt=0\r\n' >"$home/config/kestrelon/Kestrelon.ini"
    as=()
    if [[ $who == nobody ]]; then
      chown -R nobody:nogroup "$home"
      as=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    fi
    (cd "$home" && HOME=$home XDG_CONFIG_HOME=$home/config unshare --mount sh -c \
      'mount --bind "$1" /usr/local/bin && shift && exec "$@"' _ "$bin" "${as[@]}" \
      /usr/local/bin/kestrelon sort101.log)
    check "installed, as $who: settings from the user's folder" \
      same "$golden/sort101.nooptions.expected" "$home/sort101.u1"
  done
  check "installed: nothing added to the package's files" \
    test "$(cd "$unpacked" && find . | sort)" == "$before"
else
  echo "not root, or no mount namespace: the installed layout is not run"
fi

finish
