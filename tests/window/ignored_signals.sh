#!/usr/bin/env bash
# The running program ignores SIGPIPE and SIGXFSZ, so that a save to a pipe whose reader went away
# or past the file size limit fails with "Broken pipe" or "File too large" instead of ending it.
# Usage: ignored_signals.sh PROGRAM
set -euo pipefail
. "$(dirname "$0")/../e2e/lib.sh" "$1"

start_x
start_program
ignored=$(awk '/^SigIgn:/ { print $2 }' "/proc/$app_pid/status")
[ -n "$ignored" ] || fail "no SigIgn in /proc/$app_pid/status"
for signal in PIPE XFSZ; do
  number=$(kill -l "$signal")
  (( (16#$ignored >> (number - 1)) & 1 )) || fail "SIG$signal is not ignored (SigIgn $ignored)"
done
finish
