# Shared by the tmux scripts (sourced, after they define tmux_ for their own
# server): read the screen, wait for a text on it, check a text is absent,
# type keys.
screen() { tmux_ capture-pane -p; }
# Waits (at most 10 s) until the screen shows the text, on row ROW if given.
expect() {  # expect TEXT [ROW]
  for _ in $(seq 100); do
    if [ -n "${2:-}" ]; then screen | sed -n "$2p" | grep -qF -- "$1" && return 0
    elif screen | grep -qF -- "$1"; then return 0; fi
    sleep 0.1
  done
  echo "FAIL: the screen does not show: $1 ${2:+on row $2}"; screen; exit 1
}
absent() {
  if screen | grep -qF -- "$1"; then echo "FAIL: the screen shows: $1"; screen; exit 1; fi
}
keys() { for k in "$@"; do tmux_ send-keys "$k"; sleep 0.1; done; }
