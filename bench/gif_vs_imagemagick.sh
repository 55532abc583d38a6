#!/usr/bin/env bash
# Times our GIF writer against ImageMagick's on the same 1024 x 1024 true-colour bitmap and
# prints the ratios of time and file size (ours / ImageMagick's).
#   bench/gif_vs_imagemagick.sh [GSPROBE] [RUNS]
# GSPROBE defaults to a Release build made in build/bench.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
probe=${1:-}
runs=${2:-5}
if [ -z "$probe" ]; then
  cmake -S "$root" -B "$root/build/bench" -G Ninja -DCMAKE_BUILD_TYPE=Release -DGLYPHSCOPE_WITH_QT=OFF >/dev/null
  cmake --build "$root/build/bench" --target gsprobe >/dev/null
  probe=$root/build/bench/tests/tools/gsprobe/gsprobe
fi
[ -x /usr/bin/convert ] || { echo "ImageMagick (/usr/bin/convert) is missing"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
/usr/bin/convert -seed 1 -size 1024x1024 plasma:fractal -type TrueColor BMP3:"$work/in.bmp"

# Best of RUNS wall-clock seconds of a command.
best() {
  local best_s="" t0 t1 s
  for _ in $(seq "$runs"); do
    t0=$(date +%s.%N); "$@" >/dev/null; t1=$(date +%s.%N)
    s=$(echo "$t1 - $t0" | bc -l)
    if [ -z "$best_s" ] || [ "$(echo "$s < $best_s" | bc -l)" = 1 ]; then best_s=$s; fi
  done
  echo "$best_s"
}

ours=$(best "$probe" gif-encode "$work/in.bmp" "$work/ours.gif")
theirs=$(best /usr/bin/convert "$work/in.bmp" "$work/theirs.gif")
ours_size=$(stat -c %s "$work/ours.gif")
theirs_size=$(stat -c %s "$work/theirs.gif")
printf 'ours:        %8.3f s %10d bytes (216-colour cube, no dither, LZW)\n' "$ours" "$ours_size"
printf 'ImageMagick: %8.3f s %10d bytes (own quantiser and dither)\n' "$theirs" "$theirs_size"
printf 'time ratio (ours/ImageMagick): %.3f\n' "$(echo "$ours / $theirs" | bc -l)"
printf 'size ratio (ours/ImageMagick): %.3f\n' "$(echo "$ours_size / $theirs_size" | bc -l)"
