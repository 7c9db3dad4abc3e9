# For the end-to-end tests that read the window through AT-SPI: sourced
# instead of lib.sh. The test runs in a D-Bus session of its own; the
# accessibility bus is started before the program, which only looks for it
# at start-up, and Qt is told to expose its widgets although no screen
# reader has asked.
if [ -z "${ZOLVU_E2E_BUS:-}" ]; then
  # The accessibility bus puts its socket in the runtime folder of the
  # session it starts in; tests running side by side each need their own.
  bus_runtime=$(mktemp -d)
  code=0
  ZOLVU_E2E_BUS=1 XDG_RUNTIME_DIR="$bus_runtime" dbus-run-session -- "$0" "$@" || code=$?
  rm -rf "$bus_runtime"
  exit "$code"
fi
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
# On a busy machine the bus can take longer to come up than one call waits.
for attempt in 1 2 3 4 5; do
  /usr/bin/python3 -c 'import pyatspi; pyatspi.Registry.getDesktop(0)' 2>/dev/null && break
  [ "$attempt" = 5 ] && fail "the accessibility bus did not start"
done

ui() { /usr/bin/python3 "$E2E_DIR/ui.py" "$@"; }
