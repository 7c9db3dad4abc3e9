#!/usr/bin/env bash
# Closing the window while a run works: the window stays until the work
# reaches its next stop test, then the program ends with exit code 0. The
# test module's log shows which files were analysed.
source "$ZOLVU_E2E_LIB"
start_xvfb

log="$SCRATCH/fake.log"

# The status label's pixels, to see the run's progress from outside.
status_pixels() { import -window "$1" -crop 357x15+4+463 +repage rgb:- 2>/dev/null | md5sum; }

# start_on <home>: the program with the folder box on <home>/Pictures.
start_on() {
  : >"$log"
  start_app HOME="$1" LD_LIBRARY_PATH="$ZOLVU_FAKE_GOOD" ZOLVU_FAKE_LOG="$log"
  win=$(wait_window Zolvu)
}

press_start() { xdotool mousemove --window "$1" 539 439 click 1; }

calls() { grep -c '|haarcascade_frontalface_alt.xml|' "$log" || true; }

# During the search: a tree that takes seconds to walk. Once the status
# shows the search counting, the close is taken by its next hand-over; the
# run skips the analysis and the program ends.
home="$SCRATCH/search"
mkdir -p "$home/Pictures/deep"
for i in $(seq 400); do echo 1 >"$home/Pictures/deep/p$i.jpg"; done
start_on "$home"
idle=$(status_pixels "$win")
press_start "$win"
for _ in $(seq 100); do [ "$(status_pixels "$win")" != "$idle" ] && break; sleep 0.05; done
[ "$(status_pixels "$win")" != "$idle" ] || fail "the run did not start"
close_window "$win"
wait_exit
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE after a close during the search, expected 0"
[ "$(calls)" = 0 ] || fail "$(calls) files analysed after a close during the search"
[ "$(tail -n1 "$log")" = unloaded ] || fail "the library was not released last"

# During the analysis: the third file holds the detector until the close
# has been sent. The close is taken in that file's hand-over, one more file
# is analysed, and the run ends.
home="$SCRATCH/analysis"
mkdir -p "$home/Pictures"
for i in $(seq 6); do echo 1 >"$home/Pictures/p$i.jpg"; done
mapfile -t order < <(ls -U "$home/Pictures")
release="$SCRATCH/release"
echo "hold $release 1" >"$home/Pictures/${order[2]}"
start_on "$home"
press_start "$win"
for _ in $(seq 200); do [ "$(calls)" -ge 3 ] && break; sleep 0.05; done
[ "$(calls)" -ge 3 ] || fail "the third file was never analysed"
close_window "$win"
still_open=$(xdotool search --onlyvisible --name '^Zolvu$' | head -n1)
[ -n "$still_open" ] || fail "the window went away during the detector call"
touch "$release"
wait_exit
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE after a close during the analysis, expected 0"
expected=$(for name in "${order[@]:0:4}"; do echo "$home/Pictures/$name|haarcascade_frontalface_alt.xml|haarcascade_mcs_mouth.xml|0"; done)
actual=$(grep '|haarcascade_frontalface_alt.xml|' "$log")
[ "$actual" = "$expected" ] || fail "analysed after the close:
$actual
expected:
$expected"
[ "$(tail -n1 "$log")" = unloaded ] || fail "the library was not released last"
echo "close_during_work: passed"
