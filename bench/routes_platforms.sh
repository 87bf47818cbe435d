#!/usr/bin/env bash
# Times `kestrelon-cli routes --format json -o F` of one generated route table printed three
# ways: IOS "show ip route", Junos "show route" and Linux "ip route show table all" (runs
# interleaved; median and best wall time, median CPU time), and prints each platform's speed as
# a share of the IOS reader's (routes a second; the target is at least 0.5).
#   bench/routes_platforms.sh [ROUTES]   ROUTES: routes of the table (default 1000000)
# Environment: KESTRELON_BENCH_RUNS (runs of each command, default 7), KESTRELON_BUILD_DIR
#              (default build-release), KESTRELON_BENCH_PROFILE (basic or realistic, default
#              basic), KESTRELON_BENCH_PLATFORMS (default "junos linux").
set -euo pipefail

routes=${1:-1000000}
runs=${KESTRELON_BENCH_RUNS:-7}
profile=${KESTRELON_BENCH_PROFILE:-basic}
platforms=${KESTRELON_BENCH_PLATFORMS:-junos linux}
if ! [[ $routes =~ ^[0-9]+$ && $runs =~ ^[1-9][0-9]*$ ]] || [[ ! -x /usr/bin/time ]]; then
  sed -n '2,9p' "$0" >&2
  echo "(needs /usr/bin/time, Debian package time)" >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KESTRELON_BUILD_DIR:-$root/build-release}
source "$root/bench/build.sh"
bench_build kestrelon-gen kestrelon-cli
bin=$build/bin

tmp=$(mktemp -d /tmp/kestrelon-bench.XXXXXX)
trap 'rm -rf "$tmp"' EXIT
cd "$tmp"

# Appends "wall cpu" of one run of the command to the file named first; a run that fails
# appends nothing and says so once.
measure() {
  local report=$1
  shift
  if /usr/bin/time -f '%e %U %S' -o time.txt "$@" 2>err.txt; then
    awk '{ printf "%.3f %.3f\n", $1, $2 + $3 }' time.txt >>"$report"
  elif [[ ! -e $report.failed ]]; then
    echo "  $report: failed: $(grep -v 'exit status' err.txt | head -1)" >&2
    : >"$report.failed"
  fi
}

for format in ios $platforms; do
  "$bin/kestrelon-gen" --routes "$routes" --seed 7 --profile "$profile" --format "$format" \
    -o "$format.log"
  cat "$format.log" >/dev/null # into the page cache
  : >"$format.runs"
done
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
for ((run = 1; run <= runs; ++run)); do
  for format in ios $platforms; do
    measure "$format.runs" "$bin/kestrelon-cli" routes --format json -o "$format.json" \
      "$format.log"
  done
done
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

printf '\n%s profile, %d routes; %d CPUs, %d interleaved runs\n' "$profile" "$routes" \
  "$(nproc)" "$runs"
printf 'Load average (1, 5, 15 min): %s before, %s after\n' "$load_before" "$load_after"
ios_wall=$(stat_of ios.runs 1)
ios_best=$(stat_of ios.runs 1 best)
for format in ios $platforms; do
  if [[ ! -s $format.runs ]]; then
    printf '  %-6s no run succeeded\n' "$format"
    continue
  fi
  awk -v name="$format" -v lines="$(wc -l <"$format.log")" -v mb="$(stat -c %s "$format.log")" \
    -v w="$(stat_of "$format.runs" 1)" -v b="$(stat_of "$format.runs" 1 best)" \
    -v c="$(stat_of "$format.runs" 2)" -v iw="$ios_wall" -v ib="$ios_best" 'BEGIN {
    printf "  %-6s %8d lines %6.1f MB  wall %6.3f s (best %.3f)  cpu %6.3f s", name, lines,
      mb / 1e6, w, b, c
    if (name != "ios") {
      printf "  speed/IOS %.2f, best runs %.2f (target 0.5 or more: %s)", iw / w, ib / b,
        (iw / w < 0.5 ? "MISSED" : "met")
    }
    printf "\n"
  }'
done
