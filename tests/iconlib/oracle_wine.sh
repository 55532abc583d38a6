#!/usr/bin/env bash
# Modules of Debian's wine64 x86_64 folder, when installed, read as wrestool reads it: with
# GS_WINE_ALL=1 every one (minutes: the optional test and the benchmark's), else a fixed
# sample: every eighth module with icons, and the three whose pixels are compared, of which
# shell32's hundreds of groups are taken one in six.
set -u
PROBE=$1; WORK=$2
. "$(dirname "$0")/oracle_lib.sh"
have_tools || exit 77
dir=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows
[ -d "$dir" ] || { echo "wine64 modules not installed: skipped"; exit 77; }
rm -rf "$WORK"; mkdir -p "$WORK"
modules=("$dir"/*.dll "$dir"/*.exe "$dir"/*.ocx "$dir"/*.cpl)
# The modules with icon groups, from one wrestool run over all of them (one run per module
# took most of the test's time): it writes each group as MODULE_14_NAME_LANGUAGE.ico.
mkdir "$WORK/groups"
wrestool -x --type=14 -o "$WORK/groups" "${modules[@]}" 2>/dev/null
declare -A with_icons
for g in "$WORK/groups"/*_14_*; do [ -e "$g" ] || continue; g=${g##*/}; with_icons[${g%%_14_*}]=1; done
status=0; n=0; k=0
for f in "${modules[@]}"; do
  [ -f "$f" ] && [ -n "${with_icons[${f##*/}]:-}" ] || continue
  k=$((k + 1))
  # Pixels for a sample of modules keep the run short; names and sizes for the rest.
  case $(basename "$f") in shell32.dll|user32.dll|winecfg.exe) PIXELS=1 ;; *) PIXELS=0 ;; esac
  [ "${GS_WINE_ALL:-0}" = 1 ] || [ $PIXELS = 1 ] || [ $((k % 8)) = 1 ] || continue
  step=1; [ "${GS_WINE_ALL:-0}" = 1 ] || [ "$(basename "$f")" != shell32.dll ] || step=6
  GROUP_STEP=$step PIXELS=$PIXELS compare_module "$f" || status=1
  n=$((n + 1))
done
echo "$n modules compared"
exit $status
