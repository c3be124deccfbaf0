#!/usr/bin/env bash
# Debian's package checker reports no error and no warning on the package; informational tags are
# shown but pass.
. "$(dirname "$0")/lib.sh"
deb=$1
require lintian
report=$(lintian --display-info --fail-on none "$deb" 2>&1) || fail "lintian did not run: $report"
echo "$report"
if grep -qE '^[EW]: ' <<<"$report"; then
  fail "lintian reports errors or warnings"
fi
