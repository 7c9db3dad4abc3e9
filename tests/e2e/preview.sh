#!/usr/bin/env bash
# The preview in the real program: a run over a small tree with the test
# detector lists one file; selecting it draws the picture shrunk to fit and
# centred in the area right of the list.
source "$ZOLVU_E2E_LIB"
start_xvfb

# The test detector counts the number at the start of a file, and Qt's XBM
# reader skips lines before the "#define"s: so "1" followed by an XBM is a
# hit and a picture at once. 1000 x 500 black fits the 314 x 329 preview
# area as 314 x 157, centred 86 pixels below its top.
tree="$HOME/Pictures"
mkdir -p "$tree/sub"
{ echo 1; convert -size 1000x500 xc:black xbm:-; } >"$tree/sub/face.jpg"
echo 0 >"$tree/none.jpg"

log="$SCRATCH/fake.log"
start_app LD_LIBRARY_PATH="$ZOLVU_FAKE_GOOD" ZOLVU_FAKE_LOG="$log"
win=$(wait_window Zolvu)
xdotool windowfocus --sync "$win" 2>/dev/null || true
xdotool mousemove --window "$win" 539 439 click 1  # "Analüüsi": the folder box holds the pictures folder
for _ in $(seq 200); do
  grep -q 'face.jpg|' "$log" 2>/dev/null && break
  sleep 0.1
done
grep -q 'face.jpg|' "$log" || fail "the run never reached the file"

read -r left top < <(xdotool getwindowgeometry "$win" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p')
# The preview area, Image1: right of the list and the splitter, below the path box.
area="314x329+$((left + 370))+$((top + 22))"
shot="$SCRATCH/shot.png"
drawn=
for _ in $(seq 100); do
  xdotool mousemove --window "$win" 100 8 click 1  # the first entry; a press on it once selected does nothing
  import -window root "$shot"
  drawn=$(convert "$shot" -crop "$area" +repage -colorspace gray -threshold 50% -negate -format %@ info:)
  [ "$drawn" = "314x157+0+86" ] && break
  sleep 0.1
done
[ "$drawn" = "314x157+0+86" ] || fail "picture drawn at '$drawn' in the preview area, expected 314x157+0+86"
black=$(convert "$shot" -crop "314x157+$((left + 370))+$((top + 108))" +repage -colorspace gray -threshold 50% \
  -format '%[fx:round(mean*w*h)]' info:)
[ "$black" = 0 ] || fail "$black non-black pixels inside the drawn picture"
close_window "$win"
wait_exit
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE after closing, expected 0"
echo "preview: passed"
