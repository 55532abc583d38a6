#!/usr/bin/env bash
# tbdemo --dock-demo: the toolbar made from the main window's toolbar file, docked at the
# top of a form, measures its buttons (401 x 22) plus its docked frame and drag handle;
# the menu bar docked at the left stands up.
set -euo pipefail
tbdemo=$1 data=$2
export QT_QPA_PLATFORM=offscreen
fail() { echo "FAIL: $*"; exit 1; }
[ -s "$data/tbmain.txt" ] || fail "missing test material $data/tbmain.txt"
out=$("$tbdemo" --dock-demo "$data/tbmain.txt" --print-geometry 2>/dev/null)
[ "$out" = "tbMain 411x26" ] || fail "geometry: $out"
# The menu bar docked at the left runs down the form, its captions turned: a bar one
# font line (plus frame) wide and the form's height tall.
out=$("$tbdemo" --dock-demo "$data/menu-bar.txt" --dock left --menubar --print-geometry 2>/dev/null)
[[ $out =~ ^tbMenu\ ([0-9]+)x([0-9]+)$ ]] || fail "side geometry: $out"
(( BASH_REMATCH[1] < 40 && BASH_REMATCH[2] >= 200 )) || fail "a side-docked menu bar of $out"
shot=$(mktemp --suffix=.png)
trap 'rm -f "$shot"' EXIT
"$tbdemo" --render "$shot" --images "$data/painted-items.txt" 2>/dev/null || fail "render painted-items"
[ -s "$shot" ] || fail "no picture of painted-items"
if "$tbdemo" --dock-demo "$data/no-such-file.txt" --print-geometry >/dev/null 2>&1; then fail "a missing file"; fi
echo ok
