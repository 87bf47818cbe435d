#!/usr/bin/env bash
# No file or setting of the user's is replaced, deleted or left changed unless the user asked:
# the built programs run on files named like the working files of older versions, on failing
# and interrupted compares, and two at a time.
source "$(dirname "$0")/lib.sh"

before_capture() {
  crlf "R1#show ip route" "S*       0.0.0.0/0 [1/0] via 10.0.0.1" \
    "O        9.9.0.0/16 [110/20] via 10.1.1.2, 00:00:05, Gi0/0" \
    "C        10.1.1.0/24 is directly connected, Gi0/0" "R1#"
}
after_capture() {
  crlf "R1#show ip route" "S*       0.0.0.0/0 [1/0] via 10.0.0.2" \
    "C        10.1.1.0/24 is directly connected, Gi0/0" "R1#"
}
crlf "前: a.log" "後: b.log" "" "前< S*       0.0.0.0/0 [1/0] via 10.0.0.1" \
  "後> S*       0.0.0.0/0 [1/0] via 10.0.0.2" "" \
  "減< O        9.9.0.0/16 [110/20] via 10.1.1.2, Gi0/0" "" " 2 の違いがあります" >"$root/expected.dif"
# A capture of n OSPF routes, each with its own destination; variant 1 changes every seventh.
big_capture() {
  awk -v n="$1" -v v="$2" 'BEGIN {
    printf "R1#show ip route\r\n"
    for (i = 0; i < n; i++)
      printf "O        %d.%d.%d.0/24 [110/%d] via 10.255.0.1, 00:01:%02d, Gi0/1\r\n",
        1 + int(i / 65536), int(i / 256) % 256, i % 256, 20 + v * (i % 7 == 0), i % 60
    printf "R1#\r\n" }'
}
# Starts a command in the background, waits until a file matching the glob exists, then sends
# the signal. Sets status to the command's exit status, or to "missed" when it ended first. Job
# control is on, so the background command does not start with SIGINT ignored.
signal_midway() { # signal, glob, command...
  local signal=$1 glob=$2 pid
  shift 2
  set -m
  "$@" >"$out" 2>"$err" &
  pid=$!
  set +m
  while kill -0 "$pid" 2>/dev/null && ! compgen -G "$glob" >/dev/null; do :; done
  if kill "-$signal" "$pid" 2>/dev/null; then
    wait "$pid"
    status=$?
  else
    wait "$pid"
    status=missed
  fi
}

