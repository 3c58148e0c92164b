#!/usr/bin/env bash
# Sets everything up, builds, and runs every test.
#   scripts/test.sh              the normal build and all tests
#   scripts/test.sh --sanitize   the same under AddressSanitizer + UBSan
# The libFuzzer targets are built too (with clang) so that they keep compiling;
# run them by hand for as long as you like (see README).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$here/build
cmake_args=()
if [ "${1:-}" = "--sanitize" ]; then
  build=$here/build-asan
  cmake_args=(-DVELTARO_SANITIZE=ON -DVELTARO_BENCH=OFF)
  export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi
"$here/scripts/setup.sh" "$build" "${cmake_args[@]}"

fuzz=$here/build-fuzz
if [ ! -f "$fuzz/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S "$here" -B "$fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVELTARO_FUZZ=ON -DVELTARO_TESTS=OFF -DVELTARO_BENCH=OFF >/dev/null
fi
cmake --build "$fuzz" -j "$(nproc)" --target fuzz_replies fuzz_numberedit

cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)" --timeout 300
