#!/usr/bin/env bash
# Times the silent batch ICO export of a folder of modules against wrestool extracting the
# same icon groups into files, and prints the time ratio (ours / wrestool).
#   bench/batch_vs_wrestool.sh [GLYPHSCOPE] [GSPROBE] [RUNS]
# The folder is Debian's wine64 module folder when it is installed, else 300 copies of the
# PE32+ sample module gsprobe makes (GS_BENCH_MODULES names another folder). Without
# arguments a Release build is made in build/bench.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
gs=${1:-}
probe=${2:-}
runs=${3:-5}
if [ -z "$gs" ] || [ -z "$probe" ]; then
  cmake -S "$root" -B "$root/build/bench" -G Ninja -DCMAKE_BUILD_TYPE=Release -DGLYPHSCOPE_WITH_QT=OFF >/dev/null
  cmake --build "$root/build/bench" --target glyphscope gsprobe >/dev/null
  gs=$root/build/bench/app/glyphscope
  probe=$root/build/bench/tests/tools/gsprobe/gsprobe
fi
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

ours=$(best env -u DISPLAY -u WAYLAND_DISPLAY "$gs" "/XBS:$modules/*.*,$work/out")
ours_files=$(ls "$work/out" | wc -l)
theirs=$(best wrestool -x --type=14 -o "$work/out" "$modules"/*)
theirs_files=$(ls "$work/out" | wc -l)
echo "folder: $modules ($(ls "$modules" | wc -l) files)"
printf 'glyphscope /XBS: %8.3f s %6d icon files\n' "$ours" "$ours_files"
printf 'wrestool -x:     %8.3f s %6d icon files (every language of a group)\n' "$theirs" "$theirs_files"
printf 'time ratio (ours/wrestool): %.3f\n' "$(echo "$ours / $theirs" | bc -l)"
