#!/usr/bin/env bash
# Batch mode of the desktop program: a copy of kestrelon with its own Kestrelon.ini, run on
# hand-written captures; the files it writes are compared byte for byte. (Its sort and compare
# write what kestrelon-cli writes: cli_test.sh; user files and failures: the other scripts.)
source "$(dirname "$0")/lib.sh"

crlf "R1#show ip route" "S*       0.0.0.0/0 [1/0] via 10.0.0.1" \
  "O        9.9.0.0/16 [110/20] via 10.1.1.2, 00:00:05, Gi0/0" >"$root/a.log"
crlf "R1#show ip route" "S*       0.0.0.0/0 [1/0] via 10.0.0.1" \
  "O        10.8.13.0/24 [110/110] via 10.1.1.2, 2d05h, Gi0/0" \
  "                      [110/110] via 10.1.1.6, 2d05h, Gi0/1" >"$root/b.log"

# --- names with blanks, a third name ignored; StoreSort 1 keeps the sort results, without the
# time information; EnableOpt keeps the user's value
setup blanks "SortExt1=s1" "SortExt2=.s2" "DiffExt=.dif" "EnableOpt=0" "StoreSort=1"
cp "$root/a.log" "$work/my a.log"
cp "$root/b.log" "$work/my b.log"
desk "my a.log" "my b.log" "ignored.log"
check "compare: status 0" test "$status" -eq 0
crlf "前: my a.log" "後: my b.log" "" "減< O        9.9.0.0/16 [110/20] via 10.1.1.2, Gi0/0" "" \
  "増> O        10.8.13.0/24 [110/110] via 10.1.1.2, Gi0/0" \
  "増>                       [110/110] via 10.1.1.6, Gi0/1" "" " 2 の違いがあります" >"$root/dif"
check "compare result" same "$root/dif" "$work/my b.dif"
check "kept sort result 1" same <(sed 's/, 00:00:05,/,/' "$root/a.log") "$work/my a.s1"
check "kept sort result 2" same <(sed 's/, 2d05h,/,/' "$root/b.log") "$work/my b.s2"
check "extension stored with its dot" grep -q "SortExt1=.s1" "$prog/Kestrelon.ini"
check "EnableOpt restored" grep -q "EnableOpt=0" "$prog/Kestrelon.ini"

# --- a missing or empty name: status 2, told, nothing written
desk "my a.log" missing.log
refused "missing input" missing.log
desk ""
check "empty first name: status 2" test "$status" -eq 2 -a -s "$err"
check "nothing written for failures" test "$(listing "$work")" = "my a.log my a.s1 my b.dif my b.log my b.s2 "

check "--help" bash -c "'$bin/kestrelon' --help | grep -q 'Kestrelon \\[BeforeFileName\\] \\[AfterFileName\\]'"
check "--version" bash -c "'$bin/kestrelon' --version | grep -q '0\\.50'"
finish
