#!/usr/bin/env bash
# Builds everything from scratch and runs every test:
#   1. the whole system (core and windows) with its unit, format and window tests;
#   2. the core alone, without Qt, under AddressSanitizer and UndefinedBehaviorSanitizer;
#   3. the toolbar core alone under ThreadSanitizer, its tests repeated;
#   4. the libFuzzer targets, each given a short smoke run over its seed corpus;
#   5. the program as README's run command builds it (Release).
# Every build fails on a warning.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

echo "== full build and tests"
rm -rf build/full
cmake -S . -B build/full -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGLYPHSCOPE_WERROR=ON >/dev/null
cmake --build build/full -j "$jobs"
ctest --test-dir build/full -j "$jobs" --output-on-failure

echo "== core without Qt, sanitized"
rm -rf build/asan
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DGLYPHSCOPE_WITH_QT=OFF \
  -DSANITIZE=address,undefined -DGLYPHSCOPE_WERROR=ON >/dev/null
cmake --build build/asan -j "$jobs"
# The wine64 oracle reads hundreds of real modules, and the cipher and hash oracles run the
# probe thousands of times over (minutes each even unsanitized): the full build covers them;
# the cipher and hash unit tests run here.
ASAN_OPTIONS=detect_leaks=1 ctest --test-dir build/asan -j "$jobs" --output-on-failure -E '^(iconlib_oracle_wine|crypto_oracle_)'

echo "== toolbar core and the job runner without Qt, ThreadSanitizer"
rm -rf build/tsan
cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DGLYPHSCOPE_WITH_QT=OFF \
  -DSANITIZE=thread -DGLYPHSCOPE_WERROR=ON >/dev/null
cmake --build build/tsan -j "$jobs" --target toolbar_core_tests app_extract_tests app_save_tests
TSAN_OPTIONS=halt_on_error=1 ctest --test-dir build/tsan -L toolbar --repeat until-fail:20 --output-on-failure
TSAN_OPTIONS=halt_on_error=1 ctest --test-dir build/tsan -R '^(HandOver|ScanJob|Job|SaveJob|BatchRunJob)\.' \
  --repeat until-fail:10 --output-on-failure

echo "== fuzz smoke"
rm -rf build/fuzz
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DGLYPHSCOPE_WITH_QT=OFF -DGLYPHSCOPE_TESTS=OFF -DGLYPHSCOPE_FUZZ=ON -DGLYPHSCOPE_WERROR=ON >/dev/null
cmake --build build/fuzz -j "$jobs"
bash fuzz/smoke.sh build/fuzz

echo "== the program as README's run command builds it"
rm -rf build/release
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DGLYPHSCOPE_TESTS=OFF -DGLYPHSCOPE_WERROR=ON >/dev/null
cmake --build build/release -j "$jobs" --target glyphscope glyphscope_samples
