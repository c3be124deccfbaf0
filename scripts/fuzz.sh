#!/usr/bin/env bash
# Builds the table tool's parser fuzzer with clang in build-fuzz/ and runs it for a bounded time
# (default 25 s) from the seed corpus in tests/fuzz/corpus; fails on any finding, which is left in
# build-fuzz/ as crash-* (or leak-*, timeout-*).
# Usage: scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-25}
cmake -S tests/fuzz -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build-fuzz -j "$(nproc)"
# New inputs the fuzzer finds go to a working copy, never into the seeds in the repository.
rm -rf build-fuzz/corpus
cp -r tests/fuzz/corpus build-fuzz/corpus
build-fuzz/table_fuzz -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 -max_len=4096 \
  -artifact_prefix=build-fuzz/ -print_final_stats=1 build-fuzz/corpus 2>&1 | tee build-fuzz/fuzz.log | tail -25
echo "fuzzer: nothing found in $seconds s; corpus now $(ls build-fuzz/corpus | wc -l) inputs"
