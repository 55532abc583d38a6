#!/usr/bin/env bash
# The four SAFER classes and SHARK on random keys and blocks, held against Crypto++'s SAFER
# with each class's round count and its SHARK (through the test-only program cryptopp_oracle).
set -u
probe=$1 work=$2 oracle=${3:-}
[ -x "$oracle" ] || { echo "skip: libcrypto++-dev missing (no Crypto++ oracle built)"; exit 77; }
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
failures=0
for case_ in K:6:8:SAFER-K64 SK:8:8:SAFER-SK64 K:10:16:SAFER-K128 SK:10:16:SAFER-SK128 SHARK:6:16:Shark; do
  IFS=: read -r kind rounds keylen cls <<<"$case_"
  for i in $(seq 1 25); do
    key=$(head -c "$keylen" /dev/urandom | xxd -p | tr -d '\n') block=$(head -c 8 /dev/urandom | xxd -p)
    want=$(echo "$kind $rounds $key $block" | "$oracle")
    ours=$("$probe" crypt cipher "$cls" --mode ecb --key-hex "$key" --encode-hex "$block")
    [ "$ours" = "$want" ] || { echo "FAIL: $cls key $key block $block: ours $ours, Crypto++ $want"; failures=$((failures + 1)); }
  done
done
echo "$failures failures"
[ $failures -eq 0 ]
