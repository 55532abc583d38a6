#!/usr/bin/env bash
# Peak memory and time over each hostile file bench_hostile_files writes: reading it (gsprobe),
# showing it (listed as the main window's scan lists it, a GIF composed, a cursor's frames
# drawn as a strip), selecting its first icon (the preview pane's pictures and the preview
# bitmap), and the silent batch export over its folder. By hand, not in CI:
#
#   cmake -S . -B build/full -DGLYPHSCOPE_BENCH=ON ... &&
#     cmake --build build/full --target bench_hostile_files gsprobe glyphscope
#   bash bench/hostile_files.sh [build/full]
#
# Each run is held to HOSTILE_LIMIT_MB of address space (default 6144) and HOSTILE_SECONDS
# (default 300), so a reader that would take the machine fails instead: its row says so.
set -uo pipefail
build=${1:-build/full}
limit_mb=${HOSTILE_LIMIT_MB:-6144}
seconds=${HOSTILE_SECONDS:-300}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/bench_hostile_files" "$work/files" || exit 1
probe=$build/tests/tools/gsprobe/gsprobe
program=$build/app/glyphscope

# measure NAME ROAD COMMAND...: one row, the command's peak resident memory, time and outcome.
measure() {
  local name=$1 road=$2; shift 2
  local times="$work/time" status
  env -u DISPLAY -u WAYLAND_DISPLAY GLYPHSCOPE_REGISTRY=:memory: \
    prlimit --as=$((limit_mb * 1024 * 1024)) timeout "$seconds" \
    /usr/bin/time -f '%M %e' -o "$times" "$@" >"$work/out" 2>"$work/err"
  status=$?
  local peak_kb elapsed
  read -r peak_kb elapsed < <(tail -n 1 "$times" 2>/dev/null || echo "0 0")
  local how=ok
  [ "$status" -eq 124 ] && how="timed out"
  [ "$status" -ne 0 ] && [ "$status" -ne 124 ] && how="exit $status: $(tail -n 1 "$work/err" | cut -c1-60)"
  printf '%-18s %-6s %9s MB %8s s  %s\n' "$name" "$road" "$(awk -v k="$peak_kb" 'BEGIN { printf "%.1f", k / 1024 }')" \
    "$elapsed" "$how"
}

printf '%-18s %-6s %12s %10s  %s\n' file road "peak memory" time outcome
for dir in "$work"/files/*/; do
  name=$(basename "$dir")
  file=$(ls "$dir" | head -n 1)
  rm -rf "$work/shown"; mkdir -p "$work/shown"
  case $file in
    *.gif) measure "$name" read "$probe" gif-decode "$dir$file"
           measure "$name" show "$probe" gif-compose "$dir$file" "$work/shown" ;;
    *.ani) measure "$name" read "$probe" ani "$dir$file"
           measure "$name" show "$probe" ani-strip "$dir$file" "$work/shown/strip.bmp" ;;
    *) measure "$name" read "$probe" list "$dir$file"
       measure "$name" list "$build/bench/bench_hostile_files" --list "$dir$file"
       measure "$name" select "$build/bench/bench_hostile_files" --select "$dir$file" ;;
  esac
  rm -rf "$work/shown"
  rm -rf "$work/out-batch"; mkdir -p "$work/out-batch"
  measure "$name" batch "$program" "/XBS:$dir*.*,$work/out-batch"
done
