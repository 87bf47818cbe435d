#!/usr/bin/env bash
# End-to-end tests of kestrelon-cli: the real executable runs in a fresh temporary folder on
# captures written here, and every file it writes is compared byte for byte with a file written
# by hand from the sort, filter and compare rules.
#   KESTRELON_BIN     folder of the built executables (kestrelon-cli, maybe kestrelon)
#   KESTRELON_SOURCE  the source tree (for the version in CMakeLists.txt)
set -uo pipefail

: "${KESTRELON_BIN:?set KESTRELON_BIN to the folder of the built executables}"
: "${KESTRELON_SOURCE:?set KESTRELON_SOURCE to the source tree}"
CLI=$KESTRELON_BIN/kestrelon-cli

work=$(mktemp -d "${TMPDIR:-/tmp}/kestrelon-cli-test.XXXXXX") || exit 2
trap 'rm -rf "$work"' EXIT
# The tool's private folders go here, so the tests see that each run removes its own.
mkdir "$work/tmp" "$work/in"

passed=0
failed=0
pass() { passed=$((passed + 1)); }
fail() {
  failed=$((failed + 1))
  echo "FAIL: $*"
}

# Each argument is one line, written with CR LF (crlf) or LF (lf).
crlf() { printf '%s\r\n' "$@"; }
lf() { printf '%s\n' "$@"; }

# Runs the tool with the test's private temporary root; status in $status, streams in files.
run() {
  TMPDIR=$work/tmp "$CLI" "$@" >stdout.txt 2>stderr.txt
  status=$?
}

# A fresh folder for one case, made the current folder.
newcase() {
  mkdir "$work/$1" && cd "$work/$1" || exit 2
}

expect_status() {
  local name=$1 want=$2
  if [[ $status == "$want" ]]; then pass; else fail "$name: status $status, expected $want"; cat stderr.txt; fi
}

# Compares a written file with the hand-written expectation, byte for byte.
expect_file() {
  local name=$1 expected=$2 actual=$3
  if [[ ! -f $actual ]]; then
    fail "$name: $actual was not written"
  elif cmp -s "$expected" "$actual"; then
    pass
  else
    fail "$name: $actual differs from $expected"
    diff <(cat -A "$expected") <(cat -A "$actual") | head -20
  fi
}

expect_absent() {
  local name=$1 path=$2
  if [[ -e $path ]]; then fail "$name: $path exists"; else pass; fi
}

expect_empty_file() {
  local name=$1 path=$2
  if [[ -s $path ]]; then fail "$name: $path is not empty: $(head -c 200 "$path")"; else pass; fi
}

# A failed run: status 2, one line "kestrelon-cli: ..." naming what, nothing on stdout.
expect_trouble() {
  local name=$1 names=$2
  expect_status "$name" 2
  expect_empty_file "$name (stdout)" stdout.txt
  if [[ $(wc -l <stderr.txt) == 1 ]] && grep -q "^kestrelon-cli: .*$names" stderr.txt; then
    pass
  else
    fail "$name: stderr should be one line naming '$names': $(cat stderr.txt)"
  fi
}

# A refused command line: status 2 and a one-line hint to --help.
expect_usage_error() {
  local name=$1
  expect_status "$name" 2
  expect_empty_file "$name (stdout)" stdout.txt
  if [[ $(wc -l <stderr.txt) == 1 ]] &&
    grep -q "^kestrelon-cli: .*; try 'kestrelon-cli --help'$" stderr.txt; then
    pass
  else
    fail "$name: stderr should be one usage line: $(cat stderr.txt)"
  fi
}

# What is in the runs' TMPDIR. Under wine (KESTRELON_WINDOWS=1) the wine server keeps its own
# folder there, wine-XXXXXX, which is none of the program's.
tmp_listing() {
  if [[ ${KESTRELON_WINDOWS:-} == 1 ]]; then
    ls -A "$work/tmp" | grep -v '^wine-'
  else
    ls -A "$work/tmp"
  fi
}

