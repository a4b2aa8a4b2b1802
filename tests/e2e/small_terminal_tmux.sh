#!/usr/bin/env bash
# A terminal of 80 x 24, the size most terminals open at: the program shows
# its notice of how to get 25 rows, and Escape, or Ctrl-C, leaves the
# program from it as Escape on the selection screen does: exit code 0 and
# the terminal given back (normal screen, line editing and echo again).
#   small_terminal_tmux.sh BIN_DIR DEMO_SCRIPT
set -euo pipefail
bin=$(cd "$1" && pwd) make_installation=$2
work=$(mktemp -d)
server="qt-e2e-small-$$"
tmux_() { tmux -L "$server" "$@"; }
cleanup() { tmux_ kill-server 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
root="$work/office"
"$make_installation" "$bin" "$root" --date 20261201 >/dev/null
run="cd '$root' && KELROOT='$root/' KELEXE='$bin/' KELTMP='$root/session/' ESCDELAY=25 '$bin/qantires'"
tmux_ -f /dev/null new-session -d -x 80 -y 24 \
  "$run; echo \$? >'$work/exit1'; stty -a >'$work/stty1'; read _; $run; echo \$? >'$work/exit2'; sleep 30"

. "$(dirname "$0")/tmux_screen.sh"

left() {  # left N: run N ended with 0 and gave the terminal back
  for _ in $(seq 100); do [ -s "$work/exit$1" ] && break; sleep 0.1; done
  [ "$(cat "$work/exit$1" 2>/dev/null)" = "0" ] ||
    { echo "FAIL: run $1: exit code $(cat "$work/exit$1" 2>/dev/null)"; screen; exit 1; }
  for _ in $(seq 20); do [ "$(tmux_ display -p '#{alternate_on}')" = 0 ] && return 0; sleep 0.1; done
  echo "FAIL: run $1: still on the alternate screen"; exit 1
}

expect "El terminal fa 80 x 24"
expect "Amplieu la finestra fins a 25 files"
expect "Esc per sortir"
keys Escape
left 1
for _ in $(seq 100); do [ -s "$work/stty1" ] && break; sleep 0.1; done
grep -qE '(^| )icanon' "$work/stty1" && grep -qE '(^| )echo( |$)' "$work/stty1" ||
  { echo "FAIL: the terminal was not given back: $(cat "$work/stty1")"; exit 1; }
keys Enter
expect "El terminal fa 80 x 24"
keys C-c
left 2
echo "small terminal under tmux: 1 passed, 0 failed"
