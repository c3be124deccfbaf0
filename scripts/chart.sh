#!/usr/bin/env bash
# Draws the README's charts from quorvan-table's own CSV with gnuplot: docs/table-lift.png, the lift
# coefficient against the load factor for a few Mach numbers at 11000 m (the other inputs at their
# defaults), and docs/table-reynolds.png, the altitude at which the Reynolds number is 20 million
# against the Mach number for a few reference lengths.
# Usage: scripts/chart.sh [BUILD DIRECTORY, default build]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
. scripts/deps.sh
install_missing $build_packages gnuplot-nox
build_targets "$build" quorvan-table
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
machs="0.6 0.7 0.8 0.85"
"$build/quorvan-table" --mach "${machs// /,}" --altitude 11000 --load-factor 0.5:3:0.1 -o "$work/lift.csv"
mkdir -p docs
# Columns: 1 mach, 3 load_factor, 9 lift_coefficient; the rows of one Mach number are consecutive.
gnuplot <<GNUPLOT
set terminal pngcairo size 800,520 font "DejaVu Sans,11"
set output "docs/table-lift.png"
set datafile separator ","
set title "Lift coefficient against load factor at 11000 m (50 t, 56 m², standard day)"
set xlabel "load factor n"
set ylabel "lift coefficient"
set grid
set key top left
set xrange [0.5:3]
plot for [m in "$machs"] "$work/lift.csv" every ::1 using (\$1 == real(m) ? \$3 : 1/0):9 \
  with linespoints pointtype 7 pointsize 0.6 linewidth 2 title "Mach ".m
GNUPLOT

lengths="2 3.5 5 8"
for length in $lengths; do
  "$build/quorvan-table" --solve altitude --reynolds 2e7 --mach 0.2:2:0.01 --ref-length "$length" \
    --columns mach,altitude -o "$work/reynolds-$length.csv" 2>/dev/null
done
gnuplot <<GNUPLOT
set terminal pngcairo size 800,520 font "DejaVu Sans,11"
set output "docs/table-reynolds.png"
set datafile separator ","
set title "Altitude at which the Reynolds number is 20 million (standard day)"
set xlabel "Mach number"
set ylabel "altitude, km"
set grid
set key bottom right title "reference length"
set xrange [0.2:2]
set yrange [0:*]
plot for [l in "$lengths"] "$work/reynolds-".l.".csv" every ::1 using 1:(\$2 / 1000) with lines linewidth 2 \
  title l." m"
GNUPLOT
echo "wrote docs/table-lift.png and docs/table-reynolds.png"
