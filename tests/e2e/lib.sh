# Shared by the end-to-end scripts: a private X server, a fresh HOME and working directory, the
# program started in them, and helpers to drive it from outside with xdotool as a person would.
# Usage: . lib.sh PROGRAM
set -euo pipefail

program=$(realpath "$1")
title="Clift vs Load factor"
timeout_seconds=${E2E_TIMEOUT:-20}

# Ends the test as skipped (status 77) for want of something, or as failed when the run demands
# every prerequisite (QUORVAN_STRICT_TESTS=1, set by scripts/test.sh).
skip() {
  if [ "${QUORVAN_STRICT_TESTS:-}" = 1 ]; then
    echo "FAIL: $* (QUORVAN_STRICT_TESTS=1)" >&2
    exit 1
  fi
  echo "SKIP: $*"
  exit 77
}

for tool in Xvfb xdotool xwininfo; do
  command -v "$tool" >/dev/null || skip "$tool is not installed"
done
# A locale that is not installed would silently fall back to "C" and prove nothing.
if [ -n "${LC_ALL:-}" ] && ! locale -a | grep -qix "${LC_ALL/UTF-8/utf8}"; then
  skip "locale $LC_ALL is not installed"
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/quorvan-e2e.XXXXXX")
mkdir "$work/home" "$work/cwd"
xvfb_pid=
app_pid=

# Ends whatever is still running and removes the temporary directory, however the script ends.
cleanup() {
  if [ -n "$app_pid" ]; then kill "$app_pid" 2>/dev/null || true; wait "$app_pid" 2>/dev/null || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  if [ -n "$app_pid" ] && ! kill -0 "$app_pid" 2>/dev/null; then echo "(the program has ended)" >&2; fi
  if [ -s "$work/stderr" ]; then sed 's/^/quorvan: /' "$work/stderr" >&2; fi
  exit 1
}

# Runs a command again and again until it succeeds; fails the test when the time is up.
wait_for() {
  local what=$1
  shift
  local deadline=$((SECONDS + timeout_seconds))
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || fail "timed out waiting for $what"
    sleep 0.05
  done
}

# Starts an X server on a free display (it writes the number to fd 3 once it accepts clients).
start_x() {
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -noreset -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
  xvfb_pid=$!
  wait_for "the X server" test -s "$work/display"
  export DISPLAY=":$(head -n 1 "$work/display")"
}

# Sets $found to the window with exactly this title; with --visible only if it is mapped.
find_window() {
  local visible=()
  if [ "$1" = --visible ]; then visible=(--onlyvisible); shift; fi
  found=$(xdotool search "${visible[@]}" --name "^$1\$" 2>/dev/null | head -n 1)
  [ -n "$found" ]
}

no_window() { ! find_window "$1"; }

# Starts the program in the fresh directories and sets $main_window once its window is shown.
start_program() {
  (cd "$work/cwd" && HOME="$work/home" exec "$program") 2>"$work/stderr" &
  app_pid=$!
  wait_for "the main window" find_window --visible "$title"
  main_window=$found
}

check_stderr() {
  if grep -qE 'ERROR: (Address|Leak)Sanitizer|runtime error:' "$work/stderr"; then fail "sanitizer report"; fi
}

check_alive() {
  kill -0 "$app_pid" 2>/dev/null || fail "the program has ended"
  check_stderr
}

# Gives a window the X focus (there is no window manager to do it) and sends it keys or text.
keys() { xdotool windowfocus --sync "$1" key --delay 20 "${@:2}" 2>/dev/null || fail "window $1 took no keys"; }
type_text() { xdotool windowfocus --sync "$1" type --delay 20 "$2" 2>/dev/null || fail "window $1 took no text"; }

# Types a Mach number over the default and presses "Compute", which keeps the keyboard focus.
compute_with_mach() {
  keys "$main_window" Tab ctrl+a
  type_text "$main_window" "$1"
  keys "$main_window" Tab Tab Tab Tab Tab Tab space
}

# Sends the given keys to the main window, then space to the focused "Output to file" button, and
# sets $dialog to the save dialog it opens.
open_save_dialog() {
  keys "$main_window" "$@" space
  wait_for "the save dialog" find_window --visible "Save file"
  dialog=$found
}

# Types a file name into the save dialog and accepts it.
enter_file_name() {
  keys "$dialog" alt+f
  type_text "$dialog" "$1"
  keys "$dialog" Return
}

# Ends the program and fails on any sanitizer report it made. A kill: with no window manager there
# is nothing to ask the window to close, so the toolkit writes no settings and LSan does not run.
finish() {
  check_alive
  kill "$app_pid"
  wait "$app_pid" 2>/dev/null || true
  app_pid=
  check_stderr
  echo PASS
}
