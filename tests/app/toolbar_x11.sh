#!/usr/bin/env bash
# The real program's main toolbar under an X server and a window manager: dragged by its
# handle to the middle of the screen it floats in a window of its own ("Standard Toolbar"),
# dragged by that window's caption onto the top dock it docks again (the window goes), and a
# window manager's close request on the floating toolbar closes the program (status 0).
# The screenshot of each step is kept in the work folder.
set -u
WORK=$2
GS=${GLYPHSCOPE:?the program to test}
for tool in sqlite3 xvfb-run xdotool xwininfo wmctrl openbox import; do
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
  floats() {  # waits (up to 10 s) for N floating toolbar windows
    for _ in $(seq 100); do [ "$(xdotool search --onlyvisible --name "^Standard Toolbar\$" | wc -l)" = $1 ] && return 0; sleep 0.1; done
    return 1
  }
  origin() {  # the client area of a window: x y
    xwininfo -id "$1" | awk "/Absolute upper-left X/{x=\$NF} /Absolute upper-left Y/{y=\$NF} END{print x, y}"
  }
  drag() {  # press at X,Y, move through the points, release
    local x=$1 y=$2; shift 2
    xdotool mousemove "$x" "$y" mousedown 1; sleep 0.2
    for p in "$@"; do xdotool mousemove ${p%,*} ${p#*,}; sleep 0.15; done
    xdotool mouseup 1
  }
  "$GS" > "$WORK/out" 2>&1 & pid=$!
  main=
  for _ in $(seq 200); do main=$(xdotool search --onlyvisible --name "^Veltrazone Glyphscope" | head -1); [ -n "$main" ] && break; sleep 0.1; done
  [ -n "$main" ] || { echo "FAIL: no main window: $(cat "$WORK/out")"; exit 1; }
  sleep 2.5  # the splash goes
  read -r cx cy < <(origin "$main")
  import -window root "$WORK/docked.png"
  # The handle of the second bar of the top dock (the menu bar has the first row).
  drag $((cx + 3)) $((cy + 37)) $((cx + 12)),$((cy + 80)) 300,300 400,400
  floats 1 || fail "the toolbar dragged by its handle does not float"
  import -window root "$WORK/floating.png"
  float=$(xdotool search --onlyvisible --name "^Standard Toolbar\$" | head -1)
  if [ -n "$float" ]; then
    read -r fx fy < <(origin "$float")
    drag $((fx + 50)) $((fy + 8)) 300,200 $((cx + 100)),$((cy + 40)) $((cx + 50)),$((cy + 26))  # back at the left end
    floats 0 || fail "the toolbar dragged by its caption onto the top dock still floats"
    import -window root "$WORK/back.png"
  fi
  drag $((cx + 3)) $((cy + 37)) $((cx + 12)),$((cy + 80)) 300,300 400,400
  if floats 1; then
    # The window manager takes a new window on a moment after it maps: ask again until then.
    for _ in 1 2 3; do
      wmctrl -c "Standard Toolbar"
      for _ in $(seq 30); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
      kill -0 $pid 2>/dev/null || break
    done
    if kill -0 $pid 2>/dev/null; then import -window root "$WORK/closing.png"; fail "closing the floating toolbar left the program running"; kill -9 $pid
    else wait $pid; rc=$?; [ $rc = 0 ] || fail "closed with status $rc"; fi
  else
    fail "the toolbar does not float a second time"; kill -9 $pid
  fi
  kill $wm 2>/dev/null
  exit $failures
'
