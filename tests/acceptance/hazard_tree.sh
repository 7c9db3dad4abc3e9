#!/usr/bin/env bash
# The real program with the real detector over a pictures folder that holds
# every hazard hazard.py knows, run as an unprivileged user (so a folder
# without read access stays closed): the run ends, lists exactly the files
# with a face, no step stands still beyond the detector's time limit, memory
# stays bounded, every listed file previews, and nothing in the tree has
# changed. Then a folder of 100,000 entries, stopped during its search.
if [ "$(id -u)" = 0 ]; then
  exec setpriv --reuid=65534 --regid=65534 --clear-groups "$0" "$@"
fi
source "$(dirname "$0")/../e2e/ui.sh"
hazard() { /usr/bin/python3 "$(dirname "$0")/hazard.py" "$@"; }

portrait=/usr/share/doc/facedetect/examples/grace_hopper_512x512.jpg
time_limit=4          # seconds the detector gives one file
memory_limit_kb=800000

tree="$HOME/Pildid"
crowd="$HOME/sada"
trap 'chmod 700 "$tree/suletud" 2>/dev/null; cleanup' EXIT
hazard build "$tree" "$portrait" >"$SCRATCH/expected"
mkdir "$crowd"
(cd "$crowd" && seq -f 'pilt%06g.jpg' 100000 | xargs touch)
mkdir -p "$HOME/.config"
echo 'XDG_PICTURES_DIR="$HOME/Pildid"' >"$HOME/.config/user-dirs.dirs"
hazard snapshot "$HOME" "$SCRATCH/before.json"

peak_memory_kb() { sed -n 's/^VmHWM:[[:space:]]*\([0-9]*\) kB/\1/p' "/proc/$APP_PID/status"; }

start_xvfb
start_app
win=$(wait_window Zolvu)
ui wait "s['folder'] == '$tree/'" >/dev/null || fail "the window did not come up with the pictures folder"

# Once the analysis has begun, twenty pictures still to come turn into FIFOs.
ui click Analüüsi
ui during "s['status'].startswith('Piltide analüüs')" "/usr/bin/python3 '$(dirname "$0")/hazard.py' replace '$tree'" \
  "s['status'] == 'Tehtud !' and s['start']" 300 >"$SCRATCH/state.json" || fail "the run did not end"
hazard listed "$SCRATCH/state.json" "$SCRATCH/expected" || fail "the list is not the files with a face"
still=$(jq .longest_still "$SCRATCH/state.json")
jq -e ".longest_still < $time_limit + 2" "$SCRATCH/state.json" >/dev/null ||
  fail "the status stood still for $still s at $(jq .longest_still_status "$SCRATCH/state.json"), beyond the detector's time limit"
[ "$(peak_memory_kb)" -lt "$memory_limit_kb" ] || fail "the program's peak memory is $(peak_memory_kb) kB"
echo "hazard tree: $(jq '.list | length' "$SCRATCH/state.json") listed, status still at most $still s, peak $(peak_memory_kb) kB"

# Every listed file previews: the first by a click, the rest by the arrow key.
mapfile -d '' -t listed < <(jq -j '.list[] | (., "\u0000")' "$SCRATCH/state.json")
ui select 0
for i in "${!listed[@]}"; do
  [ "$i" = 0 ] || ui key Down
  expected=$(jq -c ".list[$i]" "$SCRATCH/state.json")
  ui wait "s['path'] == $expected and s['selected'] == [$i]" 10 >/dev/null ||
    fail "selecting entry $i did not preview $expected"
done

# A folder of 100,000 entries: stopped during its search, the run ends at
# once with nothing listed, and the window still answers.
ui folder "$crowd"
ui wait "s['folder'] == '$crowd'" 10 >/dev/null || fail "the folder box did not take the typed folder"
ui click Analüüsi
ui wait "s['status'].startswith('Faile analüüsimiseks: ') and int(s['status'].split()[-1]) >= 500" 60 >/dev/null ||
  fail "the search of the crowded folder did not get going"
ui click Lõpeta
ui wait "s['status'] == 'Tehtud !' and s['start'] and s['list'] == []" 20 >/dev/null ||
  fail "the stopped search did not end the run"
[ "$(peak_memory_kb)" -lt "$memory_limit_kb" ] || fail "the program's peak memory is $(peak_memory_kb) kB"

close_window "$win"
wait_exit
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE after closing, expected 0"
! pgrep -u "$(id -u)" -f "$ZOLVU_BIN/zolvu-detect" >/dev/null || fail "a helper process outlived the program"

hazard snapshot "$HOME" "$SCRATCH/after.json"
hazard same "$SCRATCH/before.json" "$SCRATCH/after.json" /asenduv /.cache/ /.local/ ||
  fail "the run changed files"
echo "hazard tree: passed"
