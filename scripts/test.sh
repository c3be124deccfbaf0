#!/usr/bin/env bash
# Installs what is missing, builds Quorvan and runs every test: first the normal build, then the
# same suite built with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
install_missing $build_packages $test_packages
ensure_locales de_DE.UTF-8 ru_RU.UTF-8
jobs=$(nproc)
# Everything the tests need is installed now: a test that would skip for want of a locale, a display
# or a tool fails instead.
export QUORVAN_STRICT_TESTS=1

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON -DQUORVAN_BENCH=ON
cmake --build build -j "$jobs"
with_display ctest --test-dir build --output-on-failure -j "$jobs"

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DBUILD_TESTING=ON -DQUORVAN_BENCH=OFF -DQUORVAN_SANITIZE=ON
cmake --build build-sanitize -j "$jobs"
# Any sanitizer report ends the test that made it with a failure. The only suppressions are the
# system libraries' own, listed in tests/lsan.supp.
export ASAN_OPTIONS="halt_on_error=1:abort_on_error=0:detect_leaks=1:exitcode=99"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
with_display ctest --test-dir build-sanitize --output-on-failure -j "$jobs"
