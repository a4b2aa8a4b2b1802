#!/usr/bin/env bash
# The programs' command lines keep their word: a mistake in the options
# exits with 2 and says what is wrong; paths in messages are the ones
# opened, in this machine's form; a missing installation names the
# variables that locate one; the demo writer keeps a folder that holds
# files unless told to replace it.
#   command_line.sh BIN_DIR DEMO_SCRIPT
set -uo pipefail
bin=$(cd "$1" && pwd) make_installation=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root="$work/office"
"$make_installation" "$bin" "$root" --date 20261201 >/dev/null || { echo "FAIL: demo installation"; exit 1; }

. "$(dirname "$0")/checks.sh"
run() { env KELROOT="$root/" KELEXE="$bin/" KELTMP="$root/session/" "$bin/qantires" "$@"; }

check "qantires: unknown option" 2 "not expected: --bogus" -- run --bogus
check "kelprint: unknown option" 2 "not expected: --bogus" -- "$bin/kelprint" --bogus
check "recutil: unknown command" 2 "the commands are: dictionary create load save stat" -- \
  "$bin/recutil" frob
check "recutil: unknown command named" 2 "unknown command frob" -- "$bin/recutil" frob
check "recutil: no command" 2 "the commands are: dictionary" -- "$bin/recutil"
check "help" 0 "--batch" -- run --help
check "codes backwards" 2 "EL PRIMER CODI DE COBRAMENT ÉS POSTERIOR A L'ÚLTIM" -- \
  run --batch --codes B:9-1 --no-print
check "units backwards" 2 "EL PRIMER DEPARTAMENT ÉS POSTERIOR A L'ÚLTIM" -- \
  run --batch --from 5 --to 2 --no-print
check "empty forms" 2 "--forms: an empty value" -- run --batch --forms '' --no-print
check "empty date" 2 "--date: an empty value" -- run --batch --date '' --no-print
check "spool path as opened" 1 "/nonexistent/kelprint.tmp" -- \
  env KELTMP=/nonexistent/ "$bin/kelprint"
check "form file path as opened" 1 "cannot read the screen-form file $work/none/FORMS/QANTIRES.QFM" -- \
  env KELROOT="$work/none/" "$bin/qantires" --batch
check "no installation named" 1 "KELROOT is not set (an installation is located by KELROOT" -- \
  env -u KELROOT -C "$work" "$bin/qantires" --batch

echo "the office's own" >"$root/notes.txt"
check "make-installation keeps a folder with files" 1 \
  "$root exists and is not empty; give --replace to replace it" -- "$make_installation" "$bin" "$root"
[ -f "$root/notes.txt" ] && [ -f "$root/Tora.ini" ] || { echo "FAIL: the folder's files are gone"; failures=$((failures + 1)); }
check "make-installation --replace" 0 "demo installation ready" -- \
  "$make_installation" "$bin" "$root" --replace --date 20261201
[ ! -e "$root/notes.txt" ] || { echo "FAIL: --replace kept the old files"; failures=$((failures + 1)); }

echo "command line: $passes passed, $failures failed"
[ "$failures" -eq 0 ]
