#!/usr/bin/env bash
# Batch mode of the desktop program: a copy of kestrelon with its own Kestrelon.ini, run on
# hand-written captures; the files it writes are compared byte for byte.
source "$(dirname "$0")/lib.sh"

capture() { # 1 before the change (LF line ends, a legend), 2 after it
  if [[ $1 == 1 ]]; then
    printf '%s\n' "R1#show ip route" "Codes: C - connected, S - static, O - OSPF" \
      "       * - candidate default" "" "Gateway of last resort is 10.0.0.1 to network 0.0.0.0" "" \
      "S*       0.0.0.0/0 [1/0] via 10.0.0.1" \
      "O        10.8.13.0/24 [110/110] via 10.1.1.2, 2d03h, Gi0/0" \
      "                      [110/110] via 10.1.1.6, 2d03h, Gi0/1" \
      "C        10.1.1.0/24 is directly connected, Gi0/0" \
      "O        9.9.0.0/16 [110/20] via 10.1.1.2, 00:00:05, Gi0/0" "R1#"
  else
    crlf "R1#show ip route" "Gateway of last resort is 10.0.0.2 to network 0.0.0.0" "" \
      "S*       0.0.0.0/0 [1/0] via 10.0.0.2" "C        10.1.1.0/24 is directly connected, Gi0/0" \
      "O        10.8.13.0/24 [110/110] via 10.1.1.2, 2d05h, Gi0/0" \
      "                      [110/110] via 10.1.1.6, 2d05h, Gi0/1" \
      "B        192.0.2.0/24 [20/0] via 203.0.113.1, 1w2d" "R1#"
  fi
}

# --- one name: the sort, with the extension from the settings file
setup sort "SortExt1=srt" "EnableOpt=1"
capture 1 >"$work/a.log"
desk a.log
check "sort: status 0" test "$status" -eq 0
crlf "R1#show ip route" "Codes: C - connected, S - static, O - OSPF" "       * - candidate default" \
  "" "Gateway of last resort is 10.0.0.1 to network 0.0.0.0" "" "S*       0.0.0.0/0 [1/0] via 10.0.0.1" \
  "O        9.9.0.0/16 [110/20] via 10.1.1.2, 00:00:05, Gi0/0" \
  "C        10.1.1.0/24 is directly connected, Gi0/0" \
  "O        10.8.13.0/24 [110/110] via 10.1.1.2, 2d03h, Gi0/0" \
  "                      [110/110] via 10.1.1.6, 2d03h, Gi0/1" "R1#" >"$root/sort.expected"
check "sort result" same "$work/a.srt" "$root/sort.expected"
check "sort leaves only its result" test "$(listing "$work")" = "a.log a.srt "
check "sort is quiet" test ! -s "$err"
check "extension stored with its dot" grep -q "SortExt1=.srt" "$prog/Kestrelon.ini"

# --- two names: the compare; StoreSort 0 deletes the sort results, 1 keeps them
crlf "前: a.log" "後: b.log" "" "前< S*       0.0.0.0/0 [1/0] via 10.0.0.1" \
  "後> S*       0.0.0.0/0 [1/0] via 10.0.0.2" "" \
  "減< O        9.9.0.0/16 [110/20] via 10.1.1.2, Gi0/0" "" \
  "増> B        192.0.2.0/24 [20/0] via 203.0.113.1" "" " 3 の違いがあります" >"$root/compare.expected"
for store in 0 1; do
  setup "compare$store" "SortExt1=.s1" "SortExt2=.s2" "DiffExt=.dif" "EnableOpt=0" \
    "StoreSort=$store"
  capture 1 >"$work/a.log"
  capture 2 >"$work/b.log"
  desk a.log b.log
  check "compare: status 0 (StoreSort $store)" test "$status" -eq 0
  check "compare result (StoreSort $store)" same "$work/b.dif" "$root/compare.expected"
  check "EnableOpt restored (StoreSort $store)" grep -q "EnableOpt=0" "$prog/Kestrelon.ini"
done
check "sort results deleted with StoreSort 0" \
  test "$(listing "$root/compare0/work")" = "a.log b.dif b.log "
check "sort results kept with StoreSort 1" \
  test "$(listing "$root/compare1/work")" = "a.log a.s1 b.dif b.log b.s2 "
check "kept sort result 2 has no time information" \
  same "$work/b.s2" <(capture 2 | sed -e 's/, 2d05h,/,/' -e 's/, 1w2d//')

# --- names with blanks, a third name ignored; failures: status 2, the file named, nothing written
setup blanks "DiffExt=.dif"
capture 1 >"$work/my a.log"
capture 2 >"$work/my b.log"
desk "my a.log" "my b.log" "ignored.log"
check "names with blanks compare" test "$status" -eq 0 -a -s "$work/my b.dif"
desk "my a.log" missing.log
refused "missing input" missing.log
desk ""
check "empty first name: status 2" test "$status" -eq 2 -a -s "$err"
check "nothing written for failures" test "$(listing "$work")" = "my a.log my b.dif my b.log "

check "--help" bash -c "'$bin/kestrelon' --help | grep -q 'Kestrelon \\[BeforeFileName\\] \\[AfterFileName\\]'"
check "--version" bash -c "'$bin/kestrelon' --version | grep -q '0\\.50'"
finish
