#!/usr/bin/env bash
# A short run of every fuzz target over its seeds; long runs are done by hand:
#   build/fuzz/fuzz/fuzz_<name> -max_total_time=3600 fuzz/corpus/<name>
set -euo pipefail
build=${1:-build/fuzz}
here=$(cd "$(dirname "$0")" && pwd)
status=0
for bin in "$build"/fuzz/fuzz_*; do
  [ -x "$bin" ] || continue
  name=$(basename "$bin"); name=${name#fuzz_}
  work=$(mktemp -d)
  [ -d "$here/corpus/$name" ] && cp -r "$here/corpus/$name/." "$work/" 2>/dev/null || true
  echo "fuzz $name"
  if ! "$bin" -max_total_time=20 -rss_limit_mb=2048 -timeout=10 "$work" >"$work.log" 2>&1; then
    tail -n 40 "$work.log"; status=1
  fi
  rm -rf "$work" "$work.log"
done
exit $status
