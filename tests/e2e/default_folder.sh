#!/usr/bin/env bash
# The start-up without a home folder: the pictures folder cannot be named,
# so the start ends with the fatal report, no window and exit code 1. (The
# report's text for this failure is checked by the window tests.)
source "$ZOLVU_E2E_LIB"
start_xvfb

for home in unset empty; do
  if [ "$home" = unset ]; then start_app -u HOME LD_LIBRARY_PATH="$ZOLVU_FAKE_GOOD"
  else start_app HOME= LD_LIBRARY_PATH="$ZOLVU_FAKE_GOOD"; fi
  box=$(wait_window "Application Error")
  no_window Zolvu || fail "HOME $home: the main window appeared although no pictures folder can be named"
  press_key "$box" Return
  wait_exit
  [ "$EXIT_CODE" = 1 ] || fail "HOME $home: exit code $EXIT_CODE after the report, expected 1"
done
echo "default_folder: passed"
