#!/usr/bin/env bash
# Batch mode of the desktop program, end to end: a copy of the built kestrelon in a fresh
# folder with its own Kestrelon.ini, run on hand-written captures; the files it writes are
# compared byte for byte with files written by hand.
set -u
bin=${KESTRELON_BIN:?}
export QT_QPA_PLATFORM=offscreen
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
passed=0
failed=0

check() {  # name, then a command that must succeed
  local name=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL: $name"
  fi
}

crlf() { printf '%s\r\n' "$@"; }

# A fresh program folder with the given settings lines, and a work folder; sets prog and work.
setup() {
  local case_dir="$root/$1"
  shift
  prog="$case_dir/prog"
  work="$case_dir/work"
  mkdir -p "$prog" "$work"
  cp "$bin/kestrelon" "$prog/"
  crlf "[Kestrelon]" "$@" > "$prog/Kestrelon.ini"
}

listing() { (cd "$1" && ls -A | tr '\n' ' '); }

before_capture() {
  printf '%s\n' \
    "R1#show ip route" \
    "Codes: C - connected, S - static, O - OSPF" \
    "       * - candidate default" \
    "" \
    "Gateway of last resort is 10.0.0.1 to network 0.0.0.0" \
    "" \
    "S*       0.0.0.0/0 [1/0] via 10.0.0.1" \
    "O        10.8.13.0/24 [110/110] via 10.1.1.2, 2d03h, Gi0/0" \
    "                      [110/110] via 10.1.1.6, 2d03h, Gi0/1" \
    "C        10.1.1.0/24 is directly connected, Gi0/0" \
    "O        9.9.0.0/16 [110/20] via 10.1.1.2, 00:00:05, Gi0/0" \
    "R1#"
}

after_capture() {
  crlf \
    "R1#show ip route" \
    "Gateway of last resort is 10.0.0.2 to network 0.0.0.0" \
    "" \
    "S*       0.0.0.0/0 [1/0] via 10.0.0.2" \
    "C        10.1.1.0/24 is directly connected, Gi0/0" \
    "O        10.8.13.0/24 [110/110] via 10.1.1.2, 2d05h, Gi0/0" \
    "                      [110/110] via 10.1.1.6, 2d05h, Gi0/1" \
    "B        192.0.2.0/24 [20/0] via 203.0.113.1, 1w2d" \
    "R1#"
}

# --- one name: the sort, with the extension from the settings file
setup sort "SortExt1=srt" "EnableOpt=1"
before_capture > "$work/a.log"
crlf \
  "R1#show ip route" \
  "Codes: C - connected, S - static, O - OSPF" \
  "       * - candidate default" \
  "" \
  "Gateway of last resort is 10.0.0.1 to network 0.0.0.0" \
  "" \
  "S*       0.0.0.0/0 [1/0] via 10.0.0.1" \
  "O        9.9.0.0/16 [110/20] via 10.1.1.2, 00:00:05, Gi0/0" \
  "C        10.1.1.0/24 is directly connected, Gi0/0" \
  "O        10.8.13.0/24 [110/110] via 10.1.1.2, 2d03h, Gi0/0" \
  "                      [110/110] via 10.1.1.6, 2d03h, Gi0/1" \
  "R1#" > "$root/sort.expected"
(cd "$work" && "$prog/kestrelon" a.log 2> "$root/sort.err")
check "sort exits 0" test $? -eq 0
check "sort result" cmp -s "$work/a.srt" "$root/sort.expected"
check "sort leaves only its result" test "$(listing "$work")" = "a.log a.srt "
check "sort is quiet" test ! -s "$root/sort.err"
check "extension stored with its dot" grep -q "SortExt1=.srt" "$prog/Kestrelon.ini"

# --- two names: the compare; StoreSort 0 deletes the sort results, 1 keeps them
compare_expected() {
  crlf \
    "前: a.log" \
    "後: b.log" \
    "" \
    "前< S*       0.0.0.0/0 [1/0] via 10.0.0.1" \
    "後> S*       0.0.0.0/0 [1/0] via 10.0.0.2" \
    "" \
    "減< O        9.9.0.0/16 [110/20] via 10.1.1.2, Gi0/0" \
    "" \
    "増> B        192.0.2.0/24 [20/0] via 203.0.113.1" \
    "" \
    " 3 の違いがあります"
}
compare_expected > "$root/compare.expected"
for store in 0 1; do
  setup "compare$store" "SortExt1=.s1" "SortExt2=.s2" "DiffExt=.dif" "EnableOpt=0" \
    "StoreSort=$store"
  before_capture > "$work/a.log"
  after_capture > "$work/b.log"
  (cd "$work" && "$prog/kestrelon" a.log b.log)
  check "compare exits 0 (StoreSort $store)" test $? -eq 0
  check "compare result (StoreSort $store)" cmp -s "$work/b.dif" "$root/compare.expected"
  check "EnableOpt restored (StoreSort $store)" grep -q "EnableOpt=0" "$prog/Kestrelon.ini"
done
check "sort results deleted with StoreSort 0" \
  test "$(listing "$root/compare0/work")" = "a.log b.dif b.log "
check "sort results kept with StoreSort 1" \
  test "$(listing "$root/compare1/work")" = "a.log a.s1 b.dif b.log b.s2 "
crlf \
  "R1#show ip route" \
  "Gateway of last resort is 10.0.0.2 to network 0.0.0.0" \
  "" \
  "S*       0.0.0.0/0 [1/0] via 10.0.0.2" \
  "C        10.1.1.0/24 is directly connected, Gi0/0" \
  "O        10.8.13.0/24 [110/110] via 10.1.1.2, Gi0/0" \
  "                      [110/110] via 10.1.1.6, Gi0/1" \
  "B        192.0.2.0/24 [20/0] via 203.0.113.1" \
  "R1#" > "$root/after.sorted"
check "kept sort result 2 has no time information" cmp -s "$root/compare1/work/b.s2" "$root/after.sorted"

# --- names with blanks, a third name ignored
setup blanks "DiffExt=.dif"
before_capture > "$work/my a.log"
after_capture > "$work/my b.log"
(cd "$work" && "$prog/kestrelon" "my a.log" "my b.log" "ignored.log")
check "names with blanks compare" test $? -eq 0
check "result named after file 2" test -s "$work/my b.dif"

# --- failures: a message naming the file, status 2, nothing written
setup missing "DiffExt=.dif" "StoreSort=1"
before_capture > "$work/a.log"
(cd "$work" && "$prog/kestrelon" a.log missing.log 2> "$root/missing.err")
check "missing input exits 2" test $? -eq 2
check "message names the file" grep -q 'missing.log' "$root/missing.err"
check "nothing written for a missing input" test "$(listing "$work")" = "a.log "
(cd "$work" && "$prog/kestrelon" "" 2> "$root/empty.err")
check "empty first name exits 2" test $? -eq 2
check "empty first name is told" test -s "$root/empty.err"

# --- --help and --version print and exit
check "--help" bash -c "'$bin/kestrelon' --help | grep -q 'Kestrelon \\[BeforeFileName\\] \\[AfterFileName\\]'"
check "--version" bash -c "'$bin/kestrelon' --version | grep -q '0\\.50'"

echo "$passed passed, $failed failed"
test "$failed" -eq 0
