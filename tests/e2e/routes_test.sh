#!/usr/bin/env bash
# End-to-end tests of kestrelon-cli routes: the real executable in a fresh temporary folder,
# every written file compared byte for byte with one written here by hand.
#   KESTRELON_BIN  folder of the built executables
set -uo pipefail

: "${KESTRELON_BIN:?set KESTRELON_BIN to the folder of the built executables}"
CLI=$KESTRELON_BIN/kestrelon-cli

work=$(mktemp -d "${TMPDIR:-/tmp}/kestrelon-routes-test.XXXXXX") || exit 2
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
    '{"vrf":"default","afi":"ipv4","protocol":"O","flags":"","prefix":"10.1.1.0/24","distance":110,"metric":20,"next_hops":[{"address":"10.2.2.2","interface":"Ethernet0","vrf":null},{"address":"10.2.2.3","interface":"Ethernet1","vrf":null}],"uptime":"00:01:02"},' \
    '{"vrf":"red","afi":"ipv4","protocol":"S","flags":"*","prefix":"0.0.0.0/0","distance":null,"metric":null,"next_hops":[{"address":null,"interface":"Null0","vrf":null}],"uptime":null}' \
    ']}'
}

json_ios ios.log >expected.json
run routes -o out.json ios.log
expect_status "routes to a file" 0
expect_file "routes to a file" expected.json out.json
if [[ ! -s stdout.txt && ! -s stderr.txt ]]; then pass; else fail "routes -o wrote to the streams"; fi

# Standard input in, standard output out; --verbose says what was read.
json_ios - >expected.stdin
TMPDIR=$work/tmp "$CLI" routes --verbose - <ios.log >stdout.txt 2>stderr.txt
status=$?
expect_status "routes from stdin" 0
expect_file "routes from stdin" expected.stdin stdout.txt
if grep -q "^kestrelon-cli: standard input: read as ios (detected)$" stderr.txt; then pass; else
  fail "--verbose: $(cat stderr.txt)"
fi

# Several captures: one array, each object naming its source and platform.
{
  printf '[\r\n'
  json_ios ios.log | sed '$ s/\]}\r$/]},\r/'
  printf '%s\r\n' '{"source":"nxos.log","platform":"nxos","routes":[' \
    '{"vrf":"default","afi":"ipv4","protocol":"static","flags":"","prefix":"10.9.0.0/16","distance":1,"metric":0,"next_hops":[{"address":"10.1.1.1","interface":null,"vrf":"mgmt"}],"uptime":"6d02h"}' \
    ']}' ']'
} >expected.several
run routes -o out.several ios.log nxos.log
expect_status "routes of two captures" 0
expect_file "routes of two captures" expected.several out.several

crlf '"source","platform","vrf","afi","protocol","flags","prefix","distance","metric","next_hop_address","next_hop_interface","next_hop_vrf","uptime"' \
  '"nxos.log","nxos","default","ipv4","static","","10.9.0.0/16",1,0,"10.1.1.1",,"mgmt","6d02h"' >expected.csv
run routes --format csv --platform nxos nxos.log
expect_status "routes as CSV" 0
expect_file "routes as CSV" expected.csv stdout.txt

crlf "default  O     10.1.1.0/24  [110/20]  10.2.2.2 Ethernet0; 10.2.2.3 Ethernet1  00:01:02" \
  "red      S  *  0.0.0.0/0              Null0" >expected.text
run routes --format=text ios.log
expect_file "routes as text" expected.text stdout.txt

# A UTF-16 capture with its byte order mark (as PowerShell writes it) reads as its text.
printf '\xff\xfe' >utf16.log
iconv -f UTF-8 -t UTF-16LE <nxos.log >>utf16.log
sed 's/"nxos.log"/"utf16.log"/' expected.csv >expected.utf16
run routes --format csv utf16.log
expect_file "routes of a UTF-16 capture" expected.utf16 stdout.txt

# Failures: nothing written, one line naming the file.
printf 'dear colleague,\nthe routes are fine.\n' >letter.txt
printf 'earlier\n' >out.keep
cp out.keep earlier.keep
run routes -o out.keep ios.log letter.txt
expect_trouble "a capture that cannot be placed" "letter.txt"
expect_file "a failed run leaves the earlier result" earlier.keep out.keep
run routes --platform nxos ios.log
expect_trouble "a platform that finds nothing" "ios.log"
run routes nothere.log
expect_trouble "a missing input" "nothere.log"
run routes -o missing/out.json ios.log
expect_trouble "an output in a missing folder" "missing/out.json"
run routes --platform junos ios.log
expect_status "an unknown platform" 2
# Under wine (KESTRELON_WINDOWS=1) the wine server keeps its own folder there, none of ours.
left=$(ls -A "$work/tmp")
if [[ ${KESTRELON_WINDOWS:-} == 1 ]]; then
  left=$(grep -v '^wine-' <<<"$left")
fi
if [[ -z $left ]]; then pass; else fail "left in TMPDIR: $left"; fi

echo "$passed passed, $failed failed"
[[ $failed == 0 ]]
