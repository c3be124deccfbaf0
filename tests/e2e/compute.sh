#!/usr/bin/env bash
# The window comes up at its full size with its title, takes a new Mach number and "Compute", and
# still answers afterwards: the save dialog opens, and cancelling it writes nothing.
# Usage: compute.sh PROGRAM
set -euo pipefail
. "$(dirname "$0")/lib.sh" "$1"

start_x
start_program
[ "$(xdotool getwindowname "$main_window")" = "$title" ] || fail "wrong title"
# Without a window manager the window has no frame: its geometry is its inside.
read -r width height < <(xwininfo -id "$main_window" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w, h }')
[ "$width" -ge 450 ] && [ "$height" -ge 350 ] || fail "window is ${width}x$height, less than 450x350"

compute_with_mach 0.85
check_alive
xwininfo -id "$main_window" >/dev/null || fail "main window is gone"

open_save_dialog Tab
keys "$dialog" Escape
wait_for "the dialog to close" no_window "Save file"
check_alive
[ -z "$(ls -A "$work/cwd")" ] || fail "a cancelled save wrote: $(ls -A "$work/cwd")"
finish
