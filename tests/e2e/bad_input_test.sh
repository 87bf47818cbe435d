#!/usr/bin/env bash
# Bad input and failing writes through both programs (kestrelon in batch mode, kestrelon-cli):
# every case ends with a correct result or a message and status 2, never a crash, a partial file
# or a changed input.
source "$(dirname "$0")/lib.sh"

# --- inputs that are odd but valid: a result, the same from both programs, the input unchanged
setup odd "SortExt1=.srt"
: >"$work/empty.log"
head -c 300000 /dev/urandom >"$work/binary.log"
printf 'R1#\0show\0ip route\r\n\0\0\0\r\n' >>"$work/binary.log"
printf 'C       10.1.1.0/24 is directly connected, \xff\xfe\xc3(\r\nS       10.0.0.0/8 [1/0] via 10.9.9.9 \xe3\x81\r\n' >"$work/utf8.log"
{ printf 'B       ' && head -c 50000000 /dev/zero | tr '\0' 'x'; } >"$work/long.log"
printf 'R1#\rS       10.0.0.0/8 [1/0] via 1.1.1.1\rC       9.9.9.0/24 is directly connected, E0\r' >"$work/cr.log"
printf 'R1#\r\nS       10.0.0.0/8 [1/0] via 1.1.1.1\nC       9.9.9.0/24 is directly connected, E0\r' >"$work/mixed.log"
crlf "R1#" "C       9.9.9.0/24 is directly connected, E0" "S       10.0.0.0/8 [1/0] via 1.1.1.1" >"$root/lineends.expected"
for f in empty binary utf8 long cr mixed; do
  cp "$work/$f.log" "$root/$f.orig"
  cli sort -o "$f.cli" "$f.log"
  check "cli sort $f: status 0" test "$status" -eq 0
  check "cli sort $f: input unchanged" same "$work/$f.log" "$root/$f.orig"
  if [[ $have_desktop == 1 ]]; then
    desk "$f.log"
    check "batch sort $f: status 0" test "$status" -eq 0
    check "batch sort $f: same as the cli" same "$work/$f.srt" "$work/$f.cli"
  fi
done
check "empty input gives an empty result" test ! -s "$work/empty.cli"
check "50 MB line comes back whole" same <(cat "$work/long.log" && printf '\r\n') "$work/long.cli"
crlf 'S       10.0.0.0/8 [1/0] via 10.9.9.9 '$'\xe3\x81' 'C       10.1.1.0/24 is directly connected, '$'\xff\xfe\xc3''(' >"$root/utf8.expected"
check "invalid UTF-8 is written back unchanged" same "$work/utf8.cli" "$root/utf8.expected"
check "CR-only line ends" same "$work/cr.cli" "$root/lineends.expected"
check "mixed line ends" same "$work/mixed.cli" "$root/lineends.expected"
check "no working file left" test -z "$(tmp_listing "$tmp")$(ls "$work" | grep -v '\.\(log\|cli\|srt\)$')"

# --- nothing to compare: an input without a route line is refused, never "equivalent"
setup noroutes "SortExt1=.s1" "SortExt2=.s2" "DiffExt=.dif" "EnableOpt=0" "StoreSort=1"
: >"$work/empty.log"
crlf "R1#show ipv6 route" "C   2001:DB8::/64 [0/0]" "     via Ethernet0/0, directly connected" >"$work/v6.log"
crlf "R1#show ip route" "C       9.9.9.0/24 is directly connected, E0" >"$work/ok.log"
cli compare empty.log empty.log
refused "cli compare of two empty files" "no route lines"
check "cli: nothing on standard output" test ! -s "$out"
cli compare -o v6.dif ok.log v6.log
refused "cli compare with an IPv6 table" "v6.log"
if [[ $have_desktop == 1 ]]; then
  desk empty.log ok.log
  refused "batch compare with an empty first file" "empty.log"
  check "EnableOpt holds the user's value after the refusal" grep -q "EnableOpt=0" "$prog/Kestrelon.ini"
fi
check "nothing written for nothing to compare" test "$(listing "$work")" = "empty.log ok.log v6.log "

# --- inputs that cannot be read, names that would destroy an input: refused, nothing written
setup unreadable "SortExt1=.srt" "DiffExt=.dif"
mkdir "$work/folder.log"
crlf "C       9.9.9.0/24 is directly connected, E0" >"$work/a.log"
crlf "C       9.9.9.0/24 is directly connected, E1" >"$work/b.log"
cp "$work/b.log" "$root/b.orig"
cli sort folder.log
refused "cli folder as input" "folder.log"
cli sort missing.log
refused "cli missing input" "missing.log"
cli sort -o no/such/folder/out.txt a.log
refused "cli output folder missing" "no/such/folder/out.txt"
if [[ $have_desktop == 1 ]]; then
  desk folder.log
  refused "batch folder as input" "folder.log"
  desk a.log missing.log
  refused "batch missing input" "missing.log"
  crlf "[Kestrelon]" "DiffExt=.log" >"$prog/Kestrelon.ini"
  desk a.log b.log
  refused "compare result named like an input" "b.log"
  check "the input keeps its bytes" same "$work/b.log" "$root/b.orig"
