#!/usr/bin/env bash
# Runs the quorvan-table examples of a page (the README, docs/table.md) as written (each "$ command"
# of a code block, in one scratch folder with build/quorvan-table linked there) and compares what
# they print with the lines shown under them; "$ cat FILE" writes the lines shown into FILE instead.
# Usage: readme.sh PAGE TOOL
set -uo pipefail
readme=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/build"
ln -s "$(realpath "$2")" "$work/build/quorvan-table"
cd "$work" || exit 1
failures=0
check() {  # runs the command gathered so far and compares its output with the lines shown
  [ -n "$command" ] || return 0
  if [[ $command == "cat "* ]]; then
    printf '%s' "$shown" >"${command#cat }"
  elif [ "$(bash -c "$command" 2>/dev/null)" != "${shown%$'\n'}" ]; then
    echo "FAIL: $command"
    diff <(bash -c "$command" 2>&1) <(printf '%s' "$shown")
    failures=$((failures + 1))
  fi
  command=""
  shown=""
}
command=""
shown=""
continued=no
while IFS= read -r line; do
  if [ "$continued" = yes ]; then
    command+=$'\n'"$line"
    [[ $line == *\\ ]] || continued=no
  elif [[ $line == '$ '* ]]; then
    check
    command=${line#\$ }
    [[ $line == *\\ ]] && continued=yes
  elif [[ $line == '```'* ]]; then
    check
  elif [ -n "$command" ]; then
    shown+="$line"$'\n'
  fi
done <"$readme"
check
[ "$failures" -eq 0 ] || exit 1
echo "every example gave what the page shows"
