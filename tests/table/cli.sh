#!/usr/bin/env bash
# The built quorvan-table through the shell: what it writes to standard output and files, what it
# reads from standard input, its exit statuses and messages, and that a failed or stopped -o leaves
# the old file as it was with no temporary file beside it.
# Usage: cli.sh TOOL FAILING_FSYNC SIGNAL_IN [USER]: as USER (run by root through runuser) when given.
set -uo pipefail
tool=$(realpath "$1")
failing_fsync=$(realpath "$2")
signal_in=$(realpath "$3")
if [ -n "${4:-}" ]; then
  # Run by anyone but root, table.cli itself runs without root's rights.
  if [ "$(id -u)" -ne 0 ]; then
    echo "SKIP: running as $4 needs root; the suite already ran as $(id -un)"
    exit 77
  fi
  if ! command -v runuser >/dev/null || ! id "$4" >/dev/null 2>&1; then
    if [ "${QUORVAN_STRICT_TESTS:-}" = 1 ]; then
      echo "FAIL: running as $4 needs runuser and that user (QUORVAN_STRICT_TESTS=1)"
      exit 1
    fi
    echo "SKIP: running as $4 needs runuser and that user"
    exit 77
  fi
  # The build and source trees may lie where $4 cannot enter (a clone in /root, or in a folder of
  # mode 0700): the tool, its helpers and this script run from copies in a folder $4 can read.
  copies=$(mktemp -d)
  trap 'rm -rf "$copies"' EXIT
  cp "$tool" "$copies/quorvan-table"
  cp "$failing_fsync" "$copies/failing_fsync"
  cp "$signal_in" "$copies/$(basename "$signal_in")"
  cp "$0" "$copies/cli.sh"
  # A sanitizer build's leak suppressions too, which its options name by their path in the sources.
  if [[ ${LSAN_OPTIONS:-} =~ suppressions=([^:]+) ]]; then
    cp "${BASH_REMATCH[1]}" "$copies/lsan.supp"
    LSAN_OPTIONS=${LSAN_OPTIONS/"${BASH_REMATCH[1]}"/$copies/lsan.supp}
  fi
  chmod -R a+rX "$copies"
  if ! runuser -u "$4" -- test -x "$copies/quorvan-table"; then
    echo "FAIL: $4 cannot reach the copies in $copies"
    exit 1
  fi
  cd "$copies" || exit 1
  runuser -u "$4" -- bash cli.sh quorvan-table failing_fsync "$(basename "$signal_in")"
  exit
fi
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
# Runs the tool with the given arguments; sets status, out and err.
run() {
  "$tool" "$@" >"$work/out" 2>"$work/err"
  status=$?
  out=$(cat "$work/out")
  err=$(cat "$work/err")
}
expect() {  # STATUS STDERR-PATTERN DESCRIPTION
  [ "$status" -eq "$1" ] || fail "$3: status $status, expected $1 (stderr: $err)"
  if [ -z "$2" ]; then
    [ -z "$err" ] || fail "$3: stderr not empty: $err"
  else
    grep -qF -- "$2" <<<"$err" || fail "$3: stderr lacks '$2': $err"
  fi
}
header="mach,altitude,load_factor,weight,ref_length,ref_area,isa_offset,geopotential_altitude,lift_coefficient,reynolds,velocity,sound_speed,temperature,viscosity,kinematic_viscosity,density,pressure,dynamic_pressure,reference_force"
defaults="0.8,11000,1,50,3.5,56,0,11000,0.8629911399944502,21149687.21469305,236.05564825947292,295.0695603243411,216.65,1.421613079641336e-05,3.9064160170377535e-05,0.3639174817635909,22632.04,10139.15392,567792.6195200001"