# Every run removes its private folder, whether it succeeded or not.
expect_no_leftovers() {
  local name=$1
  if [[ -z $(tmp_listing) ]]; then pass; else fail "$name: left in TMPDIR: $(tmp_listing)"; fi
}

# ---------------------------------------------------------------------------------------------
# Captures

# Five routes whose order differs under each of the six keys:
#   a 10.1.1.0/24 via 10.9.9.2 (O)   b 10.1.0.0/16 via 10.9.9.1 (S)   c 10.9.9.0/24 connected (C)
#   d 9.0.0.0/8 via 10.9.9.3 (O)     e 10.2.0.0/16 via 10.9.9.1 (D)
head_lines=("R1#show ip route"
  "Codes: C - connected, S - static, O - OSPF, D - EIGRP"
  ""
  "Gateway of last resort is not set"
  "")
ra="O       10.1.1.0/24 [110/20] via 10.9.9.2, 00:01:02, Ethernet0"
rb="S       10.1.0.0/16 [1/0] via 10.9.9.1"
rc="C       10.9.9.0/24 is directly connected, Ethernet0"
rd="O       9.0.0.0/8 [110/30] via 10.9.9.3, 00:00:10, Ethernet0"
re="D       10.2.0.0/16 [90/100] via 10.9.9.1, 00:00:30, Serial0"
tail_lines=("" "R1#")
crlf "${head_lines[@]}" "$ra" "$rb" "$rc" "$rd" "$re" "${tail_lines[@]}" >"$work/in/keys.log"

# One route of each shape the filters treat differently, already in destination order.
fo="O       10.1.1.0/24 [110/20] via 10.2.2.2, 00:01:02, Ethernet0"
fc="C       10.2.2.0/24 is directly connected, Ethernet0"
fb="B       10.5.0.0/16 [20/0] via 10.2.2.9, 1d02h"
crlf "R1#show ip route" "$fo" "$fc" "$fb" "R1#" >"$work/in/filter.log"
# The same capture as a Unix terminal saves it.
lf "R1#show ip route" "$fo" "$fc" "$fb" "R1#" >"$work/in/filter-lf.log"

# Before and after a change: 10.1.1.0/24 loses its second path (and its uptime changes),
# 10.3.0.0/16 goes, 10.4.0.0/16 comes.
crlf "R1#show ip route" \
  "Gateway of last resort is not set" \
  "" \
  "O       10.1.1.0/24 [110/20] via 10.2.2.2, 00:01:02, Ethernet0" \
  "                    [110/20] via 10.2.2.3, 00:01:02, Ethernet1" \
  "C       10.2.2.0/24 is directly connected, Ethernet0" \
  "S       10.3.0.0/16 [1/0] via 10.2.2.1" \
  "R1#" >"$work/in/before.log"
crlf "R1#show ip route" \
  "Gateway of last resort is 10.2.2.1 to network 0.0.0.0" \
  "" \
  "O       10.1.1.0/24 [110/20] via 10.2.2.2, 00:09:59, Ethernet0" \
  "C       10.2.2.0/24 is directly connected, Ethernet0" \
  "O       10.4.0.0/16 [110/50] via 10.2.2.4, 00:00:07, Ethernet0" \
  "R1#" >"$work/in/after.log"
# The before table again, in another order, with other uptimes, LF line ends, another prompt.
lf "R1#sh ip ro" \
  "C       10.2.2.0/24 is directly connected, Ethernet0" \
  "S       10.3.0.0/16 [1/0] via 10.2.2.1" \
  "O       10.1.1.0/24 [110/20] via 10.2.2.2, 01:02:03, Ethernet0" \
  "                    [110/20] via 10.2.2.3, 01:02:03, Ethernet1" \
  "R1#" >"$work/in/same.log"

# ---------------------------------------------------------------------------------------------
# Sort: each key

