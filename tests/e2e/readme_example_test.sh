#!/usr/bin/env bash
# The change-script examples of the README and of kestrelon-cli's manual page, taken as they
# stand and run as scripts (plain and under set -e) on equal, different and missing captures:
# each must end 0, 1 and 2 and say why.
source "$(dirname "$0")/lib.sh"

# The README's fenced block that starts with the script's name, up to its closing fence.
sed -n '/^# check-routes.sh:/,/^```/p' "$source_tree/README.md" | sed '$d' >"$root/readme.sh"
# The manual page's, from its first line to "esac", as man shows it.
sed -n '/^status=0$/,/^esac$/p' "$source_tree/packaging/kestrelon-cli.1.in" | sed 's/\\-/-/g' \
  >"$root/manual.sh"
for example in readme manual; do
  check "the $example holds the example" grep -q 'kestrelon-cli compare' "$root/$example.sh"
done

route1="C       10.1.1.0/24 is directly connected, Ethernet0"
route2="S       10.2.0.0/16 [1/0] via 10.1.1.9"
for example in readme manual; do
  for shell in "sh" "sh -e"; do
    for case in equal different missing; do
      work="$root/$example-$case-${shell// /}"
      mkdir "$work"
      crlf "R1#show ip route" "$route1" "$route2" "R1#" >"$work/before.log"
      case $case in
        equal) cp "$work/before.log" "$work/after.log" && want=0 ;;
        different) crlf "R1#show ip route" "$route1" "R1#" >"$work/after.log" && want=1 ;;
        missing) want=2 ;;
      esac
      (cd "$work" && PATH="$bin:$PATH" $shell "$root/$example.sh" >out.txt 2>err.txt)
      status=$?
      check "$example, $shell, $case: status $want (got $status)" test "$status" -eq "$want"
    done
    check "$example, $shell: a difference is told" grep -q "routes changed" \
      "$root/$example-different-${shell// /}/out.txt"
    check "$example, $shell: a failure is told" grep -q "compare failed" \
      "$root/$example-missing-${shell// /}/err.txt"
  done
done
finish
