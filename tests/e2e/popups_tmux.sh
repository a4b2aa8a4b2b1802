#!/usr/bin/env bash
# The calendar and the calculator on the selection screen, in a real
# terminal: Alt+C on the issue date, a day later, F types that date into the
# field; Alt+X on the period field, 0.03 + 0.04, F types 7 there.  The
# operator stays on the field each time, confirms, and the cycle ends with
# its message: how many receipts, the total, and the PDF they went to.
#   popups_tmux.sh BIN_DIR DEMO_SCRIPT
set -euo pipefail
bin=$(cd "$1" && pwd) make_installation=$2
work=$(mktemp -d)
server="qt-e2e-pop-$$"
tmux_() { tmux -L "$server" "$@"; }
cleanup() { tmux_ kill-server 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
root="$work/office"
"$make_installation" "$bin" "$root" --date 20261201 >/dev/null
tmux_ -f /dev/null new-session -d -x 80 -y 25 \
  "cd '$root' && KELROOT='$root/' KELEXE='$bin/' KELTMP='$root/session/' ESCDELAY=25 '$bin/qantires'; echo \$? > '$work/exit'; sleep 30"

. "$(dirname "$0")/tmux_screen.sh"

expect "CONCEPTES A EMETRE :"
# The calendar opens on the working date's quarter; Right moves to the 2nd.
keys M-c
expect "DESEMBRE"
keys Right F
expect "Data d'emissió dels rebuts : 2/12/2026"
absent "Confirmeu"
# Still on the date field: Enter takes it and moves on to the unit range.
keys Enter Enter Enter Enter Enter
# The period field: cleared, then the calculator's sum typed into it.
keys C-y M-x
expect "└────────────────────────┘"
keys 0 . 0 3 + 0 . 0 4 Enter F
absent "Confirmeu"
keys Up
expect "Període ..................:   7"
keys PageDown Enter
expect "Confirmeu l'emissió (S/N) :"
keys S Enter
expect "12 REBUTS EMESOS, TOTAL 12.744,02 EUR. 12 PÀGINES A"
expect "$(basename "$root")/session/rebuts.pdf"
grep -qa "2/12/2026" "$root/session/kelprint.tmp" || { echo "FAIL: the spool lacks the date"; exit 1; }
# A key closes the message; Escape on the first field leaves.
keys Enter
sleep 0.3
keys Escape
for _ in $(seq 100); do [ -s "$work/exit" ] && break; sleep 0.1; done
[ "$(cat "$work/exit" 2>/dev/null)" = "0" ] || { echo "FAIL: exit code $(cat "$work/exit" 2>/dev/null)"; screen; exit 1; }
echo "pop-ups under tmux: 1 passed, 0 failed"
