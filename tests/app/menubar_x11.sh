#!/usr/bin/env bash
# The real program's menu bar under an X server and a window manager: Alt tapped, then Return
# twice, runs File's first command (its folder dialog shows); Alt+F, Down, F runs "Select
# File..." (its file dialog shows); Alt+F, Down, X ends the program with 0. The keys that
# follow an opened menu are given once its popup shows (it holds the keyboard then).
set -u
WORK=$2
GS=${GLYPHSCOPE:?the program to test}
source "$GS_SOURCE_DIR/tests/support/xsession.sh"
source "$GS_SOURCE_DIR/tests/app/x11_program.sh"
xs_missing xwininfo xprop
rm -rf "$WORK"; mkdir -p "$WORK/run"; chmod 700 "$WORK/run"; cd "$WORK" || exit 1
unset QT_QPA_PLATFORM
export XDG_RUNTIME_DIR="$WORK/run"
export GLYPHSCOPE_REGISTRY="$WORK/registry.sqlite3"
source "$GS_SOURCE_DIR/tests/app/store.sh"
gs_store_without_tips "$1" "$GLYPHSCOPE_REGISTRY"
xs_start --wm
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# run WHAT OPENING... -- IN-MENU...: starts the program, waits for its main window, types the
# keys that open File's popup, waits for it, types the rest; WHAT is the window that must
# show then, or "exit" for the program to end with 0.
run() {
  local expect=$1; shift
  local opening=()
  while [ "$1" != -- ]; do opening+=("$1"); shift; done
  shift
  "$GS" >"$WORK/out" 2>&1 &
  local pid=$!
  if ! xp_main_window >/dev/null; then
    fail "no main window: $(cat "$WORK/out")"; xp_stop $pid; return
  fi
  xdotool key "${opening[@]}"
  if ! xp_popup_shows; then
    fail "${opening[*]} opened no menu"; xp_stop $pid; return
  fi
  xdotool key "$@"
  if [ "$expect" = exit ]; then
    if ! xs_exit $pid; then fail "still running after ${opening[*]} $*"; xp_stop $pid
    elif [ "$XS_RC" != 0 ]; then fail "exit status $XS_RC after ${opening[*]} $*"; fi
  else
    xs_window "$expect" >/dev/null || fail "${opening[*]} $* did not show $expect"
    xp_stop $pid
  fi
}
run "^Please select the folder" alt Return -- Return
run "^Please select the file" alt+f Down -- f
run exit alt+f Down -- x
[ $failures = 0 ] && echo "menu bar keys: folder dialog, file dialog, exit"
exit $failures
