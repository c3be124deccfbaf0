#!/usr/bin/env bash
# Measures quorvan-table against the numpy/pandas anchor script on the same job in the same run:
# a 1000 x 1000 Mach-altitude sweep (other inputs at their defaults) written as CSV to a file,
# three rounds each, wall-clock time and peak resident memory from /usr/bin/time; then the peak
# resident memory of 10,000,000 rows written to /dev/null, and the rates of a CAS sweep in knots and
# feet with every column and of 1,000,000-row solves.
# Usage: scripts/table_bench.sh [ANCHOR, default ../shared/anchors/numpy_table.py beside the repo]
# QUORVAN_TABLE=PATH measures another build of the tool (an earlier release, say) instead of build/'s.
set -euo pipefail
cd "$(dirname "$0")/.."
anchor=$(realpath "${1:-../shared/anchors/numpy_table.py}")
. scripts/deps.sh
install_missing $build_packages $bench_packages
build_targets build quorvan-table
tool=$(realpath "${QUORVAN_TABLE:-build/quorvan-table}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
rows=1000000

# Prints "SECONDS KIB" of a command from /usr/bin/time.
measure() {
  /usr/bin/time -f "%e %M" -o "$work/time" "$@" >"${stdout:-$work/stdout}"
  cat "$work/time"
}
rate() { awk -v n="$1" -v s="$2" 'BEGIN { printf "%.0f", n / s }'; }

echo "job: $rows rows (1000 Mach x 1000 altitudes) to a CSV file, wall clock per run"
best_tool=0
best_anchor=0
for round in 1 2 3; do
  read -r seconds kib < <(measure "$tool" --mach 0.1:1.099:0.001 --altitude 0:19980:20 -o "$work/tool.csv")
  lines=$(($(wc -l <"$work/tool.csv") - 1))
  [ "$lines" -eq "$rows" ] || { echo "quorvan-table wrote $lines rows"; exit 1; }
  tool_rate=$(rate "$rows" "$seconds")
  echo "round $round: quorvan-table ${seconds} s, $tool_rate rows/s, peak RSS $kib KiB"
  # The anchor runs with the machine's OpenBLAS tuning variables unset, as a plain Debian Python would.
  read -r seconds kib < <(measure env -u OPENBLAS_CORETYPE -u OPENBLAS_L2_SIZE /usr/bin/python3 "$anchor" "$rows" \
    "$work/anchor.csv")
  anchor_rate=$(rate "$rows" "$seconds")
  echo "round $round: numpy/pandas  ${seconds} s, $anchor_rate rows/s, peak RSS $kib KiB ($(cat "$work/stdout"))"
  [ "$tool_rate" -gt "$best_tool" ] && best_tool=$tool_rate
  [ "$anchor_rate" -gt "$best_anchor" ] && best_anchor=$anchor_rate
done
echo "best: quorvan-table $best_tool rows/s, numpy/pandas $best_anchor rows/s, ratio $(awk -v a="$best_tool" \
  -v b="$best_anchor" 'BEGIN { printf "%.1f", a / b }')"

read -r seconds kib < <(measure "$tool" --mach 0.1:1.0999:0.0001 --altitude 0:19980:20 -o /dev/null)
echo "10000000 rows to /dev/null: ${seconds} s, $(rate 10000000 "$seconds") rows/s, peak RSS $kib KiB"
read -r seconds kib < <(stdout=/dev/null measure "$tool" --mach 0.1:1.0999:0.0001 --altitude 0:19980:20)
echo "10000000 rows to stdout (/dev/null): ${seconds} s, peak RSS $kib KiB"

# Best of three rounds of a 1,000,000-row job to a file: "NAME: rows/s, peak RSS".
best_of() {
  local name=$1 best=0 seconds kib
  shift
  for round in 1 2 3; do
    read -r seconds kib < <(measure "$tool" "$@" -o "$work/job.csv")
    [ "$(rate 1000000 "$seconds")" -gt "$best" ] && best=$(rate 1000000 "$seconds")
  done
  echo "$name: $best rows/s (best of 3), peak RSS $kib KiB"
}
best_of "CAS kt x altitude ft, --columns all" --cas 100:1098:1 --speed-unit kt --altitude 0:59940:60 \
  --altitude-unit ft --columns all
best_of "solve mach for the lift coefficient" --solve mach --lift-coefficient 0.1:1.099:0.001 --altitude 0:19980:20
best_of "solve altitude for the pressure" --solve altitude --pressure 1000:100900:100 --mach 0.1:1.099:0.001
best_of "solve altitude for the Reynolds number" --solve altitude --reynolds 1e6:1.0990e7:1e4 --mach 0.3:1.299:0.001
