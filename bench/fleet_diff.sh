#!/usr/bin/env bash
# Times a folder diff of a generated fleet: DEVICES routers of ROUTES routes each (every
# device's capture after a change has about 1% of its routes added, removed or changed), with
# -j 1, -j 2 and -j on every core, the peak memory of each run, and, to show that memory is
# bounded by the pairs in flight, the peak of a two-file diff of one pair. The captures mix the
# generator's two profiles, CR LF and LF line ends and shuffled tables; the real captures of the
# other platforms (EOS, NX-OS, IOS XR, ASA) beside the checkout join the fleet when present.
#   bench/fleet_diff.sh [DEVICES [ROUTES]]     defaults 200 and 20000
# Environment: KESTRELON_BUILD_DIR (default build-release), KESTRELON_BENCH_RUNS (default 3).
set -euo pipefail

devices=${1:-200}
routes=${2:-20000}
if ! [[ $devices =~ ^[1-9][0-9]*$ && $routes =~ ^[1-9][0-9]*$ ]]; then
  sed -n '2,9p' "$0" >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KESTRELON_BUILD_DIR:-$root/build-release}
if [[ ! -x /usr/bin/time ]]; then
  echo "fleet_diff.sh needs /usr/bin/time (Debian package time)" >&2
  exit 2
fi

source "$root/bench/build.sh"
bench_build kestrelon-cli kestrelon-gen
cli=$build/bin/kestrelon-cli
gen=$build/bin/kestrelon-gen

export SOURCE_DATE_EPOCH=1765000000  # runs that agree write the same bytes
tmp=$(mktemp -d /tmp/kestrelon-bench.XXXXXX)
trap 'rm -rf "$tmp"' EXIT
cd "$tmp"
mkdir before after
for ((i = 1; i <= devices; i++)); do
  name=$(printf 'dev%04d' "$i")
  args=(--routes "$routes" --seed "$i" --host "$name")
  ((i % 2 == 0)) && args+=(--profile realistic)
  ((i % 3 == 0)) && args+=(--lf)
  ((i % 5 == 0)) && args+=(--shuffle)
  "$gen" "${args[@]}" -o "before/${name}_before.log"
  "$gen" "${args[@]}" --after -o "after/${name}_after.log"
done
corpus=$root/../shared/corpus/real
for capture in "$corpus"/ntc_eos_*.txt "$corpus"/*nxos*.txt "$corpus"/*_xr_*.txt \
  "$corpus"/ntc_asa_*.txt; do
  [[ -f $capture ]] || continue
  cp "$capture" before/
  cp "$capture" after/
done
echo "fleet: $(ls before | wc -l) devices, $(du -sh before | cut -f1) before and" \
  "$(du -sh after | cut -f1) after; $(nproc) cores"

# run LABEL ARGS...: one timed run; prints wall, cpu and peak RSS, keeps the wall time in $wall.
run() {
  local label=$1 status=0
  shift
  /usr/bin/time -f '%e %U %S %M' -o time.txt "$cli" "$@" 2>warnings.txt || status=$?
  if ((status > 1)); then
    echo "failed ($status): $*" >&2
    exit 1
  fi
  read -r wall user sys rss < <(tail -n 1 time.txt)
  awk -v l="$label" -v w="$wall" -v u="$user" -v s="$sys" -v r="$rss" \
    'BEGIN { printf "%-26s %9.2f %9.2f %16.1f\n", l, w, u + s, r / 1024 }'
}

# Each run several times, the settings interleaved, so that a burst of other work on the machine
# falls on all of them; the median of each.
runs=${KESTRELON_BENCH_RUNS:-3}
jobs=(1 2)
(($(nproc) > 2)) && jobs+=("$(nproc)")
echo "run                         wall (s)   cpu (s)   peak RSS (MiB)"
run "one pair, two-file diff" diff -o pair.json --format json before/dev0002_before.log \
  after/dev0002_after.log
declare -A walls
for ((r = 1; r <= runs; r++)); do
  for j in "${jobs[@]}"; do
    run "fleet -j $j (run $r)" diff before after -j "$j" --format json -o "j$j.json"
    walls[$j]+="$wall "
  done
done
cmp -s j1.json j2.json || echo "warning: -j 1 and -j 2 wrote different reports" >&2
median() { tr ' ' '\n' <<<"$1" | grep . | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
for j in "${jobs[@]}"; do
  echo "median wall -j $j: $(median "${walls[$j]}") s"
done
awk -v a="$(median "${walls[1]}")" -v b="$(median "${walls[2]}")" \
  'BEGIN { printf "speed-up of -j 2 over -j 1 (medians): %.2fx\n", a / b }'
echo "Load average (1, 5, 15 min): $(cut -d' ' -f1-3 /proc/loadavg)"
