#!/usr/bin/env bash
# Takes docs/fleet-window.png: the fleet window under Xvfb on two folders of a maintenance
# window made from ../shared/corpus/real captures (routers changed, the same, added, retired,
# one after capture that is a failed login).
#   scripts/fleet-screenshot.sh [BUILD_DIR]     (default: build)
# Needs xvfb and imagemagick: scripts/install-deps.sh --gui-tools
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
corpus=$root/../shared/corpus/real
tmp=$(mktemp -d /tmp/kestrelon-shot.XXXXXX)
trap 'rm -rf "$tmp"' EXIT
before=$tmp/change-4711/2026-12-08_0100
after=$tmp/change-4711/2026-12-08_0300
mkdir -p "$before" "$after"

same() { cp "$1" "$before/$2"; cp "$1" "$after/$2"; }
same "$corpus/ntc_eos_bgp.txt" edge3.log
same "$corpus/ntc_eos_ecmp_via.txt" edge4.log
same "$corpus/ntc_asa_static_names.txt" fw1.log
same "$corpus/genie_nxos_ospf_attached.txt" agg7.log
same "$corpus/genie_xr_vrf_all.txt" p1.log
# core2: an OSPF metric raised, a route withdrawn, a static route added.
cp "$corpus/ntc_ios_mixed_protocols.txt" "$before/core2.log"
sed -e 's/4\.4\.0\.0 \[110\/20\]/4.4.0.0 [110\/30]/' -e '/212\.0\.0\.0\/8/d' \
    -e 's/^\(C    194\.0\.0\.0\/16 .*\)$/S    10.99.0.0\/16 [1\/0] via 194.0.0.9\n\1/' \
    "$corpus/ntc_ios_mixed_protocols.txt" >"$after/core2.log"
# PE1 (found by its prompt under another file name): OSPF metrics changed.
cp "$corpus/genie_ios_vrf1_ospf_bgp.txt" "$before/pe1.log"
sed 's/\[110\/[0-9]*\]/[110\/77]/g' "$corpus/genie_ios_vrf1_ospf_bgp.txt" >"$after/provider-edge-1.log"
# dist9: routes gone and added, a next hop moved.
cp "$corpus/suzieq_iosxe_c9300_vrf_all.txt" "$before/dist9.log"
sed -e '/192\.168\.40\.15\/32/d' -e '/192\.168\.40\.20\/32/d' \
    -e 's/192\.168\.20\.20\/32 \[200\/0\] via 20\.20\.20\.20/192.168.20.20\/32 [200\/0] via 20.20.20.21/' \
    -e 's/^\(L        192\.168\.44\.14\/32 .*\)$/\1\nS        192.168.50.0\/24 [1\/0] via 192.168.44.13/' \
    "$corpus/suzieq_iosxe_c9300_vrf_all.txt" >"$after/dist9.log"
# One router retired, one new, one whose after capture is a failed login.
cp "$corpus/genie_ios_static_multipath.txt" "$before/pa2.log"
cp "$corpus/ntc_nxos_default.txt" "$after/nx5.log"
cp "$corpus/ntc_ios_vrf_tri_bgp.txt" "$before/br6.log"
printf 'login: admin\nPassword:\nConnection closed by foreign host.\n' >"$after/br6.log"

# From the change's folder, so the window names the folders as an engineer would.
cd "$tmp/change-4711"
xvfb-run -a -s "-screen 0 1400x760x24" bash -c "
  '$build/bin/kestrelon' --folder-diff 2026-12-08_0100 2026-12-08_0300 &
  sleep 6
  id=\$(xwininfo -root -tree | grep -F 'フォルダの比較' | awk '{print \$1}' | head -1)
  import -window \"\$id\" fleet.png
  kill %1"
mkdir -p "$root/docs"
cp fleet.png "$root/docs/fleet-window.png"
echo "wrote $root/docs/fleet-window.png"
