#!/usr/bin/env bash
# The real program's menu bar under an X server and a window manager: Alt tapped, then Return
# twice, runs File's first command (its folder dialog shows); Alt+F, Down, F runs "Select
# File..." (its file dialog shows); Alt+F, Down, X ends the program with 0.
set -u
WORK=$2
GS=${GLYPHSCOPE:?the program to test}
for tool in sqlite3 xvfb-run xdotool openbox; do
  command -v $tool >/dev/null || { echo "$tool is not installed"; exit 77; }
done
rm -rf "$WORK"; mkdir -p "$WORK/run"; chmod 700 "$WORK/run"; cd "$WORK" || exit 1
unset QT_QPA_PLATFORM
export XDG_RUNTIME_DIR="$WORK/run" GS WORK
# The bars are under test, not the first start: a store whose options turn the start-up tips
# off, so no tip of the day stands in front of the window.
export GLYPHSCOPE_REGISTRY="$WORK/registry.sqlite3"
"$1" options save >/dev/null && sqlite3 "$GLYPHSCOPE_REGISTRY" "UPDATE reg_values SET data = 0 WHERE name_fold = 'showtips'" ||
  { echo "FAIL: no store with the tips off"; exit 1; }
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  failures=0
  fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
  openbox >/dev/null 2>&1 & wm=$!
  # waits (up to 20 s on a loaded machine) for a visible window whose name matches
  shows() { for _ in $(seq 200); do xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 && return 0; sleep 0.1; done; return 1; }
  # starts the program, waits for its main window and gives it the keys; $1 names what must show
  run() {
    local expect=$1; shift
    "$GS" > "$WORK/out" 2>&1 & pid=$!
    shows "^Veltrazone Glyphscope" || { fail "no main window: $(cat "$WORK/out")"; kill $pid; return; }
    sleep 1  # the splash closes and the window takes the focus
    xdotool search --onlyvisible --name "^Veltrazone Glyphscope" windowactivate --sync 2>/dev/null
    xdotool key --delay 150 "$@"
    if [ "$expect" = exit ]; then
      for _ in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
      if kill -0 $pid 2>/dev/null; then fail "still running after $*"; kill -9 $pid; wait $pid 2>/dev/null
      else wait $pid; rc=$?; [ $rc = 0 ] || fail "exit status $rc after $*"; fi
    else
      shows "$expect" || fail "$* did not show $expect"
      kill $pid 2>/dev/null; wait $pid 2>/dev/null
    fi
  }
  run "^Please select the folder" alt Return Return
  run "^Please select the file" alt+f Down f
  run exit alt+f Down x
  kill $wm 2>/dev/null
  exit $failures
'
