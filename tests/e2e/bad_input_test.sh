#!/usr/bin/env bash
# Bad input and failing writes, end to end on the real executables (kestrelon in batch mode and
# kestrelon-cli): every case ends with a correct result or a clear message and status 2, never
# a crash, a partial file or a changed input.
set -u
bin=${KESTRELON_BIN:?}
export QT_QPA_PLATFORM=offscreen
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
passed=0
failed=0
have_desktop=0
[[ -x $bin/kestrelon ]] && have_desktop=1

check() {  # name, then a command that must succeed
  local name=$1
  shift
  if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL: $name"; fi
}
crlf() { printf '%s\r\n' "$@"; }
listing() { (cd "$1" && ls -A | tr '\n' ' '); }
same_bytes() { cmp -s "$1" "$2"; }

# A program folder with a copy of kestrelon and the given settings; sets prog and work.
setup() {
  prog="$root/$1/prog"
  work="$root/$1/work"
  mkdir -p "$prog" "$work"
  [[ $have_desktop == 1 ]] && cp "$bin/kestrelon" "$prog/"
  crlf "[Kestrelon]" "${@:2}" > "$prog/Kestrelon.ini"
}

# Runs the CLI in the work folder; status in $status.
cli() { (cd "$work" && "$bin/kestrelon-cli" "$@" > "$root/out.txt" 2> "$root/err.txt"); status=$?; }
desk() { (cd "$work" && "$prog/kestrelon" "$@" > "$root/out.txt" 2> "$root/err.txt"); status=$?; }

expect_refusal() {  # name, text the message must hold
  check "$1: status 2" test "$status" -eq 2
  check "$1: message names $2" grep -q -- "$2" "$root/err.txt"
}

# --- inputs that are odd but valid: a result, and the input unchanged
setup odd "SortExt1=.srt"
: > "$work/empty.log"
head -c 300000 /dev/urandom > "$work/binary.log"
printf 'R1#\0show\0ip route\r\n\0\0\0\r\n' >> "$work/binary.log"
printf 'C       10.1.1.0/24 is directly connected, \xff\xfe\xc3(\r\nS       10.0.0.0/8 [1/0] via 10.9.9.9 \xe3\x81\r\n' > "$work/utf8.log"
{ printf 'B       '; head -c 50000000 /dev/zero | tr '\0' 'x'; } > "$work/long.log"
printf 'R1#\rS       10.0.0.0/8 [1/0] via 1.1.1.1\rC       9.9.9.0/24 is directly connected, E0\r' > "$work/cr.log"
printf 'R1#\r\nS       10.0.0.0/8 [1/0] via 1.1.1.1\nC       9.9.9.0/24 is directly connected, E0\r' > "$work/mixed.log"
crlf "R1#" "C       9.9.9.0/24 is directly connected, E0" "S       10.0.0.0/8 [1/0] via 1.1.1.1" > "$root/lineends.expected"
for f in empty binary utf8 long cr mixed; do cp "$work/$f.log" "$root/$f.orig"; done

for f in empty binary utf8 long cr mixed; do
  cli sort -o "$f.cli" "$f.log"
  check "cli sort $f: status 0" test "$status" -eq 0
  check "cli sort $f: input unchanged" same_bytes "$work/$f.log" "$root/$f.orig"
  if [[ $have_desktop == 1 ]]; then
    desk "$f.log"
    check "batch sort $f: status 0" test "$status" -eq 0
    check "batch sort $f: same as the cli" same_bytes "$work/$f.srt" "$work/$f.cli"
  fi
done
check "empty input gives an empty result" test ! -s "$work/empty.cli"
check "50 MB line comes back whole" bash -c "cmp -s <(cat '$work/long.log'; printf '\r\n') '$work/long.cli'"
crlf 'S       10.0.0.0/8 [1/0] via 10.9.9.9 '$'\xe3\x81' 'C       10.1.1.0/24 is directly connected, '$'\xff\xfe\xc3''(' > "$root/utf8.expected"
check "invalid UTF-8 is written back unchanged" same_bytes "$work/utf8.cli" "$root/utf8.expected"
check "CR-only line ends" same_bytes "$work/cr.cli" "$root/lineends.expected"
check "mixed line ends" same_bytes "$work/mixed.cli" "$root/lineends.expected"
check "no staging file left anywhere" bash -c "! ls '$work' | grep -q '(1)'"

