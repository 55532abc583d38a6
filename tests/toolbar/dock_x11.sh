#!/usr/bin/env bash
# Docking under a real X server (mouse grab, outline windows): a toolbar dragged by its
# handle into another dock, to the middle of the screen (floating, found by its caption),
# by its caption back onto a dock; Ctrl held over a dock keeps it floating; Esc leaves it
# where it was when it is dragged as an outline. Once with outlines, once moving the window.
# Each press, move and release is given once tbdockdemo's state line shows the one before
# handled (see its header), so the drags do not depend on the machine's speed.
set -euo pipefail
demo=$1
source "$(dirname "$0")/../support/xsession.sh"
unset QT_QPA_PLATFORM
xs_start
work=$(mktemp -d)
trap 'xs_stop; rm -rf "$work"' EXIT

for mode in --outline --smooth; do
  out="$work/state$mode"
  "$demo" $mode >"$out" 2>"$work/err$mode" &
  pid=$!
  XS_SEEN="tail -1 '$out'; tail -2 '$work/err$mode'"
  fail() { echo "FAIL ($mode): $1: $(tail -1 "$out")"; kill $pid 2>/dev/null || true; exit 1; }
  _is() { [[ $(tail -1 "$out") == $1 ]]; }
  state_is() { xs_wait "the state /$1/" _is "$1"; }  # a glob over the whole line
  # press at X,Y, move through the points, release: each step once the last is handled
  press() { xdotool mousemove "$1" "$2" mousedown 1; state_is "* dragging" || fail "no drag loop from $1,$2"; }
  through() {
    local p
    for p in "$@"; do xdotool mousemove ${p%,*} ${p#*,}; state_is "* $p dragging" || fail "the drag did not reach $p"; done
  }
  release() { xdotool mouseup 1; state_is "* idle" || fail "the drag did not end"; }
  drag() { press "$1" "$2"; shift 2; through "$@"; release; }
  _floats() { [ "$(xdotool search --name "^Standard Toolbar\$" 2>/dev/null | wc -l)" = "$1" ]; }
  floats() { xs_wait "$1 windows named Standard Toolbar" _floats "$1"; }
  place() { read -r _ _ at _ < <(tail -1 "$out"); x=${at%,*} y=${at#*,}; }
  dock_of() { local d f a s; read -r d f a s _ <<< "$1"; echo "$d $f $a $s"; }

  state_is "DockTop 0 * idle" || fail "starts in DockTop"
  drag 4 12 4,60 1,120
  state_is "DockLeft 0 * idle" || fail "into DockLeft"
  place
  drag $((x + 10)) $((y - 4)) 200,200 400,300
  state_is "- 1 * idle" || fail "floating"
  floats 1 || fail "no floating window"
  place
  # Ctrl held over the top dock: still floating
  xdotool keydown ctrl; drag $((x + 30)) $((y - 8)) 300,100 150,2; xdotool keyup ctrl
  state_is "- 1 * idle" || fail "Ctrl kept floating"
  before=$(dock_of "$(tail -1 "$out")"); place
  press $((x + 30)) $((y - 8)); through 500,500
  xdotool key Escape; state_is "* idle" || fail "Esc did not end the drag"
  xdotool mouseup 1
  if [ $mode = --outline ]; then
    [ "$(dock_of "$(tail -1 "$out")")" = "$before" ] || fail "Esc moved it"
  else
    place
  fi
  # Pressed away from the last press: two presses at one point would make a double click.
  drag $((x + 60)) $((y - 8)) 300,100 150,2
  state_is "DockTop 0 * idle" || fail "caption onto DockTop"
  floats 0 || fail "floating window left"
  kill $pid 2>/dev/null || true
  wait $pid 2>/dev/null || true
  echo "ok $mode"
done
