#!/usr/bin/env bash
# Installs what is missing, builds Quorvan and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
install_missing $build_packages
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF -DQUORVAN_BENCH=OFF
cmake --build build -j "$(nproc)"
exec build/quorvan "$@"
