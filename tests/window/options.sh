#!/usr/bin/env bash
# quorvan --help (or -h) and --version, each the only argument, print on standard output, write
# nothing else and exit 0 without any display; anything more goes to the toolkit as before.
# Usage: options.sh PROGRAM help|version VERSION
set -uo pipefail
program=$1
what=$2
version=$3
err=$(mktemp)
trap 'rm -f "$err"' EXIT

fail() {
  echo "$*"
  exit 1
}

# Runs the program with no display; sets out and status, and fails on anything on standard error.
run() {
  out=$(env -u DISPLAY "$program" "$@" 2>"$err")
  status=$?
  [ "$status" = 0 ] || fail "quorvan $* exited with $status: $(cat "$err")"
  [ ! -s "$err" ] || fail "quorvan $* wrote to standard error: $(cat "$err")"
}

case $what in
  version)
    run --version
    [ "$out" = "quorvan $version" ] || fail "--version printed: $out"
    ;;
  help)
    run -h
    short=$out
    run --help
    [ "$out" = "$short" ] || fail "-h and --help differ"
    mapfile -t lines <<<"$out"
    [[ ${lines[0]} == quorvan:* ]] || fail "the first line does not say what quorvan is: ${lines[0]}"
    [ "${lines[1]}" = "usage: quorvan [TOOLKIT OPTIONS]" ] || fail "second line: ${lines[1]}"
    for option in -display -sync -shm -noshm -maxcolors -im -is -tracelevel --help --version; do
      grep -Eq "^ +(-[a-z]+, )?$option([ ,]|$)" <<<"$out" || fail "$option is not listed"
    done
    # Not the only argument: the toolkit gets it as before and, with no display to open, fails.
    out=$(env -u DISPLAY "$program" --help -display :9999 2>/dev/null)
    status=$?
    [ "$status" != 0 ] || fail "quorvan --help -display :9999 exited with 0"
    [ -z "$out" ] || fail "quorvan --help -display :9999 printed: $out"
    ;;
  *) fail "unknown check $what" ;;
esac
