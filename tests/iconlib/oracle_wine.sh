#!/usr/bin/env bash
# Every module of Debian's wine64 x86_64 folder, when installed, read as wrestool reads it.
set -u
PROBE=$1; WORK=$2
. "$(dirname "$0")/oracle_lib.sh"
have_tools || exit 77
dir=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows
[ -d "$dir" ] || { echo "wine64 modules not installed: skipped"; exit 77; }
rm -rf "$WORK"; mkdir -p "$WORK"
status=0; n=0
for f in "$dir"/*.dll "$dir"/*.exe "$dir"/*.ocx "$dir"/*.cpl; do
  [ -f "$f" ] || continue
  wrestool -l --type=14 "$f" 2>/dev/null | grep -q . || continue
  # Pixels for a sample of modules keep the run short; names and sizes for all.
  case $(basename "$f") in shell32.dll|user32.dll|winecfg.exe) PIXELS=1 ;; *) PIXELS=0 ;; esac
  PIXELS=$PIXELS compare_module "$f" || status=1
  n=$((n + 1))
done
echo "$n modules compared"
exit $status
