#!/usr/bin/env bash
# Docking under a real X server (mouse grab, outline windows): a toolbar dragged by its
# handle into another dock, to the middle of the screen (floating, found by its caption),
# by its caption back onto a dock; Ctrl held over a dock keeps it floating; Esc leaves it
# where it was when it is dragged as an outline. Once with outlines, once moving the window.
set -euo pipefail
demo=$1
command -v xvfb-run >/dev/null || { echo "xvfb-run is not installed"; exit 77; }
command -v xdotool >/dev/null || { echo "xdotool is not installed"; exit 77; }
unset QT_QPA_PLATFORM
for mode in --outline --smooth; do
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  set -euo pipefail
  demo=$0 mode=$1 out=$(mktemp)
  "$demo" $mode > "$out" 2>/dev/null & pid=$!
  trap "kill $pid 2>/dev/null || true" EXIT
  state() { sleep 0.5; tail -1 "$out"; }
  # waits (up to 10 s on a loaded machine) for the last state line to match a pattern
  floats() { for _ in $(seq 100); do [ "$(xdotool search --name "^Standard Toolbar\$" | wc -l)" = $1 ] && return 0; sleep 0.1; done; return 1; }
  expect() { for _ in $(seq 100); do [[ $(tail -1 "$out") == $1 ]] && return 0; sleep 0.1; done; return 1; }
  fail() { echo "FAIL ($mode): $1: $(tail -1 "$out")"; exit 1; }
  # press at X,Y, move through the points, release
  drag() { local x=$1 y=$2; shift 2; xdotool mousemove "$x" "$y" mousedown 1; sleep 0.2
           for p in "$@"; do xdotool mousemove ${p%,*} ${p#*,}; sleep 0.15; done; xdotool mouseup 1; }
  for _ in $(seq 50); do [ -s "$out" ] && break; sleep 0.1; done
  expect "DockTop 0 *" || fail "starts in DockTop"
  drag 4 12 4,60 1,120
  expect "DockLeft 0 *" || fail "into DockLeft"
  read -r _ _ at _ < <(tail -1 "$out"); x=${at%,*} y=${at#*,}
  drag $((x + 10)) $((y - 4)) 200,200 400,300
  expect "- 1 *" || fail "floating"
  floats 1 || fail "no floating window"
  read -r _ _ at _ < <(tail -1 "$out"); x=${at%,*} y=${at#*,}
  # Ctrl held over the top dock: still floating
  xdotool keydown ctrl; drag $((x + 30)) $((y - 8)) 300,100 150,2; xdotool keyup ctrl
  [[ $(state) == "- 1 "* ]] || fail "Ctrl kept floating"
  before=$(tail -1 "$out"); read -r _ _ at _ <<< "$before"; x=${at%,*} y=${at#*,}
  xdotool mousemove $((x + 30)) $((y - 8)) mousedown 1; sleep 0.2; xdotool mousemove 500 500; sleep 0.2
  xdotool key Escape; sleep 0.2; xdotool mouseup 1
  if [ $mode = --outline ]; then
    [ "$(state)" = "$before" ] || fail "Esc moved it"
  else
    read -r _ _ at _ < <(state); x=${at%,*} y=${at#*,}
  fi
  drag $((x + 30)) $((y - 8)) 300,100 150,2
  expect "DockTop 0 *" || fail "caption onto DockTop"
  floats 0 || fail "floating window left"
  echo "ok $mode"
' "$demo" "$mode"
done
