#!/usr/bin/env bash
# A short run of every fuzz target from seeds made by our own test-material builders;
# long runs are done by hand, e.g.:
#   build/fuzz/fuzz/fuzz_seeds /tmp/seeds
#   build/fuzz/fuzz/fuzz_pe -max_total_time=3600 /tmp/seeds/pe
set -euo pipefail
build=${1:-build/fuzz}
seconds=${FUZZ_SECONDS:-20}
seeds=$(mktemp -d)
trap 'rm -rf "$seeds"' EXIT
"$build/fuzz/fuzz_seeds" "$seeds"
status=0
for bin in "$build"/fuzz/fuzz_*; do
  name=$(basename "$bin"); name=${name#fuzz_}
  [ "$name" = seeds ] && continue
  mkdir -p "$seeds/$name"
  echo "fuzz $name: ${seconds}s"
  if ! "$bin" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -malloc_limit_mb=512 \
       "$seeds/$name" >"$seeds/$name.log" 2>&1; then
    tail -n 40 "$seeds/$name.log"; status=1
  else
    grep -E '^Done [0-9]+ runs' "$seeds/$name.log" || true
  fi
done
exit $status
