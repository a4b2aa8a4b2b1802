#!/usr/bin/env bash
# The terminal layer, key reader and field editor in a real terminal: runs
# fieldprobe in a detached tmux session of 80 x 25, types keys with
# send-keys and reads the screen with capture-pane.
#   field_editor_tmux.sh PATH_TO_FIELDPROBE
set -euo pipefail
probe=$1
server="qt-e2e-$$"
export TMPDIR=$(mktemp -d)
tmux_() { tmux -L "$server" "$@"; }
cleanup() { tmux_ kill-server 2>/dev/null || true; rm -rf "$TMPDIR"; }
trap cleanup EXIT
tmux_ -f /dev/null new-session -d -x 80 -y 25 "ESCDELAY=25 $probe"

. "$(dirname "$0")/tmux_screen.sh"

expect "fieldprobe: Escape twice ends  ┌─┐ Ççñ"
# Overwrite mode: typing, cursor moves, Home and End.
keys a b c Left Left X Home 1 End 2 Enter
expect "key 000d value [1Xc2                ] position 5 insert 0"
# Insert toggles insert mode; Delete and Backspace.
keys Insert Home Z Delete BSpace Enter
expect "key 000d value [Xc2                 ] position 1 insert 1"
# Words: Ctrl+Right jumps over a word.
keys Home Space o n e Space C-Right Enter
expect "value [ one Xc2            ]"
# Function keys with modifiers and Alt+letters end the field with their codes.
keys F1
expect "key 3b00"
keys S-F1
expect "key 5400"
keys C-F2
expect "key 5f00"
keys M-x
expect "key 2d00"
keys F12
expect "key 8600"
# An accented letter typed as UTF-8 arrives as its code page 850 byte.
keys Home é Enter
expect "value [é one Xc2"
# Escape twice ends the program and gives the terminal back.
keys Escape
sleep 0.2
keys Escape
for _ in $(seq 50); do
  tmux_ has-session 2>/dev/null || break
  if ! tmux_ list-panes -F '#{pane_dead}' 2>/dev/null | grep -q 0; then break; fi
  sleep 0.1
done
echo "field editor under tmux: 1 passed, 0 failed"
