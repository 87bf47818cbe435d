# Helpers of the end-to-end tests, sourced by each tests/e2e/*_test.sh. The built programs run
# in fresh folders under $root; every check counts, and finish gives the verdict.
#   KESTRELON_BIN     folder of the built executables (kestrelon-cli, maybe kestrelon)
#   KESTRELON_SOURCE  the source tree
# shellcheck shell=bash
set -u
bin=${KESTRELON_BIN:?set KESTRELON_BIN to the folder of the built executables}
source_tree=${KESTRELON_SOURCE:?set KESTRELON_SOURCE to the source tree}
# shellcheck disable=SC2034  # used by the scripts that source this file
golden=$source_tree/tests/data/golden
export QT_QPA_PLATFORM=offscreen
root=$(mktemp -d "${TMPDIR:-/tmp}/kestrelon-e2e.XXXXXX") || exit 2
trap 'rm -rf "$root"' EXIT
# Qt's runtime folder would otherwise go under each case's $TMPDIR.
export XDG_RUNTIME_DIR=$root/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
passed=0
failed=0
have_desktop=0
[[ -x $bin/kestrelon ]] && have_desktop=1

check() { # name, then a command that must succeed
  local name=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL: $name"
  fi
}
finish() {
  echo "$passed passed, $failed failed"
  [[ $failed == 0 ]]
}

crlf() { printf '%s\r\n' "$@"; }
lf() { printf '%s\n' "$@"; }
listing() { (cd "$1" && ls -A | tr '\n' ' '); }
# What runs left in a $TMPDIR; under wine (KESTRELON_WINDOWS=1) the wine server keeps its own
# folder there, wine-XXXXXX, which is none of the programs'.
tmp_listing() {
  if [[ ${KESTRELON_WINDOWS:-} == 1 ]]; then
    listing "$1" | sed 's/wine-[^ ]* //g'
  else
    listing "$1"
  fi
}
# Byte for byte; the difference is shown when there is one.
same() { cmp -s "$1" "$2" || { diff <(cat -A "$1" 2>&1) <(cat -A "$2" 2>&1) | head -10 && false; }; }

# A case folder $root/NAME: prog/ (a copy of kestrelon and the given settings lines, none for
# "-"), work/ (the current folder of the runs) and tmp/ (their $TMPDIR); sets prog, work, tmp.
setup() {
  prog="$root/$1/prog"
  work="$root/$1/work"
  tmp="$root/$1/tmp"
  mkdir -p "$prog" "$work" "$tmp"
  [[ $have_desktop == 1 ]] && cp "$bin/kestrelon" "$prog/"
  [[ ${2:-} == - ]] || crlf "[Kestrelon]" "${@:2}" >"$prog/Kestrelon.ini"
}

# Run the desktop program or the CLI in work/; status in $status, streams in $out and $err.
out=$root/out.txt
err=$root/err.txt
desk() { (cd "$work" && TMPDIR=$tmp "$prog/kestrelon" "$@" >"$out" 2>"$err"); status=$?; }
cli() { (cd "$work" && TMPDIR=$tmp "$bin/kestrelon-cli" "$@" >"$out" 2>"$err"); status=$?; }

# A failed run: status 2 and a message naming what failed.
refused() { # name, text the message holds
  check "$1: status 2" test "$status" -eq 2
  check "$1: message names $2" grep -q -- "$2" "$err"
}
# A failed CLI run: status 2, nothing on stdout, one line on stderr naming what failed.
trouble() { # name, text the message holds
  check "$1: status 2" test "$status" -eq 2
  check "$1: nothing on stdout" test ! -s "$out"
  check "$1: one line naming $2" \
    test "$(wc -l <"$err")" = 1 -a -n "$(grep "^kestrelon-cli: .*$2" "$err")"
}
