# For the end-to-end tests that read the window through AT-SPI: sourced
# instead of lib.sh. The test runs in a D-Bus session of its own; the
# accessibility bus is started before the program, which only looks for it
# at start-up, and Qt is told to expose its widgets although no screen
# reader has asked.
if [ -z "${ZOLVU_E2E_BUS:-}" ]; then
  ZOLVU_E2E_BUS=1 exec dbus-run-session -- "$0" "$@"
fi
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
/usr/bin/python3 -c 'import pyatspi; pyatspi.Registry.getDesktop(0)' 2>/dev/null

ui() { /usr/bin/python3 "$E2E_DIR/ui.py" "$@"; }