fi
check "nothing written for refusals" test "$(listing "$work")" = "a.log b.log folder.log "

# --- a write that fails midway (file-size limit, SIGXFSZ ignored): the earlier result stays
setup midway "SortExt1=.s1" "SortExt2=.s2" "DiffExt=.dif" "EnableOpt=0" "StoreSort=0"
for hop in 1 2; do
  for i in $(seq 1 1500); do
    printf 'O       10.%d.%d.0/24 [110/%d0] via 10.255.0.%d, 00:01:02, GigabitEthernet0/%d\r\n' \
      $((i / 250)) $((i % 250)) $((hop + 1)) "$hop" "$hop"
  done >"$work/$hop.log"
done
mv "$work/1.log" "$work/before.log"
mv "$work/2.log" "$work/after.log"
crlf "an earlier difference file" >"$work/after.dif"
cp "$work/after.dif" "$root/dif.orig"
# The inputs and sort results are about 120 KB; the difference file would pass 240 KB.
limited() { (ulimit -f 200 && cd "$work" && TMPDIR=$tmp "$@" >"$out" 2>"$err"); status=$?; }
for program in kestrelon kestrelon-cli; do
  if [[ $program == kestrelon ]]; then
    [[ $have_desktop == 1 ]] || continue
    limited "$prog/kestrelon" before.log after.log
  else
    limited "$bin/kestrelon-cli" compare -o after.dif before.log after.log
  fi
  refused "$program compare over the size limit" "after.dif"
  check "$program: earlier result intact" same "$work/after.dif" "$root/dif.orig"
  check "$program: no partial or temporary file left" \
    test "$(listing "$work")$(tmp_listing "$tmp")" = "after.dif after.log before.log "
done
check "EnableOpt holds the user's value after the failure" grep -q "EnableOpt=0" "$prog/Kestrelon.ini"

# A kept sort result over the limit: the thread that writes it stops, and the merge, which waits
# for that side's entries, stops with it (a capture against itself has a short difference file).
# A merge left waiting would hang: the timeout makes that a failure.
mkdir "$work/kept"
(ulimit -f 50 && cd "$work" && TMPDIR=$tmp timeout 120 "$bin/kestrelon-cli" compare --keep-sorted kept \
  -o same.dif before.log before.log >"$out" 2>"$err")
status=$?
refused "compare whose kept sort result passes the size limit" "kept/before.sorted"
check "no kept sort result, no difference file, no working file" \
  test "$(listing "$work")$(listing "$work/kept")$(tmp_listing "$tmp")" = \
  "after.dif after.log before.log kept "
# --- routes and diff refuse input that is not text as soon as it shows, naming the input as
# given; a copy that fills $TMPDIR names the input too, never the private copy
setup not-text -
before=$'R1#show ip route\r\nS*       0.0.0.0/0 [1/0] via 10.0.0.1\r\n'
printf '%s' "$before" >"$work/r.log"
printf '%s\0\0\0' "$before" >"$work/nul.log"
runs=("routes /dev/zero|/dev/zero" "routes -|standard input" "diff r.log -|standard input"
  "diff nul.log r.log|nul.log" "routes r.log nul.log|nul.log")
for run in "${runs[@]}"; do
  command=${run%|*}
  # shellcheck disable=SC2086  # the words of the run
  (cd "$work" && head -c 300000000 /dev/zero | TMPDIR=$tmp timeout 60 "$bin/kestrelon-cli" \
    $command >"$out" 2>"$err")
  status=$?
  trouble "$command, not text" "\"${run#*|}\": not text: a NUL byte at byte "
done
# ulimit applies to the program alone: yes goes on until the program stops reading.
(cd "$work" && yes | (ulimit -f 200 && TMPDIR=$tmp "$bin/kestrelon-cli" routes - >"$out" 2>"$err"))
status=$?
trouble "yes | routes over the size limit" "cannot copy \"standard input\": File too large"
check "the message does not name the private copy" test -z "$(grep "kestrelon\.[^ /]*/input" "$err")"
{ printf '\xff\xfe' && iconv -f utf-8 -t utf-16le <<<"$before"; } >"$work/u16.log"
(cd "$work" && TMPDIR=$tmp "$bin/kestrelon-cli" routes --format text - <u16.log >"$out" 2>"$err")
check "a UTF-16 capture through a pipe is text" test "$?-$(grep -c 0.0.0.0/0 "$out")" = 0-1
check "not text: nothing left" test "$(tmp_listing "$tmp")" = ""
finish
