#!/usr/bin/env bash
# Times a whole route diff of two generated captures (kestrelon-cli diff BEFORE AFTER) against a
# whole text sort of one of them (kestrelon-cli sort BEFORE), runs interleaved, medians of the
# wall time and of the CPU time (user + system), peak RSS, and the machine's load meanwhile.
#   bench/diff_vs_sort.sh [ROUTES]     ROUTES: route entries of each capture (default 1000000)
# Environment: KESTRELON_BENCH_RUNS (runs of each command, default 7), KESTRELON_BUILD_DIR
#              (default build-release), KESTRELON_BENCH_SEED (default 7).
set -euo pipefail

routes=${1:-1000000}
runs=${KESTRELON_BENCH_RUNS:-7}
seed=${KESTRELON_BENCH_SEED:-7}
if ! [[ $routes =~ ^[0-9]+$ && $runs =~ ^[1-9][0-9]*$ ]]; then
  sed -n '2,7p' "$0" >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KESTRELON_BUILD_DIR:-$root/build-release}
if [[ ! -x /usr/bin/time ]]; then
  echo "diff_vs_sort.sh needs /usr/bin/time (Debian package time)" >&2
  exit 2
fi

source "$root/bench/build.sh"
bench_build kestrelon-gen kestrelon-cli
gen=$build/bin/kestrelon-gen
cli=$build/bin/kestrelon-cli

tmp=$(mktemp -d /tmp/kestrelon-bench.XXXXXX)
trap 'rm -rf "$tmp"' EXIT
cd "$tmp"

echo "Generating two captures of $routes routes (seed $seed, then --after) in $tmp ..."
"$gen" --routes "$routes" --seed "$seed" -o before.log
"$gen" --routes "$routes" --seed "$seed" --after -o after.log
cat before.log after.log >/dev/null  # into the page cache

# One run of "$@": appends "wall cpu maxrss_kib" to the file named first.
measure() {
  local report=$1
  shift
  local status=0
  /usr/bin/time -f '%e %U %S %M' -o time.txt "$@" || status=$?
  if ((status > 1)); then
    echo "failed ($status): $*" >&2
    exit 1
  fi
  # time puts "Command exited with non-zero status 1" first for a diff that found changes.
  tail -n 1 time.txt | awk '{ printf "%.3f %.3f %d\n", $1, $2 + $3, $4 }' >>"$report"
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
column_of() { awk -v c="$2" '{ print $c }' "$1"; }

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
: >sort.runs
: >diff.runs
for ((run = 1; run <= runs; ++run)); do
  printf '  run %d/%d\r' "$run" "$runs"
  measure sort.runs "$cli" sort -o sort.out before.log
  measure diff.runs "$cli" diff -o diff.out before.log after.log
done
printf '%20s\r' ''
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

wall_sort=$(column_of sort.runs 1 | median)
wall_diff=$(column_of diff.runs 1 | median)
best_sort=$(column_of sort.runs 1 | sort -g | head -1)
best_diff=$(column_of diff.runs 1 | sort -g | head -1)
cpu_sort=$(column_of sort.runs 2 | median)
cpu_diff=$(column_of diff.runs 2 | median)
rss_sort=$(column_of sort.runs 3 | sort -n | tail -1)
rss_diff=$(column_of diff.runs 3 | sort -n | tail -1)
changes=$(sed -n 's/^changes: \([0-9]*\).*/\1/p' diff.out)

awk -v routes="$routes" -v runs="$runs" -v cpus="$(nproc)" -v bytes="$(stat -c %s before.log)" \
  -v ws="$wall_sort" -v wd="$wall_diff" -v cs="$cpu_sort" -v cd="$cpu_diff" \
  -v bs="$best_sort" -v bd="$best_diff" \
  -v rs="$rss_sort" -v rd="$rss_diff" -v changes="${changes:-0}" \
  -v all_sort="$(column_of sort.runs 1 | tr '\n' ' ')" \
  -v all_diff="$(column_of diff.runs 1 | tr '\n' ' ')" \
  -v lb="$load_before" -v la="$load_after" '
  BEGIN {
    printf "\nTwo captures of %d routes (%.1f MB each), %d CPUs, median of %d interleaved runs\n",
      routes, bytes / 1e6, cpus, runs
    printf "Load average (1, 5, 15 min): %s before, %s after\n", lb, la
    printf "  kestrelon-cli sort BEFORE          wall %6.3f s  cpu %6.3f s  peak RSS %6.1f MiB  [%s]\n",
      ws, cs, rs / 1024, all_sort
    printf "  kestrelon-cli diff BEFORE AFTER    wall %6.3f s  cpu %6.3f s  peak RSS %6.1f MiB  [%s]\n",
      wd, cd, rd / 1024, all_diff
    printf "      (%d changes)\n", changes
    printf "  diff/sort wall %5.2f (target <= 1.5: %s); cpu %5.2f (both sides, two threads)\n",
      wd / ws, wd / ws <= 1.5 ? "met" : "MISSED", cd / cs
    printf "  best runs: sort %.3f s, diff %.3f s, diff/sort %.2f (the closest to an idle machine)\n",
      bs, bd, bd / bs
  }'
