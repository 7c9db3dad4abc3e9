#!/usr/bin/env bash
# The Debian package as a user gets it: built with CPack from this build,
# unpacked into a scratch root, checked for its layout, metadata and
# dependencies, then the unpacked program started with nothing pointing at
# the build: the window opens, a run over a small tree finds the face in a
# real portrait and nothing else, closing exits with 0 and leaves no helper.
source "$(dirname "$0")/../tests/e2e/ui.sh"

portrait=/usr/share/doc/facedetect/examples/grace_hopper_512x512.jpg
[ -r "$portrait" ] || fail "no portrait at $portrait (Debian package facedetect)"

cpack -G DEB --config "$ZOLVU_BUILD/CPackConfig.cmake" -B "$SCRATCH/package" >"$SCRATCH/cpack.out" 2>&1 ||
  { cat "$SCRATCH/cpack.out"; fail "cpack failed"; }
deb=$(ls "$SCRATCH"/package/zolvu_*.deb)

depends=$(dpkg-deb -f "$deb" Depends)
for wanted in opencv-data libqt6widgets6 libopencv-objdetect406 libc6; do
  [[ ", $depends," == *", $wanted "* || ", $depends," == *", $wanted,"* ]] ||
    fail "Depends lacks $wanted: $depends"
done

root="$SCRATCH/root"
dpkg-deb -x "$deb" "$root"
mode() { stat -c %A "$root/$1" 2>/dev/null || fail "the package lacks /$1"; }
[ "$(mode usr/bin/zolvu)" = -rwxr-xr-x ] || fail "usr/bin/zolvu is $(mode usr/bin/zolvu)"
[ "$(mode usr/lib/zolvu/zolvu-detect)" = -rwxr-xr-x ] || fail "the helper is $(mode usr/lib/zolvu/zolvu-detect)"
[ "$(mode usr/lib/zolvu/zolvulib.so)" = -rw-r--r-- ] || fail "the module is $(mode usr/lib/zolvu/zolvulib.so)"
grep -q '</opencv_storage>' "$root/usr/share/zolvu/cascades/haarcascade_mcs_mouth.xml" ||
  fail "the mouth cascade is missing or cut short"
for size in 16x16 24x24 32x32 48x48 256x256; do
  [ "$(identify -format %wx%h "$root/usr/share/icons/hicolor/$size/apps/$ZOLVU_APP_ID.png")" = "$size" ] ||
    fail "no $size icon"
done
mode "usr/share/icons/hicolor/scalable/apps/$ZOLVU_APP_ID.svg" >/dev/null
grep -q '^License: BSD-3-Clause' "$root/usr/share/doc/zolvu/copyright" ||
  fail "the copyright file lacks the mouth cascade's licence"
desktop-file-validate "$root/usr/share/applications/$ZOLVU_APP_ID.desktop" || fail "invalid desktop entry"
appstreamcli validate --no-net "$root/usr/share/metainfo/$ZOLVU_APP_ID.metainfo.xml" >"$SCRATCH/appstream.out" 2>&1 ||
  { cat "$SCRATCH/appstream.out"; fail "invalid AppStream metainfo"; }
runpath=$(readelf -d "$root/usr/bin/zolvu" | sed -n 's/.*(RUNPATH).*\[\(.*\)\]/\1/p')
[ "$runpath" = '$ORIGIN/../lib/zolvu' ] || fail "RUNPATH is '$runpath'"

# A small tree: the portrait deep down, a picture without a face beside it.
tree="$HOME/Pildid"
mkdir -p "$tree/2019/suvi" "$tree/muu"
cp "$portrait" "$tree/2019/suvi/grace.jpg"
convert -size 320x240 gradient:white-gray "$tree/muu/taevas.jpg"
mkdir -p "$HOME/.config"
echo 'XDG_PICTURES_DIR="$HOME/Pildid"' >"$HOME/.config/user-dirs.dirs"

start_xvfb
unset LD_LIBRARY_PATH
ZOLVU_BIN="$root/usr/bin" start_app
win=$(wait_window Zolvu)
ui wait "s['folder'] == '$tree/' and s['start']" >/dev/null || fail "the window did not come up with the pictures folder"
ui click Analüüsi
ui wait "s['status'] == 'Tehtud !' and s['start']" 60 >/dev/null || fail "the run did not end"
ui wait "s['list'] == ['$tree/2019/suvi/grace.jpg']" 1 >/dev/null || fail "not the portrait alone listed"

# The precise analysis needs the mouth cascade from the package's own share
# folder: the portrait is found there too.
# A folder of its own, so this run's list cannot be mistaken for the last one.
mkdir -p "$HOME/precise"
cp "$portrait" "$HOME/precise/grace.jpg"
convert -size 320x240 gradient:white-gray "$HOME/precise/taevas.jpg"
ui folder "$HOME/precise/"
ui click "Kasuta täpsemat analüüsi"
ui wait "s['precise']" 5 >/dev/null || fail "the check box did not tick"
ui click Analüüsi
ui wait "s['list'] == ['$HOME/precise/grace.jpg'] and s['status'] == 'Tehtud !' and s['start']" 60 >/dev/null ||
  fail "the precise run did not list the portrait alone"

close_window "$win"
wait_exit
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE after closing, expected 0"
! pgrep -f "$root/usr/lib/zolvu/zolvu-detect" >/dev/null || fail "a helper process outlived the program"
echo "package: passed"
