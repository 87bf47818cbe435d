#!/usr/bin/env bash
# Writes CHANGELOG.md in Debian's changelog format on standard output: each heading
# "## VERSION (YYYY-MM-DD)" starts an entry, its "- " items become "  * " items, and their
# continuation lines (indented by two blanks) follow indented by four.
#   debian-changelog.sh CHANGELOG.md PACKAGE "NAME <ADDRESS>"
set -euo pipefail
input=$1 package=$2 maintainer=$3

version="" day=""
end_entry() {
  [[ -z $version ]] || printf '\n -- %s  %s\n' "$maintainer" "$(LC_ALL=C date -u -R -d "$day")"
}
while IFS= read -r line; do
  if [[ $line =~ ^##\ ([^ ]+)\ \(([0-9]{4}-[0-9]{2}-[0-9]{2})\)$ ]]; then
    end_entry
    [[ -z $version ]] || echo
    version=${BASH_REMATCH[1]} day=${BASH_REMATCH[2]}
    printf '%s (%s) unstable; urgency=medium\n\n' "$package" "$version"
  elif [[ -n $version && $line == "- "* ]]; then
    printf '  * %s\n' "${line#- }"
  elif [[ -n $version && $line == "  "[!\ ]* ]]; then
    printf '    %s\n' "${line#  }"
  fi
done <"$input"
end_entry
