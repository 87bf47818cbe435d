#!/usr/bin/env bash
# The README's change-script example, taken from the README as it stands and run as a script
# (plain and under set -e) on equal, different and missing captures: it must end 0, 1 and 2.
source "$(dirname "$0")/lib.sh"

# The fenced block that starts with the script's name, up to its closing fence.
sed -n '/^# check-routes.sh:/,/^```/p' "$source_tree/README.md" | sed '$d' >"$root/check-routes.sh"
check "the README holds the example" grep -q 'kestrelon-cli compare' "$root/check-routes.sh"

route1="C       10.1.1.0/24 is directly connected, Ethernet0"
route2="S       10.2.0.0/16 [1/0] via 10.1.1.9"
for shell in "sh" "sh -e"; do
  for case in equal different missing; do
    work="$root/$case-${shell// /}"
    mkdir "$work"
    crlf "R1#show ip route" "$route1" "$route2" "R1#" >"$work/before.log"
    case $case in
      equal) cp "$work/before.log" "$work/after.log" && want=0 ;;
      different) crlf "R1#show ip route" "$route1" "R1#" >"$work/after.log" && want=1 ;;
      missing) want=2 ;;
    esac
    (cd "$work" && PATH="$bin:$PATH" $shell "$root/check-routes.sh" >out.txt 2>err.txt)
    status=$?
    check "$shell, $case: status $want (got $status)" test "$status" -eq "$want"
  done
done
check "a difference is told" grep -q "routes changed" "$root/different-sh/out.txt"
check "a failure is told" grep -q "compare failed" "$root/missing-sh/err.txt"
finish
