#!/usr/bin/env bash
# Stop during the analysis, as a user does it with the real detector: a
# click on "Lõpeta" taken in the hand-over after file k lets file k + 1 be
# analysed and listed, then ends the run early: the status keeps the
# number k, the start button is enabled again and the stop button stays
# disabled. A second run over the same folder then finishes normally.
source "$(dirname "$0")/../e2e/ui.sh"

portrait=/usr/share/doc/facedetect/examples/grace_hopper_512x512.jpg
tree="$HOME/Pildid"
mkdir -p "$tree"
for i in $(seq -w 30); do cp "$portrait" "$tree/$i.jpg"; done
mkdir -p "$HOME/.config"
echo 'XDG_PICTURES_DIR="$HOME/Pildid"' >"$HOME/.config/user-dirs.dirs"

start_xvfb
start_app
win=$(wait_window Zolvu)
ui until "s['folder'] == '$tree/'" || fail "the window did not come up with the pictures folder"
# While the program is busy every look-up waits for its next hand-over, so
# both clicks go where the buttons were found while it was idle.
click() { echo "xdotool mousemove --sync $(ui where "$1") click 1"; }
ui steps "s['start']" "$(click Analüüsi)" "s['status'].startswith('Piltide analüüs: ')" "$(click Lõpeta)" ||
  fail "the analysis did not begin"
ui wait "s['start']" 60 >"$SCRATCH/state.json" || fail "the run did not end after the stop"
k=$(jq -r '.status | ltrimstr("Piltide analüüs: ")' "$SCRATCH/state.json")
[[ "$k" =~ ^[0-9]+$ ]] || fail "the run ended with the status '$(jq -r .status "$SCRATCH/state.json")'"
[ "$k" -lt 30 ] || fail "the stop came too late to be seen: all 30 files analysed"
[ "$(jq '.list | length' "$SCRATCH/state.json")" = $((k + 1)) ] ||
  fail "after a stop at file $k, $(jq '.list | length' "$SCRATCH/state.json") files listed, expected $((k + 1))"
[ "$(jq .stop "$SCRATCH/state.json")" = false ] || fail "the stop button is enabled after the stop"

ui click Analüüsi
ui wait "s['status'] == 'Tehtud !' and s['start'] and len(s['list']) == 30" 120 >/dev/null ||
  fail "the run after the stop did not list all 30 files"

close_window "$win"
wait_exit
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE after closing, expected 0"
echo "stop during the analysis: passed at file $k"
