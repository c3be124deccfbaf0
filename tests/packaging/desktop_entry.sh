#!/usr/bin/env bash
# The desktop entry passes desktop-file-validate without a single error, warning or hint.
. "$(dirname "$0")/lib.sh"
entry=$1
require desktop-file-validate
if ! report=$(desktop-file-validate "$entry" 2>&1) || [ -n "$report" ]; then
  echo "desktop-file-validate: $report"
  exit 1
fi
