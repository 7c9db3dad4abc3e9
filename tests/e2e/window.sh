#!/usr/bin/env bash
# The real program as a user and a screen reader meet it: the start-up
# report's text, the window read through the accessibility interface, its
# icon and its status bar on screen, and which detector module the
# program's library search finds.
if [ -z "${ZOLVU_E2E_BUS:-}" ]; then
  ZOLVU_E2E_BUS=1 exec dbus-run-session -- "$0" "$@"
fi
source "$ZOLVU_E2E_LIB"
# Qt looks for the accessibility bus once, at start-up; asking for the
# desktop here starts that bus before the program does.
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
/usr/bin/python3 -c 'import pyatspi; pyatspi.Registry.getDesktop(0)' 2>/dev/null
start_xvfb

a11y() { /usr/bin/python3 "$E2E_DIR/a11y.py" "$@"; }
TAB=$'\t'

# pixel <png> <x> <y>: the pixel's colour as "r,g,b" (0..255).
pixel() { convert "$1" -crop "1x1+$2+$3" -depth 8 -format '%[fx:int(255*r+.5)],%[fx:int(255*g+.5)],%[fx:int(255*b+.5)]' info:; }

# --- The start-up report, read as a screen reader reads it. The build keeps
# the real module beside the program, so a lone copy of the program starts.
mkdir "$SCRATCH/alone"
cp "$ZOLVU_BIN/zolvu" "$SCRATCH/alone/"
ZOLVU_BIN="$SCRATCH/alone" start_app LD_LIBRARY_PATH="$SCRATCH/empty"
wait_window "Application Error" >/dev/null
report=$(a11y dump "Application Error")
echo "$report" | grep -q "^0${TAB}alert${TAB}Application Error${TAB}" || fail "report is no alert box: $report"
message=$(echo "$report" | awk -F'\t' '$2 == "label" && $3 ~ /^Exception / { print $3 }')
expected='^Exception Exception in module zolvu at [0-9A-F]{8}\.\\r\\nSystem Error\.  Code: 2\.\\r\\nzolvulib\.so: cannot open shared object file: No such file or directory\.\\r\\n$'
[[ "$message" =~ $expected ]] || fail "report text: $message"
buttons=$(echo "$report" | awk -F'\t' '$2 == "push button" { print $3 }')
[ "$buttons" = OK ] || fail "report buttons: $buttons"
a11y press "Application Error" OK
wait_exit
[ "$EXIT_CODE" = 1 ] || fail "exit code $EXIT_CODE after the report, expected 1"

# --- A module without facecount still starts the window.
start_app LD_LIBRARY_PATH="$ZOLVU_FAKE_NOEXPORT"
win=$(wait_window Zolvu)
tree=$(a11y dump Zolvu)
# role, name, text, state of every control, in the window's order.
controls=$(echo "$tree" | awk -F'\t' '$2 != "filler" && $2 != "unknown" { print $2 "|" $3 "|" $4 "|" $5 }')
expected_controls="label|Otsi faile kataloogist:||enabled
text||$HOME/Pictures/|enabled
push button|Analüüsi||enabled
label|||enabled
label|Zolvu: fotod, millel on nägu. Tuvastus: OpenCV.||enabled
push button|Lõpeta||enabled
check box|Kasuta täpsemat analüüsi||enabled
list|||enabled
text|||enabled"
[ "$controls" = "$expected_controls" ] || fail "accessible controls:
$controls"

xprop -len 1000000 -id "$win" _NET_WM_ICON >"$SCRATCH/icon.txt"
for side in 16 24 32 48 256; do
  grep -q "Icon ($side x $side)" "$SCRATCH/icon.txt" || fail "window icon has no $side x $side picture"
done

# The status bar, the bottom 22 rows of the 684 x 480 window: once it is
# painted, the top line, the gradient below it, and the grip's dots.
shot="$SCRATCH/window.png"
bar_top=458
for _ in $(seq 100); do
  import -window "$win" "$shot"
  [ "$(pixel "$shot" 300 $bar_top)" = 142,142,142 ] && break
  sleep 0.1
done
for x in 0 1 300 682 683; do
  [ "$(pixel "$shot" $x $bar_top)" = 142,142,142 ] || fail "no top line at x $x"
done
for spot in "0 470" "683 470" "300 479" "640 479"; do
  set -- $spot
  [ "$(pixel "$shot" "$1" "$(($2))")" != 142,142,142 ] || fail "a border line at $1,$2"
done
upper=$(pixel "$shot" 640 $((bar_top + 1))); lower=$(pixel "$shot" 640 $((bar_top + 21)))
[ "${upper%%,*}" -ge 240 ] && [ "${upper%%,*}" -le 250 ] || fail "gradient top $upper"
[ "${lower%%,*}" -ge 216 ] && [ "${lower%%,*}" -lt 236 ] || fail "gradient bottom $lower"
# The grip picture's top-left pixel lands at (668, bar_top + 6).
for dot in "1 9" "3 7" "3 9" "5 5" "5 7" "5 9" "7 3" "7 5" "7 7" "7 9" "9 1" "9 3" "9 5" "9 7" "9 9"; do
  set -- $dot
  [ "$(pixel "$shot" $((668 + $2)) $((bar_top + 6 + $1)))" = 70,70,70 ] || fail "no grip dot at row $1 column $2"
done
for gap in "0 9" "1 8" "2 9" "9 0" "9 10" "10 9"; do
  set -- $gap
  [ "$(pixel "$shot" $((668 + $2)) $((bar_top + 6 + $1)))" != 70,70,70 ] || fail "a grip dot at row $1 column $2"
done
[ -z "${ZOLVU_E2E_KEEP:-}" ] || cp "$shot" "$ZOLVU_E2E_KEEP"
close_window "$win"
wait_exit
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE after closing, expected 0"

# --- The library search: a module beside the program is found without
# LD_LIBRARY_PATH (RUNPATH $ORIGIN; an empty LD_LIBRARY_PATH names no
# folder), and LD_LIBRARY_PATH comes first.
mkdir "$SCRATCH/app"
cp "$ZOLVU_BIN/zolvu" "$SCRATCH/app/zolvu"
ZOLVU_BIN="$SCRATCH/app"
roads="beside first"
# Under AddressSanitizer the loader does not read the program's RUNPATH
# (the sanitizer's dlopen stands in between), so only the search through
# LD_LIBRARY_PATH can be checked there.
if ldd "$ZOLVU_BIN/zolvu" | grep -q libasan; then roads=first; fi
for road in $roads; do
  log="$SCRATCH/$road.log"
  if [ "$road" = beside ]; then
    cp "$ZOLVU_FAKE_GOOD/zolvulib.so" "$SCRATCH/app/zolvulib.so"
    start_app LD_LIBRARY_PATH= ZOLVU_FAKE_LOG="$log"
  else
    cp "$ZOLVU_FAKE_NOEXPORT/zolvulib.so" "$SCRATCH/app/zolvulib.so"
    start_app LD_LIBRARY_PATH="$ZOLVU_FAKE_GOOD" ZOLVU_FAKE_LOG="$log"
  fi
  win=$(wait_window Zolvu)
  close_window "$win"
  wait_exit
  [ "$EXIT_CODE" = 0 ] || fail "$road: exit code $EXIT_CODE"
  [ "$(cat "$log" 2>/dev/null)" = "loaded
unloaded" ] || fail "$road: the expected module was not the one loaded"
done
echo "window: passed"
