#!/usr/bin/env bash
# A report that cannot be written is told in a message box; after it is closed the window still
# answers and the next save works. /dev/full lets the file open and fails the write, for root too.
# Usage: failed_save.sh PROGRAM [DIRECTORY OF mach085.out]
set -euo pipefail
expected=$(realpath "${2:-$(dirname "$0")}/mach085.out")
. "$(dirname "$0")/lib.sh" "$1"
[ -c /dev/full ] || skip "there is no /dev/full"

start_x
start_program
compute_with_mach 0.85
open_save_dialog Tab
enter_file_name /dev/full
wait_for "the error message" find_window --visible "Report not written"
keys "$found" Return
wait_for "the message to close" no_window "Report not written"
wait_for "the dialog to close" no_window "Save file"
check_alive
xwininfo -id "$main_window" >/dev/null || fail "main window is gone"

# "Output to file" still has the keyboard focus.
open_save_dialog
enter_file_name mach085.out
wait_for "the dialog to close" no_window "Save file"
cmp "$expected" "$work/cwd/mach085.out" || fail "report differs"
finish
