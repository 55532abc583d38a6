#!/usr/bin/env bash
# tbdemo --dock-demo: the toolbar made from the main window's toolbar file, docked at the
# top of a form, measures its buttons (401 x 22) plus its docked frame and drag handle.
set -euo pipefail
tbdemo=$1 data=$2
export QT_QPA_PLATFORM=offscreen
fail() { echo "FAIL: $*"; exit 1; }
[ -s "$data/tbmain.txt" ] || fail "missing test material $data/tbmain.txt"
out=$("$tbdemo" --dock-demo "$data/tbmain.txt" --print-geometry 2>/dev/null)
[ "$out" = "tbMain 411x26" ] || fail "geometry: $out"
if "$tbdemo" --dock-demo "$data/no-such-file.txt" --print-geometry >/dev/null 2>&1; then fail "a missing file"; fi
echo ok