check_keys() {
  newcase keys
  cp "$work/in/keys.log" .
  local -A orders=(
    [dest]="$rd|$rb|$ra|$re|$rc"
    [next-hop]="$rc|$rb|$re|$ra|$rd"
    [mask-dest]="$rd|$rb|$re|$ra|$rc"
    [mask-next-hop]="$rd|$rb|$re|$rc|$ra"
    [proto-dest]="$rc|$re|$rd|$ra|$rb"
    [proto-next-hop]="$rc|$re|$ra|$rd|$rb"
  )
  local key routes
  for key in "${!orders[@]}"; do
    IFS='|' read -r -a routes <<<"${orders[$key]}"
    crlf "${head_lines[@]}" "${routes[@]}" "${tail_lines[@]}" >"expected.$key"
    run sort --key "$key" -o "out.$key" keys.log
    expect_status "sort --key $key" 0
    expect_file "sort --key $key" "expected.$key" "out.$key"
    expect_empty_file "sort --key $key (stdout with -o)" stdout.txt
  done
  # The other spelling, and no options at all, which is destination order without a filter.
  run sort --key=next-hop -o out.eq keys.log
  expect_file "sort --key=next-hop" expected.next-hop out.eq
  run sort -o out.none keys.log
  expect_file "sort without options" expected.dest out.none
  # Nothing but the results beside the input: no staging file, no temporary file.
  local listing
  listing=$(find . -mindepth 1 ! -name 'expected.*' ! -name 'out.*' ! -name keys.log \
    ! -name 'std*.txt')
  if [[ -z $listing ]]; then pass; else fail "sort left files beside the input: $listing"; fi
  expect_no_leftovers "sort by key"
}

# ---------------------------------------------------------------------------------------------
# Sort: each filter, alone and combined; lines that are not routes stay as they are

check_filters() {
  newcase filters
  cp "$work/in/filter.log" .
  local top="R1#show ip route" bottom="R1#"
  local -A lines=(
    [interface]="O       10.1.1.0/24 [110/20] via 10.2.2.2, 00:01:02|C       10.2.2.0/24 is directly connected|B       10.5.0.0/16 [20/0] via 10.2.2.9"
    [time]="O       10.1.1.0/24 [110/20] via 10.2.2.2, Ethernet0|C       10.2.2.0/24 is directly connected, Ethernet0|B       10.5.0.0/16 [20/0] via 10.2.2.9"
    [cost]="O       10.1.1.0/24 via 10.2.2.2, 00:01:02, Ethernet0|C       10.2.2.0/24 is directly connected, Ethernet0|B       10.5.0.0/16 via 10.2.2.9, 1d02h"
    [interface,time]="O       10.1.1.0/24 [110/20] via 10.2.2.2|C       10.2.2.0/24 is directly connected|B       10.5.0.0/16 [20/0] via 10.2.2.9"
    [cost,time]="O       10.1.1.0/24 via 10.2.2.2, Ethernet0|C       10.2.2.0/24 is directly connected, Ethernet0|B       10.5.0.0/16 via 10.2.2.9"
    [interface,cost]="O       10.1.1.0/24 via 10.2.2.2, 00:01:02|C       10.2.2.0/24 is directly connected|B       10.5.0.0/16 via 10.2.2.9"
    [time,cost,interface]="O       10.1.1.0/24 via 10.2.2.2|C       10.2.2.0/24 is directly connected|B       10.5.0.0/16 via 10.2.2.9"
  )
  local list routes
  for list in "${!lines[@]}"; do
    IFS='|' read -r -a routes <<<"${lines[$list]}"
    crlf "$top" "${routes[@]}" "$bottom" >"expected.$list"
    run sort --strip "$list" -o "out.$list" filter.log
    expect_status "sort --strip $list" 0
    expect_file "sort --strip $list" "expected.$list" "out.$list"
  done

  crlf "$top" "O       10.1.1.0/24" "C       10.2.2.0/24" "B       10.5.0.0/16" "$bottom" \
    >expected.dest-mask
  run sort --dest-mask -o out.dest-mask filter.log
  expect_status "sort --dest-mask" 0
  expect_file "sort --dest-mask" expected.dest-mask out.dest-mask

  crlf "$top" "O       10.1.1.0" "C       10.2.2.0" "B       10.5.0.0" "$bottom" >expected.dest-only
  run sort --dest-only -o out.dest-only filter.log
  expect_status "sort --dest-only" 0
  expect_file "sort --dest-only" expected.dest-only out.dest-only

  # A filter and a key together.
  crlf "$top" "C       10.2.2.0/24" "O       10.1.1.0/24" "B       10.5.0.0/16" "$bottom" \
    >expected.next-hop-mask
  run sort --dest-mask --key next-hop -o out.next-hop-mask filter.log
  expect_file "sort --dest-mask --key next-hop" expected.next-hop-mask out.next-hop-mask
  expect_no_leftovers "sort with filters"
}

