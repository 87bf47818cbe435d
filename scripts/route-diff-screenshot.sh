#!/usr/bin/env bash
# Takes docs/route-diff-window.png: the route diff window beside the main window under Xvfb, on a
# real capture from ../shared/corpus/real and a copy edited as a maintenance change would
# leave it (routes withdrawn and added, a distance, next hops and an interface changed).
#   scripts/route-diff-screenshot.sh [BUILD_DIR]     (default: build)
# Needs xvfb and imagemagick: scripts/install-deps.sh --gui-tools
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
capture=$root/../shared/corpus/real/suzieq_iosxe_c9300_vrf_all.txt
tmp=$(mktemp -d /tmp/kestrelon-shot.XXXXXX)
trap 'rm -rf "$tmp"' EXIT

cp "$capture" "$tmp/before.log"
sed -e '/192\.168\.40\.15\/32/d' -e '/192\.168\.40\.20\/32/d' \
    -e 's/192\.168\.20\.20\/32 \[200\/0\] via 20\.20\.20\.20/192.168.20.20\/32 [200\/0] via 20.20.20.21/' \
    -e 's/0\.0\.0\.0\/0 \[1\/0\] via 172\.26\.192\.1/0.0.0.0\/0 [5\/0] via 172.26.192.1/' \
    -e 's/S\*    0\.0\.0\.0\/0 \[1\/0\] via 192\.168\.44\.13/S*    0.0.0.0\/0 [1\/0] via 192.168.44.12/' \
    -e 's/\(192\.168\.30\.[01]\/[0-9]* is directly connected,\) Vlan2002/\1 Vlan2003/' \
    -e 's/^\(L        192\.168\.44\.14\/32 .*\)$/\1\nS        192.168.50.0\/24 [1\/0] via 192.168.44.13\nS        192.168.51.0\/24 [1\/0] via 192.168.44.13/' \
    -e 's/^\(B        192\.168\.20\.20\/32 .*\)$/\1\nB        192.168.20.30\/32 [200\/0] via 20.20.20.20, 00:01:10, Vlan101/' \
    "$capture" >"$tmp/after.log"

cd "$tmp"
xvfb-run -a -s "-screen 0 1900x760x24" bash -c "
  '$build/bin/kestrelon' --route-diff before.log after.log &
  sleep 5
  import -window root screen.png
  kill %1"
# The route diff window alone: it starts at the first lit pixel of a row below the main window.
left=$(convert screen.png -crop 1900x1+0+700 +repage txt:- | grep -v '#000000' | sed -n 2p |
  cut -d, -f1)
mkdir -p "$root/docs"
convert screen.png -crop "1180x720+$left+0" +repage "$root/docs/route-diff-window.png"
echo "wrote $root/docs/route-diff-window.png"
