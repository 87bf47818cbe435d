#!/usr/bin/env bash
# kestrelon-cli's manual page and bash completion, kept by hand, against the program: the same
# options as --help, the key names and strip items the parser accepts, pages that render
# without warnings, and completions that offer what the command line takes.
#   KESTRELON_BUILD   the build folder (with the manual pages, version filled in)
source "$(dirname "$0")/lib.sh"
: "${KESTRELON_BUILD:?}"
cli=$bin/kestrelon-cli
page=$KESTRELON_BUILD/packaging/kestrelon-cli.1
completion=$source_tree/packaging/kestrelon-cli.bash-completion
equal() { # name, expected, actual
  check "$1" test "$2" == "$3"
  [[ $2 == "$3" ]] || diff <(echo "$2") <(echo "$3")
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

equal "manual page describes the options of --help" "$help_options" \
  "$(page_options "$page" | options_in)"
equal "completion offers the options of --help" "$help_options" \
  "$( (command_options sort; command_options compare; command_options routes
        command_options diff; command_options merge) | sort -u)"
# Each command is offered its own options: the parser refuses the others.
for command in sort compare routes diff merge; do
  for option in $(command_options "$command"); do
    case $option in -o | --output | -h | --help | --version) continue ;; esac
    equal "$command takes $option, as offered" "" \
      "$("$cli" "$command" "$option" x x 2>&1 | grep -- "applies to")"
  done
done
equal "completion offers the keys" "$keys" "$(offered sort --key '')"
equal "completion offers the keys after =" "$(grep ^mask <<<"$keys")" \
  "$(offered sort --key = mask)"
equal "completion offers the strip items" "$items" "$(offered sort --strip '')"
equal "completion offers the platforms" "$platforms" "$(offered routes --platform '')"
equal "completion offers the formats" "$formats" "$(offered routes --format '')"
equal "completion continues a strip list" "interface,time" "$(offered compare --strip interface,ti)"
equal "completion offers only the strip items not given" "$(words_of "time,cost time,interface")" \
  "$(offered sort --strip time,)"
equal "completion offers the ignored fields" "$fields" "$(offered diff --ignore '')"
equal "completion continues an ignore list" "metric,next_hops" "$(offered diff --ignore metric,ne)"
equal "completion offers only the ignored fields not given" \
  "$(grep -vxE 'metric|flags|uptime|none' <<<"$fields" | sed 's/^/metric,flags,uptime,/')" \
  "$(offered diff --ignore metric,flags,uptime,)"
equal "completion offers the commands" "$(words_of "compare sort routes diff merge --help --version")" \
  "$(offered '')"
help_text=$("$cli" --help)
options_section=$(page_options "$page")
for word in $keys $items $platforms $formats $fields; do
  equal "--help names $word" yes "$(grep -qw -- "$word" <<<"$help_text" && echo yes)"
  equal "manual page names $word" yes "$(grep -qw -- "$word" <<<"$options_section" && echo yes)"
done

# Both pages render without a warning, and carry the program's version.
version=$("$cli" --version | sed 's/^kestrelon-cli //')
for manual in "$page" "$KESTRELON_BUILD/packaging/kestrelon.1"; do
  [[ -f $manual ]] || continue
  equal "$(basename "$manual") renders cleanly" "" "$(LC_ALL=C.UTF-8 man --warnings -l "$manual" 2>&1 >/dev/null)"
  equal "$(basename "$manual") carries the version" 1 "$(grep -c "\"Kestrelon $version\"" "$manual")"
done

finish
