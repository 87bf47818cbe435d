#!/usr/bin/env bash
# Times one whole sort and one whole compare of generated captures with the real core against a
# streaming copy (tr) and GNU sort on the same file, and prints the ratios and peak memory.
#   bench/sort_vs_tools.sh [ROUTES]      ROUTES: route entries of the capture (default 1000000)
# Environment: KESTRELON_BENCH_RUNS (runs of each command, default 5; the median is reported),
#              KESTRELON_BUILD_DIR (default build-release), KESTRELON_BENCH_SEED (default 1),
#              KESTRELON_BENCH_PROFILE (kestrelon-gen --profile: realistic (default) or basic).
set -euo pipefail

routes=${1:-1000000}
runs=${KESTRELON_BENCH_RUNS:-5}
seed=${KESTRELON_BENCH_SEED:-1}
profile=${KESTRELON_BENCH_PROFILE:-realistic}
if ! [[ $routes =~ ^[0-9]+$ && $runs =~ ^[1-9][0-9]*$ && $profile =~ ^(basic|realistic)$ ]]; then
  sed -n '2,7p' "$0" >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KESTRELON_BUILD_DIR:-$root/build-release}

source "$root/bench/build.sh"
bench_build kestrelon-gen kestrelon-bench-sort
gen=$build/bin/kestrelon-gen
driver=$build/bin/kestrelon-bench-sort

tmp=$(mktemp -d /tmp/kestrelon-bench.XXXXXX)
trap 'rm -rf "$tmp"' EXIT
cd "$tmp"

echo "Generating $profile captures of $routes routes (seed $seed) in $tmp ..."
stats=$("$gen" --routes "$routes" --seed "$seed" --profile "$profile" --stats -o before.log 2>&1)
"$gen" --routes "$routes" --seed "$seed" --profile "$profile" --after -o after.log
lines=$(sed -n 's/.* lines=\([0-9]*\).*/\1/p' <<<"$stats")
bytes=$(stat -c %s before.log)

now_ns() { date +%s%N; }

# Elapsed seconds of one run of "$@".
elapsed() {
  local start end
  start=$(now_ns)
  "$@"
  end=$(now_ns)
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.4f\n", (e - s) / 1e9 }'
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

copy_tr() { tr -d '\000' <before.log >copy.out; }
gnu_sort() { LC_ALL=C TMPDIR="$tmp" sort -t' ' -k9,9V before.log >gnu.out; }
core_sort() { "$driver" sort before.log before.sorted >>sort.report; }
core_compare() { "$driver" compare before.log after.log diff.out >>compare.report; }

# The page cache holds both captures after one read; the runs are interleaved so that load from
# other processes spreads over all four commands alike.
cat before.log after.log >/dev/null
: >sort.report
: >compare.report
declare -a t_tr t_sort t_gnu t_compare
for ((run = 1; run <= runs; ++run)); do
  printf '  run %d/%d\r' "$run" "$runs"
  t_tr+=("$(elapsed copy_tr)")
  t_sort+=("$(elapsed core_sort)")
  t_gnu+=("$(elapsed gnu_sort)")
  t_compare+=("$(elapsed core_compare)")
done
printf '%20s\r' ''

m_tr=$(printf '%s\n' "${t_tr[@]}" | median)
m_sort=$(printf '%s\n' "${t_sort[@]}" | median)
m_gnu=$(printf '%s\n' "${t_gnu[@]}" | median)
m_compare=$(printf '%s\n' "${t_compare[@]}" | median)
# One more sort with its steps timed, to show where the time goes.
steps_sort=$("$driver" steps before.log before.sorted | sed 's/ seconds=.*//')

largest() { sed -n "s/.*$1=\([0-9]*\).*/\1/p" "$2" | sort -n | tail -1; }
rss_sort=$(largest max_rss_kib sort.report)
rss_compare=$(largest max_rss_kib compare.report)
heap_sort=$(largest heap_peak_bytes sort.report)
staged=$(largest lines sort.report)
differences=$(sed -n 's/.*differences=\([0-9]*\).*/\1/p' compare.report | tail -1)

awk -v routes="$routes" -v lines="$lines" -v bytes="$bytes" -v runs="$runs" \
  -v tr="$m_tr" -v srt="$m_sort" -v gnu="$m_gnu" -v cmp="$m_compare" \
  -v rs="$rss_sort" -v rc="$rss_compare" -v diffs="$differences" -v cpus="$(nproc)" \
  -v heap="$heap_sort" -v staged="$staged" -v profile="$profile" \
  -v all_tr="${t_tr[*]}" -v all_sort="${t_sort[*]}" -v all_gnu="${t_gnu[*]}" \
  -v all_cmp="${t_compare[*]}" -v steps_sort="$steps_sort" '
  function verdict(value, target) { return value <= target ? "met" : "MISSED" }
  BEGIN {
    printf "\nCapture (%s): %d routes, %d lines, %.1f MB; %d CPUs; median of %d runs (wall time of the whole process)\n",
      profile, routes, lines, bytes / 1e6, cpus, runs
    printf "  (a) kestrelon sort (destination order)   %7.3f s  %6.1f Mlines/s  peak RSS %6.1f MiB   [%s]\n",
      srt, lines / srt / 1e6, rs / 1024, all_sort
    printf "      peak heap %.1f MiB = %.1f bytes a staged line (%d staged lines)\n",
      heap / 1048576, heap / staged, staged
    printf "  (b) tr -d \"\\000\" (streaming copy)        %7.3f s                     [%s]\n", tr, all_tr
    printf "  (c) LC_ALL=C sort -t\" \" -k9,9V           %7.3f s                     [%s]\n", gnu, all_gnu
    printf "  (d) kestrelon compare (before, after)    %7.3f s                   peak RSS %6.1f MiB   [%s]\n",
      cmp, rc / 1024, all_cmp
    printf "      (%d difference blocks)\n", diffs
    printf "Steps of one more sort, in seconds: %s\n", steps_sort
    printf "Ratios:\n"
    printf "  sort/tr          %6.2f   target <= 1.5   %s\n", srt / tr, verdict(srt / tr, 1.5)
    printf "  compare/sort     %6.2f   target <= 1.3   %s\n", cmp / srt, verdict(cmp / srt, 1.3)
    printf "  heap bytes/line  %6.1f   target <= 32    %s\n", heap / staged, verdict(heap / staged, 32)
    printf "  GNU sort/tr      %6.2f   (the floor against what one would otherwise reach for)\n", gnu / tr
    printf "  sort/GNU sort    %6.2f\n", srt / gnu
  }'
