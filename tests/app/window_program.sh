#!/usr/bin/env bash
# The real program's window road: while a plain start runs (offscreen), a second plain start
# refuses with the single-instance message and a start naming a folder is not refused; once
# the first is killed with -9, a plain start is not refused any more. The lock is held as
# util-linux flock(1) sees it.
set -u
WORK=$2
GS=${GLYPHSCOPE:?the program to test}
command -v flock >/dev/null || { echo "missing flock"; exit 77; }
rm -rf "$WORK"; mkdir -p "$WORK/run"; chmod 700 "$WORK/run"; cd "$WORK" || exit 1
export XDG_RUNTIME_DIR="$WORK/run"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
headless() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$GS" "$@"; }
refusal="You cannot create multiple instances of Veltrazone Glyphscope."
lock="$XDG_RUNTIME_DIR/glyphscope-VEXUM-$(id -u).lock"

QT_QPA_PLATFORM=offscreen "$GS" >first.out 2>&1 &
first=$!
trap 'kill -9 $first 2>/dev/null' EXIT
source "$GS_SOURCE_DIR/tests/support/xsession.sh"  # for xs_wait alone: the program runs offscreen
_held() { [ -e "$lock" ] && ! flock -n "$lock" true; }
XS_SEEN="cat first.out" xs_wait "the first start to hold $lock" _held
flock -n "$lock" true && fail "the first start holds no lock on $lock"
kill -0 $first 2>/dev/null || fail "the first start ended: $(cat first.out)"

headless >second.out 2>&1
grep -qF "$refusal" second.out || fail "second plain start not refused: $(cat second.out)"
headless "/X:$WORK" >named.out 2>&1
grep -qF "$refusal" named.out && fail "a start naming a folder was refused"
grep -q "no display" named.out || fail "a start naming a folder without a display: $(cat named.out)"

kill -9 $first; wait $first 2>/dev/null
flock -n "$lock" true || fail "the lock outlived the killed first start"
headless >third.out 2>&1
grep -qF "$refusal" third.out && fail "a plain start after the first was killed was refused"
grep -q "no display" third.out || fail "third start: $(cat third.out)"
[ $failures -eq 0 ] && echo "window road: single instance held and released"
exit $failures
