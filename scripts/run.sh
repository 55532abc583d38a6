#!/usr/bin/env bash
# Builds Glyphscope and runs it on the sample icons the build makes.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build/run -G Ninja -DCMAKE_BUILD_TYPE=Release -DGLYPHSCOPE_TESTS=ON >/dev/null
cmake --build build/run -j "$(nproc)"
samples=build/run/samples
mkdir -p "$samples"
build/run/tests/tools/gsprobe/gsprobe make-samples "$samples"
echo "Sample icons in $samples:"
build/run/tests/tools/gsprobe/gsprobe list -v "$samples"/*
