#!/usr/bin/env bash
# End-to-end tests of kestrelon-cli diff: the real executable in a fresh temporary folder,
# reports compared byte for byte with ones written here by hand, and the exit statuses.
#   KESTRELON_BIN  folder of the built executables
set -uo pipefail

: "${KESTRELON_BIN:?set KESTRELON_BIN to the folder of the built executables}"
CLI=$KESTRELON_BIN/kestrelon-cli

work=$(mktemp -d "${TMPDIR:-/tmp}/kestrelon-diff-test.XXXXXX") || exit 2
trap 'rm -rf "$work"' EXIT
mkdir "$work/tmp"
cd "$work" || exit 2

passed=0
failed=0
pass() { passed=$((passed + 1)); }
fail() {
  failed=$((failed + 1))
  echo "FAIL: $*"
}
crlf() { printf '%s\r\n' "$@"; }
lf() { printf '%s\n' "$@"; }
run() {
  TMPDIR=$work/tmp "$CLI" "$@" >stdout.txt 2>stderr.txt
  status=$?
}
expect_status() {
  if [[ $status == "$2" ]]; then pass; else fail "$1: status $status, expected $2: $(cat stderr.txt)"; fi
}
expect_file() {
  if cmp -s "$2" "$3"; then pass; else
    fail "$1: $3 differs from $2"
    diff <(cat -A "$2") <(cat -A "$3") | head -10
  fi
}
expect_trouble() {  # status 2, nothing on stdout, one line on stderr naming $2
  expect_status "$1" 2
  if [[ ! -s stdout.txt && $(wc -l <stderr.txt) == 1 ]] && grep -q "^kestrelon-cli: .*$2" stderr.txt; then
    pass
  else
    fail "$1: stderr should be one line naming '$2': $(cat stderr.txt)"
  fi
}

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
run diff -o report.txt before.log after.log
expect_status "diff with changes" 1
expect_file "the text report" expected.text report.txt
if [[ ! -s stdout.txt && ! -s stderr.txt ]]; then pass; else fail "diff -o wrote to the streams"; fi

# A capture against itself: status 0, no change. Standard input for one side.
run diff before.log before.log
expect_status "a capture against itself" 0
if grep -q "^changes: none"$'\r'"$" stdout.txt; then pass; else fail "no 'changes: none': $(head -4 stdout.txt)"; fi
TMPDIR=$work/tmp "$CLI" diff - before.log <before.log >stdout.txt 2>stderr.txt
status=$?
expect_status "standard input against the same capture" 0

# --ignore none counts the uptime; --vrf limits the report.
run diff --ignore none --vrf default --format csv before.log after.log
expect_status "CSV of the default VRF" 1
crlf '"change","vrf","afi","prefix","fields","before_protocol","before_flags","before_distance","before_metric","before_next_hops","before_uptime","after_protocol","after_flags","after_distance","after_metric","after_next_hops","after_uptime"' \
  '"changed","default","ipv4","10.1.1.0/24","uptime","O","",110,20,"10.2.2.2 Ethernet0; 10.2.2.3 Ethernet1","00:01:02","O","",110,20,"10.2.2.3 Ethernet1; 10.2.2.2 Ethernet0","00:05:02"' \
  '"changed","default","ipv4","10.1.2.0/24","metric;uptime","O","",110,20,"10.2.2.2 Ethernet0","00:01:02","O","",110,30,"10.2.2.2 Ethernet0","00:05:02"' \
  '"added","default","ipv4","10.8.0.0/16","",,,,,,,"B","",20,0,"192.0.2.1","1d03h"' \
  '"removed","default","ipv4","10.9.0.0/16","","B","",20,0,"192.0.2.1","1d02h",,,,,,' >expected.csv
expect_file "CSV of the default VRF" expected.csv stdout.txt

# JSON: the summary line and one change a line, records as routes writes them.
run diff --format json --vrf red before.log after.log
expect_status "JSON of VRF red" 1
crlf '{"before":"before.log","after":"after.log",' \
  '"summary":{"platform_before":"ios","platform_after":"ios","ignored":["uptime"],"routes_before":1,"routes_after":0,"removed":1,"added":0,"changed":0,"vrfs":[{"vrf":"red","routes_before":1,"routes_after":0,"removed":1,"added":0,"changed":0}],"protocols":[{"protocol":"S","routes_before":1,"routes_after":0,"removed":1,"added":0,"changed":0}]},' \
  '"changes":[' \
  '{"vrf":"red","afi":"ipv4","prefix":"0.0.0.0/0","change":"removed","fields":[],"before":{"vrf":"red","afi":"ipv4","protocol":"S","flags":"*","prefix":"0.0.0.0/0","distance":null,"metric":null,"next_hops":[{"address":null,"interface":"Null0","vrf":null}],"uptime":null},"after":null}' \
  ']}' >expected.json
expect_file "JSON of VRF red" expected.json stdout.txt

# Trouble: status 2, one line naming the file, nothing written, no earlier result replaced.
printf 'dear colleague,\nthe routes are fine.\n' >letter.txt
printf 'Gateway of last resort is not set\n' >empty.log
printf 'earlier\n' >report.keep
cp report.keep earlier.keep
run diff -o report.keep before.log letter.txt
expect_trouble "a capture that cannot be placed" "letter.txt"
expect_file "a failed diff leaves the earlier report" earlier.keep report.keep
run diff empty.log after.log
expect_trouble "a capture without a route" "empty.log"
run diff before.log nothere.log
expect_trouble "a missing input" "nothere.log"
run diff --vrf green before.log after.log
expect_trouble "a VRF neither capture has" "green"
run diff --platform nxos before.log after.log
expect_trouble "a platform that finds nothing" "before.log"
run diff --ignore metrics before.log after.log
expect_status "an unknown field" 2
if [[ -z $(ls -A "$work/tmp") ]]; then pass; else fail "left in TMPDIR: $(ls -A "$work/tmp")"; fi

echo "$passed passed, $failed failed"
[[ $failed == 0 ]]
