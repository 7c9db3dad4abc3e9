#!/usr/bin/env bash
# The program under memcheck, driven as a user drives it: it starts, a run
# over a small tree finds the portrait, selecting it shows it, closing ends
# the program. Any invalid read or write, use of an uninitialised value or
# definite leak fails the test; memcheck.supp holds the few that are shown
# to be the libraries' own, each with its reason. The helper process runs
# natively: under memcheck it would miss the detector's time limit.
source "$(dirname "$0")/../e2e/ui.sh"

portrait=/usr/share/doc/facedetect/examples/grace_hopper_512x512.jpg
tree="$HOME/Pildid"
mkdir -p "$tree/a/b" "$tree/c"
cp "$portrait" "$tree/a/b/portrait.jpg"
convert -size 160x120 gradient:white-gray "$tree/c/sky.JPG"
head -c 3000 "$portrait" >"$tree/c/cut short.jpg"
printf 'not a picture\n' >"$tree/text.jpg"
mkdir -p "$HOME/.config"
echo 'XDG_PICTURES_DIR="$HOME/Pildid"' >"$HOME/.config/user-dirs.dirs"

# start_app runs "$ZOLVU_BIN/zolvu"; this one is memcheck around the real
# program, whose own folder still holds the module and the helper.
log="$SCRATCH/memcheck.log"
mkdir "$SCRATCH/under-memcheck"
cat >"$SCRATCH/under-memcheck/zolvu" <<WRAPPER
#!/bin/sh
exec valgrind --tool=memcheck --error-exitcode=99 --leak-check=full \
  --show-leak-kinds=definite --errors-for-leak-kinds=definite \
  --suppressions="$ZOLVU_MEMCHECK_SUPPRESSIONS" --gen-suppressions=all \
  --num-callers=30 --log-file="$log" "$ZOLVU_BIN/zolvu" "\$@"
WRAPPER
chmod +x "$SCRATCH/under-memcheck/zolvu"

start_xvfb
ZOLVU_BIN="$SCRATCH/under-memcheck" start_app
win=$(wait_window Zolvu)
ui wait "s['folder'] == '$tree/'" 60 >/dev/null || fail "the window did not come up with the pictures folder"
ui click Analüüsi
ui wait "s['status'] == 'Tehtud !' and s['start']" 180 >/dev/null || fail "the run did not end"
ui wait "s['list'] == ['$tree/a/b/portrait.jpg']" 1 >/dev/null || fail "not the portrait alone listed"
ui select 0
ui wait "s['path'] == '$tree/a/b/portrait.jpg'" 30 >/dev/null || fail "selecting the portrait did not show it"

close_window "$win"
wait_exit 120
[ "$EXIT_CODE" = 0 ] || { cat "$log"; fail "exit code $EXIT_CODE under memcheck (99: memcheck found errors)"; }
grep -q 'ERROR SUMMARY: 0 errors' "$log" || { cat "$log"; fail "memcheck reported errors"; }
echo "memcheck: passed"
