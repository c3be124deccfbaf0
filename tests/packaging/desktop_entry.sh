#!/usr/bin/env bash
# The desktop entry passes desktop-file-validate without a single error, warning or hint.
set -euo pipefail
entry=$1
if ! report=$(desktop-file-validate "$entry" 2>&1) || [ -n "$report" ]; then
  echo "desktop-file-validate: $report"
  exit 1
fi