# ---------------------------------------------------------------------------------------------
# Sort: standard input, standard output, writing over the input

check_sort_streams() {
  newcase sort-streams
  crlf "R1#show ip route" \
    "O       10.1.1.0/24 [110/20] via 10.2.2.2, Ethernet0" \
    "C       10.2.2.0/24 is directly connected, Ethernet0" \
    "B       10.5.0.0/16 [20/0] via 10.2.2.9" \
    "R1#" >expected.time
  # LF line ends in, CR LF out; "-" reads standard input; no -o writes standard output.
  TMPDIR=$work/tmp "$CLI" sort --strip time - <"$work/in/filter-lf.log" >stdout.txt 2>stderr.txt
  status=$?
  expect_status "sort from stdin to stdout" 0
  expect_file "sort from stdin to stdout" expected.time stdout.txt
  expect_empty_file "sort from stdin to stdout (stderr)" stderr.txt

  # shellcheck disable=SC2002  # a pipe on purpose, not a file
  cat "$work/in/filter-lf.log" | TMPDIR=$work/tmp "$CLI" sort --strip=time -o piped.txt - \
    >stdout.txt 2>stderr.txt
  status=$?
  expect_status "sort from a pipe to -o" 0
  expect_file "sort from a pipe to -o" expected.time piped.txt

  run sort --strip time -o - "$work/in/filter-lf.log"
  expect_file "sort with -o -" expected.time stdout.txt

  # A pipe named as a file is read whole, like standard input. (Windows has no such names.)
  if [[ ${KESTRELON_WINDOWS:-} != 1 ]]; then
    run sort --strip time <(cat "$work/in/filter-lf.log")
    expect_status "sort of a process substitution" 0
    expect_file "sort of a process substitution" expected.time stdout.txt
  fi

  # The result may replace its own input, as in the window.
  cp "$work/in/filter-lf.log" self.log
  run sort --strip time -o self.log self.log
  expect_status "sort over its own input" 0
  expect_file "sort over its own input" expected.time self.log

  # An empty capture gives an empty result.
  : >empty.log
  run sort -o empty.out empty.log
  expect_status "sort of an empty capture" 0
  expect_file "sort of an empty capture" empty.log empty.out
  expect_no_leftovers "sort streams"
}

# ---------------------------------------------------------------------------------------------
# Compare: differences, equivalence, standard streams, options, kept sort results

write_default_difference() {  # $1 $2: the names in the header lines
  crlf "前: $1" "後: $2" "" \
    "前< O       10.1.1.0/24 [110/20] via 10.2.2.2, Ethernet0" \
    "前<                     [110/20] via 10.2.2.3, Ethernet1" \
    "後> O       10.1.1.0/24 [110/20] via 10.2.2.2, Ethernet0" \
    "" \
    "減< S       10.3.0.0/16 [1/0] via 10.2.2.1" \
    "" \
    "増> O       10.4.0.0/16 [110/50] via 10.2.2.4, Ethernet0" \
    "" \
    " 3 の違いがあります"
}