# Standard output: the defaults are the window's first display.
run
expect 0 "" "defaults"
[ "$out" = "$header
$defaults" ] || fail "defaults gave: $out"

run --mach 0.5,0.8 --altitude -300:0:100 --isa-offset -15,15 --no-header --format tsv --digits 4
expect 0 "note: 12 of 16 rows have an altitude outside 0 to 88000 m" "tsv sweep"
[ "$(wc -l <"$work/out")" -eq 16 ] || fail "tsv sweep: $(wc -l <"$work/out") lines"
[ "$(head -1 "$work/out")" = "$(printf '0.5\t-300\t1\t50\t3.5\t56\t-15\t-300\t0.4763\t4.482e+07\t166.2\t332.5\t275.1\t1.726e-05\t1.298e-05\t1.329\t1.05e+05\t1.837e+04\t1.029e+06')" ] ||
  fail "tsv sweep first row: $(head -1 "$work/out")"

# Decimal points whatever the locale.
if locale -a 2>/dev/null | grep -qix 'de_DE.utf8'; then
  LC_ALL=de_DE.UTF-8 "$tool" --mach 0:1:0.1 --digits 3 >"$work/de"
  [ "$(cut -d, -f1 "$work/de" | tr '\n' ' ')" = "mach 0 0.1 0.2 0.3 0.4 0.5 0.6 0.7 0.8 0.9 1 " ] ||
    fail "de_DE: $(cut -d, -f1 "$work/de" | tr '\n' ' ')"
fi

# Standard input, and the tool's own output read back with another offset.
printf 'altitude,isa_offset\r\n# hot day\r\n0,15\r\n\r\n2000,20\r\n' | "$tool" - >"$work/hot.csv" 2>"$work/err"
[ $? -eq 0 ] && [ ! -s "$work/err" ] || fail "stdin cases: $(cat "$work/err")"
[ "$(cut -d, -f2,7,13 "$work/hot.csv" | tail -2 | tr '\n' ' ')" = "0,15,303.15 2000,20,295.15 " ] ||
  fail "stdin cases gave: $(cat "$work/hot.csv")"
run --isa-offset 0 "$work/hot.csv"
expect 0 "" "read-back"
[ "$(cut -d, -f2,7,13 "$work/out" | tail -2 | tr '\n' ' ')" = "0,0,288.15 2000,0,275.15 " ] || fail "read-back gave: $out"

# -o replaces the file, keeps its permissions and leaves nothing else in the folder.
mkdir "$work/dir"
echo old >"$work/dir/table.csv"
chmod 640 "$work/dir/table.csv"
run --mach 0.5:0.9:0.1 -o "$work/dir/table.csv"
expect 0 "" "-o"
[ -z "$out" ] || fail "-o wrote to stdout"
"$tool" --mach 0.5:0.9:0.1 >"$work/expected.csv"
cmp -s "$work/dir/table.csv" "$work/expected.csv" || fail "-o file differs from stdout"
[ "$(stat -c %a "$work/dir/table.csv")" = 640 ] || fail "-o changed the mode to $(stat -c %a "$work/dir/table.csv")"
[ "$(ls -A "$work/dir")" = table.csv ] || fail "-o left: $(ls -A "$work/dir")"

# Failures with -o: the old file is as it was and no temporary file remains.
echo old >"$work/dir/table.csv"
printf 'mach\n0.5\n0.6\n0,7\n' >"$work/bad.csv"
run -o "$work/dir/table.csv" "$work/bad.csv"
expect 2 "$work/bad.csv:4: 2 cells where the header has 1: \"0,7\"" "bad case row"
run -o "$work/dir/table.csv" --mach 0:1:0.001 --max-rows 10
expect 2 "the options give 1001 rows, more than 10" "max rows"
(ulimit -f 8 && "$tool" --mach 0:1:0.001 -o "$work/dir/table.csv") 2>"$work/err"
status=$?
err=$(cat "$work/err")
expect 1 "cannot write $work/dir/table.csv: File too large" "file size limit"
if [ "$(id -u)" -ne 0 ]; then
  chmod 555 "$work/dir"
  run -o "$work/dir/table.csv"
  chmod 755 "$work/dir"
  expect 1 "cannot write $work/dir/table.csv: its folder does not let a new file be made" "read-only folder"
fi
# A write-protected file is refused as a shell's redirection refuses it; root may write it anyway.
chmod 444 "$work/dir/table.csv"
run -o "$work/dir/table.csv"
if [ "$(id -u)" -ne 0 ]; then
  expect 1 "cannot write $work/dir/table.csv: Permission denied" "write-protected -o"
else
  expect 0 "" "write-protected -o as root"
  echo old >"$work/dir/table.csv"
fi
chmod 644 "$work/dir/table.csv"
[ "$(cat "$work/dir/table.csv")" = old ] || fail "a failed -o changed the old file"
[ "$(ls -A "$work/dir")" = table.csv ] || fail "a failed -o left: $(ls -A "$work/dir")"
# Interrupted: the run stops, dies of the signal, and the old file stays with nothing beside it.
for signal in INT TERM QUIT; do
  "$tool" --mach 0.1:1.0999:0.0001 --altitude 0:19980:20 -o "$work/dir/table.csv" 2>"$work/err" &
  pid=$!
  sleep 0.5
  kill -"$signal" "$pid"
  wait "$pid" 2>/dev/null
  status=$?
  err=$(cat "$work/err")
  expect $((128 + $(kill -l "$signal"))) "interrupted; $work/dir/table.csv is as it was" "SIG$signal"
done
[ "$(cat "$work/dir/table.csv")" = old ] || fail "an interrupted -o changed the old file"
[ "$(ls -A "$work/dir")" = table.csv ] || fail "an interrupted -o left: $(ls -A "$work/dir")"
# A Ctrl-C while the finished table is synced still leaves the old file; one while it is put in place
# says that the new table is there.
for when in "fsync|is as it was|old" "rename|holds the complete new table|mach,altitude,load_factor,weight,ref_length"; do
  IFS='|' read -r call message kept <<<"$when"
  SIGNAL_IN=$call LD_PRELOAD=$signal_in ASAN_OPTIONS="${ASAN_OPTIONS:-}:verify_asan_link_order=0" \
    "$tool" -o "$work/dir/table.csv" 2>"$work/err"
  status=$?
  err=$(cat "$work/err")
  expect 130 "interrupted; $work/dir/table.csv $message" "SIGINT in $call"
  [ "$(head -c ${#kept} "$work/dir/table.csv")" = "$kept" ] || fail "SIGINT in $call left: $(head -1 "$work/dir/table.csv")"
  [ "$(ls -A "$work/dir")" = table.csv ] || fail "SIGINT in $call left: $(ls -A "$work/dir")"
  echo old >"$work/dir/table.csv"
done
# Stopped while waiting for cases from a pipe, while checking a cold day's sweep, or while a reader
# takes no more rows (a FIFO, or standard output into a pipe): within a second, and a stream says how
# many rows it got.
mkfifo "$work/fifo"
exec 3<>"$work/fifo"
for stop in "reading|is as it was|-o $work/dir/table.csv -" "checking|0 rows were written to standard output|--isa-offset -181 --altitude 0:78000:0.001" \
  "writing|rows were written to $work/fifo|--mach 0:1:0.0001 -o $work/fifo" "writing|rows were written to standard output|--mach 0:1:0.0001"; do
  IFS='|' read -r what message args <<<"$stop"
  read -ra argv <<<"$args"
  { printf 'mach\n0.5\n'; sleep 3; } | "$tool" "${argv[@]}" 2>"$work/err" >&3 &
  pid=$!
  sleep 0.5
  kill -INT "$pid"
  for _ in $(seq 10); do kill -0 "$pid" 2>/dev/null && sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && { fail "SIGINT while $what: still running after a second"; kill -KILL "$pid"; }
  wait "$pid"
  status=$?
  err=$(cat "$work/err")
  expect 130 "$message" "SIGINT while $what"
done
exec 3<&-
[ "$(cat "$work/dir/table.csv")" = old ] || fail "an interrupted read of the cases changed the old file"
# A file that cannot be replaced whole (a second hard link) is refused before anything is computed,
# and a sync that fails keeps the old file: both leave it as it was.
ln "$work/dir/table.csv" "$work/link.csv"
run -o "$work/dir/table.csv" "$work/bad.csv"
expect 1 "cannot write $work/dir/table.csv: it has several hard links" "-o with a second hard link"
rm "$work/link.csv"
"$failing_fsync" "$tool" -o "$work/dir/table.csv" >"$work/out" 2>"$work/err"
status=$?
err=$(cat "$work/err")
expect 1 "cannot write $work/dir/table.csv: Input/output error" "failed sync"
[ "$(cat "$work/dir/table.csv")" = old ] && [ "$(ls -A "$work/dir")" = table.csv ] ||
  fail "a refused or unsynced -o changed the old file or left: $(ls -A "$work/dir")"
run -o "$work/missing/table.csv"
expect 1 "cannot write $work/missing/table.csv: No such file or directory" "missing folder"

# Units: a KCAS card in feet, knots and pounds names its columns so and reads back as the same table;
# read in SI units, each value is converted once. Every speed kind reads back.
"$tool" --cas 250,300 --speed-unit kt --altitude 10000:30000:10000 --altitude-unit ft --isa-offset 15 \
  --weight 130000 --weight-unit lb --columns all >"$work/card.csv"
[ "$(head -1 "$work/card.csv")" = "cas_kt,altitude_ft,load_factor,weight_lb,ref_length,ref_area,isa_offset,\
geopotential_altitude_ft,mach,lift_coefficient,reynolds,velocity_kt,sound_speed_kt,temperature,viscosity,\
kinematic_viscosity,density,pressure,dynamic_pressure,reference_force,tas_kt,eas_kt,impact_pressure,total_pressure,\
total_temperature,pressure_ratio,temperature_ratio,density_ratio,density_altitude_ft,unit_reynolds" ] ||
  fail "card header: $(head -1 "$work/card.csv")"
"$tool" --speed-unit kt --altitude-unit ft --weight-unit lb --columns all "$work/card.csv" | cmp -s - "$work/card.csv" ||
  fail "the card in feet and knots did not read back as itself"
[ "$("$tool" --columns cas,altitude,weight "$work/card.csv" | sed -n 2p)" = "128.61111111111111,3048,58.9670081" ] ||
  fail "the card read in SI: $("$tool" --columns cas,altitude,weight "$work/card.csv" | sed -n 2p)"
for speed in mach tas eas cas; do
  "$tool" --$speed 100:300:100 --speed-unit mph --altitude-unit km --altitude 0:12:4 --columns all >"$work/speed.csv"
  "$tool" --speed-unit mph --altitude-unit km --columns all "$work/speed.csv" | cmp -s - "$work/speed.csv" ||
    fail "a --$speed table did not read back as itself"
done

# A solved table reads back without --solve as the same rows, the target column computed again, and
# an unsolved row's nan altitude as a case whose outputs are nan, counted in a note.
"$tool" --solve altitude --reynolds 1e7:5e7:1e7 --mach 0.5,0.8 --isa-offset 15 --altitude-unit ft --columns all \
  >"$work/solved.csv" 2>"$work/err"
grep -qF "note: 2 of 10 rows have no solution between 0 and 88000 m" "$work/err" || fail "solve note: $(cat "$work/err")"
grep -qF '0.5,nan,1,50,3.5,56,15,nan,nan,5e+07,' "$work/solved.csv" || fail "an unsolved row lost its target: $(grep nan "$work/solved.csv")"
"$tool" --altitude-unit ft --columns all "$work/solved.csv" 2>"$work/err" | cut -d, -f1-9,11- >"$work/again.csv"
cut -d, -f1-9,11- "$work/solved.csv" | cmp -s - "$work/again.csv" || fail "a solved table did not read back"
grep -qF "note: 2 of 10 rows have nan among their inputs" "$work/err" || fail "nan read back: $(cat "$work/err")"

# -o - is standard output, not a file named -.
(cd "$work" && "$tool" -o - >"$work/out" 2>"$work/err")
[ "$(cat "$work/out")" = "$header
$defaults" ] && [ ! -e "$work/-" ] || fail "-o - did not write standard output"

# A full device is a failed write, never a silent short table.
"$tool" --mach 0:1:0.01 >/dev/full 2>"$work/err"
status=$?
err=$(cat "$work/err")
expect 1 "cannot write standard output: No space left on device" "stdout /dev/full"
run -o /dev/full
expect 1 "cannot write /dev/full: No space left on device" "-o /dev/full"

# A reader that stops early ends the tool quietly.
"$tool" --mach 0:1:0.0001 --altitude 0:1000:10 2>"$work/err" | head -1 >/dev/null
[ ! -s "$work/err" ] || fail "| head: stderr $(cat "$work/err")"

# Bad usage and bad values: status 2, a message naming the option and the text, nothing written.
while IFS='|' read -r args message; do
  read -ra argv <<<"$args"
  run "${argv[@]}"
  expect 2 "$message" "$args"
  [ -z "$out" ] || fail "$args wrote to stdout"
done <<'CASES'
--mach 0,5x|--mach: not a number: "5x"
--altitude 1e400|--altitude: out of range: "1e400"
--weight inf|--weight: not a finite number: "inf"
--ref-area 0:1:0|--ref-area: range "0:1:0": the step is zero
--load-factor 1:2:-1|--load-factor: range "1:2:-1": the step "-1" leads away from "2"
--digits 18|quorvan-table: --digits: not from 1 to 17: "18"
--digits 1.5|quorvan-table: --digits: not a whole number: "1.5"
--max-rows -1|--max-rows: not from 1 to
--format xml|--format: xml not in {csv,tsv}
a.csv b.csv|quorvan-table: The following argument was not expected: b.csv
--isa-offset -300|--isa-offset: -300 K at altitude 11000 m gives a temperature of -83.35 K, at or below 0 K
--mach 0:1:0.0001 --altitude 0:10000:1|the options give 100020001 rows, more than 100000000
--no-such-option|--no-such-option
--mach 0.8 --cas 250|quorvan-table: give one speed, not --mach and --cas
--mach 0.8 --mach 0.9|quorvan-table: --mach: given more than once; give all its values in one list
--speed-unit knots|--speed-unit: "knots" is not one of m/s, kt, km/h, mph, ft/s
--tas 100,-100|--tas: a speed is zero or more, found -100
--cas -0.5|--cas: a speed is zero or more, found -0.5
--altitude 1e308 --altitude-unit km|--altitude: 1e+308 km is too large to convert to m
--solve mach|--solve mach: no target; give one of --lift-coefficient, --reynolds, --dynamic-pressure
--reynolds 1e7|--reynolds: a target needs --solve
--solve mach --reynolds 1e7 --lift-coefficient 1|give one target, not --lift-coefficient and --reynolds
--solve mach --cas 250 --reynolds 1e7|--solve mach: the speed is what is solved for; leave out --cas
--solve mach --density 0.4|--solve mach: --density: the pressure and the density fix the altitude, not the speed; use --solve altitude
--solve altitude --altitude 0 --pressure 1e4|--solve altitude: the altitude is what is solved for; leave out --altitude
--solve altitude --eas 200 --lift-coefficient 0.5|--solve altitude: --eas with --lift-coefficient: at a given EAS the dynamic pressure
--solve altitude --reynolds 0,1e7|--reynolds: a target is a positive number, found 0
--solve altitude --reynolds 1e7 --isa-offset -100|--isa-offset: -100 K is colder than -90 K
--columns mach,speed|--columns: unknown column "speed" (the columns are all, mach, altitude, load_factor
--columns cas_kt|--columns: "cas_kt" names another unit than the table's, m/s; name the column without suffix, or choose its unit with --speed-unit
missing.csv|missing.csv: cannot open: No such file or directory
/|/: cannot read line 1: Is a directory
/dev/zero|/dev/zero:1: a line longer than 1 MiB
--mach=|--mach
--output=|--output
--mach 0.5 --mach 0.6|--mach
CASES
printf 'mach,speed\n' | "$tool" - >"$work/out" 2>"$work/err"
status=$?
err=$(cat "$work/err")
expect 2 "standard input:1: column 2: unknown column \"speed\"" "unknown column from stdin"
printf 'mach,altitud\n0.5,1\n' | "$tool" - >"$work/out" 2>"$work/err"
status=$?
err=$(cat "$work/err")
expect 2 'column 2: unknown column "altitud", did you mean "altitude"?' "misspelled column from stdin"
printf 'cas_kt\n250\n' | "$tool" --solve altitude --dynamic-pressure 1e4 - >"$work/out" 2>"$work/err"
status=$?
err=$(cat "$work/err")
expect 2 "--solve altitude: column cas_kt of standard input:1 with --dynamic-pressure: at a given CAS" "CAS from a file"
# A file's name reaches the terminal escaped.
run -o "$work/$(printf 'x\033[2Jy')/table.csv"
expect 1 "cannot write $work/x\\x1b[2Jy/table.csv: No such file or directory" "escaped file name"
# Taken where they are well posed: a CAS for a Reynolds number's altitude, columns with spaces, a range
# of huge steps.
run --solve altitude --cas 250 --reynolds 2e7 --columns altitude
expect 0 "" "a CAS for a Reynolds number's altitude"
[ "$("$tool" --cas 250 --altitude "$(tail -1 <<<"$out")" --columns reynolds | tail -1)" = 2e+07 ] ||
  fail "CAS 250 for Re 2e7: $out"
run --speed-unit kt --columns cas_kt,tas --cas 100
[ "${out%%$'\n'*}" = cas_kt,tas_kt ] || fail "columns named in the chosen unit: $out"
run --columns "mach, altitude" --mach 1e20:5e20:2e20
[ "$out" = $'mach,altitude\n1e+20,11000\n3e+20,11000\n5e+20,11000' ] || fail "huge steps and spaced columns: $out"

run --help
expect 0 "" "--help"
for option in --mach --tas --eas --cas --altitude --load-factor --weight --ref-length --ref-area --isa-offset \
  --altitude-unit --speed-unit --weight-unit --length-unit --area-unit --columns --geometric --output --format \
  --digits --no-header --max-rows "every other column is SI" " K:" "searches 0 to 88000 m only" \
  "when the speed given comes first among its"; do
  grep -qF -- "$option" <<<"$out" || fail "--help does not mention $option"
done
run --version
expect 0 "" "--version"
grep -qE '^[0-9]+\.[0-9]+\.[0-9]+$' <<<"$out" || fail "--version printed: $out"

# A run of more than a second into a pipe: every row, and no progress line where there is no terminal.
lines=$("$tool" --mach 0.1:1.0999:0.0001 --altitude 0:5980:20 2>"$work/err" | wc -l)
[ ! -s "$work/err" ] || fail "long run: stderr $(cat "$work/err")"
[ "$lines" -eq 3000001 ] || fail "long run: $lines lines"

# On a terminal the same kind of run shows a progress line on standard error and erases it.
if command -v script >/dev/null; then
  script -qec "$tool --mach 0.1:1.0999:0.0001 --altitude 0:7980:20 -o /dev/null" "$work/typescript" >/dev/null
  grep -qa "rows (.*%)" "$work/typescript" || fail "no progress line on a terminal"
  grep -qa $'\r\033\[K' "$work/typescript" || fail "the progress line was not erased"
  # Not when the rows themselves go to the terminal, whatever -o calls it.
  script -qec "$tool --mach 0.1:1.0999:0.0001 --altitude 0:7980:20 --columns mach -o /dev/stdout" "$work/typescript" >/dev/null
  grep -qa "rows (" "$work/typescript" && fail "a progress line among rows on a terminal"
fi

[ "$failures" -eq 0 ] || exit 1
echo "all checks passed"
