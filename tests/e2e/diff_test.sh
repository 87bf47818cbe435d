#!/usr/bin/env bash
# kestrelon-cli diff end to end: reports compared byte for byte with ones written here by hand,
# and the exit statuses.
source "$(dirname "$0")/lib.sh"
setup diff -
cd "$work" || exit 2

# Before and after a change: a metric, an equal-cost path order (no change), a route gone, one
# new, a VRF on each side only, an IPv6 route.
lf "R1#show ip route vrf *" \
  "Codes: L - local, C - connected, S - static, B - BGP, O - OSPF" \
  "Gateway of last resort is not set" \
  "      10.0.0.0/8 is variably subnetted, 4 subnets, 2 masks" \
  "O        10.1.1.0/24 [110/20] via 10.2.2.2, 00:01:02, Ethernet0" \
  "                     [110/20] via 10.2.2.3, 00:01:02, Ethernet1" \
  "O        10.1.2.0/24 [110/20] via 10.2.2.2, 00:01:02, Ethernet0" \
  "B        10.9.0.0/16 [20/0] via 192.0.2.1, 1d02h" \
  "S        10.10.0.0/16 [1/0] via 192.0.2.9" \
  "Routing Table: red" \
  "S*    0.0.0.0/0 is directly connected, Null0" >before.log
lf "R1#show ip route vrf *" \
  "Codes: L - local, C - connected, S - static, B - BGP, O - OSPF" \
  "Gateway of last resort is not set" \
  "      10.0.0.0/8 is variably subnetted, 4 subnets, 2 masks" \
  "O        10.1.1.0/24 [110/20] via 10.2.2.3, 00:05:02, Ethernet1" \
  "                     [110/20] via 10.2.2.2, 00:05:02, Ethernet0" \
  "O        10.1.2.0/24 [110/30] via 10.2.2.2, 00:05:02, Ethernet0" \
  "B        10.8.0.0/16 [20/0] via 192.0.2.1, 1d03h" \
  "S        10.10.0.0/16 [1/0] via 192.0.2.9" \
  "Routing Table: blue" \
  "S*    0.0.0.0/0 is directly connected, Null0" \
  "IPv6 Routing Table - blue - 1 entries" \
  "S   2001:DB8:10::/48 [1/0]" \
  "     via 2001:DB8:1::2" >after.log

crlf "before: before.log (ios), 5 routes" \
  "after:  after.log (ios), 6 routes" \
  "ignored: uptime" \
  "changes: 6 (2 removed, 3 added, 1 changed)" \
  "" \
  "vrf      before  after  removed  added  changed" \
  "default       4      4        1      1        1" \
  "blue          0      2        0      2        0" \
  "red           1      0        1      0        0" \
  "" \
  "protocol  before  after  removed  added  changed" \
  "B              1      1        1      1        0" \
  "O              2      2        0      0        1" \
  "S              2      3        1      2        0" \
  "" \
  "vrf default" \
  "~ 10.1.2.0/24  changed: metric" \
  "    before  O  [110/20]  10.2.2.2 Ethernet0  00:01:02" \
  "    after   O  [110/30]  10.2.2.2 Ethernet0  00:05:02" \
  "+ 10.8.0.0/16  added" \
  "    after   B  [20/0]  192.0.2.1  1d03h" \
  "- 10.9.0.0/16  removed" \
  "    before  B  [20/0]  192.0.2.1  1d02h" \
  "" \
  "vrf blue" \
  "+ 0.0.0.0/0  added" \
  "    after   S  *  Null0" \
  "+ 2001:DB8:10::/48  added" \
  "    after   S  [1/0]  2001:DB8:1::2" \
  "" \
  "vrf red" \
  "- 0.0.0.0/0  removed" \
  "    before  S  *  Null0" >expected.text
cli diff -o report.txt before.log after.log
check "diff with changes: status 1" test "$status" -eq 1
check "the text report" same expected.text report.txt
check "diff -o: nothing on the streams" test ! -s "$out" -a ! -s "$err"

# A capture against itself: status 0, no change. Standard input for one side.
cli diff before.log before.log
check "a capture against itself: status 0" test "$status" -eq 0
check "a capture against itself: no change" grep -q "^changes: none"$'\r'"$" "$out"
cli diff - before.log <before.log
check "standard input against the same capture: status 0" test "$status" -eq 0

# --ignore none counts the uptime; --vrf limits the report.
cli diff --ignore none --vrf default --format csv before.log after.log
check "CSV of the default VRF: status 1" test "$status" -eq 1
crlf '"change","vrf","afi","prefix","fields","before_protocol","before_flags","before_distance","before_metric","before_next_hops","before_uptime","after_protocol","after_flags","after_distance","after_metric","after_next_hops","after_uptime","before_source","after_source"' \
  '"changed","default","ipv4","10.1.1.0/24","uptime","O","",110,20,"10.2.2.2 Ethernet0; 10.2.2.3 Ethernet1","00:01:02","O","",110,20,"10.2.2.3 Ethernet1; 10.2.2.2 Ethernet0","00:05:02","ospf","ospf"' \
  '"changed","default","ipv4","10.1.2.0/24","metric;uptime","O","",110,20,"10.2.2.2 Ethernet0","00:01:02","O","",110,30,"10.2.2.2 Ethernet0","00:05:02","ospf","ospf"' \
  '"added","default","ipv4","10.8.0.0/16","",,,,,,,"B","",20,0,"192.0.2.1","1d03h",,"bgp"' \
  '"removed","default","ipv4","10.9.0.0/16","","B","",20,0,"192.0.2.1","1d02h",,,,,,,"bgp",' >expected.csv