check_compare() {
  newcase compare
  cp "$work/in/before.log" "$work/in/after.log" "$work/in/same.log" .

  write_default_difference before.log after.log >expected.diff
  run compare -o out.diff before.log after.log
  expect_status "compare with differences" 1
  expect_file "compare with differences" expected.diff out.diff
  expect_empty_file "compare with differences (stdout with -o)" stdout.txt
  expect_empty_file "compare with differences (stderr)" stderr.txt

  # The uptimes differ and the order and line ends too: still equivalent.
  crlf "前: before.log" "後: same.log" "" "同等です" >expected.same
  run compare -o out.same before.log same.log
  expect_status "compare of equivalent tables" 0
  expect_file "compare of equivalent tables" expected.same out.same

  # Standard output, and standard input as either side; the header says "-".
  run compare before.log after.log
  expect_status "compare to stdout" 1
  expect_file "compare to stdout" expected.diff stdout.txt

  write_default_difference - after.log >expected.stdin1
  TMPDIR=$work/tmp "$CLI" compare - after.log <before.log >stdout.txt 2>stderr.txt
  status=$?
  expect_status "compare with stdin before" 1
  expect_file "compare with stdin before" expected.stdin1 stdout.txt

  crlf "前: same.log" "後: -" "" "同等です" >expected.stdin2
  TMPDIR=$work/tmp "$CLI" compare -o out.stdin2 same.log - <before.log >stdout.txt 2>stderr.txt
  status=$?
  expect_status "compare with stdin after" 0
  expect_file "compare with stdin after" expected.stdin2 out.stdin2

  # The interface cut comes on top of the time cut the compare adds.
  crlf "前: before.log" "後: after.log" "" \
    "前< O       10.1.1.0/24 [110/20] via 10.2.2.2" \
    "前<                     [110/20] via 10.2.2.3" \
    "後> O       10.1.1.0/24 [110/20] via 10.2.2.2" \
    "" \
    "減< S       10.3.0.0/16 [1/0] via 10.2.2.1" \
    "" \
    "増> O       10.4.0.0/16 [110/50] via 10.2.2.4" \
    "" \
    " 3 の違いがあります" >expected.interface
  run compare --strip interface -o out.interface before.log after.log
  expect_status "compare --strip interface" 1
  expect_file "compare --strip interface" expected.interface out.interface

  # Destination and mask only: the lost second path no longer shows (its line keeps only blanks
  # and lines up with nothing), and the sort key has no say in a compare.
  crlf "前: before.log" "後: after.log" "" \
    "減< S       10.3.0.0/16" \
    "" \
    "増> O       10.4.0.0/16" \
    "" \
    " 2 の違いがあります" >expected.dest-mask
  run compare --dest-mask --key proto-next-hop -o out.dest-mask before.log after.log
  expect_status "compare --dest-mask" 1
  expect_file "compare --dest-mask" expected.dest-mask out.dest-mask
  expect_no_leftovers "compare"
}

