#!/usr/bin/env bash
# Start-up and end of the real program: the fatal report when no detector
# module can be found, and a normal start and close with one.
source "$ZOLVU_E2E_LIB"
start_xvfb

# No module anywhere the loader looks (the build keeps the real one beside
# the program, so a lone copy of the program is started): only the report,
# then exit code 1.
mkdir "$SCRATCH/alone"
cp "$ZOLVU_BIN/zolvu" "$SCRATCH/alone/"
ZOLVU_BIN="$SCRATCH/alone" start_app LD_LIBRARY_PATH="$SCRATCH/empty"
box=$(wait_window "Application Error")
no_window Zolvu || fail "the main window appeared although the library is missing"
press_key "$box" Return
wait_exit
[ "$EXIT_CODE" = 1 ] || fail "exit code $EXIT_CODE after the report, expected 1"

# With a module: the window opens; closing it ends the program with 0 and
# releases the library once, after the window is gone.
log="$SCRATCH/fake.log"
start_app LD_LIBRARY_PATH="$ZOLVU_FAKE_GOOD" ZOLVU_FAKE_LOG="$log"
win=$(wait_window Zolvu)
geometry=$(xdotool getwindowgeometry "$win" | sed -n 's/.*Geometry: //p')
[ "$geometry" = 684x480 ] || fail "client area $geometry, expected 684x480"
import -window root "$SCRATCH/window.png"
close_window "$win"
wait_exit
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE after closing, expected 0"
[ "$(grep -c '^unloaded$' "$log")" = 1 ] || fail "library released $(grep -c '^unloaded$' "$log") times"
echo "startup: passed"
