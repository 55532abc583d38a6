#!/usr/bin/env bash
# What reading a folder of modules costs us against wrestool over the same files, in one run:
#   (a) the core's folder scan (the extraction worker with a sink that only counts) against
#       wrestool -l --type=14;
#   (b) the silent ICO batch (the real program) against wrestool -x --type=14 into files;
# with the bytes our read calls returned, the pages faulted in and the bytes of icon data.
#   bench/read_cost_vs_wrestool.sh [RUNS]
# The folder is Debian's wine64 module folder when it is installed, else 300 copies of the
# PE32+ sample module gsprobe makes (GS_BENCH_MODULES names another folder). A Release build
# is made in build/bench.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-5}
cmake -S "$root" -B "$root/build/bench" -G Ninja -DCMAKE_BUILD_TYPE=Release -DGLYPHSCOPE_WITH_QT=OFF \
  -DGLYPHSCOPE_BENCH=ON >/dev/null
cmake --build "$root/build/bench" --target glyphscope gsprobe bench_scan_cost >/dev/null
gs=$root/build/bench/app/glyphscope
probe=$root/build/bench/tests/tools/gsprobe/gsprobe
cost=$root/build/bench/bench/bench_scan_cost
command -v wrestool >/dev/null || { echo "wrestool (icoutils) is missing"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export GLYPHSCOPE_REGISTRY=:memory:

modules=${GS_BENCH_MODULES:-/usr/lib/x86_64-linux-gnu/wine/x86_64-windows}
if [ ! -d "$modules" ]; then
  modules=$work/modules
  mkdir -p "$work/samples" "$modules"
  "$probe" make-samples "$work/samples"
  for i in $(seq 300); do cp "$work/samples/sample.dll" "$modules/module$i.dll"; done
fi

# Best of RUNS wall-clock seconds of a command, each run into an empty folder.
best() {
  local best_s="" t0 t1 s
  for _ in $(seq "$runs"); do
    rm -rf "$work/out"; mkdir "$work/out"
    t0=$(date +%s.%N); "$@" >/dev/null 2>&1 || true; t1=$(date +%s.%N)
    s=$(echo "$t1 - $t0" | bc -l)
    if [ -z "$best_s" ] || [ "$(echo "$s < $best_s" | bc -l)" = 1 ]; then best_s=$s; fi
  done
  echo "$best_s"
}
# Best of RUNS of one field of bench_scan_cost's line WHAT.
best_field() {
  local what=$1 field=$2 best_v="" v
  for _ in $(seq "$runs"); do
    rm -rf "$work/out"; mkdir "$work/out"
    v=$("$cost" "$modules" "$work/out" | awk -v w="$what" -v f="$field" '$1 == w { for (i = 2; i < NF; i += 2) if ($i == f) print $(i + 1) }')
    if [ -z "$best_v" ] || [ "$(echo "$v < $best_v" | bc -l)" = 1 ]; then best_v=$v; fi
  done
  echo "$best_v"
}

rm -rf "$work/out"; mkdir "$work/out"
"$cost" "$modules" "$work/out" >"$work/cost.txt"
scan=$(best_field scan seconds)
wl=$(best wrestool -l --type=14 "$modules"/*)
ours=$(best env -u DISPLAY -u WAYLAND_DISPLAY "$gs" "/XBS:$modules/*.*,$work/out")
ours_files=$(ls "$work/out" | wc -l)
peak=$( { /usr/bin/time -f %M env -u DISPLAY "$gs" "/XBS:$modules/*.*,$work/out" >/dev/null; } 2>&1 | tail -n 1)
wx=$(best wrestool -x --type=14 -o "$work/out" "$modules"/*)
theirs_files=$(ls "$work/out" | wc -l)

echo "folder: $modules ($(ls "$modules" | wc -l) files, $(du -sb "$modules" | cut -f1) bytes)"
cat "$work/cost.txt"
printf '(a) core folder scan:  %8.4f s   wrestool -l: %8.4f s   ratio %.3f\n' "$scan" "$wl" "$(echo "$scan / $wl" | bc -l)"
printf '(b) silent ICO batch:  %8.4f s   wrestool -x: %8.4f s   ratio %.3f\n' "$ours" "$wx" "$(echo "$ours / $wx" | bc -l)"
printf '    icon files: ours %d, wrestool %d (every language of a group); batch peak RSS %s KB\n' \
  "$ours_files" "$theirs_files" "$peak"
