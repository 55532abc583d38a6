#!/usr/bin/env bash
# A popup menu and a menu bar under a real X server (with its keyboard and mouse grabs):
# keys select and execute, a click outside every popup closes it with nothing clicked.
# Input is given only once tbdemo says the state it needs is there (its window shown, its
# menu loop holding the grabs), so a loaded machine changes nothing but the time taken; the
# grabs it says it holds are asked of the X server by another client (xgrabprobe).
set -euo pipefail
tbdemo=$1 menu=$2 grabprobe=$3
source "$(dirname "$0")/../support/xsession.sh"
unset QT_QPA_PLATFORM
bar=$(dirname "$menu")/menu-bar.txt
xs_start
work=$(mktemp -d)
trap 'xs_stop; rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
stop() { kill "$1" 2>/dev/null || true; wait "$1" 2>/dev/null || true; }

# run NAME WANT [--bar] [XDOTOOL-ARGS...] [-- XDOTOOL-ARGS...]: pops the menu up at 100,100
# (or shows the bar, waits for it and gives it the first arguments, its click on File), waits
# for the popup's grabs, gives the arguments after -- and checks the answer tbdemo prints last.
run() {
  local name=$1 want=$2; shift 2
  local out="$work/$name.out" mode=(--popup-at 100,100) file=$menu first=()
  if [ "$1" = --bar ]; then
    mode=(--bar) file=$bar; shift
    while [ "$1" != -- ]; do first+=("$1"); shift; done
  fi
  [ "${1:-}" = -- ] && shift
  "$tbdemo" "${mode[@]}" "$file" >"$out" 2>"$work/$name.err" &
  local pid=$!
  local XS_SEEN="tr '\n' ' ' <'$out'; tail -2 '$work/$name.err'"  # what a wait that runs out saw
  if [ ${#first[@]} -gt 0 ]; then
    xs_line "$out" '^shown$' || { fail "$name: the bar never showed"; stop $pid; return; }
    xdotool "${first[@]}"
  fi
  if xs_line "$out" '^grabbed$'; then
    local grabs; grabs=$("$grabprobe")
    [ "$grabs" = "pointer held keyboard held" ] || fail "$name: the menu loop runs, but the X server says $grabs"
    xdotool "$@"
    xs_exit $pid || { fail "$name: tbdemo did not end after $*"; stop $pid; return; }
    [ "$XS_RC" = 0 ] || fail "$name: tbdemo exited $XS_RC: $(cat "$work/$name.err")"
    local got; got=$(tail -1 "$out")
    [ "$got" = "$want" ] || fail "$name: got '$got', not '$want'"
  else
    fail "$name: no menu loop with its grabs"; stop $pid
  fi
}
run keys "Select F&older..." -- key Down Return
run "click outside" none -- mousemove 900 700 click 1
# The bar at the top left: a click on File opens it and keeps it open; keys walk on.
run "bar, keys in File" "&Save" --bar mousemove 10 10 click 1 -- key Down Down Return
run "bar, Right to Edit" "&Copy" --bar mousemove 10 10 click 1 -- key Right Return
run "bar, click outside" none --bar mousemove 10 10 click 1 -- mousemove 900 700 click 1
[ $failures = 0 ] || exit 1
echo "popup and bar under X: keys and clicks as expected"
