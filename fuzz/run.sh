#!/usr/bin/env bash
# Builds the fuzz target with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer) in
# build-fuzz/ and runs it for a bounded time, default 60 seconds, from the seed corpus. A crash
# or sanitizer report ends it with a non-zero status and leaves the input in build-fuzz/.
set -euo pipefail
seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-fuzz

cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DBUILD_TESTING=OFF -DPHASEDIAGRAM_FUZZ=ON > /dev/null
cmake --build "$build" --target fit_fuzzer
rm -rf "$build/corpus"
mkdir -p "$build/corpus"
cp "$root"/fuzz/corpus/* "$build/corpus/"
cd "$build"
./fit_fuzzer -max_total_time="$seconds" -print_final_stats=1 -max_len=8192 corpus
