#!/usr/bin/env bash
# The real program's window road over a settings store it cannot use as usual, under X:
# - another process (sqlite3) holds the store while the window starts: the start waits, says
#   so in a box over the window, and the window's end, with the store free again, leaves the
#   favourites and options as they were;
# - the store's folder cannot be written (run as nobody when we are root, since root writes
#   through permission bits): read, said in a box, and the window ends with 0 and nothing
#   written.
# Each run ends by closing its window once the box is answered. Each road has an X server of
# its own (the script runs itself once a road), as a user's session starts the program afresh.
set -u
PROBE=$1; WORK=$2; ROAD=${3:-}
if [ -z "$ROAD" ]; then
  status=0
  for road in readonly busy; do
    bash "$0" "$PROBE" "$WORK/$road" "$road"; rc=$?
    [ $rc = 77 ] && exit 77
    status=$((status + rc))
  done
  [ $status = 0 ] && echo "a busy or read-only store: told in a box, left as it was, the window ends with 0"
  exit $status
fi
GS=${GLYPHSCOPE:?the program to test}
source "$GS_SOURCE_DIR/tests/support/xsession.sh"
source "$GS_SOURCE_DIR/tests/app/x11_program.sh"
xs_missing xwininfo xprop sqlite3 setpriv
xp_work settings
source "$GS_SOURCE_DIR/tests/app/store.sh"
xs_start --wm

stored() {  # every option, favourite and recent list as sqlite3 reads them
  sqlite3 "$GLYPHSCOPE_REGISTRY" "SELECT path, name, type, quote(data) FROM reg_entries
    WHERE path LIKE '%\\Options%' OR path LIKE '%\\Favorites%' OR path LIKE '%\\MRU%' ORDER BY path, seq"
}
# box_then_exit NAME PID: waits for the box over the main window, takes a picture, answers
# it (and a tip of the day that the defaults bring), closes the window; status 0 expected.
_is_active() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]; }
box_then_exit() {
  local name=$1 pid=$2 id box
  XS_SEEN="cat $name.out; xs_names" xs_no_splash glyphscope >/dev/null &&
    XS_SEEN="cat $name.out; xs_names" xs_count "$XP_MAIN" 2 >/dev/null || {
    fail "$name: no box over the window: $(cat "$name.out")"; xp_stop "$pid"; return; }
  xs_shot "$name.png"
  # The box is the smaller of the two windows of that name: answered once it has the keyboard.
  box=$(for w in $(xdotool search --onlyvisible --name "$XP_MAIN"); do
          echo "$(xdotool getwindowgeometry "$w" | awk '/Geometry/{split($2, s, "x"); print s[1] * s[2]}') $w"
        done | sort -n | head -1 | cut -d' ' -f2)
  xdotool windowactivate "$box" 2>/dev/null
  XS_SEEN="xdotool getactivewindow" xs_wait "the box to have the keyboard" _is_active "$box" || fail "$name: the box is not active"
  xdotool key Return
  xs_count "$XP_MAIN" 1 >/dev/null || fail "$name: the box stayed"
  if [ "$name" = busy ]; then
    xs_window "^Tip Of The Day" >/dev/null && xdotool key Escape && xs_gone "^Tip Of The Day" || fail "$name: no tip"
  fi
  id=$(xp_main_window) || fail "$name: no main window after the box"
  xdotool key --window "$id" alt+F4
  if ! xs_exit "$pid"; then fail "$name: still running after its window was closed"; xp_stop "$pid"
  elif [ "$XS_RC" != 0 ]; then fail "$name: exit status $XS_RC: $(cat "$name.out")"; fi
  grep -q "Unexpected" "$name.out" && fail "$name: $(cat "$name.out")"
}

# The store, made by the program: favourites in folders, options changed from their defaults.
export GLYPHSCOPE_REGISTRY="$WORK/settings/registry.sqlite3"
gs_store_without_tips "$PROBE" "$GLYPHSCOPE_REGISTRY"
printf 'Shell|/usr/lib/shell.dll\nIcons|/usr/share/icons\n' | "$PROBE" favorites add-many || fail "add-many"
sqlite3 "$GLYPHSCOPE_REGISTRY" "UPDATE reg_values SET data = 7 WHERE name = 'MRULimit'"
before=$(stored)
echo "$before" | grep -q "Shell" || fail "no favourites stored: $before"

if [ "$ROAD" = readonly ]; then  # a folder that cannot be written
if [ "$(id -u)" = 0 ]; then
  chown -R 65534:65534 settings; chmod 755 "$WORK"
  mkdir -p run-nobody; chown 65534:65534 run-nobody; chmod 700 run-nobody
  as_other() { setpriv --reuid=65534 --regid=65534 --clear-groups env XDG_RUNTIME_DIR="$WORK/run-nobody" "$@"; }
else
  as_other() { "$@"; }
fi
chmod 555 settings
as_other "$GS" >readonly.out 2>&1 &
box_then_exit readonly $!
grep -q "is in a folder that cannot be written" readonly.out || fail "the read-only folder was not said: $(cat readonly.out)"
chmod 755 settings
[ "$(stored)" = "$before" ] || fail "the read-only run changed the store"
ls settings | grep -q journal && fail "a journal was left: $(ls settings)"
fi

if [ "$ROAD" = busy ]; then

# Held by sqlite3 until the window is up and the program has said that the store is busy.
mkfifo hold
sqlite3 "$GLYPHSCOPE_REGISTRY" <hold >held.txt 2>&1 &
holder=$!
exec 7>hold
printf "BEGIN EXCLUSIVE;\nSELECT 'locked';\n" >&7
xs_line held.txt '^locked$' || fail "sqlite3 did not take the lock: $(cat held.txt)"
"$GS" >busy.out 2>&1 7>&- &  # the fifo stays sqlite3's alone: its end is the end of input
pid=$!
xs_line busy.out 'is busy' || fail "the busy store was not said: $(cat busy.out)"
printf 'COMMIT;\n' >&7; exec 7>&-
wait $holder
box_then_exit busy $pid
[ "$(stored)" = "$before" ] || fail "the busy start changed the store: $(diff <(echo "$before") <(stored))"
fi
exit $failures