check_keep_sorted() {
  newcase keep-sorted
  cp "$work/in/before.log" "$work/in/after.log" .
  mkdir kept
  crlf "R1#show ip route" \
    "Gateway of last resort is not set" \
    "" \
    "O       10.1.1.0/24 [110/20] via 10.2.2.2, Ethernet0" \
    "                    [110/20] via 10.2.2.3, Ethernet1" \
    "C       10.2.2.0/24 is directly connected, Ethernet0" \
    "S       10.3.0.0/16 [1/0] via 10.2.2.1" \
    "R1#" >expected.sorted1
  crlf "R1#show ip route" \
    "Gateway of last resort is 10.2.2.1 to network 0.0.0.0" \
    "" \
    "O       10.1.1.0/24 [110/20] via 10.2.2.2, Ethernet0" \
    "C       10.2.2.0/24 is directly connected, Ethernet0" \
    "O       10.4.0.0/16 [110/50] via 10.2.2.4, Ethernet0" \
    "R1#" >expected.sorted2
  write_default_difference before.log after.log >expected.diff

  run compare --keep-sorted kept -o out.diff before.log after.log
  expect_status "compare --keep-sorted" 1
  expect_file "compare --keep-sorted" expected.diff out.diff
  expect_file "compare --keep-sorted keeps sort 1" expected.sorted1 kept/before.sorted1
  expect_file "compare --keep-sorted keeps sort 2" expected.sorted2 kept/after.sorted2
  if [[ $(find kept -mindepth 1 | wc -l) == 2 ]]; then pass; else fail "kept holds more: $(ls -A kept)"; fi

  # Standard input is kept as "stdin".
  mkdir kept-stdin
  TMPDIR=$work/tmp "$CLI" compare --keep-sorted=kept-stdin/ before.log - <after.log \
    >stdout.txt 2>stderr.txt
  status=$?
  expect_status "compare --keep-sorted with stdin" 1
  expect_file "compare --keep-sorted with stdin" expected.sorted2 kept-stdin/stdin.sorted2

  # Without the option the sort results go with the private folder.
  run compare -o out2.diff before.log after.log
  expect_absent "compare keeps nothing by default" before.sorted1
  expect_no_leftovers "compare --keep-sorted"
}

# Names with Japanese characters and blanks: read, written and kept under their own names, named
# in the header as given, and in a message byte for byte (UTF-8 on every system).
check_japanese_names() {
  newcase japanese
  cp "$work/in/before.log" "変更前 ログ.log"
  cp "$work/in/after.log" "変更後.log"
  mkdir "保存"
  write_default_difference "変更前 ログ.log" "$PWD/変更後.log" >expected.diff
  run compare --keep-sorted "$PWD/保存" -o "差分.txt" "変更前 ログ.log" "$PWD/変更後.log"
  expect_status "compare of Japanese names" 1
  expect_file "compare of Japanese names" expected.diff "差分.txt"
  expect_file "kept sort 1 of a Japanese name" "$work/keep-sorted/expected.sorted1" \
    "保存/変更前 ログ.sorted1"
  expect_file "kept sort 2 of a Japanese name" "$work/keep-sorted/expected.sorted2" \
    "保存/変更後.sorted2"

  run sort --strip time -o "整列.txt" "変更前 ログ.log"
  expect_status "sort of a Japanese name" 0
  expect_file "sort of a Japanese name" "$work/keep-sorted/expected.sorted1" "整列.txt"

  run sort "無い.log"
  expect_trouble "missing input with a Japanese name" '"無い.log"'
  expect_no_leftovers "Japanese names"
}

# ---------------------------------------------------------------------------------------------
# Failures: status 2, one message naming the file, nothing written

check_failures() {
  newcase failures
  cp "$work/in/before.log" "$work/in/after.log" "$work/in/filter.log" .

  run sort -o missing/out.txt filter.log
  expect_trouble "sort into a missing folder" "missing/out.txt"
  expect_absent "sort into a missing folder" missing

  run compare -o missing/out.txt before.log after.log
  expect_trouble "compare into a missing folder" "missing/out.txt"

  run sort nothere.log
  expect_trouble "sort of a missing input" "nothere.log"

  # A failed compare leaves an earlier result as it was and keeps no sort result.
  mkdir kept
  printf 'earlier\r\n' >out.diff
  cp out.diff earlier.diff
  run compare --keep-sorted kept -o out.diff before.log nothere.log
  expect_trouble "compare with a missing input" "nothere.log"
  expect_file "compare with a missing input leaves the earlier result" earlier.diff out.diff
  if [[ -z $(ls -A kept) ]]; then pass; else fail "failed compare kept: $(ls -A kept)"; fi

  # Kept sort results into a missing folder: nothing is delivered, not even the result.
  run compare --keep-sorted no-such-folder -o fresh.diff before.log after.log
  expect_trouble "compare keeping into a missing folder" "no-such-folder"
  expect_absent "compare keeping into a missing folder" fresh.diff

  # The compare result may not replace an input.
  cp before.log before.copy
  run compare -o before.log before.log after.log
  expect_trouble "compare over its input" "before.log"
  expect_file "compare over its input leaves it" before.copy before.log

  run sort -o out.txt .
  expect_trouble "sort of a folder" '"\."'
  expect_absent "sort of a folder" out.txt

  # Standard output that cannot be written.
  if [[ -w /dev/full ]]; then
    TMPDIR=$work/tmp "$CLI" sort filter.log >/dev/full 2>stderr.txt
    status=$?
    expect_status "sort to a full stdout" 2
    if grep -q '^kestrelon-cli: .*standard output' stderr.txt; then
      pass
    else
      fail "full stdout: $(cat stderr.txt)"
    fi
  fi
  expect_no_leftovers "failures"
}