if [[ $have_desktop == 1 ]]; then
  # --- files named like the old staging files and sort results survive a sort and a compare
  setup old-names "SortExt1=.s1" "SortExt2=.s2" "DiffExt=.dif" "StoreSort=0"
  before_capture >"$work/a.log"
  after_capture >"$work/b.log"
  for name in "a.(1)" "a.(2)" "b.(2)" "a.s1" "b.s2"; do
    printf 'the user'\''s %s\n' "$name" >"$work/$name"
  done
  cp -a "$work" "$root/old-names.orig"
  desk a.log
  check "sort beside old names: status 0" test "$status" -eq 0
  check "sort keeps a.(1)" same "$work/a.(1)" "$root/old-names.orig/a.(1)"
  cp "$root/old-names.orig/a.s1" "$work/"
  desk a.log b.log
  check "compare beside old names: status 0" test "$status" -eq 0
  check "compare beside old names: result" same "$work/b.dif" "$root/expected.dif"
  for name in "a.(1)" "a.(2)" "b.(2)" "a.s1" "b.s2" a.log b.log; do
    check "compare keeps $name" same "$work/$name" "$root/old-names.orig/$name"
  done
  check "nothing else written" test "$(listing "$work")" = "a.(1) a.(2) a.log a.s1 b.(2) b.dif b.log b.s2 "
  check "temporary folder left empty" test -z "$(tmp_listing "$tmp")"

  # --- a fresh install (no settings file, empty extensions) compares
  setup fresh -
  before_capture >"$work/a.log"
  after_capture >"$work/b.log"
  desk a.log b.log
  check "fresh install compare: status 0" test "$status" -eq 0
  check "fresh install compare: difference file b" same "$work/b" "$root/expected.dif"
  check "fresh install compare: nothing else" test "$(listing "$work")" = "a.log b b.log "

  # --- a compare that fails leaves earlier results exactly as they were
  for kind in folder zero; do
    setup "failing-$kind" "SortExt1=.s1" "SortExt2=.s2" "DiffExt=.dif" "StoreSort=1"
    before_capture >"$work/a.log"
    after_capture >"$work/b.log"
    printf 'earlier 1\r\n' >"$work/a.s1"
    if [[ $kind == folder ]]; then
      second=b
      mkdir "$work/b.dif"
    else
      second=z # a second input that cannot be read to its end
      ln -s /dev/zero "$work/z.log"
    fi
    printf 'earlier 2\r\n' >"$work/$second.s2"
    desk a.log "$second.log"
    check "failing compare ($kind): status 2" test "$status" -eq 2
    check "failing compare ($kind): told" test -s "$err"
    check "failing compare ($kind): sort result 1 kept" test "$(cat "$work/a.s1")" = $'earlier 1\r'
    check "failing compare ($kind): sort result 2 kept" test "$(cat "$work/$second.s2")" = $'earlier 2\r'
    check "failing compare ($kind): no temporary file" test -z "$(tmp_listing "$tmp")$(ls -A "$work" | grep '\.tmp$')"
  done

  # --- a compare stopped midway leaves the settings file byte for byte, and no working file
  settings=$'; kept as written\n[Kestrelon]\nSortExt1=.s1\nSortExt2=.s2\nDiffExt=.dif\nEnableOpt=0\nStoreSort=1\n'
  for signal in KILL TERM; do
    for routes in 300000 900000; do
      setup "stopped-$signal" -
      printf '%s' "$settings" >"$prog/Kestrelon.ini"
      big_capture "$routes" 0 >"$work/a.log"
      big_capture "$routes" 1 >"$work/b.log"
      printf 'earlier\r\n' >"$work/a.s1"
      signal_midway "$signal" "$work/*.tmp" \
        env TMPDIR="$tmp" "$prog/kestrelon" "$work/a.log" "$work/b.log"
      [[ $status == missed ]] || break
      rm -rf "$root/stopped-$signal"
    done
    check "stopped by SIG$signal midway" test "$status" != missed
    check "SIG$signal: settings byte for byte" test "$(cat "$prog/Kestrelon.ini" && echo .)" = "$settings."
    check "SIG$signal: earlier result kept" test "$(cat "$work/a.s1")" = $'earlier\r'
    check "SIG$signal: no difference file" test ! -e "$work/b.dif"
  done
  check "SIGTERM: status 143" test "$status" = 143
  check "SIGTERM: no temporary file beside the results" test "$(listing "$work")" = "a.log a.s1 b.log "
  check "SIGTERM: temporary folder left empty" test -z "$(tmp_listing "$tmp")"

  # --- two runs at once on inputs with one stem (p.log and p.txt), each with its own extension
  setup one-stem "SortExt1=.one" "DiffExt=.dif1"
  second="$root/one-stem/prog2"
  mkdir "$second" && cp "$bin/kestrelon" "$second/"
  crlf "[Kestrelon]" "SortExt1=.two" "DiffExt=.dif2" >"$second/Kestrelon.ini"
  big_capture 100000 0 >"$work/p.log"
  big_capture 100000 1 >"$work/p.txt"
  big_capture 100000 0 >"$work/q.log"
  ok=1
  for _ in 1 2 3; do
    (cd "$work" && TMPDIR=$tmp "$prog/kestrelon" p.log) &
    one=$!
    (cd "$work" && TMPDIR=$tmp "$second/kestrelon" p.txt) &
    two=$!
    wait "$one" || ok=0
    wait "$two" || ok=0
    (cd "$work" && TMPDIR=$tmp "$prog/kestrelon" q.log p.txt) &
    one=$!
    (cd "$work" && TMPDIR=$tmp "$second/kestrelon" q.log p.txt) &
    two=$!
    wait "$one" || ok=0
    wait "$two" || ok=0
  done
  check "two runs at once both succeed" test "$ok" -eq 1
  # The captures are in destination order already.
  check "their sorts are right" same "$work/p.one" "$work/p.log"
  check "their sorts are right (2)" same "$work/p.two" "$work/p.txt"
  check "their compares agree" same <(tail -n +3 "$work/p.dif1") <(tail -n +3 "$work/p.dif2")
  check "their compares count every changed route" grep -q '^ 14286 の違いがあります' "$work/p.dif1"
  check "nothing else left" test "$(listing "$work")" = "p.dif1 p.dif2 p.log p.one p.two p.txt q.log "
  check "temporary folder left empty after the runs at once" test -z "$(tmp_listing "$tmp")"
fi

# --- kestrelon-cli stopped by SIGINT leaves nothing in $TMPDIR or beside its results
for routes in 300000 900000; do
  setup cli-interrupted -
  mkdir "$work/kept"
  big_capture "$routes" 0 >"$work/a.log"
  big_capture "$routes" 1 >"$work/b.log"
  signal_midway INT "$work/kept/*.tmp" env TMPDIR="$tmp" "$bin/kestrelon-cli" compare \
    --keep-sorted "$work/kept" -o "$work/out.diff" "$work/a.log" "$work/b.log"
  [[ $status == missed ]] || break
  rm -rf "$root/cli-interrupted"
