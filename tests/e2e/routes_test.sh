#!/usr/bin/env bash
# kestrelon-cli routes end to end: every written file compared byte for byte with one written
# here by hand.
source "$(dirname "$0")/lib.sh"
setup routes -
cd "$work" || exit 2

# An IOS capture (a classful header, an extra path, a VRF section) and an NX-OS one.
lf "R1#show ip route vrf *" \
  "Codes: L - local, C - connected, S - static, B - BGP" \
  "" \
  "Gateway of last resort is not set" \
  "" \
  "      10.0.0.0/24 is subnetted, 1 subnets" \
  "O        10.1.1.0 [110/20] via 10.2.2.2, 00:01:02, Ethernet0" \
  "                  [110/20] via 10.2.2.3, 00:01:02, Ethernet1" \
  "Routing Table: red" \
  "S*    0.0.0.0/0 is directly connected, Null0" >ios.log
lf 'IP Route Table for VRF "default"' \
  "10.9.0.0/16, ubest/mbest: 1/0" \
  "    *via 10.1.1.1%mgmt, [1/0], 6d02h, static" >nxos.log

json_ios() {
  printf '{"source":"%s","platform":"ios","routes":[\r\n' "$1"
  printf '%s\r\n' \
    '{"vrf":"default","afi":"ipv4","protocol":"O","source":"ospf","flags":"","selected":null,"prefix":"10.1.1.0/24","distance":110,"metric":20,"next_hops":[{"address":"10.2.2.2","interface":"Ethernet0","vrf":null},{"address":"10.2.2.3","interface":"Ethernet1","vrf":null}],"uptime":"00:01:02"},' \
    '{"vrf":"red","afi":"ipv4","protocol":"S","source":"static","flags":"*","selected":null,"prefix":"0.0.0.0/0","distance":null,"metric":null,"next_hops":[{"address":null,"interface":"Null0","vrf":null}],"uptime":null}' \
    '],"reading":{"platform":"ios","decided_by":"route lines: 2 with the code in column 1","lines":10,"not_understood":0,"examples":[]}}'
}

json_ios ios.log >expected.json
cli routes -o out.json ios.log
check "routes to a file: status 0" test "$status" -eq 0
check "routes to a file" same expected.json out.json
check "routes -o: nothing on the streams" test ! -s "$out" -a ! -s "$err"

# Standard input in, standard output out; --verbose says what was read.
json_ios - >expected.stdin
cli routes --verbose - <ios.log
check "routes from stdin: status 0" test "$status" -eq 0
check "routes from stdin" same expected.stdin "$out"
check "--verbose: the platform" grep -qx "kestrelon-cli: standard input: read as ios (detected: route lines: 2 with the code in column 1)" "$err"
check "--verbose: the lines" grep -qx "kestrelon-cli: standard input: 10 lines: 1 prompt, 1 legend, 3 header, 2 route, 1 path, 2 blank, 0 pager, 0 not understood" "$err"

# Several captures: one array, each object naming its source and platform.
nxos_route='{"vrf":"default","afi":"ipv4","protocol":"static","source":"static","flags":"","selected":null,"prefix":"10.9.0.0/16","distance":1,"metric":0,"next_hops":[{"address":"10.1.1.1","interface":null,"vrf":"mgmt"}],"uptime":"6d02h"}'
{
  printf '[\r\n'
  json_ios ios.log | sed '$ s/}}\r$/}},\r/'
  printf '%s\r\n' '{"source":"nxos.log","platform":"nxos","routes":[' \
    "$nxos_route" \
    "],\"reading\":{\"platform\":\"nxos\",\"decided_by\":\"mark ', ubest/mbest: '\",\"lines\":3,\"not_understood\":0,\"examples\":[]}}" ']'
} >expected.several
cli routes -o out.several ios.log nxos.log
check "routes of two captures: status 0" test "$status" -eq 0
check "routes of two captures" same expected.several out.several

crlf '"source","platform","vrf","afi","protocol","flags","prefix","distance","metric","next_hop_address","next_hop_interface","next_hop_vrf","uptime","route_source","selected"' \
  '"nxos.log","nxos","default","ipv4","static","","10.9.0.0/16",1,0,"10.1.1.1",,"mgmt","6d02h","static",' >expected.csv
cli routes --format csv --platform nxos nxos.log
check "routes as CSV: status 0" test "$status" -eq 0
check "routes as CSV" same expected.csv "$out"

crlf "default  O     10.1.1.0/24  [110/20]  10.2.2.2 Ethernet0; 10.2.2.3 Ethernet1  00:01:02" \
  "red      S  *  0.0.0.0/0              Null0" >expected.text
