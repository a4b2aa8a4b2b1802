#!/usr/bin/env bash
# Tenants' data stays with the office: with the usual umask 022, nothing the
# programs create is open to other users of the machine (record files and
# their side files, folders, spool, PDF, text output, remittance, export),
# and a record file the office shared with its group keeps its mode and
# group when recutil replaces it.
#   private_files.sh BIN_DIR DEMO_SCRIPT
set -uo pipefail
bin=$(cd "$1" && pwd) make_installation=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
umask 022
root="$work/office"
"$make_installation" "$bin" "$root" --date 20261201 >/dev/null || { echo "FAIL: demo installation"; exit 1; }

. "$(dirname "$0")/checks.sh"
run() { env KELROOT="$root/" KELEXE="$bin/" KELTMP="$root/session/" "$bin/qantires" "$@"; }
printer() { env KELROOT="$root/" KELEXE="$bin/" KELTMP="$root/session/" "$bin/kelprint" "$@"; }

check "issue with a remittance" 0 "12 receipts issued" -- run --batch --remittance "$work/remesa.xml"
check "text output" 0 "" -- printer --text "$work/rebuts.txt"
check "export" 0 "written" -- "$bin/recutil" --db '' export "$root" "$work/export"

# An office that shares its record files with its group.
group=$(getent group users | cut -d: -f1)
dat="$root/DADES/DepartaV.dat"
chgrp "$group" "$dat" && chmod 0660 "$dat"
check "import over the shared files" 0 "DepartaV" -- \
  "$bin/recutil" --db '' import --replace "$root" "$work/export"
if [ "$(stat -c '%a %G' "$dat")" = "660 $group" ]; then
  passes=$((passes + 1))
else
  echo "FAIL: the replaced record file is $(stat -c '%a %G' "$dat"), not 660 $group"
  failures=$((failures + 1))
fi

open=$(find "$root" "$work/export" "$work/remesa.xml" "$work/rebuts.txt" -perm /o=rwx 2>&1)
for f in "$root/session/kelprint.tmp" "$root/session/rebuts.pdf" "$work/rebuts.txt" \
         "$work/remesa.xml" "$dat" "$dat-lock"; do
  [ -e "$f" ] || open+=$'\n'"missing: $f"
done
if [ -z "$open" ]; then
  passes=$((passes + 1))
else
  echo "FAIL: open to others or missing:"; echo "$open"; failures=$((failures + 1))
fi

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
