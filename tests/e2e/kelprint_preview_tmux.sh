#!/usr/bin/env bash
# The preview under tmux: qantires on a demo installation whose output
# device is the screen hands the terminal to KELPRINT, which shows the
# receipts page by page; paging, going to a page, scrolling across the
# boxed page, printing to a queue of a private CUPS scheduler and to a PDF
# file, and Escape back to the selection screen.
#   kelprint_preview_tmux.sh BIN_DIR DEMO_SCRIPT
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bin=$(cd "$1" && pwd) make_installation=$2
work=$(mktemp -d)
chmod 755 "$work"  # the scheduler's filters run as lp
server="qt-e2e-preview-$$"
tmux_() { tmux -L "$server" "$@"; }
. "$here/cups_fixture.sh"
trap 'tmux_ kill-server 2>/dev/null; stop_cupsd; rm -rf "$work"' EXIT
start_cupsd "$work/cups"
add_queue laser

root="$work/office" session="$work/office/session"
"$make_installation" "$bin" "$root" --date 20261201 >/dev/null || { echo "FAIL: demo installation"; exit 1; }
sed -i 's/^Sortida=.*/Sortida=PANTALLA\r/' "$session/ToraTerm.ini"
tmux_ -f /dev/null new-session -d -x 80 -y 25 \
  "cd '$root' && CUPS_SERVER='$CUPS_SERVER' KELROOT='$root/' KELEXE='$bin/' KELTMP='$session/' ESCDELAY=25 '$bin/qantires'; echo \$? > '$work/exit'; sleep 30"

. "$(dirname "$0")/tmux_screen.sh"

expect "EMISSIÓ DE REBUTS"
keys PageDown Enter
expect "Confirmeu l'emissió (S/N) :"
keys S Enter
expect "KELPRINT ═ PÀGINA 1 DE 12"
expect "║│ADMINISTRACIÓ DE FINQUES DEL TER" 3
expect "Esc:sortir"
keys PageDown
expect "PÀGINA 2 DE 12"
keys End
expect "PÀGINA 12 DE 12"
keys PageUp
expect "PÀGINA 11 DE 12"
keys Home
expect "PÀGINA 1 DE 12"
keys g
expect "ANAR A LA PÀGINA:"
keys 4 Enter
expect "PÀGINA 4 DE 12"
# Across the 95-column page: the corners point to what lies aside.
expect "╔═ KELPRINT" 1
keys Right Right
expect "║E FINQUES DEL TER" 3
expect "◄═ KELPRINT" 1
keys Down
expect "║E FINQUES DEL TER" 2
keys Left Left Up
expect "║│ADMINISTRACIÓ DE FINQUES DEL TER" 3

# Printing from the preview: the queue, then a PDF file.
keys p
expect "IMPRIMIR A"
expect "FITXER PDF"
expect " laser "
keys Enter
expect "12 PÀGINES A laser, TREBALL"
job=$(screen | sed -n 's/.*TREBALL \([0-9]*\).*/\1/p' | head -1)
wait_job laser "$job" || exit 1
pdfinfo "$cups_dir/out/laser" | grep -q "^Pages: *12$" || { echo "FAIL: the job lacks its 12 pages"; exit 1; }
keys Enter p Down Enter
expect "kelprint.pdf"
pdfinfo "$session/kelprint.pdf" | grep -q "^Pages: *12$" || { echo "FAIL: kelprint.pdf lacks its 12 pages"; exit 1; }
keys Enter Escape
expect "EMISSIÓ DE REBUTS"
keys Escape
sleep 0.3
keys Escape
for _ in $(seq 100); do [ -s "$work/exit" ] && break; sleep 0.1; done
[ "$(cat "$work/exit" 2>/dev/null)" = "0" ] || { echo "FAIL: exit code $(cat "$work/exit" 2>/dev/null)"; screen; exit 1; }
echo "preview under tmux: 1 passed, 0 failed"
