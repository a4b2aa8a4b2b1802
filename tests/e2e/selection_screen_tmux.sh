#!/usr/bin/env bash
# The interactive program in a real terminal: qantires on a demo
# installation under tmux.  The operator types an issue date, goes to the
# last field, confirms, the print program writes the PDF, a message says
# what the cycle issued, the selection screen comes back with the choices
# kept, and Escape ends the program with exit code 0 and the terminal given
# back.
#   selection_screen_tmux.sh BIN_DIR DEMO_SCRIPT
set -euo pipefail
bin=$(cd "$1" && pwd) make_installation=$2
work=$(mktemp -d)
server="qt-e2e-sel-$$"
tmux_() { tmux -L "$server" "$@"; }
cleanup() { tmux_ kill-server 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
root="$work/office"
"$make_installation" "$bin" "$root" --date 20261201 >/dev/null
tmux_ -f /dev/null new-session -d -x 80 -y 25 \
  "cd '$root' && KELROOT='$root/' KELEXE='$bin/' KELTMP='$root/session/' ESCDELAY=25 '$bin/qantires'; echo \$? > '$work/exit'; sleep 30"

. "$(dirname "$0")/tmux_screen.sh"

expect "EMISSIÓ DE REBUTS"
expect "CONCEPTES A EMETRE :"
expect "01 - Lloguer"
# Too small a terminal: a notice in the session language, wrapped at
# spaces, and no key acts on the hidden screen until it fits again.
tmux_ resize-window -x 30 -y 10
expect "El terminal fa 30 x 10; aquest"
expect "mínim 80 columnes x 25 files."
keys PageDown Enter
sleep 0.3
tmux_ resize-window -x 80 -y 25
expect "EMISSIÓ DE REBUTS"
absent "Confirmeu"
# A new issue date puts its month into the period field.
keys "1/3/2027" Enter
expect "Període ..................:   3"
expect "1/3/2027"
# The last field, then confirmation.
keys PageDown Enter
expect "Confirmeu l'emissió (S/N) :"
keys S Enter
for _ in $(seq 100); do [ -s "$root/session/rebuts.pdf" ] && break; sleep 0.1; done
[ -s "$root/session/rebuts.pdf" ] || { echo "FAIL: no PDF from KELPRINT"; exit 1; }
grep -qa "1/3/2027" "$root/session/kelprint.tmp" || { echo "FAIL: the spool lacks the date"; exit 1; }
expect "REBUTS EMESOS, TOTAL"
expect "EMISSIÓ DE REBUTS"
expect "1/3/2027"
# A key closes the message; Escape on the first field leaves.
keys Escape
sleep 0.3
keys Escape
for _ in $(seq 100); do [ -s "$work/exit" ] && break; sleep 0.1; done
[ "$(cat "$work/exit" 2>/dev/null)" = "0" ] || { echo "FAIL: exit code $(cat "$work/exit" 2>/dev/null)"; screen; exit 1; }
echo "selection screen under tmux: 1 passed, 0 failed"
