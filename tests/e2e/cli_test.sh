#!/usr/bin/env bash
# kestrelon-cli end to end: the golden cases through its options, standard streams, exit
# statuses, kept sort results, failures and usage; written files compared byte for byte. (That
# batch mode writes the same bytes: bad_input_test.sh, user_files_test.sh.)
source "$(dirname "$0")/lib.sh"

# --- the golden cases: every key and filter reaches the core as the window's menus give it
setup golden -
cp "$golden"/*.log "$work/"
keys=(dest next-hop mask-dest mask-next-hop proto-dest proto-next-hop)
while IFS=$'\t' read -r kind input1 input2 key filter expected; do
  [[ $kind == kind ]] && continue
  options=(--key "${keys[${key#key=}]}")
  filter=${filter#filter=}
  case $filter in
    0) ;;
    4) options+=(--dest-mask) ;;
    5) options+=(--dest-only) ;;
    *)
      list=${filter//1/interface}
      list=${list//2/time}
      options+=(--strip "${list//3/cost}")
      ;;
  esac
  want=0
  case $kind in
    sort) cli sort "${options[@]}" -o out "$input1" ;;
    sort-no-options) cli sort -o out "$input1" ;;
    compare)
      cli compare "${options[@]}" -o out "$input1" "$input2"
      tail -n 1 "$golden/$expected" | grep -q '^同等です' || want=1
      ;;
  esac
  check "golden $expected: status $want" test "$status" -eq "$want"
  check "golden $expected" same "$golden/$expected" "$work/out"
done <"$golden/MANIFEST.tsv"

# --- captures: 10.1.1.0/24 loses its second path (and its uptime changes), 10.3.0.0/16 goes,
# 10.4.0.0/16 comes; same.log is the before table in another order, with other uptimes, LF line
# ends and another prompt.
setup streams -
cd "$work" || exit 2
crlf "R1#show ip route" "Gateway of last resort is not set" "" \
  "O       10.1.1.0/24 [110/20] via 10.2.2.2, 00:01:02, Ethernet0" \
  "                    [110/20] via 10.2.2.3, 00:01:02, Ethernet1" \
  "C       10.2.2.0/24 is directly connected, Ethernet0" \
  "S       10.3.0.0/16 [1/0] via 10.2.2.1" "R1#" >before.log
crlf "R1#show ip route" "Gateway of last resort is 10.2.2.1 to network 0.0.0.0" "" \
  "O       10.1.1.0/24 [110/20] via 10.2.2.2, 00:09:59, Ethernet0" \
  "C       10.2.2.0/24 is directly connected, Ethernet0" \
  "O       10.4.0.0/16 [110/50] via 10.2.2.4, 00:00:07, Ethernet0" "R1#" >after.log
printf '%s\n' "R1#sh ip ro" "C       10.2.2.0/24 is directly connected, Ethernet0" \
  "S       10.3.0.0/16 [1/0] via 10.2.2.1" \
  "O       10.1.1.0/24 [110/20] via 10.2.2.2, 01:02:03, Ethernet0" \
  "                    [110/20] via 10.2.2.3, 01:02:03, Ethernet1" "R1#" >same.log
tr -d '\r' <before.log >before-lf.log
sed 's/, [0-9:]*, /, /' before.log >expected.sorted1 # in destination order already
crlf "R1#show ip route" "Gateway of last resort is 10.2.2.1 to network 0.0.0.0" "" \
  "O       10.1.1.0/24 [110/20] via 10.2.2.2, Ethernet0" \
  "C       10.2.2.0/24 is directly connected, Ethernet0" \
  "O       10.4.0.0/16 [110/50] via 10.2.2.4, Ethernet0" "R1#" >expected.sorted2
difference() { # the names in the header lines
  crlf "前: $1" "後: $2" "" \
    "前< O       10.1.1.0/24 [110/20] via 10.2.2.2, Ethernet0" \
    "前<                     [110/20] via 10.2.2.3, Ethernet1" \
    "後> O       10.1.1.0/24 [110/20] via 10.2.2.2, Ethernet0" "" \
    "減< S       10.3.0.0/16 [1/0] via 10.2.2.1" "" \
    "増> O       10.4.0.0/16 [110/50] via 10.2.2.4, Ethernet0" "" " 3 の違いがあります"
}
difference before.log after.log >expected.diff
difference - after.log >expected.stdin
crlf "前: before.log" "後: same.log" "" "同等です" >expected.same

# --- sort: "-" reads standard input, no -o (or "-o -") writes standard output, LF in, CR LF out
cli sort --strip time - <before-lf.log
check "sort from stdin: status 0" test "$status" -eq 0
check "sort from stdin to stdout" same expected.sorted1 "$out"
check "sort from stdin: quiet" test ! -s "$err"
# shellcheck disable=SC2002  # a pipe on purpose
cat before-lf.log | cli sort --strip=time -o piped.txt -
check "sort from a pipe to -o" same expected.sorted1 piped.txt
cli sort --strip time -o - before-lf.log
check "sort with -o -" same expected.sorted1 "$out"
if [[ ${KESTRELON_WINDOWS:-} != 1 ]]; then # Windows has no such names
  cli sort --strip time <(cat before-lf.log)
  check "sort of a process substitution" same expected.sorted1 "$out"
fi
cp before-lf.log self.log
cli sort --strip time -o self.log self.log
check "sort over its own input" same expected.sorted1 self.log

# --- compare: status 1 for differences, 0 for equivalent tables; "-" in the header for stdin
cli compare -o out.diff before.log after.log
check "compare with differences: status 1" test "$status" -eq 1
check "compare with differences" same expected.diff out.diff
check "compare with -o: nothing on the streams" test ! -s "$out" -a ! -s "$err"
cli compare -o out.same before.log same.log
check "compare of equivalent tables: status 0" test "$status" -eq 0
check "compare of equivalent tables" same expected.same out.same
cli compare - after.log <before.log
check "compare from stdin to stdout: status 1" test "$status" -eq 1
check "compare from stdin to stdout" same expected.stdin "$out"
mkdir kept kept-stdin
cli compare --keep-sorted kept -o kept.diff before.log after.log
check "--keep-sorted: result" same expected.diff kept.diff
check "--keep-sorted: sort result 1" same expected.sorted1 kept/before.sorted1
check "--keep-sorted: sort result 2" same expected.sorted2 kept/after.sorted2
cli compare --keep-sorted=kept-stdin/ same.log - <after.log
check "--keep-sorted names standard input stdin" same expected.sorted2 kept-stdin/stdin.sorted2
check "nothing else written" test "$(listing kept)$(listing kept-stdin)$(listing .)" = \
  "after.sorted2 before.sorted1 same.sorted1 stdin.sorted2 after.log before-lf.log before.log \
expected.diff expected.same expected.sorted1 expected.sorted2 expected.stdin kept kept-stdin \
kept.diff out.diff out.same piped.txt same.log self.log "

# A UTF-8 capture with a byte order mark and a UTF-16 one of the same table are equivalent.
{ printf '\xef\xbb\xbf' && cat before.log; } >bom.log
{ printf '\xff\xfe' && iconv -f UTF-8 -t UTF-16LE before.log; } >utf16.log
cli compare bom.log utf16.log
check "UTF-8 with a mark and UTF-16: status 0" test "$status" -eq 0
check "UTF-8 with a mark and UTF-16" grep -q '^同等です' "$out"

# --- failures: status 2, nothing on stdout, one line on stderr naming the file; nothing changed
printf 'earlier\r\n' >earlier.diff
cp earlier.diff out.diff
mkdir kept-none
cli compare --keep-sorted kept-none -o out.diff before.log nothere.log
trouble "compare with a missing input" nothere.log
check "a failed compare leaves the earlier result" same earlier.diff out.diff
check "a failed compare keeps no sort result" test -z "$(listing kept-none)"
cli compare --keep-sorted no-such-folder -o fresh.diff before.log after.log
trouble "keeping into a missing folder" no-such-folder
check "keeping into a missing folder delivers nothing" test ! -e fresh.diff
# Names with Japanese characters and blanks: read, written and kept under their own names, named
# in the header as given, and in a message byte for byte (UTF-8 on every system).
cp before.log "変更前 ログ.log"
cp after.log 変更後.log
mkdir 保存
cli compare --keep-sorted "$work/保存" -o 差分.txt "変更前 ログ.log" "$work/変更後.log"
check "Japanese names: status 1" test "$status" -eq 1
check "Japanese names: result" same <(difference "変更前 ログ.log" "$work/変更後.log") 差分.txt
check "Japanese names: kept sort 1" same expected.sorted1 "保存/変更前 ログ.sorted1"
check "Japanese names: kept sort 2" same expected.sorted2 保存/変更後.sorted2
cli sort --strip time -o 整列.txt "変更前 ログ.log"
check "Japanese names: sort" same expected.sorted1 整列.txt
cli sort 無い.log
trouble "missing input with a Japanese name" '"無い.log"'
if [[ -w /dev/full ]]; then
  (TMPDIR=$tmp "$bin/kestrelon-cli" sort before.log >/dev/full 2>"$err")
  status=$?
  check "full stdout: status 2" test "$status" -eq 2
  check "full stdout: told" grep -q '^kestrelon-cli: .*standard output' "$err"
fi

# --- usage: refused with a one-line hint; --help, --version; "--" ends the options
for args in "" "frobnicate before.log" "sort --key destination before.log" "compare - -" \
  "sort --dest-mask --dest-only before.log"; do
  # shellcheck disable=SC2086  # the cases are word lists
  cli $args
  check "usage '$args': status 2" test "$status" -eq 2
  check "usage '$args': one hint" test "$(wc -l <"$err")" = 1 -a \
    -n "$(grep "^kestrelon-cli: .*; try 'kestrelon-cli --help'$" "$err")"
done
cli --help
check "--help" grep -q '^Usage:' "$out"
version=$(sed -n 's/^project(Kestrelon VERSION \([0-9]*\)\.\([0-9]*\).*/\1 \2/p' \
  "$source_tree/CMakeLists.txt")
read -r major minor <<<"$version"
cli --version
check "--version" test "$(cat "$out")" = "$(printf 'kestrelon-cli %d.%02d' "$major" "$((10#$minor))")"
cli sort -- --help
trouble "a file named --help after --" "--help"
check "every run removed its private folder" test -z "$(tmp_listing "$tmp")"
finish
