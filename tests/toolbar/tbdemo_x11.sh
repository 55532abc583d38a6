#!/usr/bin/env bash
# A popup menu and a menu bar under a real X server (with its keyboard and mouse grabs):
# keys select and execute, a click outside every popup closes it with nothing clicked.
set -euo pipefail
tbdemo=$1 menu=$2
command -v xvfb-run >/dev/null || { echo "xvfb-run is not installed"; exit 77; }
command -v xdotool >/dev/null || { echo "xdotool is not installed"; exit 77; }
unset QT_QPA_PLATFORM
bar=$(dirname "$menu")/menu-bar.txt
run() {  # run [--bar] XDOTOOL-ARGS...: pops the menu up at 100,100 (or shows the bar), then drives it
  local mode=(--popup-at 100,100) file=$menu
  if [ "$1" = --bar ]; then mode=(--bar) file=$bar; shift; fi
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    tbdemo=$0 menu=$1 out=$2 mode=$3
    shift 3
    "$tbdemo" $mode "$menu" > "$out" & pid=$!
    for _ in $(seq 50); do xdotool search --onlyvisible --class tbdemo >/dev/null 2>&1 && break; sleep 0.1; done
    sleep 1  # the grabs follow the mapping of the window, later on a loaded machine
    xdotool "$@"
    for _ in $(seq 100); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
    kill $pid 2>/dev/null || true
    wait $pid || true
    cat "$out"' "$tbdemo" "$file" "$(mktemp)" "${mode[*]}" "$@" 2>/dev/null
}
out=$(run key Down Return)
[ "$out" = "Select F&older..." ] || { echo "keys: got '$out'"; exit 1; }
out=$(run mousemove 900 700 click 1)
[ "$out" = "none" ] || { echo "click outside: got '$out'"; exit 1; }
# The bar at the top left: a click on File opens it and keeps it open; keys walk on.
out=$(run --bar mousemove 10 10 click 1 sleep 0.3 key Down Down Return)
[ "$out" = "&Save" ] || { echo "bar, keys in File: got '$out'"; exit 1; }
out=$(run --bar mousemove 10 10 click 1 sleep 0.3 key Right Return)
[ "$out" = "&Copy" ] || { echo "bar, Right to Edit: got '$out'"; exit 1; }
out=$(run --bar mousemove 10 10 click 1 sleep 0.3 mousemove 900 700 click 1)
[ "$out" = "none" ] || { echo "bar, click outside: got '$out'"; exit 1; }
