#!/usr/bin/env bash
# A short run of every fuzz target from seeds made by our own test-material builders;
# long runs are done by hand, e.g.:
#   build/fuzz/fuzz/fuzz_seeds /tmp/seeds
#   build/fuzz/fuzz/fuzz_pe -max_total_time=3600 -max_len=$(bash fuzz/smoke.sh --max-len pe) /tmp/seeds/pe
set -euo pipefail
# The largest input each target is given: room for the largest seed (a 256 x 256 32-bit
# image is 270 KB) and some growth, and for the binary formats room enough for a reader's
# loop to run long (a read that costs the square of its count shows only over many items).
max_len() {
  case $1 in
    version|cmdline|crypt|ini|desktop|store) echo 65536 ;;
    *) echo 1048576 ;;
  esac
}
if [ "${1:-}" = --max-len ]; then max_len "$2"; exit 0; fi
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
  if ! "$bin" -max_total_time="$seconds" -max_len="$(max_len "$name")" -rss_limit_mb=2048 -timeout=10 -malloc_limit_mb=512 \
       "$seeds/$name" >"$seeds/$name.log" 2>&1; then
    tail -n 40 "$seeds/$name.log"; status=1
  else
    grep -E '^Done [0-9]+ runs' "$seeds/$name.log" || true
  fi
done
exit $status
