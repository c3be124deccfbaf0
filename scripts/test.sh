#!/usr/bin/env bash
# Installs what is missing, builds Quorvan and runs every test: first the normal build, then the
# same suite built with AddressSanitizer and UndefinedBehaviorSanitizer (the builds are the presets
# in CMakePresets.json), and last checks that the C++ is formatted.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
install_missing $build_packages $test_packages
ensure_locales de_DE.UTF-8 ru_RU.UTF-8
jobs=$(nproc)
# Everything the tests need is installed now: a test that would skip for want of a locale, a display
# or a tool fails instead.
export QUORVAN_STRICT_TESTS=1

cmake --preset normal
cmake --build --preset normal -j "$jobs"
with_display ctest --preset normal -j "$jobs"
# The table tool's parsers under libFuzzer (clang, its own build folder) for a bounded time.
scripts/fuzz.sh 25

# Any sanitizer report ends the test that made it with a failure (the preset sets the sanitizer
# options). The only suppressions are the system libraries' own, listed in tests/lsan.supp.
cmake --preset sanitize
cmake --build --preset sanitize -j "$jobs"
with_display ctest --preset sanitize -j "$jobs"

scripts/format-check.sh
