#!/usr/bin/env bash
# Builds Quorvan if needed and takes docs/quorvan.png: the main window alone as it first opens,
# under a private X server with a fresh HOME.
# Usage: scripts/screenshot.sh [BUILD DIRECTORY, default build]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF -DQUORVAN_BENCH=OFF
fi
cmake --build "$build" --target quorvan -j "$(nproc)"

. tests/e2e/lib.sh "$build/quorvan"
start_x
start_program
# The window is mapped before the toolkit has painted it; give it a moment.
sleep 1
check_alive
import -window "$main_window" "$work/quorvan.png"
mkdir -p docs
mv "$work/quorvan.png" docs/quorvan.png
echo "wrote docs/quorvan.png ($(identify -format '%wx%h' docs/quorvan.png))"
