#!/usr/bin/env bash
# The real program under hostile conditions: a display that does not answer, a settings
# store that is a folder, a device, read-only, another user's or locked by another process,
# a source name of 250 bytes, a folder that can be entered but not listed, and SIGTERM or
# kill -9 half-way through a batch. Each run leaves what it was given as it was and writes
# only complete files. Cases that need a second user run as nobody when we are root.
set -u
PROBE=$1; WORK=$2
for t in sqlite3 icotool identify setpriv; do command -v $t >/dev/null || { echo "missing $t"; exit 77; }; done
GS=${GLYPHSCOPE:?the program to test}
rm -rf "$WORK"; mkdir -p "$WORK"; cd "$WORK" || exit 1
chmod 755 "$WORK"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
gs() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$GS" "$@"; }
# Runs as a user who owns none of the files made here (nobody when we are root).
if [ "$(id -u)" = 0 ]; then other() { setpriv --reuid=65534 --regid=65534 --clear-groups "$@"; }
else other() { "$@"; }; fi
fresh_out() { rm -rf out; mkdir out; chmod 777 out; }
state_of() { stat -c '%F %a %s %Y' "$1"; [ -f "$1" ] && md5sum < "$1"; ls -a "$(dirname "$1")" | grep -F "$(basename "$1")"; }

"$PROBE" make-samples src >/dev/null || exit 1
mv src/sample.dll src/module.dll; mv src/sample.icl src/library.icl  # one output name per icon
chmod -R a+rX src
export GLYPHSCOPE_REGISTRY="$WORK/registry.sqlite3"

# A display that does not answer: the silent run never looks at it; /XB: prints its boxes.
# Its number is one no X server on this machine has (the tests' own servers count up from 0).
dead=9000
while [ -e "/tmp/.X$dead-lock" ] || [ -e "/tmp/.X11-unix/X$dead" ]; do dead=$((dead + 1)); done
fresh_out
env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:$dead "$GS" "/XBS:$WORK/src/*.*,$WORK/out" 2>err.txt
status=$?
[ $status = 0 ] && [ ! -s err.txt ] || fail "silent run with DISPLAY=:$dead: status $status, $(cat err.txt)"
expected=$(ls out | wc -l)
[ "$expected" -ge 3 ] || fail "silent run with DISPLAY=:$dead wrote $(ls out)"
fresh_out
env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:$dead "$GS" "/XB:$WORK/src/*.*,$WORK/out" 2>err.txt
status=$?
[ $status = 0 ] || fail "/XB: with DISPLAY=:$dead exited $status: $(cat err.txt)"
# A build without windows never looks for a display.
[ "${GS_WITH_WINDOWS:-0}" = 0 ] || [ "$(grep -c "cannot open the display \":$dead\"" err.txt)" = 1 ] ||
  fail "/XB: told the display as: $(cat err.txt)"
grep -q "$expected icon(s) saved." err.txt || fail "/XB: result box: $(cat err.txt)"
# A bound for "it ends", not a measure of speed.
env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:$dead timeout 120 "$GS" "/XB:$WORK/src/*.*" 2>err.txt
grep -q "Warning: Target dir missing in command line argument." err.txt ||
  fail "a refusal with DISPLAY=:$dead: $(cat err.txt)"

# What stands at the store's path and is not a usable store is left as it was.
mkdir -m 777 stores
mkdir stores/folder
printf 'x' > stores/plain
run_with_store() {  # store, expected message, runner
    local store=$1 said=$2; shift 2
    local before; before=$(state_of "$store")
    fresh_out
    GLYPHSCOPE_REGISTRY=$store "$@" env -u DISPLAY -u WAYLAND_DISPLAY "$GS" "/XBS:$WORK/src/*.*,$WORK/out" 2>err.txt
    local status=$?
    [ $status = 0 ] || fail "store $store: exited $status: $(cat err.txt)"
    [ "$(ls out | wc -l)" = "$expected" ] || fail "store $store: wrote $(ls out)"
    grep -q "^glyphscope: .*$said" err.txt || fail "store $store: told as: $(cat err.txt)"
    [ "$before" = "$(state_of "$store")" ] || fail "store $store changed: $before / $(state_of "$store")"
    ls "$(dirname "$store")" | grep -qE 'corrupt|-journal' && fail "store $store: $(ls "$(dirname "$store")")"
}
run_with_store "$WORK/stores/folder" "not a regular file" env
run_with_store /dev/null "not a regular file" env
[ -e /dev/null-journal ] && fail "a journal was made beside /dev/null"
# A store another user cannot write: read, its values in effect, changes not kept.
"$PROBE" options save 2>/dev/null; GLYPHSCOPE_REGISTRY=stores/ro.sqlite3 "$PROBE" options save
sqlite3 stores/ro.sqlite3 "UPDATE reg_values SET data = 7 WHERE name = 'MRULimit'" || fail "no MRULimit to change"
chmod 444 stores/ro.sqlite3; chmod 755 stores
run_with_store "$WORK/stores/ro.sqlite3" "read-only" other
GLYPHSCOPE_REGISTRY=$WORK/stores/ro.sqlite3 other "$PROBE" options show 2>/dev/null | grep -q '^MRULimit stored=REG_DWORD:7 effective=7$' ||
  fail "the values of a read-only store are not used"