check_usage() {
  newcase usage
  cp "$work/in/filter.log" .
  local -a cases=(
    ""
    "frobnicate filter.log"
    "sort"
    "sort filter.log filter.log"
    "compare filter.log"
    "compare filter.log filter.log filter.log"
    "compare - -"
    "sort --frobnicate filter.log"
    "sort --key destination filter.log"
    "sort --key"
    "sort --strip interface,speed filter.log"
    "sort --strip time, filter.log"
    "sort --strip time --dest-only filter.log"
    "sort --dest-mask --strip cost filter.log"
    "sort --dest-mask --dest-only filter.log"
    "sort --keep-sorted . filter.log"
    "sort -o a -o b filter.log"
  )
  local args
  for args in "${cases[@]}"; do
    # shellcheck disable=SC2086  # the cases are word lists
    run $args
    expect_usage_error "usage: '$args'"
  done
  expect_absent "usage errors write nothing" a
  expect_no_leftovers "usage"
}

check_help_and_version() {
  newcase help
  run --help
  expect_status "--help" 0
  if grep -q '^Usage:' stdout.txt && grep -q 'kestrelon-cli compare .*before.log after.log' stdout.txt; then
    pass
  else
    fail "--help should print the usage and an example"
  fi
  expect_empty_file "--help (stderr)" stderr.txt

  local version
  version=$(sed -n 's/^project(Kestrelon VERSION \([0-9]*\.[0-9]*\).*/\1/p' \
    "$KESTRELON_SOURCE/CMakeLists.txt")
  local major=${version%%.*} minor=${version#*.}
  printf 'kestrelon-cli %d.%02d\n' "$major" "$((10#$minor))" >expected.version
  run --version
  expect_status "--version" 0
  expect_file "--version" expected.version stdout.txt

  # Both win over whatever else the line holds; after "--" they are file names.
  run sort --key bogus --help
  expect_status "sort --help" 0
  run sort -- --help
  expect_trouble "sort -- --help" "--help"
}

# The golden cases of the core (captures with every line-end kind, both column layouts, all
# mask notations), run through the command line: the options must reach the core intact.
check_golden_cases() {
  newcase golden
  local golden=$KESTRELON_SOURCE/tests/data/golden
  cp "$golden"/*.log "$golden"/*.expected .
  local keys=(dest next-hop mask-dest mask-next-hop proto-dest proto-next-hop)
  local kind input1 input2 key filter expected
  local -a options
  while IFS=$'\t' read -r kind input1 input2 key filter expected; do
    [[ $kind == kind ]] && continue
    options=(--key "${keys[${key#key=}]}")
    case ${filter#filter=} in
      0) ;;
      4) options+=(--dest-mask) ;;
      5) options+=(--dest-only) ;;
      *)
        local list=${filter#filter=}
        list=${list//1/interface}
        list=${list//2/time}
        list=${list//3/cost}
        options+=(--strip "$list")
        ;;
    esac
    case $kind in
      sort) run sort "${options[@]}" -o out "$input1" ;;
      sort-no-options) run sort -o out "$input1" ;;
      compare) run compare "${options[@]}" -o out "$input1" "$input2" ;;
    esac
    local want=0
    if [[ $kind == compare ]] && ! tail -n 1 "$expected" | grep -q '^同等です'; then
      want=1
    fi
    expect_status "golden $expected" "$want"
    expect_file "golden $expected" "$expected" out
    rm -f out
  done <"$golden/MANIFEST.tsv"
}

# The desktop program's batch mode writes the same files for the same input and options
# (batch mode runs with the default options: destination order, all information).
check_same_as_desktop_batch_mode() {
  if [[ ! -x $KESTRELON_BIN/kestrelon ]]; then
    echo "skip: same as the desktop batch mode (no $KESTRELON_BIN/kestrelon)"
    return
  fi
  newcase desktop
  mkdir prog
  cp "$KESTRELON_BIN/kestrelon" prog/
  crlf "[Kestrelon]" "SortExt1=.s1" "SortExt2=.s2" "DiffExt=.dif" "StoreSort=0" >prog/Kestrelon.ini
  local golden=$KESTRELON_SOURCE/tests/data/golden
  cp "$golden/sort101.log" "$golden/before111.log" "$golden/after111.log" .
  QT_QPA_PLATFORM=offscreen prog/kestrelon sort101.log
  run sort sort101.log
  expect_status "desktop sort" 0
  expect_file "same sort as the desktop batch mode" sort101.s1 stdout.txt
  QT_QPA_PLATFORM=offscreen prog/kestrelon before111.log after111.log
  run compare before111.log after111.log
  expect_file "same compare as the desktop batch mode" after111.dif stdout.txt
}

# Captures as today's routers and Windows tools leave them: byte order marks, UTF-16, several
# VRFs in one capture, flagged routes.
check_todays_captures() {
  newcase today
  cp "$work/in/before.log" "$work/in/same.log" .
  { printf '\xef\xbb\xbf'; cat before.log; } >bom.log
  { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE before.log; } >utf16.log
  crlf "前: bom.log" "後: utf16.log" "" "同等です" >expected.marks
  run compare -o out.marks bom.log utf16.log
  expect_status "compare of a UTF-8 capture with a mark and a UTF-16 one" 0
  expect_file "compare of a UTF-8 capture with a mark and a UTF-16 one" expected.marks out.marks
  run sort -o bom.sorted bom.log
  run sort -o plain.sorted before.log
  expect_file "the mark is not written to the sort result" plain.sorted bom.sorted

  # 10.2.0.0/16 moves from VRF red to VRF blue; a flagged route of VRF blue changes its next hop.
  local moved="S        10.2.0.0/16 [1/0] via 10.1.1.2"
  crlf "R1#show ip route vrf *" "" "Routing Table: blue" \
    "S   %    10.5.0.0/16 [1/0] via 10.1.1.7" "" \
    "Routing Table: red" "$moved" "R1#" >vrf1.log
  crlf "R1#show ip route vrf *" "" "Routing Table: blue" "$moved" \
    "S   %    10.5.0.0/16 [1/0] via 10.1.1.8" "" \
    "Routing Table: red" "R1#" >vrf2.log
  crlf "前: vrf1.log" "後: vrf2.log" "" \
    "増> $moved" "" \
    "前< S   %    10.5.0.0/16 [1/0] via 10.1.1.7" "後> S   %    10.5.0.0/16 [1/0] via 10.1.1.8" "" \
    "減< $moved" "" \
    " 3 の違いがあります" >expected.vrf
  run compare -o out.vrf vrf1.log vrf2.log
  expect_status "compare of VRF tables" 1
  expect_file "compare of VRF tables" expected.vrf out.vrf
}

check_keys
check_filters
check_sort_streams
check_compare
check_keep_sorted
check_japanese_names
check_todays_captures
check_failures
check_usage
check_help_and_version
check_golden_cases
check_same_as_desktop_batch_mode

echo "$passed passed, $failed failed"
[[ $failed == 0 ]]