check "CSV of the default VRF" same expected.csv "$out"

# JSON: the summary line and one change a line, records as routes writes them.
cli diff --format json --vrf red before.log after.log
check "JSON of VRF red: status 1" test "$status" -eq 1
crlf '{"before":"before.log","after":"after.log",' \
  '"summary":{"platform_before":"ios","platform_after":"ios","reading_before":{"platform":"ios","decided_by":"route lines: 5 with the code in column 1","lines":11,"not_understood":0,"examples":[]},"reading_after":{"platform":"ios","decided_by":"route lines: 6 with the code in column 1","lines":14,"not_understood":0,"examples":[]},"ignored":["uptime"],"across_platforms":false,"left_out_before":0,"left_out_after":0,"routes_before":1,"routes_after":0,"removed":1,"added":0,"changed":0,"vrfs":[{"vrf":"red","routes_before":1,"routes_after":0,"removed":1,"added":0,"changed":0}],"protocols":[{"protocol":"S","routes_before":1,"routes_after":0,"removed":1,"added":0,"changed":0}]},' \
  '"changes":[' \
  '{"vrf":"red","afi":"ipv4","prefix":"0.0.0.0/0","change":"removed","fields":[],"before":{"vrf":"red","afi":"ipv4","protocol":"S","source":"static","flags":"*","selected":null,"prefix":"0.0.0.0/0","distance":null,"metric":null,"next_hops":[{"address":null,"interface":"Null0","vrf":null}],"uptime":null},"after":null}' \
  ']}' >expected.json
check "JSON of VRF red" same expected.json "$out"

# Trouble: status 2, one line naming the file, nothing written, no earlier result replaced.
printf 'dear colleague,\nthe routes are fine.\n' >letter.txt
printf 'Gateway of last resort is not set\n' >empty.log
printf 'earlier\n' >report.keep
cp report.keep earlier.keep
cli diff -o report.keep before.log letter.txt
trouble "a capture that cannot be placed" "letter.txt"
check "a failed diff leaves the earlier report" same earlier.keep report.keep
cp letter.txt note.txt
cli diff letter.txt note.txt
trouble "neither capture can be placed: the one before named" "letter.txt"
: >nothing.log
cli diff before.log nothing.log
trouble "an empty file" "nothing.log"
cli diff empty.log after.log
trouble "a capture without a route" "empty.log"
cli diff before.log nothere.log
trouble "a missing input" "nothere.log"
cli diff --vrf green before.log after.log
trouble "a VRF neither capture has" "green"
cli diff --platform nxos before.log after.log
trouble "a platform that finds nothing" "before.log"
# A line not understood between two routes: counted in the summary and warned of; an error
# under --strict. So is a capture read with a platform other than its own.
sed 's/^B        10.9.0.0.*/GARBAGE %%%% 10.9.9.0 foo bar\n&/' before.log >garbage.log
cli diff before.log garbage.log
check "a line not understood: status 0" test "$status" -eq 0
check "a line not understood: in the summary" \
  grep -qx "after:  garbage.log (ios), 5 routes, 1 line not understood"$'\r' "$out"
check "a line not understood: a warning naming it" \
  grep -q "^kestrelon-cli: warning: garbage.log: 1 line not understood as ios, the first line 8: GARBAGE" "$err"
cli diff --format csv before.log garbage.log
check "a line not understood: the CSV's last row" \
  grep -qx '"not_understood",,,,"before 0;after 1",,,,,,,,,,,,,,'$'\r' "$out"
cli diff --strict -o strict.txt before.log garbage.log
trouble "--strict and a line not understood" "garbage.log.*line 8: GARBAGE"
check "--strict: nothing written" test ! -e strict.txt
lf "R1#show ip route" \
  "      10.0.0.0/24 is subnetted, 2 subnets" \
  "O        10.1.1.0 [110/20] via 10.2.2.2, 00:01:02, Ethernet0" \
  "O        10.1.2.0 [110/20] via 10.2.2.2, 00:01:02, Ethernet0" \
  "S        10.9.0.0/16 [1/0] via 192.0.2.9" >subnets.log
sed 's/10.1.2.0 \[110\/20\]/10.1.2.0 [110\/30]/' subnets.log >subnets2.log
cli diff --platform iosxr subnets.log subnets2.log
check "a platform forced wrongly: a warning" grep -q "2 lines not understood as iosxr" "$err"
cli diff --strict --platform iosxr subnets.log subnets2.log
trouble "a platform forced wrongly, --strict" "subnets.log.*2 lines not understood as iosxr"
cli diff --ignore metrics before.log after.log
check "an unknown field: status 2" test "$status" -eq 2
check "every run removed its private folder" test -z "$(tmp_listing "$tmp")"
finish
