#!/usr/bin/env bash
# The main job: installs what is missing, builds, and compares the bundled example captures in
# batch mode, then prints the difference file.
#   ./run.sh        compare examples/before.log with examples/after.log
#   ./run.sh --gui  open the window
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target kestrelon_install_files

bin=build/bin
if [[ "${1:-}" == "--gui" ]]; then
  exec "$bin/kestrelon"
fi

# Batch mode takes its extensions and options from Kestrelon.ini beside the program. The example
# runs a copy of the program in its own folder, so the settings of build/bin/kestrelon (the
# user's) are never touched.
work=out/example
rm -rf "$work"
mkdir -p "$work/program"
cp "$bin/kestrelon" "$work/program/"
cat > "$work/program/Kestrelon.ini" <<'INI'
[Kestrelon]
SortExt1=.before.sorted.txt
SortExt2=.after.sorted.txt
DiffExt=.diff.txt
EnableOpt=0
StoreSort=1
INI
cp examples/before.log examples/after.log "$work/"
"$work/program/kestrelon" "$work/before.log" "$work/after.log"

echo "== $work/after.diff.txt (sort results kept beside it)"
cat "$work/after.diff.txt"
