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
# Targets run side by side, one a core, as many as their memory limits (2 GB each, and some
# room) fit in the memory the machine has free.
fit=$(awk '/^MemAvailable:/ { print int($2 / (2560 * 1024)) }' /proc/meminfo)
jobs=${FUZZ_JOBS:-$(nproc)}
[ "${fit:-1}" -lt "$jobs" ] && jobs=$fit
[ "$jobs" -ge 1 ] || jobs=1
run_one() {
  local bin=$1 name=$2
  if "$bin" -max_total_time="$seconds" -max_len="$(max_len "$name")" -rss_limit_mb=2048 -timeout=10 -malloc_limit_mb=512 \
       -artifact_prefix="$build/fuzz/$name-" \
       "$seeds/$name" >"$seeds/$name.log" 2>&1; then
    echo "fuzz $name: $(grep -E '^Done [0-9]+ runs' "$seeds/$name.log" || echo done)"
  else
    echo "fuzz $name FAILED:"; tail -n 40 "$seeds/$name.log"; return 1
  fi
}
status=0 running=0
for bin in "$build"/fuzz/fuzz_*; do
  name=$(basename "$bin"); name=${name#fuzz_}
  [ "$name" = seeds ] && continue
  mkdir -p "$seeds/$name"
  if [ $running -ge "$jobs" ]; then
    wait -n || status=1
    running=$((running - 1))
  fi
  run_one "$bin" "$name" &
  running=$((running + 1))
done
while [ $running -gt 0 ]; do
  wait -n || status=1
  running=$((running - 1))
done
exit $status
