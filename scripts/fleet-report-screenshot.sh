#!/usr/bin/env bash
# Takes docs/fleet-report.png: the HTML report of a folder diff in headless Chromium, on folders
# made from ../shared/corpus/real captures as a maintenance change would leave them (routes
# withdrawn and added, metrics and a next hop changed, a router on one side only, a capture
# that cannot be read).
#   scripts/fleet-report-screenshot.sh [BUILD_DIR]     (default: build)
# Needs chromium: scripts/install-deps.sh --tests
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
corpus=$root/../shared/corpus/real
tmp=$(mktemp -d /tmp/kestrelon-shot.XXXXXX)
trap 'rm -rf "$tmp"' EXIT
cd "$tmp"
mkdir -p pre-change post-change

cp "$corpus/suzieq_iosxe_c9300_vrf_all.txt" pre-change/dist1_before.log
sed -e '/192\.168\.40\.15\/32/d' -e '/192\.168\.40\.20\/32/d' \
  -e 's/192\.168\.20\.20\/32 \[200\/0\] via 20\.20\.20\.20/192.168.20.20\/32 [200\/0] via 20.20.20.21/' \
  -e 's/^\(L        192\.168\.44\.14\/32 .*\)$/\1\nS        192.168.50.0\/24 [1\/0] via 192.168.44.13\nS        192.168.51.0\/24 [1\/0] via 192.168.44.13/' \
  "$corpus/suzieq_iosxe_c9300_vrf_all.txt" >post-change/dist1_after.log
cp "$corpus/genie_ios_vrf1_ospf_bgp.txt" pre-change/pe1_before.log
sed '0,/\[110\//s/\[110\/[0-9]*\]/[110\/77]/' "$corpus/genie_ios_vrf1_ospf_bgp.txt" \
  >post-change/pe1_after.log
cp "$corpus/ntc_ios_mixed_protocols.txt" pre-change/core2_before.log
sed -e 's/\[110\/20\]/[110\/30]/' -e '/^C .*Loopback0/d' "$corpus/ntc_ios_mixed_protocols.txt" \
  >post-change/core2_after.log
for device in edge3:ntc_eos_bgp edge4:ntc_eos_ecmp_via nx5:ntc_nxos_default; do
  cp "$corpus/${device#*:}.txt" "pre-change/${device%%:*}_before.log"
  cp "$corpus/${device#*:}.txt" "post-change/${device%%:*}_after.log"
done
cp "$corpus/genie_xr_ipv6_isis_default.txt" pre-change/xr6_before.log
cp "$corpus/ntc_ios_vrf_tri_bgp.txt" pre-change/pe7_before.log
printf 'login: admin\r\nPassword:\r\nConnection closed.\r\n' >post-change/pe7_after.log

SOURCE_DATE_EPOCH=1765152000 "$build/bin/kestrelon-cli" diff --format html --lang en \
  -o report.html pre-change post-change 2>/dev/null || true
chromium --headless --no-sandbox --disable-gpu --hide-scrollbars \
  --screenshot="$tmp/shot.png" --window-size=1200,1400 "file://$tmp/report.html" 2>/dev/null
mkdir -p "$root/docs"
cp shot.png "$root/docs/fleet-report.png"
echo "docs/fleet-report.png written"
