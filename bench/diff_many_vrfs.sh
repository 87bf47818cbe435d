#!/usr/bin/env bash
# Times a route diff of two IOS captures with one route in each of N VRFs ("Routing Table:"
# sections), at N/100, N/10 and N VRFs, so that the growth with the number of VRFs shows: a
# linear diff takes about ten times as long for ten times the VRFs. Every hundredth VRF changes.
#   bench/diff_many_vrfs.sh [VRFS]     VRFS: the largest count (default 1000000)
# Environment: KESTRELON_BUILD_DIR (default build-release).
set -euo pipefail

vrfs=${1:-1000000}
if ! [[ $vrfs =~ ^[1-9][0-9]*$ ]]; then
  sed -n '2,6p' "$0" >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KESTRELON_BUILD_DIR:-$root/build-release}
if [[ ! -x /usr/bin/time ]]; then
  echo "diff_many_vrfs.sh needs /usr/bin/time (Debian package time)" >&2
  exit 2
fi

source "$root/bench/build.sh"
bench_build kestrelon-cli
cli=$build/bin/kestrelon-cli

tmp=$(mktemp -d /tmp/kestrelon-bench.XXXXXX)
trap 'rm -rf "$tmp"' EXIT
cd "$tmp"

# A capture of n VRFs with one static route each; variant 1 moves the next hop of every 100th.
capture() { # n, variant
  awk -v n="$1" -v v="$2" 'BEGIN {
    printf "R1#show ip route vrf *\r\n"
    for (i = 0; i < n; i++) {
      printf "\r\nRouting Table: CUST%07d\r\nCodes: C - connected, S - static\r\n\r\n", i
      printf "Gateway of last resort is not set\r\n\r\n"
      printf "S        10.%d.%d.0/24 [1/0] via 192.0.2.%d\r\n", int(i / 256) % 256, i % 256,
        1 + v * (i % 100 == 0)
    }
    printf "R1#\r\n" }'
}

echo "VRFs        wall (s)   cpu (s)   peak RSS (MiB)   cpu per VRF (us)"
for n in $((vrfs / 100)) $((vrfs / 10)) "$vrfs"; do
  ((n > 0)) || continue
  capture "$n" 0 >before.log
  capture "$n" 1 >after.log
  status=0
  /usr/bin/time -f '%e %U %S %M' -o time.txt "$cli" diff -o diff.out before.log after.log ||
    status=$?
  if ((status > 1)); then
    echo "failed ($status) at $n VRFs" >&2
    exit 1
  fi
  tail -n 1 time.txt | awk -v n="$n" '{ cpu = $2 + $3
    printf "%-10d %9.2f %9.2f %16.1f %18.2f\n", n, $1, cpu, $4 / 1024, cpu * 1e6 / n }'
done
echo "Load average (1, 5, 15 min): $(cut -d' ' -f1-3 /proc/loadavg)"
