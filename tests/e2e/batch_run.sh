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
check "remittance" 0 "REMESA ESCRITA: 2 REBUTS" -- \
  run "$bin/" --batch --no-print --remittance "$work/remesa.xml"
if [ "$(grep -c '<DrctDbtTxInf>' "$work/remesa.xml" 2>/dev/null)" = 2 ] &&
   grep -q '<CtrlSum>1000.00</CtrlSum>' "$work/remesa.xml" && ! [ -e "$work/remesa.xml.tmp" ]; then
  passes=$((passes + 1))
else
  echo "FAIL: the remittance file does not hold the 2 good debits"; failures=$((failures + 1))
fi
check "remittance, collection date passed" 0 "0006.0002 (DATA DE COBRAMENT PASSADA)" -- \
  run "$bin/" --batch --no-print --remittance "$work/late.xml" --collection-date 30/11/2026
check "remittance that cannot be written" 4 "NO ES POT ESCRIURE LA REMESA" -- \
  run "$bin/" --batch --no-print --remittance "$work/no/such/folder/r.xml"
check "remittance, bad collection date" 2 "not a valid collection date" -- \
  run "$bin/" --batch --remittance "$work/bad.xml" --collection-date 31/11/2026
check "bad forms" 2 "forms are letters of ABF" -- run "$bin/" --batch --forms XYZ
check "first unit after the last" 2 "POSTERIOR" -- run "$bin/" --batch --from 5 --to 2
check "options need --batch" 2 "only goes with --batch" -- run "$bin/" --forms A
check "no print program" 3 "KELPRINT" -- run "$work/empty/" --batch
rm "$root/DADES/CobramV.dat" "$root/ddf/CobramV.xdf"
check "missing record file" 1 "NO ES POT ACCEDIR AL FITXER $root/DADES\CobramV (12)" -- \
  run "$bin/" --batch

echo "batch run: $passes passed, $failures failed"
[ "$failures" -eq 0 ]
