#!/usr/bin/env bash
# Moving an office in, as doc/manual.md tells it, on the demo office: its
# record files saved in the sequential format (recutil export stands in for
# the old record manager's save utility), the folder copied without them
# and with a file of the old record manager in DADES, which the program
# refuses with the conversion message; then recutil import, and the batch
# run's spool must be byte-identical to the original office's.
#   move_in.sh BIN_DIR DEMO_SCRIPT
set -uo pipefail
bin=$(cd "$1" && pwd) make_installation=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
old="$work/old" new="$work/new" move="$work/move"
"$make_installation" "$bin" "$old" --date 20261201 >/dev/null || { echo "FAIL: demo installation"; exit 1; }

. "$(dirname "$0")/checks.sh"
run() { env KELROOT="$1/" KELEXE="$bin/" KELTMP="$1/session/" "$bin/qantires" --batch --no-print; }

check "the old office" 0 "12 receipts issued, total 12.744,02 EUR" -- run "$old"
check "saved" 0 "PropietV        4  written" -- "$bin/recutil" export "$old" "$move"

cp -r "$old" "$new"
# An office coming from the old program has no register (its saved files
# have none either).
rm -f "$new"/DADES/* "$new"/session/kelprint.tmp "$new"/REGISTRE.DB* "$move/REGISTRE.txt"
printf 'FC\0\0\1\2 a page of the old record manager' >"$new/DADES/PropietV.dat"
check "a file of the old record manager" 1 \
  "CAL CONVERTIR EL FITXER $new/DADES/PropietV AMB recutil import (30)" -- run "$new"
check "recutil names the conversion" 1 "convert it with recutil import" -- \
  "$bin/recutil" stat "$new/DADES/PropietV.dat"

"$bin/recutil" import "$new" "$move" >"$work/table" 2>&1
table() { cat "$work/table"; return "$1"; }
check "the old record manager's file moved aside" 0 \
  "PropietV        4  loaded; the old file is now PropietV.dat.old" -- table $?
# The refused start created the files it opened before PropietV, empty;
# the import puts the saved records in their place.
check "files opened before the refusal" 0 "TVRebut        14  loaded; it replaces an empty file" -- \
  table 0
check "the moved office" 0 "12 receipts issued, total 12.744,02 EUR" -- run "$new"
if cmp -s "$old/session/kelprint.tmp" "$new/session/kelprint.tmp"; then
  passes=$((passes + 1))
else
  echo "FAIL: the moved office's spool differs from the old office's"; failures=$((failures + 1))
fi

echo "moving in: $passes passed, $failures failed"
[ "$failures" -eq 0 ]
