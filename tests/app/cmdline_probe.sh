#!/usr/bin/env bash
# `gsprobe cmdline` for every form of the one argument.
set -euo pipefail
probe=$1 work=$2
rm -rf "$work" && mkdir -p "$work/out" "$work/in"
touch "$work/in/a.dll"
mkfifo "$work/in/pipe"

# expect ARGS... -- LINES...: every given line must be in the probe's output.
expect() {
  local args=() out
  while [ "$1" != "--" ]; do args+=("$1"); shift; done
  shift
  out=$("$probe" cmdline "${args[@]}")
  for line in "$@"; do
    grep -qxF -- "$line" <<<"$out" || { echo "cmdline ${args[*]}: no '$line' in:"; echo "$out"; exit 1; }
  done
}

expect "/x:$work/in/a.dll" -- mode=rmFile "start=$work/in/a.dll"
expect "/X:$work/in" -- mode=rmFolder "start=$work/in"
(cd "$work" && expect "/X:in" -- mode=rmFolder "start=$work/in")
expect "/X:$work/in/pipe" -- mode=rmNone start=
expect "/X:$work/in/missing" -- mode=rmNone start=
expect "$work/in" -- mode=rmNone start=
expect "/X:$work/in" extra -- mode=rmNone start=
expect "/XB:$work/in/*.dll,$work/out" -- mode=rmBatch "filespec=$work/in/*.dll" "target=$work/out" \
  format=ICO size=all transparent=true silent=false
expect "/xBs:src/*.exe,$work/out,gif,32,false" -- mode=rmBatch filespec=src/*.exe format=GIF size=32 \
  transparent=false silent=true
expect "/XB:a,$work/out,tif,16,true" -- format=TIF size=16 transparent=true
expect "/XB:a,$work/out,PNG,48,True,x" -- format=ICO size=48 transparent=false
expect "/XB:src/*.exe" -- mode=rmNone "refused=Target dir missing in command line argument."
expect "/XB:,$work/out" -- mode=rmNone "refused=File spec missing in command line argument."
expect "/XBS:a,$work/nowhere" -- mode=rmNone "refused=Invalid target dir in command line argument."
echo "cmdline probe: ok"
