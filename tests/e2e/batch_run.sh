#!/usr/bin/env bash
# qantires --batch on a generated demo installation, as a scheduled run
# would use it: the summary line, the PDF from KELPRINT, the exit codes of
# bad options, of a missing print program and of a missing record file.
#   batch_run.sh BIN_DIR DEMO_SCRIPT
set -uo pipefail
bin=$(cd "$1" && pwd) make_installation=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root="$work/office"
"$make_installation" "$bin" "$root" --date 20261201 >/dev/null || { echo "FAIL: demo installation"; exit 1; }

failures=0 passes=0
check() {  # check NAME EXPECTED_CODE EXPECTED_TEXT -- command...
  local name=$1 code=$2 text=$3; shift 4
  local out rc
  out=$("$@" 2>&1); rc=$?
  if [ "$rc" -ne "$code" ] || ! grep -qF -- "$text" <<<"$out"; then
    echo "FAIL: $name (exit $rc, wanted $code, looking for: $text)"; echo "$out"
    failures=$((failures + 1))
  else
    passes=$((passes + 1))
  fi
}
run() { env KELROOT="$root/" KELEXE="$1" KELTMP="$root/session/" "$bin/qantires" "${@:2}"; }

check "whole office" 0 "9 receipts issued, total 11.264,02 EUR" -- run "$bin/" --batch
if [ -s "$root/session/rebuts.pdf" ] && head -c 5 "$root/session/rebuts.pdf" | grep -q '%PDF-'; then
  passes=$((passes + 1))
else
  echo "FAIL: KELPRINT wrote no PDF"; failures=$((failures + 1))
fi
check "bank receipts only" 0 "6 receipts issued" -- run "$bin/" --batch --forms B --no-print
check "one property" 0 "4 receipts issued" -- run "$bin/" --batch --from 1 --to 1 --no-print
check "rent only, in March" 0 "7 receipts issued, total 8.376,00 EUR" -- \
  run "$bin/" --batch --date 1/3/2027 --concepts 1 --no-print
check "bad forms" 2 "forms are letters of ABF" -- run "$bin/" --batch --forms XYZ
check "first unit after the last" 2 "POSTERIOR" -- run "$bin/" --batch --from 5 --to 2
check "options need --batch" 2 "only goes with --batch" -- run "$bin/" --forms A
check "no print program" 3 "KELPRINT" -- run "$work/empty/" --batch
# A print program that fails: exit 3 with its reason, and the spool stays.
mkdir -p "$work/failing" "$work/path"
printf '#!/bin/sh\necho "kelprint: cannot create /full/rebuts.pdf" >&2\nexit 1\n' >"$work/failing/kelprint"
chmod +x "$work/failing/kelprint"
rm -f "$root/session/kelprint.tmp"
check "failing print program" 3 "HA FALLAT (1): kelprint: cannot create /full/rebuts.pdf" -- \
  run "$work/failing/" --batch
[ -s "$root/session/kelprint.tmp" ] && passes=$((passes + 1)) ||
  { echo "FAIL: the spool of a failed print is gone"; failures=$((failures + 1)); }
# Without KELEXE the print program beside qantires runs, never one in PATH.
printf '#!/bin/sh\ntouch "%s/path/ran"\n' "$work" >"$work/path/KELPRINT"
cp "$work/path/KELPRINT" "$work/path/kelprint"
chmod +x "$work/path/KELPRINT" "$work/path/kelprint"
check "print program beside qantires" 0 "written to $root/session/rebuts.pdf" -- \
  env -u KELEXE PATH="$work/path:$PATH" KELROOT="$root/" KELTMP="$root/session/" \
  "$bin/qantires" --batch
[ ! -e "$work/path/ran" ] && passes=$((passes + 1)) ||
  { echo "FAIL: a print program from PATH ran"; failures=$((failures + 1)); }
rm "$root/DADES/CobramV.dat" "$root/ddf/CobramV.xdf"
check "missing record file" 1 "NO ES POT ACCEDIR AL FITXER $root/DADES\CobramV (12)" -- \
  run "$bin/" --batch

echo "batch run: $passes passed, $failures failed"
[ "$failures" -eq 0 ]