# --- nothing to compare: an input without a route line is refused, never "equivalent"
setup noroutes "SortExt1=.s1" "SortExt2=.s2" "DiffExt=.dif" "EnableOpt=0" "StoreSort=1"
: > "$work/empty.log"
crlf "R1#show ipv6 route" "C   2001:DB8::/64 [0/0]" "     via Ethernet0/0, directly connected" > "$work/v6.log"
crlf "R1#show ip route" "C       9.9.9.0/24 is directly connected, E0" > "$work/ok.log"
cli compare empty.log empty.log
expect_refusal "cli compare of two empty files" "no route lines"
check "cli: nothing on standard output" test ! -s "$root/out.txt"
cli compare -o v6.dif ok.log v6.log
expect_refusal "cli compare with an IPv6 table" "v6.log"
if [[ $have_desktop == 1 ]]; then
  desk empty.log ok.log
  expect_refusal "batch compare with an empty first file" "empty.log"
  check "EnableOpt holds the user's value after the refusal" grep -q "EnableOpt=0" "$prog/Kestrelon.ini"
fi
check "nothing written for nothing to compare" \
  test "$(listing "$work")" = "empty.log ok.log v6.log "

# --- inputs that cannot be read: status 2, a message, nothing written
setup unreadable "SortExt1=.srt" "DiffExt=.dif"
mkdir "$work/folder.log"
crlf "C       9.9.9.0/24 is directly connected, E0" > "$work/ok.log"
cli sort folder.log
expect_refusal "cli folder as input" "folder.log"
cli sort missing.log
expect_refusal "cli missing input" "missing.log"
cli sort -o no/such/folder/out.txt ok.log
expect_refusal "cli output folder missing" "no/such/folder/out.txt"
if [[ $have_desktop == 1 ]]; then
  desk folder.log
  expect_refusal "batch folder as input" "folder.log"
  desk ok.log missing.log
  expect_refusal "batch missing input" "missing.log"
fi
check "nothing written for unreadable inputs" test "$(listing "$work")" = "folder.log ok.log "

# --- names that would destroy a file the job reads: refused before anything is written
if [[ $have_desktop == 1 ]]; then
  setup names "SortExt1=.s1" "SortExt2=.s2" "DiffExt=.log"
  crlf "C       9.9.9.0/24 is directly connected, E0" > "$work/a.log"
  crlf "C       9.9.9.0/24 is directly connected, E1" > "$work/b.log"
  cp "$work/a.log" "$root/a.orig"
  cp "$work/b.log" "$root/b.orig"
  desk a.log b.log
  expect_refusal "compare result named like an input" "b.log"
  check "inputs unchanged after refusals" same_bytes "$work/a.log" "$root/a.orig"
  check "second input unchanged after refusals" same_bytes "$work/b.log" "$root/b.orig"
  check "nothing written for refused names" test "$(listing "$work")" = "a.log b.log "
fi

# --- a write that fails midway (file-size limit, SIGXFSZ ignored): the earlier result stays
setup midway "SortExt1=.s1" "SortExt2=.s2" "DiffExt=.dif" "EnableOpt=0" "StoreSort=0"
for i in $(seq 1 1500); do
  printf 'O       10.%d.%d.0/24 [110/20] via 10.255.0.1, 00:01:02, GigabitEthernet0/1\r\n' $((i / 250)) $((i % 250))
done > "$work/before.log"
for i in $(seq 1 1500); do
  printf 'O       10.%d.%d.0/24 [110/30] via 10.255.0.2, 00:01:02, GigabitEthernet0/2\r\n' $((i / 250)) $((i % 250))
done > "$work/after.log"
crlf "an earlier difference file" > "$work/after.dif"
cp "$work/after.dif" "$root/dif.orig"
# The inputs and sort results are about 120 KB; the difference file would pass 240 KB. The
# programs ignore SIGXFSZ themselves, so the limit is a write error with a message.
limited() { (ulimit -f 200; cd "$work" && "$@" > "$root/out.txt" 2> "$root/err.txt"); status=$?; }
if [[ $have_desktop == 1 ]]; then
  limited "$prog/kestrelon" before.log after.log
  expect_refusal "batch compare over the size limit" "after.dif"
  check "earlier result intact after a failed batch write" same_bytes "$work/after.dif" "$root/dif.orig"
  check "EnableOpt holds the user's value after the failure" grep -q "EnableOpt=0" "$prog/Kestrelon.ini"
  check "no partial or temporary file left (batch)" \
    test "$(listing "$work")" = "after.dif after.log before.log "
fi
limited "$bin/kestrelon-cli" compare -o after.dif before.log after.log
expect_refusal "cli compare over the size limit" "after.dif"
check "earlier result intact after a failed cli write" same_bytes "$work/after.dif" "$root/dif.orig"
check "no partial or temporary file left (cli)" \
  test "$(listing "$work")" = "after.dif after.log before.log "

echo "$passed passed, $failed failed"
test "$failed" -eq 0
