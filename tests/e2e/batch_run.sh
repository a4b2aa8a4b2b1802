#!/usr/bin/env bash
# qantires --batch on a generated demo installation, as a scheduled run
# would use it: the summary line, the PDF from KELPRINT, the exit codes of
# bad options, of a missing print program and of a missing record file, of
# settings that cannot be right and of a record file held by another process,
# and of a remittance that was not written.
#   batch_run.sh BIN_DIR DEMO_SCRIPT
set -uo pipefail
bin=$(cd "$1" && pwd) make_installation=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root="$work/office"
"$make_installation" "$bin" "$root" --date 20261201 >/dev/null || { echo "FAIL: demo installation"; exit 1; }

. "$(dirname "$0")/checks.sh"
run() { env KELROOT="$root/" KELEXE="$1" KELTMP="$root/session/" "$bin/qantires" "${@:2}"; }

check "whole office" 0 "12 receipts issued, total 12.744,02 EUR" -- run "$bin/" --batch
if [ -s "$root/session/rebuts.pdf" ] && head -c 5 "$root/session/rebuts.pdf" | grep -q '%PDF-'; then
  passes=$((passes + 1))
else
  echo "FAIL: KELPRINT wrote no PDF"; failures=$((failures + 1))
fi
check "bank receipts only" 0 "9 receipts issued" -- run "$bin/" --batch --forms B --no-print
check "one property" 0 "4 receipts issued" -- run "$bin/" --batch --from 1 --to 1 --no-print
check "rent only, in March" 0 "10 receipts issued, total 9.831,00 EUR" -- \
  run "$bin/" --batch --date 1/3/2027 --concepts 1 --no-print
# A remittance that was not written holds nothing in the register: its
# receipts go into the next one.
check "remittance that cannot be written" 4 "NO ES POT ESCRIURE LA REMESA" -- \
  run "$bin/" --batch --no-print --remittance "$work/no/such/folder/r.xml"
check "remittance" 0 "REMESA ESCRITA: 2 REBUTS" -- \
  run "$bin/" --batch --no-print --remittance "$work/remesa.xml"
if [ "$(grep -c '<DrctDbtTxInf>' "$work/remesa.xml" 2>/dev/null)" = 2 ] &&
   grep -q '<CtrlSum>1000.00</CtrlSum>' "$work/remesa.xml" && ! [ -e "$work/remesa.xml.tmp" ]; then
  passes=$((passes + 1))
else
  echo "FAIL: the remittance file does not hold the 2 good debits"; failures=$((failures + 1))
fi
check "remittance without a valid debit, last file kept" 4 \
  "NO S'HA ESCRIT $work/remesa.xml (EL FITXER QUE HI HA ÉS D'UNA REMESA ANTERIOR)" -- \
  run "$bin/" --batch --no-print --remittance "$work/remesa.xml" --forms B --from 1.1 --to 1.2
check "remittance, collection date passed" 2 \
  "the collection date 2026-11-30 is before the next working day, 2026-12-02" -- \
  run "$bin/" --batch --no-print --remittance "$work/late.xml" --collection-date 30/11/2026
check "remittance, bad collection date" 2 "not a valid collection date" -- \
  run "$bin/" --batch --remittance "$work/bad.xml" --collection-date 31/11/2026
check "bad forms" 2 "forms are letters of ABF" -- run "$bin/" --batch --forms XYZ
check "first unit after the last" 2 "POSTERIOR" -- run "$bin/" --batch --from 5 --to 2
check "options need --batch" 2 "only goes with --batch" -- run "$bin/" --forms A
check "no print program" 3 "KELPRINT" -- run "$work/empty/" --batch

# Values that cannot be right are refused, not printed.
term="$root/session/ToraTerm.ini"
cp "$term" "$work/ToraTerm.ini"
sed -i 's/^Data=.*/Data=20260230/' "$term"
check "working date that is no day" 2 "[Sistema] Data=20260230 is not a date" -- \
  run "$bin/" --batch --no-print
check "a given date stands in for it" 0 "12 receipts issued" -- \
  run "$bin/" --batch --no-print --date 1/12/2026
rm "$term"
check "no terminal file" 2 "there is no" -- run "$bin/" --batch --no-print
cp "$work/ToraTerm.ini" "$term"
check "no session folder" 2 "KELTMP is not set" -- \
  env KELROOT="$root/" KELEXE="$bin/" "$bin/qantires" --batch --no-print
mv "$root/Tora.ini" "$work/Tora.ini"
check "no installation settings" 1 "NO ES POT LLEGIR EL FITXER $root/Tora.ini" -- \
  run "$bin/" --batch --no-print
sed 's/^Vivendes=10/Vivendes=-99999999999/' "$work/Tora.ini" >"$root/Tora.ini"
check "VAT rate out of range" 1 "[Iva1] Vivendes=-99999999999" -- run "$bin/" --batch --no-print
mv "$work/Tora.ini" "$root/Tora.ini"

# A record file held by another process: one message, then exit 1.
"$bin/recutil" lock --exclusive --seconds 60 "$root/DADES/PropietV.dat" >"$work/lock.out" &
holder=$!
for _ in $(seq 100); do grep -q locked "$work/lock.out" && break; sleep 0.1; done
check "held record file" 1 "FITXER BLOQUEJAT" -- run "$bin/" --batch --no-print --lock-wait 0
out=$(run "$bin/" --batch --no-print --lock-wait 0 2>&1)
if [ "$(grep -c "FITXER BLOQUEJAT" <<<"$out")" -eq 1 ]; then
  passes=$((passes + 1))
else
  echo "FAIL: the waiting message once"; echo "$out"; failures=$((failures + 1))
fi
kill "$holder"; wait "$holder" 2>/dev/null

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
check "print program beside qantires" 0 "PÀGINES A $root/session/rebuts.pdf" -- \
  env -u KELEXE PATH="$work/path:$PATH" KELROOT="$root/" KELTMP="$root/session/" \
  "$bin/qantires" --batch
[ ! -e "$work/path/ran" ] && passes=$((passes + 1)) ||
  { echo "FAIL: a print program from PATH ran"; failures=$((failures + 1)); }
# The register: December again prints copies, and the same month with
# other concepts refuses the receipts whose amounts changed (exit 5).
check "a month issued again" 0 "register: 0 new, 12 copies, 0 refused" -- \
  run "$bin/" --batch --no-print
check "a month issued again with other amounts" 5 "AMB EL NÚMERO" -- \
  run "$bin/" --batch --no-print --concepts 1

rm "$root/DADES/CobramV.dat" "$root/ddf/CobramV.xdf"
check "missing record file" 1 "NO ES POT ACCEDIR AL FITXER $root/DADES/CobramV (12)" -- \
  run "$bin/" --batch

echo "batch run: $passes passed, $failures failed"
[ "$failures" -eq 0 ]
