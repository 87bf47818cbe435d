#!/usr/bin/env bash
# kestrelon-cli's manual page and bash completion, kept by hand, against the program: the same
# options as --help, the key names and strip items the parser accepts, pages that render
# without warnings, and completions that offer what the command line takes.
#   KESTRELON_BIN     folder of the built executables
#   KESTRELON_BUILD   the build folder (with the manual pages, version filled in)
#   KESTRELON_SOURCE  the source tree
set -uo pipefail

: "${KESTRELON_BIN:?}" "${KESTRELON_BUILD:?}" "${KESTRELON_SOURCE:?}"
cli=$KESTRELON_BIN/kestrelon-cli
page=$KESTRELON_BUILD/packaging/kestrelon-cli.1
completion=$KESTRELON_SOURCE/packaging/kestrelon-cli.bash-completion

passed=0
failed=0
same() {  # name, expected, actual
  if [[ $2 == "$3" ]]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL: $1"
    diff <(echo "$2") <(echo "$3")
  fi
}

# The options a text names, one a line, sorted: "-o", "--key" and so on (not "--" alone).
options_in() { grep -oE '(^|[^a-zA-Z0-9-])--?[a-z][a-z-]*' | sed 's/^[^-]*//' | sort -u; }
# The manual page's source as plain text; its OPTIONS section alone.
page_text() { sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' "$1"; }
page_options() { page_text "$1" | sed -n '/^\.SH OPTIONS/,/^\.SH /p'; }
# The list in parentheses of the parser's complaint about a bad value, one a line, sorted.
accepted() { "$cli" "$@" 2>&1 | sed -n 's/.*(\(.*\)).*/\1/p' | tr -d ' ' | tr ',' '\n' | sort; }
# What the completion offers after the words given (the last one is being completed).
offered() {
  bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _kestrelon_cli
           printf "%s\n" "${COMPREPLY[@]}"' _ "$completion" kestrelon-cli "$@" | sort
}
words_of() { tr ' ' '\n' <<<"$1" | sort; }

help_options=$("$cli" --help | options_in)
keys=$(accepted sort --key none)
items=$(accepted sort --strip none)
platforms=$(accepted routes --platform none)
formats=$(accepted routes --format none)
fields=$(accepted diff --ignore bogus)
# The options the completion offers after a command (the lone "--" aside).
command_options() { offered "$1" - | grep -vx -- '--'; }

same "manual page describes the options of --help" "$help_options" \
  "$(page_options "$page" | options_in)"
same "completion offers the options of --help" "$help_options" \
  "$( (command_options sort; command_options compare; command_options routes
        command_options diff) | sort -u)"
# Each command is offered its own options: the parser refuses the others.
for command in sort compare routes diff; do
  for option in $(command_options "$command"); do
    case $option in -o | --output | -h | --help | --version) continue ;; esac
    same "$command takes $option, as offered" "" \
      "$("$cli" "$command" "$option" x x 2>&1 | grep -- "applies to")"
  done
done
same "completion offers the keys" "$keys" "$(offered sort --key '')"
same "completion offers the keys after =" "$(grep ^mask <<<"$keys")" \
  "$(offered sort --key = mask)"
same "completion offers the strip items" "$items" "$(offered sort --strip '')"
same "completion offers the platforms" "$platforms" "$(offered routes --platform '')"
same "completion offers the formats" "$formats" "$(offered routes --format '')"
same "completion continues a strip list" "interface,time" "$(offered compare --strip interface,ti)"
same "completion offers the ignored fields" "$fields" "$(offered diff --ignore '')"
same "completion continues an ignore list" "metric,next_hops" "$(offered diff --ignore metric,ne)"
same "completion offers the commands" "$(words_of "compare sort routes diff --help --version")" \
  "$(offered '')"
help_text=$("$cli" --help)
options_section=$(page_options "$page")
for word in $keys $items $platforms $formats $fields; do
  same "--help names $word" yes "$(grep -qw -- "$word" <<<"$help_text" && echo yes)"
  same "manual page names $word" yes "$(grep -qw -- "$word" <<<"$options_section" && echo yes)"
done

# Both pages render without a warning, and carry the program's version.
version=$("$cli" --version | sed 's/^kestrelon-cli //')
for manual in "$page" "$KESTRELON_BUILD/packaging/kestrelon.1"; do
  [[ -f $manual ]] || continue
  same "$(basename "$manual") renders cleanly" "" "$(LC_ALL=C.UTF-8 man --warnings -l "$manual" 2>&1 >/dev/null)"
  same "$(basename "$manual") carries the version" 1 "$(grep -c "\"Kestrelon $version\"" "$manual")"
done

echo "$passed passed, $failed failed"
[[ $failed == 0 ]]
