#!/usr/bin/env bash
# Builds Glyphscope and runs it on the sample icons the build draws (icon files and an icon
# library written by the program's own writers): with a display, the main window listing
# them; without one, the silent batch export.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build/run -G Ninja -DCMAKE_BUILD_TYPE=Release -DGLYPHSCOPE_TESTS=OFF >/dev/null
cmake --build build/run -j "$(nproc)" --target glyphscope glyphscope_samples
samples=$PWD/build/run/samples
out=$PWD/build/run/exported
rm -rf "$out"
mkdir -p "$out"
echo "Sample icons in $samples: $(cd "$samples" && echo *)"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec build/run/app/glyphscope "/X:$samples"
else
  echo "No display: silent batch export."
  build/run/app/glyphscope "/XBS:$samples/*.*,$out"
fi
echo "Exported icons written to $out:"
ls -l "$out"
