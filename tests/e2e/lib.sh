# Shared helpers of the end-to-end tests (sourced, bash).
# Each test gets its own Xvfb on a free display and its own scratch folder;
# both go away when the test's shell exits.
set -euo pipefail

E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
SCRATCH=$(mktemp -d)
export HOME="$SCRATCH/home"
mkdir -p "$HOME"
export XDG_RUNTIME_DIR="$SCRATCH/runtime"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
XVFB_PID=
APP_PID=

cleanup() {
  [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null || true
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
  rm -rf "$SCRATCH"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  if [ -s "$SCRATCH/app.out" ]; then
    echo "--- the program's output:" >&2
    tail -n 40 "$SCRATCH/app.out" >&2
  fi
  exit 1
}

# -noreset: by default the server resets when its last client leaves, and a
# program started in that moment cannot connect; the tests start one program
# right after another.
start_xvfb() {
  local fifo="$SCRATCH/displayfd"
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$fifo" 2>/dev/null &
  XVFB_PID=$!
  local number
  read -r number <"$fifo"
  export DISPLAY=":$number"
}

# start_app [env assignments...]: starts the program in the background.
# Each Qt message names its level, so that wait_exit can find the warnings.
start_app() {
  # The caller's arguments come first: env takes options such as -u only
  # before the first assignment.
  env "$@" QT_MESSAGE_PATTERN='qt-%{type}: %{if-category}%{category}: %{endif}%{message}' \
    "$ZOLVU_BIN/zolvu" >"$SCRATCH/app.out" 2>&1 &
  APP_PID=$!
}

# wait_window <title>: prints the id of the visible window with that exact
# title once it is mapped; fails after 20 seconds.
wait_window() {
  local id
  for _ in $(seq 200); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1 || true)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.1
  done
  fail "no window '$1'"
}

# no_window <title>: true when no visible window has that title.
no_window() { ! xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; }

# press_key <window> <key>: gives the window the keyboard focus (no window
# manager does it here) and types the key.
press_key() {
  xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
  xdotool key "$2"
}

close_window() { /usr/bin/python3 "$E2E_DIR/close_window.py" "$1"; }

# A Qt warning (or worse) fails the test: it points at a fault in how the
# program uses Qt. Those the test machine itself causes are matched here.
QT_MACHINE_WARNINGS='^$'
check_qt_warnings() {
  local warnings
  warnings=$(grep -E '^qt-(warning|critical|fatal): ' "$SCRATCH/app.out" | grep -vE "$QT_MACHINE_WARNINGS" || true)
  [ -z "$warnings" ] || fail "the program caused Qt warnings:"$'\n'"$warnings"
}

# wait_exit [seconds]: waits for the program (30 s unless told), leaves its exit code in
# EXIT_CODE and checks its output for Qt warnings. It must run in the test's
# own shell, not in a $(...) subshell: only the shell that started the
# program can collect its code.
wait_exit() {
  for _ in $(seq $((${1:-30} * 10))); do
    if ! kill -0 "$APP_PID" 2>/dev/null; then
      EXIT_CODE=0
      wait "$APP_PID" || EXIT_CODE=$?
      APP_PID=
      check_qt_warnings
      return 0
    fi
    sleep 0.1
  done
  fail "the program did not exit"
}