cli routes --format=text ios.log
check "routes as text" same expected.text "$out"

# A line not understood between two routes: --verbose names it, the JSON holds it, CSV and text
# warn of it.
sed 's/^Routing Table: red$/GARBAGE %%%% 10.9.9.0 foo bar\n&/' ios.log >garbage.log
cli routes --verbose garbage.log
check "--verbose: the line not understood" \
  grep -qx "kestrelon-cli: garbage.log: line 9 not understood: GARBAGE %%%% 10.9.9.0 foo bar" "$err"
check "JSON: the line not understood" grep -q '"lines":11,"not_understood":1,"examples":\[{"line":9,"text":"GARBAGE %%%% 10.9.9.0 foo bar"}\]' "$out"
printf 'O        172.20.1.1 [110/11] via 10.2.2.2, 00:01:02, Ethernet0\n' >classful.log
cli routes --verbose --format text classful.log
check "--verbose: a length taken from the class" grep -q "^default  O    172.20.1.1/16 " "$out"
check "--verbose: says so" grep -qx "kestrelon-cli: classful.log: 1 route printed without a length and with no classful header took the length of its class, at line 1" "$err"
cli routes --format csv garbage.log
check "CSV: a warning" grep -q "^kestrelon-cli: warning: garbage.log: 1 line not understood" "$err"

# A UTF-16 capture with its byte order mark (as PowerShell writes it) reads as its text.
printf '\xff\xfe' >utf16.log
iconv -f UTF-8 -t UTF-16LE <nxos.log >>utf16.log
sed 's/"nxos.log"/"utf16.log"/' expected.csv >expected.utf16
cli routes --format csv utf16.log
check "routes of a UTF-16 capture" same expected.utf16 "$out"

# IPv6 next hops: JSON and CSV in their RFC 5952 form, the text as printed.
crlf "R1#show ipv6 route" "IPv6 Routing Table - default - 1 entries" "S   2001:DB8:10::/48 [1/0]" \
  "     via 2001:0DB8:1:0::1" "R1#" >v6.log
for format in json csv text; do
  cli routes --format "$format" v6.log
  expected='"2001:db8:1::1"'
  [[ $format == text ]] && expected='2001:0DB8:1:0::1'
  check "an IPv6 next hop in $format" grep -qF -- "$expected" "$out"
done

# A log of a session that went from one device to the next: one object per device, each read
# with its own platform and named by the host of its prompts.
{
  cat ios.log
  printf 'R1#ssh 10.0.0.9\n'
  printf 'leaf1# show ip route\n'
  cat nxos.log
  printf 'leaf1# exit\n'
} >session.log
{
  printf '[\r\n'
  json_ios session.log |
    sed '1 s/"platform"/"device":"R1","platform"/; $ s/"lines":10,/"lines":11,/; $ s/}}\r$/}},\r/'
  printf '%s\r\n' '{"source":"session.log","device":"leaf1","platform":"nxos","routes":[' \
    "$nxos_route" \
    "],\"reading\":{\"platform\":\"nxos\",\"decided_by\":\"mark ', ubest/mbest: '\",\"lines\":5,\"not_understood\":0,\"examples\":[]}}" ']'
} >expected.session
cli routes session.log
check "a log of two devices: status 0" test "$status" -eq 0
check "a log of two devices: an object per device" same expected.session "$out"
cli diff session.log ios.log
trouble "diff of a log of two devices" "2 devices (R1, leaf1)"
# Two platforms that no prompt parts: refused, naming where the second begins.
tail -n +2 ios.log >two.log
cat nxos.log >>two.log
cli routes two.log
trouble "two platforms with no prompt between them" "two.log.*from line 10 on, nxos"

# Failures: nothing written, one line naming the file.
printf 'dear colleague,\nthe routes are fine.\n' >letter.txt
printf 'earlier\n' >out.keep
cp out.keep earlier.keep
cli routes -o out.keep ios.log letter.txt
trouble "a capture that cannot be placed" "letter.txt"
check "a failed run leaves the earlier result" same earlier.keep out.keep
cli routes --platform nxos ios.log
trouble "a platform that finds nothing" "ios.log"
cli routes nothere.log
trouble "a missing input" "nothere.log"
cli routes -o missing/out.json ios.log
trouble "an output in a missing folder" "missing/out.json"
cli routes --platform junos ios.log
check "an unknown platform: status 2" test "$status" -eq 2
check "every run removed its private folder" test -z "$(tmp_listing "$tmp")"
finish
