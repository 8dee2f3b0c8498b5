#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer) in
# build-fuzz/ and runs each for a bounded time, default 60 seconds in all, from its seed corpus:
# fit_fuzzer on the data-file reader and the fitting, table_fuzzer on the result tables and the
# phase diagram drawn from them, tdb_fuzzer on the TDB reader, the evaluation of what it reads and the stable diagram of its system. A crash or sanitizer report ends it with a non-zero status and
# leaves the input in build-fuzz/.
set -euo pipefail
seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-fuzz

cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DBUILD_TESTING=OFF -DPHASEDIAGRAM_FUZZ=ON > /dev/null
cmake --build "$build" --target fit_fuzzer table_fuzzer tdb_fuzzer -j 2
run() {  # target corpus seconds
    rm -rf "$build/corpus-$1"
    mkdir -p "$build/corpus-$1"
    cp "$root/fuzz/$2"/* "$build/corpus-$1/"
    (cd "$build" && "./$1" -max_total_time="$3" -print_final_stats=1 -max_len=8192 "corpus-$1")
}
run fit_fuzzer corpus $((seconds / 3))
run table_fuzzer table-corpus $((seconds / 3))
run tdb_fuzzer tdb-corpus $((seconds - 2 * (seconds / 3)))
