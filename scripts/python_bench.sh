#!/usr/bin/env bash
# Measures the Python module against the plain numpy anchor (../shared/anchors/numpy_reference.py
# beside the repo, or the folder given) in one run: rates best of 3 on 10^6 elements, a per-point
# loop, and peak memory; see scripts/python_bench.py. QUORVAN_PYTHONPATH=DIR measures another build of
# the module (an earlier release, say) instead of build/python.
# Usage: scripts/python_bench.sh [ANCHOR DIRECTORY]
set -euo pipefail
cd "$(dirname "$0")/.."
anchors=$(realpath "${1:-../shared/anchors}")
. scripts/deps.sh
install_missing $build_packages
build_targets build python
# The anchor runs with the machine's OpenBLAS tuning variables unset, as a plain Debian Python would.
exec env -u OPENBLAS_CORETYPE -u OPENBLAS_L2_SIZE PYTHONPATH="${QUORVAN_PYTHONPATH:-$PWD/build/python}" /usr/bin/python3 \
  scripts/python_bench.py "$anchors"
