#!/usr/bin/env bash
# Mach 0.85, "Compute", "Output to file", a relative file name in the dialog: the report lands in
# the working directory, equal byte for byte to the expected one, and nothing else is created.
# Usage: report.sh PROGRAM [DIRECTORY OF mach085.out]
set -euo pipefail
expected=$(realpath "${2:-$(dirname "$0")}/mach085.out")
. "$(dirname "$0")/lib.sh" "$1"

start_x
start_program
compute_with_mach 0.85
open_save_dialog Tab
enter_file_name mach085.out
# The dialog's window is destroyed only after the report has been written and closed.
wait_for "the dialog to close" no_window "Save file"
check_alive
cmp "$expected" "$work/cwd/mach085.out" || fail "report differs: $(diff "$expected" "$work/cwd/mach085.out")"
[ "$(ls -A "$work/cwd")" = mach085.out ] || fail "working directory holds: $(ls -A "$work/cwd")"
# The toolkit keeps its settings in ~/.foxrc, written only on a clean exit.
leftovers=$(ls -A "$work/home" | grep -vx .foxrc || true)
[ -z "$leftovers" ] || fail "HOME holds: $leftovers"
finish
