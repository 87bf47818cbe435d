#!/usr/bin/env bash
# The Debian package, end to end: CPack packs this build folder's programs, dpkg -x unpacks the
# package into a scratch root, and both programs run from there (--version, a batch sort, a
# compare) on golden captures, their results compared byte for byte.
#   KESTRELON_BUILD   the build folder (with CPackConfig.cmake)
#   KESTRELON_SOURCE  the source tree
source "$(dirname "$0")/lib.sh"
: "${KESTRELON_BUILD:?set KESTRELON_BUILD to the build folder}"
work=$root
trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
contains() { [[ $1 == *"$2"* ]]; }

version=$(sed -n 's/^project(Kestrelon VERSION \([0-9.]*\).*/\1/p' "$source_tree/CMakeLists.txt")

if ! cpack --config "$KESTRELON_BUILD/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  echo "0 passed, 1 failed"
  exit 1
fi
deb=$(echo "$work"/package/kestrelon_*.deb)
check "one package built" test -f "$deb"

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

# A program folder that cannot be written, as /usr/bin for a user: the settings come from
# $XDG_CONFIG_HOME/kestrelon/ and nothing is added beside the program. Root may write anywhere,
# so root runs the program as nobody.
user=$work/user
mkdir -p "$user/config/kestrelon"
cp "$golden/sort101.log" "$user/"
printf '[Kestrelon]\r\nSortExt1=.u1\r\nEnableOpt=0\r\n' >"$user/config/kestrelon/Kestrelon.ini"
chmod -R a+rwX "$user"
chmod a+rx "$work"
chmod a-w "$bin"
as_user=()
if [[ $(id -u) == 0 ]]; then
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
before=$(ls -A "$bin")
(cd "$user" && HOME=$user XDG_CONFIG_HOME=$user/config "${as_user[@]}" "$bin/kestrelon" sort101.log)
check "settings from the user's folder" same "$golden/sort101.nooptions.expected" \
  "$user/sort101.u1"
check "nothing added beside the installed program" test "$(ls -A "$bin")" == "$before"
chmod u+w "$bin"

finish