done
check "cli stopped by SIGINT midway" test "$status" != missed
check "cli SIGINT: status 130" test "$status" = 130
check "cli SIGINT: nothing in TMPDIR" test -z "$(tmp_listing "$tmp")"
check "cli SIGINT: nothing beside the results" test "$(listing "$work")" = "a.log b.log kept "
check "cli SIGINT: no kept result" test -z "$(listing "$work/kept")"

# --- routes and diff never write their result over an input, by any name of it
setup over-input -
before_capture >"$work/r.log"
after_capture >"$work/a.log"
cp "$work/r.log" "$root/r.orig"
ln "$work/r.log" "$work/hard.log"
ln -s r.log "$work/sym.log"
for name in r.log ./r.log hard.log sym.log "$work/r.log"; do
  for run in "routes -o $name r.log" "diff -o $name a.log r.log" "diff -o $name r.log -"; do
    # shellcheck disable=SC2086  # the words of the run
    cli $run <"$work/a.log"
    trouble "$run" "replace \"r.log\""
  done
done
check "the input keeps its bytes" same "$work/r.log" "$root/r.orig"
check "nothing else written" test "$(listing "$work")" = "a.log hard.log r.log sym.log "

# --- a device or a FIFO is written through, never replaced; a protected file is refused; an
# existing file keeps its mode
setup targets -
before_capture >"$work/r.log"
mkfifo "$work/fifo"
if mknod "$work/null" c 1 3 2>/dev/null; then
  for command in "routes r.log" "diff r.log r.log" "sort r.log" "compare r.log r.log"; do
    # shellcheck disable=SC2086
    cli ${command%% *} -o null ${command#* }
    check "$command -o a device: status 0 or 1" test "$status" -le 1
    check "$command -o a device: still the device" test -c "$work/null"
  done
fi
for command in "routes r.log" "diff r.log r.log" "sort r.log" "compare r.log r.log"; do
  timeout 20 cat "$work/fifo" >"$root/fifo.out" &
  reader=$!
  # shellcheck disable=SC2086
  cli ${command%% *} -o fifo ${command#* }
  wait "$reader"
  check "$command -o a FIFO: status 0 or 1" test "$status" -le 1
  check "$command -o a FIFO: still the FIFO" test -p "$work/fifo"
  check "$command -o a FIFO: the result came through it" test -s "$root/fifo.out"
done
printf 'protected\n' >"$work/ro.out"
chmod 444 "$work/ro.out"
for command in "routes r.log" "diff r.log r.log" "sort r.log"; do
  # shellcheck disable=SC2086
  cli ${command%% *} -o ro.out ${command#* }
  trouble "$command -o a write-protected file" "ro.out"
  check "$command: the protected file kept" test "$(cat "$work/ro.out")" = protected
done
printf 'private\n' >"$work/private.out"
chmod 640 "$work/private.out"
cli routes -o private.out r.log
check "a replaced file keeps its mode" test "$status-$(stat -c %a "$work/private.out")" = 0-640
check "nothing left beside them" test "$(listing "$work")" = "$(ls -A "$work" | grep -v '\.tmp$' | tr '\n' ' ')"

# --- the private folder of a run killed outright goes with the next run; a live run's stays
setup killed -
big_capture 300000 0 >"$work/a.log"
signal_midway KILL "$tmp/kestrelon.*/staging1" env TMPDIR="$tmp" "$bin/kestrelon-cli" sort -o \
  "$work/a.sorted" "$work/a.log"
check "killed midway" test "$status" = 137
check "the killed run left its folder" test -n "$(tmp_listing "$tmp")"
mkdir "$tmp/kestrelon.unlocked"  # no lock file: a run creating it now, left alone
before_capture >"$work/r.log"
cli routes r.log
check "the next run succeeds" test "$status" = 0
check "the next run removed the killed run's folder" test "$(tmp_listing "$tmp")" = "kestrelon.unlocked "

# --- a private file that cannot be written is named as what failed, not standard output
setup full-tmpdir -
awk 'BEGIN { print "R1#show ip route"; for (i = 0; i < 20000; i++)
  printf "S        10.%d.%d.0/24 [1/0] via 10.0.0.1\r\n", int(i / 256), i % 256 }' >"$work/big.log"
for command in "routes big.log" "diff big.log r.log" "sort big.log"; do
  cp "$root/targets/work/r.log" "$work/"
  # shellcheck disable=SC2086
  (ulimit -f 200 && cli $command && exit "$status")
  status=$?
  trouble "$command, TMPDIR full" "cannot write \"$tmp/kestrelon\.[^/]*/[a-z0-9]*\": File too large"
done
check "full TMPDIR: nothing left" test -z "$(tmp_listing "$tmp")"
finish
