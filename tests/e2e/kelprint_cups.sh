#!/usr/bin/env bash
# KELPRINT against a private CUPS scheduler: PDF jobs with their pages and
# columns, raw jobs byte for byte, the Windows device names, files, and the
# bad cases with their messages and exit codes.
#   kelprint_cups.sh BIN_DIR DEMO_SCRIPT
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bin=$(cd "$1" && pwd) make_installation=$2
work=$(mktemp -d)
chmod 755 "$work"  # the scheduler's filters run as lp
. "$here/cups_fixture.sh"
trap 'stop_cupsd; rm -rf "$work"' EXIT
start_cupsd "$work/cups"
add_queue laser
add_queue matricial
out=$cups_dir/out

root="$work/office" session="$work/office/session"
"$make_installation" "$bin" "$root" --date 20261201 >/dev/null || { echo "FAIL: demo installation"; exit 1; }
export KELROOT="$root/" KELEXE="$bin/" KELTMP="$session/"
env KELTMP="$session/" "$bin/qantires" --batch --no-print >/dev/null || { echo "FAIL: batch run"; exit 1; }
cp "$session/kelprint.tmp" "$work/receipts.tmp"

failures=0 passes=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { passes=$((passes + 1)); }
check() {  # check NAME EXPECTED_CODE EXPECTED_TEXT -- command...
  local name=$1 code=$2 text=$3; shift 4
  output=$("$@" 2>&1); local rc=$?
  if [ "$rc" -ne "$code" ] || ! grep -qF -- "$text" <<<"$output"; then
    fail "$name (exit $rc, wanted $code, looking for: $text)"; echo "$output"
  else
    pass
  fi
}
# The receipts' spool with another device line.
receipts_to() { { printf 'DEVICE%s\r\n' "$1"; tail -n +2 "$work/receipts.tmp"; } >"$session/kelprint.tmp"; }
job_of() { sed -n 's/.*TREBALL \([0-9]*\).*/\1/p' <<<"$output"; }

# PDF to a named queue: twelve receipts, twelve pages, the box at its columns,
# the run named in the job's title.
receipts_to laser
check "PDF job" 0 "12 PÀGINES A laser, TREBALL" -- "$bin/kelprint"
if wait_job laser "$(job_of)"; then
  pages=$(pdfinfo "$out/laser" 2>/dev/null | sed -n 's/^Pages: *//p')
  [ "$pages" = 12 ] && pass || fail "PDF job has ${pages:-no} pages"
  first=$(pdftotext -layout -f 1 -l 1 "$out/laser" - | grep -m1 '┌')
  [ "${first:0:1}" = "┌" ] && [ "${first:94:1}" = "┐" ] && pass ||
    fail "the box does not run from column 1 to 95: $first"
  grep -aqE "QANTIRES [0-9]{2}/[0-9]{2}/[0-9]{4}: 12 REBUTS" "$cups_dir"/spool/c* && pass ||
    fail "no job titled with the date and the receipts"
fi

# The default destination, and a Windows name without a mapping.
lpadmin -d laser
for device in "" "LPT2" "\\\\server\\queue"; do
  receipts_to "$device"
  check "default destination for '$device'" 0 "TREBALL" -- "$bin/kelprint"
  wait_job laser "$(job_of)" && pass
done

# Raw: each printer command sends the bytes of the printer's table in
# Tora.ini [Impressores], a command without a translation nothing, and every
# page, the last one included, ends with a form feed.
printf '[Impressores]\r\n' >>"$root/Tora.ini"
for printer in matricial "$work/port.bin" "$work/receipts.bin"; do
  printf '%s.@e=1B 40 1B 78 01\r\n%s.@b=1b 45\r\n' "$printer" "$printer" >>"$root/Tora.ini"
done
spool=$'DEVICEraw:matricial\r\nPAGE 24 \r\n*@e\r\nJUSE\r\n 3 ,MAR\x80 1.234,56, 1 \r\n'
spool+=$' 0 ,, 1 \r\n*@b\r\n 1 ,\xC9\xCD\xBB, 1 \r\n*@z\r\nPAGE 24 \r\n*@e\r\n 5 ,B, 1 \r\nEND\r\n'
printf '%s' "$spool" >"$session/kelprint.tmp"
printf '\e@\ex\x01  MAR\x80 1.234,56\r\n\r\n\eE\xC9\xCD\xBB\r\n\f\e@\ex\x01    B\r\n\f' >"$work/raw.expected"
check "raw job" 0 "2 PÀGINES A matricial, TREBALL" -- "$bin/kelprint"
wait_job matricial "$(job_of)" && { cmp -s "$out/matricial" "$work/raw.expected" && pass ||
  fail "raw job bytes differ: $(od -c "$out/matricial" | head -5)"; }
