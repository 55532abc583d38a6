#!/usr/bin/env bash
# The real program's exit status and what it says on every road a batch takes without a
# display someone sees: no display, an offscreen or a minimal platform, each also beside a
# running window of the program (its instance lock held). A batch that ran ends 0, or 1
# after a failure; a refused one ends 1 on every road and says it was refused, never
# "run a batch export"; a start that would open the window without a display ends 2.
# Every run is bounded: one that waits on a box nobody sees fails instead of hanging.
set -u
PROBE=$1; WORK=$2
GS=${GLYPHSCOPE:?the program to test}
command -v flock >/dev/null || { echo "missing flock"; exit 77; }
rm -rf "$WORK"; mkdir -p "$WORK/run"; chmod 700 "$WORK/run"; cd "$WORK" || exit 1
"$PROBE" make-samples src >/dev/null || exit 1
export XDG_RUNTIME_DIR="$WORK/run" GLYPHSCOPE_REGISTRY="$WORK/registry.sqlite3"
lock="$XDG_RUNTIME_DIR/glyphscope-VEXUM-$(id -u).lock"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# run_on ROAD ARG: runs the program on ROAD (none, offscreen or minimal; "+lock" while a
# window's lock is held) in a fresh out/ with a folder where its second icon goes when ARG
# names out/blocked; sets status, and said (its stderr on one line, lines joined by " / ").
run_on() {
  local platform=${1%+lock} holder=()
  local -a cmd=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
  [ "$platform" = none ] || cmd+=(QT_QPA_PLATFORM=$platform)
  [ "$1" = "$platform" ] || holder=(flock "$lock")
  rm -rf out; mkdir -p out/blocked/sample_2.ico
  "${holder[@]}" timeout -k 10 120 "${cmd[@]}" "$GS" "$2" >/dev/null 2>err.txt
  status=$?
  said=$(sed ':a;N;$!ba;s/\n/ \/ /g' err.txt)
}

ok="^glyphscope: Information: [0-9]+ icon\(s\) saved\.$"
failed="^glyphscope: (Warning: )?Batch extraction raised an error\..*sample"
no_target="^glyphscope: Warning: Target dir missing in command line argument\. / glyphscope: the batch export was refused, so nothing was exported; no display shows the main window instead$"
no_dir="^glyphscope: Warning: Invalid target dir in command line argument\. / glyphscope: the batch export was refused"
no_spec="^glyphscope: Warning: File spec missing in command line argument\. / glyphscope: the batch export was refused"
while read -r road arg want pattern; do
  [ -z "$road" ] || [ "${road#\#}" != "$road" ] && continue
  arg=${arg//SRC/$WORK/src}; arg=${arg//OUT/$WORK/out}
  run_on "$road" "$arg"
  [ "$status" = "$want" ] || fail "$road $arg: status $status, not $want: $said"
  printf '%s' "$said" | grep -Eq -- "${!pattern}" || fail "$road $arg: said \"$said\", not /${!pattern}/"
  printf '%s' "$said" | grep -q "run a batch export" && fail "$road $arg: told to run a batch: $said"
done <<'ROADS'
# road          argument                     status  what it says (a variable above)
none            /XB:SRC/*.*,OUT              0       ok
offscreen       /XB:SRC/*.*,OUT              0       ok
minimal         /XB:SRC/*.*,OUT              0       ok
offscreen+lock  /XB:SRC/*.*,OUT              0       ok
offscreen       /XBS:SRC/*.*,OUT/blocked     1       failed
minimal         /XB:SRC/*.*,OUT/blocked      1       failed
none            /XBS:SRC/*.*                 1       no_target
offscreen       /XBS:SRC/*.*                 1       no_target
minimal         /XB:SRC/*.*                  1       no_target
none+lock       /XBS:SRC/*.*                 1       no_target
offscreen+lock  /XB:SRC/*.*                  1       no_target
none            /xb:SRC/*.*,OUT/missing      1       no_dir
offscreen       /XBS:,OUT                    1       no_spec
ROADS

# The silent run that works says nothing; a plain start without a display ends 2.
run_on offscreen "/XBS:$WORK/src/*.*,$WORK/out"
[ "$status" = 0 ] && [ -z "$said" ] && [ "$(ls out | wc -l)" -ge 4 ] || fail "offscreen silent run: $status, $said, $(ls out)"
run_on none "/X:$WORK/src"
[ "$status" = 2 ] && [ "$said" = "glyphscope: no display to show the main window on; run a batch export with /XB: or /XBS:" ] ||
  fail "a window start without a display: $status, $said"

[ $failures = 0 ] || { echo "$failures failure(s)"; exit 1; }
echo "batch roads: every status and message as README says"
