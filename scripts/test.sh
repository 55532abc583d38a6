#!/usr/bin/env bash
# Checks the includes against the layer order, builds everything from scratch and runs every test:
#   1. the whole system (core and windows) with its unit, format and window tests;
#   2. the core alone, without Qt, under AddressSanitizer and UndefinedBehaviorSanitizer;
#   3. what starts threads (the job runner, the hand-over, the scan's readers) under
#      ThreadSanitizer, its tests repeated;
#   4. the libFuzzer targets, each given a short smoke run over its seed corpus;
#   5. the program as README's run command builds it (Release).
# Every build fails on a warning.
set -euo pipefail
cd "$(dirname "$0")/.."
# Each stage's time, said at the end: what a change costs CI shows in its own run.
times=() current="" started=$SECONDS
stage() {
  [ -n "$current" ] && times+=("$(printf '%5d s  %s' $((SECONDS - started)) "$current")")
  current=$1 started=$SECONDS
  [ -n "$current" ] && echo "== $current"
  return 0
}

stage "packages"
bash scripts/deps.sh
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
# The full build and the program's Release build compile the same sources with the same
# flags: a compiler cache of this run alone (emptied first, so every run still builds from
# scratch) lets the second take the first's objects.
rm -rf build/ccache
export CCACHE_DIR=$PWD/build/ccache CCACHE_BASEDIR=$PWD CCACHE_DEPEND=1 CCACHE_NOHASHDIR=1
cached=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

stage "the layer order of the includes"
python3 scripts/check_layers.py

stage "full build and tests"
rm -rf build/full
# As README's run command builds, with the tests: debug information costs a tenth more compile
# time over the build, and over half more on the heaviest test files.
cmake -S . -B build/full -G Ninja -DCMAKE_BUILD_TYPE=Release -DGLYPHSCOPE_WERROR=ON "${cached[@]}" >/dev/null
cmake --build build/full -j "$jobs"
# Tests labelled optional (every wine64 module, say) are the long sweeps run by hand.
ctest --test-dir build/full -j "$jobs" --output-on-failure -LE optional

stage "core without Qt, sanitized"
rm -rf build/asan
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DGLYPHSCOPE_WITH_QT=OFF \
  -DSANITIZE=address,undefined -DGLYPHSCOPE_WERROR=ON >/dev/null
cmake --build build/asan -j "$jobs"
# The wine64 oracle reads real modules by the dozen, and the cipher and hash oracles run the
# probe thousands of times over (minutes each sanitized): the full build covers them;
# the cipher and hash unit tests run here.
ASAN_OPTIONS=detect_leaks=1 ctest --test-dir build/asan -j "$jobs" --output-on-failure -LE optional \
  -E '^(iconlib_oracle_wine|crypto_oracle_)'

stage "the job runner, the hand-over and the scan's readers without Qt, ThreadSanitizer"
rm -rf build/tsan
cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DGLYPHSCOPE_WITH_QT=OFF \
  -DSANITIZE=thread -DGLYPHSCOPE_WERROR=ON >/dev/null
# The suites that start threads are labelled "threads" where their test program is declared.
cmake --build build/tsan -j "$jobs" --target gs_threaded_tests
TSAN_OPTIONS=halt_on_error=1 ctest --test-dir build/tsan -j "$jobs" --repeat until-fail:10 --output-on-failure -L threads

stage "fuzz smoke"
rm -rf build/fuzz
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DGLYPHSCOPE_WITH_QT=OFF -DGLYPHSCOPE_TESTS=OFF -DGLYPHSCOPE_FUZZ=ON -DGLYPHSCOPE_WERROR=ON >/dev/null
cmake --build build/fuzz -j "$jobs"
bash fuzz/smoke.sh build/fuzz

stage "the program as README's run command builds it"
rm -rf build/release
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DGLYPHSCOPE_TESTS=OFF -DGLYPHSCOPE_WERROR=ON \
  "${cached[@]}" >/dev/null
cmake --build build/release -j "$jobs" --target glyphscope glyphscope_samples
stage ""
echo "== stage times (total ${SECONDS} s)"
printf '%s\n' "${times[@]}"