printf '%s' "${spool/raw:matricial/raw:$work/port.bin}" >"$session/kelprint.tmp"
check "raw to a path" 0 "2 PÀGINES A $work/port.bin" -- "$bin/kelprint"
cmp -s "$work/port.bin" "$work/raw.expected" && pass || fail "raw path bytes differ"
# The receipts: each starts with the printer's reset, the box's top line at
# column 1, and the last one leaves the printer.
receipts_to "raw:$work/receipts.bin"
check "receipts raw" 0 "12 PÀGINES A $work/receipts.bin" -- "$bin/kelprint"
[ "$(head -c 6 "$work/receipts.bin" | od -An -tx1 | tr -d ' ')" = 1b401b7801da ] && pass ||
  fail "the receipts do not start with the printer's reset: $(head -c 8 "$work/receipts.bin" | od -c)"
[ "$(tail -c 1 "$work/receipts.bin" | od -An -tx1 | tr -d ' ')" = 0c ] && pass ||
  fail "the last receipt does not end with a form feed"
[ "$(tr -cd '\f' <"$work/receipts.bin" | wc -c)" = 12 ] && pass || fail "not one form feed a page"
grep -qa '@e' "$work/receipts.bin" && fail "a printer command printed as text" || pass

# A Windows name mapped in Tora.ini.
printf 'LPT1=raw:matricial\r\n' >>"$root/Tora.ini"
printf '%s' "${spool/raw:matricial/LPT1}" >"$session/kelprint.tmp"
check "LPT1 mapped" 0 "A matricial, TREBALL" -- "$bin/kelprint"
wait_job matricial "$(job_of)" && { cmp -s "$out/matricial" "$work/raw.expected" && pass ||
  fail "mapped raw job bytes differ"; }

# Bad cases: the message names the destination or line, the exit code says
# what failed, and the spool stays for another try.
receipts_to nosuch
check "unknown destination" 3 "IMPRESSORA DESCONEGUDA: nosuch" -- "$bin/kelprint"
receipts_to laser
check "no scheduler" 3 "laser: EL SERVEI D'IMPRESSIÓ (CUPS) NO RESPON" -- \
  env CUPS_SERVER="$work/none.sock" "$bin/kelprint"
receipts_to LPT3
check "no scheduler for the default destination" 3 \
  "IMPRESSORA PER DEFECTE (LPT3): EL SERVEI D'IMPRESSIÓ (CUPS) NO RESPON" -- \
  env CUPS_SERVER="$work/none.sock" "$bin/kelprint"
cupsreject laser
receipts_to laser
check "job refused" 3 "LA IMPRESSORA laser NO ACCEPTA EL TREBALL" -- "$bin/kelprint"
cupsaccept laser
receipts_to "$work/no/such/folder/r.pdf"
check "PDF cannot be written" 4 "NO ES POT ESCRIURE $work/no/such/folder/r.pdf" -- "$bin/kelprint"
printf 'DEVICErebuts.pdf\r\nPAGE 66 \r\n 1 ,a, 1 \r\nwhat is this\r\n' >"$session/kelprint.tmp"
check "line that is no record" 1 "LÍNIA 4 DEL FITXER D'IMPRESSIÓ NO ENTESA: what is this" -- "$bin/kelprint"
[ -f "$session/kelprint.tmp" ] && [ ! -e "$session/rebuts.pdf" ] && pass || fail "spool gone or PDF written"
sed -i 's/^Idioma=.*/Idioma=SPA\r/' "$session/ToraTerm.ini"
receipts_to nosuch
check "in the session language" 3 "IMPRESORA DESCONOCIDA: nosuch" -- "$bin/kelprint"

receipts_to PANTALLA
check "preview without a terminal" 4 "LA VISTA PREVIA NECESITA UN TERMINAL" -- "$bin/kelprint" </dev/null

# Files: complete under their final name; a spool without pages replaces
# nothing.
receipts_to rebuts.pdf
check "PDF file" 0 "rebuts.pdf" -- "$bin/kelprint"
pdfinfo "$session/rebuts.pdf" | grep -q "^Pages: *12$" && pass || fail "rebuts.pdf lacks its 12 pages"
before=$(md5sum <"$session/rebuts.pdf")
printf 'DEVICErebuts.pdf\r\nEND\r\n' >"$session/kelprint.tmp"
check "spool without pages" 0 "NADA QUE IMPRIMIR" -- "$bin/kelprint"
[ "$(md5sum <"$session/rebuts.pdf")" = "$before" ] && pass || fail "an empty spool replaced rebuts.pdf"
head -c 2000 "$work/receipts.tmp" >"$session/kelprint.tmp"
check "spool cut short" 1 "INCOMPLETO: NO SE IMPRIME" -- "$bin/kelprint"
[ "$(md5sum <"$session/rebuts.pdf")" = "$before" ] && pass || fail "a cut spool replaced rebuts.pdf"
[ -z "$(ls -A "$session" | grep '\.new[0-9]')" ] && pass || fail "temporary files left behind"

echo "kelprint and CUPS: $passes passed, $failures failed"
[ "$failures" -eq 0 ]