GLYPHSCOPE_REGISTRY=$WORK/stores/ro.sqlite3 other "$PROBE" options save 2>/dev/null && fail "a read-only store took a save"
# Another user's store that cannot be read: the defaults.
chmod 777 stores; GLYPHSCOPE_REGISTRY=stores/mine.sqlite3 "$PROBE" options save; chmod 600 stores/mine.sqlite3
[ "$(id -u)" = 0 ] || chmod 000 stores/mine.sqlite3
run_with_store "$WORK/stores/mine.sqlite3" "cannot be used (Permission denied)" other
chmod 600 stores/mine.sqlite3
# A store locked by another process: a few seconds' wait in all, said once. The lock is held
# until the batch has ended (its end, not its time, shows that it stopped waiting by itself).
GLYPHSCOPE_REGISTRY=stores/locked.sqlite3 "$PROBE" options save
mkfifo hold
sqlite3 stores/locked.sqlite3 <hold >held.txt 2>&1 &
holder=$!
exec 7>hold
printf "BEGIN EXCLUSIVE;\nSELECT 'locked';\n" >&7
for _ in $(seq 1200); do grep -q '^locked$' held.txt && break; kill -0 $holder 2>/dev/null || break; sleep 0.05; done
if grep -q '^locked$' held.txt; then
  # Two minutes bound "it ends": a batch waiting for the lock to go would never end.
  run_with_store "$WORK/stores/locked.sqlite3" "is busy" timeout 120
  kill -0 $holder 2>/dev/null || fail "the lock went before the batch ended: $(cat held.txt)"
  [ "$(grep -c busy err.txt)" = 1 ] || fail "busy told more than once: $(cat err.txt)"
else
  fail "sqlite3 did not take the lock: $(cat held.txt)"
fi
printf 'COMMIT;\n' >&7; exec 7>&-
wait $holder 2>/dev/null

# A source name of 250 bytes: its outputs have 252 to 253.
long=$(printf 'n%.0s' $(seq 246)).ico
cp src/sample.ico "src/$long"
fresh_out
gs "/XBS:$WORK/src/$long,$WORK/out" 2>err.txt || fail "a 250-byte name: $(cat err.txt)"
[ -f "out/${long%.ico}_1.ico" ] && icotool -l "out/${long%.ico}_1.ico" >/dev/null || fail "a 250-byte name wrote $(ls out)"
rm "src/$long"

# A folder that can be entered but not listed: an exact name is opened; a pattern is told.
mkdir -p hidden; cp src/sample.ico hidden/; chmod 711 hidden
[ "$(id -u)" = 0 ] || chmod 311 hidden
fresh_out
GLYPHSCOPE_REGISTRY=:memory: other env -u DISPLAY "$GS" "/XBS:$WORK/hidden/sample.ico,$WORK/out" 2>err.txt || fail "exact name in 711 folder: $(cat err.txt)"
[ "$(ls out)" != "" ] || fail "exact name in 711 folder wrote nothing"
GLYPHSCOPE_REGISTRY=:memory: other env -u DISPLAY "$GS" "/XBS:$WORK/hidden/*.ico,$WORK/out" 2>err.txt && fail "an unlistable folder was not told"
[ "$(wc -l < err.txt)" = 1 ] && grep -q '^glyphscope: ' err.txt && [ "$(grep -o "$WORK/hidden" err.txt | wc -l)" = 1 ] ||
  fail "the folder error: $(cat err.txt)"
chmod 755 hidden
# A folder in the way of an output: told in the user's words, the source and target once each.
fresh_out; mkdir out/sample_1.ico
gs "/XBS:$WORK/src/sample.ico,$WORK/out" 2>err.txt && fail "a folder in the way was written over"
grep -q "^glyphscope: .*src/sample.ico: Cannot create file \"$WORK/out/sample_1.ico\". Is a directory$" err.txt ||
  fail "a folder in the way told as: $(cat err.txt)"

# Interrupted runs: SIGTERM half-way ends after whole files; kill -9 leaves no named partial.
fresh_out; gs "/XBS:$WORK/src/*.ic?,$WORK/out"; per_copy=$(ls out | wc -l)
mkdir many
for i in $(seq 1 600); do cp src/library.icl many/l$i.icl; cp src/sample.ico many/i$i.ico; done
interrupt() {  # signal
    fresh_out
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$GS" "/XBS:$WORK/many/*.*,$WORK/out,JPG" 2>err.txt &
    local pid=$! n=0
    while [ "$(ls out | wc -l)" -lt 100 ] && kill -0 $pid 2>/dev/null && [ $n -lt 100000 ]; do n=$((n + 1)); done
    kill "-$1" $pid; wait $pid 2>/dev/null
}
interrupt TERM; status=$?
[ $status = 143 ] || fail "SIGTERM: exit status $status"
[ "$(ls out | wc -l)" -lt $((600 * per_copy)) ] || fail "SIGTERM came after the whole batch; nothing tested"
ls -A out | grep -q '^\.' && fail "SIGTERM left $(ls -A out | grep '^\.')"
identify out/*.jpg >/dev/null 2>ident.txt; [ -s ident.txt ] && fail "SIGTERM left incomplete files: $(head -3 ident.txt)"
grep -q "^glyphscope: stopped by a signal; $(ls out | wc -l) image(s) saved.$" err.txt || fail "SIGTERM told as: $(cat err.txt)"
interrupt KILL
ls -A out | grep -q '^\.' && fail "kill -9 left $(ls -A out | grep '^\.')"
identify out/*.jpg >/dev/null 2>ident.txt; [ -s ident.txt ] && fail "kill -9 left incomplete files: $(head -3 ident.txt)"

[ $failures = 0 ] || { echo "$failures failure(s)"; exit 1; }
echo "the program holds up against hostile conditions"
