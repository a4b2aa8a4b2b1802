#!/usr/bin/env bash
# Each program's manual page against its --help: every command and option
# the program takes is on its page, every option the page names is one the
# program takes, and the screen keys qantires --help lists are the ones its
# page names.
#   manual_pages.sh BIN_DIR MAN_DIR
set -uo pipefail
bin=$(cd "$1" && pwd) man=$(cd "$2" && pwd)
failures=0 passes=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# A page's source with its dashes and fonts plain.
page() { sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' "$man/$1"; }
long_options() { grep -oE -- '--[a-z][a-z-]*'; }
# The long options of a --help text: the first words of its option lines.
help_options() { grep -E '^ +(-[a-zA-Z],)?--[a-z]' | long_options; }
keys() { grep -oE '\bF[0-9]+\b|\bAlt\+[A-Z]\b'; }
# The commands of a CLI11 help (under "Subcommands:"), and of a page (the
# first word of each tag of its COMMANDS section; with `words 2`, the first
# two, for commands of a command such as "register list").
help_commands() { sed -n '/^Subcommands:/,$p' | grep -oE '^  [a-z]+' | tr -d ' '; }
page_commands() {
  sed -n '/^\.SH COMMANDS/,/^\.SH [^C]/p' |
    awk -v words="${1:-1}" 'tag { gsub(/"/, ""); print (words == 1 ? $2 : $2 " " $3) } { tag = $1 == ".TP" }'
}
compare() {  # compare WHAT PAGE FROM_HELP FROM_PAGE
  local lacks names
  lacks=$(comm -23 <(sort -u <<<"$3") <(sort -u <<<"$4"))
  names=$(comm -13 <(sort -u <<<"$3") <(sort -u <<<"$4"))
  [ -z "$lacks" ] || fail "$2 lacks these $1 of --help:" $lacks
  [ -z "$names" ] || fail "$2 names $1 that --help does not list:" $names
  [ -n "$lacks$names" ] || passes=$((passes + 1))
}

help=$("$bin/qantires" --help)
compare options qantires.1 "$(help_options <<<"$help")" "$(page qantires.1 | long_options)"
compare "screen keys" qantires.1 "$(keys <<<"$help")" "$(page qantires.1 | keys)"
compare options kelprint.1 "$("$bin/kelprint" --help | help_options)" "$(page kelprint.1 | long_options)"

help=$("$bin/recutil" --help)
commands=$(help_commands <<<"$help")
compare commands recutil.1 "$commands" "$(page recutil.1 | page_commands)"
options=$(help_options <<<"$help")
for command in $commands; do
  help=$("$bin/recutil" "$command" --help)
  options+=$'\n'$(help_options <<<"$help")
  subcommands=$(help_commands <<<"$help")
  [ -n "$subcommands" ] || continue
  compare "commands of $command" recutil.1 "$(sed "s/^/$command /" <<<"$subcommands")" \
    "$(page recutil.1 | page_commands 2 | grep "^$command ")"
  for sub in $subcommands; do options+=$'\n'$("$bin/recutil" "$command" "$sub" --help | help_options); done
done
compare options recutil.1 "$options" "$(page recutil.1 | long_options)"

echo "manual pages: $passes passed, $failures failed"
[ "$failures" -eq 0 ]
