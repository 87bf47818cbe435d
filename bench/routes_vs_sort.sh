#!/usr/bin/env bash
# Times `kestrelon-cli routes --format json -o F` of a generated capture against
# `kestrelon-cli sort -o F` of the same capture (runs interleaved; median and best wall time,
# median CPU time), then runs kestrelon-bench-routes on it (lines a second read to records, bytes
# a route held), for the basic and the realistic profile, with the machine's load meanwhile.
#   bench/routes_vs_sort.sh [ROUTES]   ROUTES: route entries of the capture (default 1000000)
# Environment: KESTRELON_BENCH_RUNS (runs of each command, default 7), KESTRELON_BUILD_DIR
#              (default build-release), KESTRELON_BENCH_PROFILES (default "basic realistic").
set -euo pipefail

routes=${1:-1000000}
runs=${KESTRELON_BENCH_RUNS:-7}
profiles=${KESTRELON_BENCH_PROFILES:-basic realistic}
if ! [[ $routes =~ ^[0-9]+$ && $runs =~ ^[1-9][0-9]*$ ]] || [[ ! -x /usr/bin/time ]]; then
  sed -n '2,8p' "$0" >&2
  echo "(needs /usr/bin/time, Debian package time)" >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KESTRELON_BUILD_DIR:-$root/build-release}
source "$root/bench/build.sh"
bench_build kestrelon-gen kestrelon-cli kestrelon-bench-routes
bin=$build/bin

tmp=$(mktemp -d /tmp/kestrelon-bench.XXXXXX)
trap 'rm -rf "$tmp"' EXIT
cd "$tmp"

# Appends "wall cpu" of one run of the command to the file named first.
measure() {
  local report=$1
  shift
  /usr/bin/time -f '%e %U %S' -o time.txt "$@"
  awk '{ printf "%.3f %.3f\n", $1, $2 + $3 }' time.txt >>"$report"
}

for profile in $profiles; do
  "$bin/kestrelon-gen" --routes "$routes" --seed 7 --profile "$profile" -o capture.log
  cat capture.log >/dev/null # into the page cache
  load_before=$(cut -d' ' -f1-3 /proc/loadavg)
  : >sort.runs
  : >json.runs
  for ((run = 1; run <= runs; ++run)); do
    measure sort.runs "$bin/kestrelon-cli" sort -o sort.out capture.log
    measure json.runs "$bin/kestrelon-cli" routes --format json -o routes.json capture.log
  done
  load_after=$(cut -d' ' -f1-3 /proc/loadavg)
  printf '\n%s profile, %d routes, %s lines, %.1f MB; JSON %.1f MB; %d CPUs, %d interleaved runs\n' \
    "$profile" "$routes" "$(wc -l <capture.log)" "$(stat -c %s capture.log)e-6" \
    "$(stat -c %s routes.json)e-6" "$(nproc)" "$runs"
  printf 'Load average (1, 5, 15 min): %s before, %s after\n' "$load_before" "$load_after"
  ws=$(stat_of sort.runs 1)
  wj=$(stat_of json.runs 1)
  bs=$(stat_of sort.runs 1 best)
  bj=$(stat_of json.runs 1 best)
  awk -v ws="$ws" -v wj="$wj" -v bs="$bs" -v bj="$bj" -v cs="$(stat_of sort.runs 2)" \
    -v cj="$(stat_of json.runs 2)" 'BEGIN {
    printf "  sort -o F                  wall %6.3f s (best %.3f)  cpu %6.3f s\n", ws, bs, cs
    printf "  routes --format json -o F  wall %6.3f s (best %.3f)  cpu %6.3f s\n", wj, bj, cj
    printf "  json/sort wall %.2f, best runs %.2f (target <= 2: %s)\n", wj / ws, bj / bs,
      wj / ws <= 2 ? "met" : "MISSED"
  }'
  "$bin/kestrelon-bench-routes" capture.log all "$runs" | sed 's/^/  /'
done
